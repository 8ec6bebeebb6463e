// The field rows: building them, their insert and delete buttons, shifting cards between
// rows, and reading them for program generation.
#include <string>

#include "scene/FieldScene.h"
#include "scene/PressListener.h"

USING_NS_CC;

namespace {
const char* const kRowHeadImage = "res/r_field_no.png";
const char* const kSlotImage = "res/r_field.png";
const char* const kLineDigits = "res/r_field_num.png";
const char* const kInsertImage = "res/r_btn_add.png";
const char* const kDeleteImage = "res/r_btn_delete.png";
constexpr float kRowHeadX = 360.f;
// Rows start this far below the content's top edge.
constexpr float kTopMargin = 50.f;
// Neighbouring row pictures overlap by this much.
constexpr float kOverlap = 2.f;
// The line number ends this far before the head's right edge.
constexpr float kNumberInset = 5.f;
// A slot's attachment point lies this far in from its left edge.
constexpr float kSlotInset = 5.f;

// A slot with its connector: attached near its left edge, facing left.
CardSprite* createSlot() {
    CardSprite* slot = CardSprite::create(kSlotImage);
    if (slot != nullptr) {
        Connector& connector = slot->connectors[0];
        connector.point = Vec2(kSlotInset, slot->getContentSize().height / 2.f);
        connector.tip = connector.point + Vec2(-1.f, 0.f);
    }
    return slot;
}
}  // namespace

bool FieldScene::buildFieldRows() {
    EventListenerTouchOneByOne* insertTemplate = makeRowButtonListener(true);
    EventListenerTouchOneByOne* deleteTemplate = makeRowButtonListener(false);
    fieldRows.clear();
    rowHeads.clear();
    fieldRows.reserve(kRowCount);
    for (int i = 0; i < kRowCount; ++i) {
        CardSprite* head = CardSprite::create(kRowHeadImage);
        CardSprite* leftSlot = createSlot();
        CardSprite* rightSlot = createSlot();
        LabelAtlas* number = LabelAtlas::create(std::to_string(lineNumberOfRow(i)), kLineDigits,
                                                kDigitWidth, kDigitHeight, '0');
        Sprite* insertButton = Sprite::create(kInsertImage);
        Sprite* deleteButton = Sprite::create(kDeleteImage);
        if (head == nullptr || leftSlot == nullptr || rightSlot == nullptr || number == nullptr ||
            insertButton == nullptr || deleteButton == nullptr) {
            return false;
        }

        const Size headSize = head->getContentSize();
        const Size slotSize = leftSlot->getContentSize();
        const Size buttonSize = insertButton->getContentSize();
        const float contentHeight = fieldView->getContentSize().height;
        head->setPosition(kRowHeadX, contentHeight - kTopMargin - (i + 0.5f) * headSize.height);
        const Vec2 h = head->getPosition();
        leftSlot->setPosition(h.x + headSize.width / 2.f + slotSize.width / 2.f - kOverlap, h.y);
        rightSlot->setPosition(leftSlot->getPositionX() + slotSize.width - kOverlap, h.y);
        number->setAnchorPoint(Vec2(1.f, 0.5f));
        number->setPosition(h.x + headSize.width / 2.f - kNumberInset, h.y);
        const float buttonX = h.x - headSize.width / 2.f - buttonSize.width / 2.f;
        insertButton->setPosition(buttonX, h.y + headSize.height / 2.f);
        insertButton->setTag(i);
        deleteButton->setPosition(buttonX, h.y);
        deleteButton->setTag(i);

        if (!fieldRows.empty()) {
            FieldRow& above = fieldRows.back();
            leftSlot->up = above[0];
            above[0]->down = leftSlot;
            rightSlot->up = above[1];
            above[1]->down = rightSlot;
        }
        leftSlot->right = rightSlot;
        rightSlot->left = leftSlot;
        fieldRows.push_back(FieldRow{leftSlot, rightSlot});
        rowHeads.push_back(head);

        for (Node* node : {static_cast<Node*>(head), static_cast<Node*>(leftSlot),
                           static_cast<Node*>(rightSlot), static_cast<Node*>(number),
                           static_cast<Node*>(insertButton), static_cast<Node*>(deleteButton)}) {
            fieldView->addChild(node);
        }
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(insertTemplate->clone(),
                                                                     insertButton);
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(deleteTemplate->clone(),
                                                                     deleteButton);
    }
    return true;
}

EventListenerTouchOneByOne* FieldScene::makeRowButtonListener(bool insert) {
    return pressrule::makeListener([this, insert](Node* button) {
        if (insert) {
            insertRow(button->getTag());
        } else {
            deleteRow(button->getTag());
        }
    });
}

void FieldScene::moveToSlot(CardSprite* card, CardSprite* slot) {
    // A move still running from an earlier shift would add its rest on top of this one
    // and leave the card beside its slot.
    card->stopActionByTag(kRowMoveTag);
    const Vec2 shift = toFieldSpace(slot, slot->connectors[0].point) -
                       toFieldSpace(card, card->connectors[0].point);
    Action* move = MoveTo::create(kRowMoveSeconds, card->getPosition() + shift);
    move->setTag(kRowMoveTag);
    card->runAction(move);
    link(card->connectors[0], slot->connectors[0]);
}

void FieldScene::insertRow(int row) {
    CCASSERT(row >= 0 && row < kRowCount, "insertRow of a row that does not exist");
    if (row < 0 || row >= kRowCount) {
        return;
    }
    for (const FieldModel::Handle gone : fieldModel.insertRow(row)) {
        removeCard(spriteOf(gone));
    }
    followModelSeats();
}

void FieldScene::deleteRow(int row) {
    CCASSERT(row >= 0 && row < kRowCount, "deleteRow of a row that does not exist");
    if (row < 0 || row >= kRowCount) {
        return;
    }
    for (const FieldModel::Handle gone : fieldModel.deleteRow(row)) {
        removeCard(spriteOf(gone));
    }
    followModelSeats();
}

void FieldScene::followModelSeats() {
    // Every card that the model seats elsewhere lets go of its slot first, so that no card
    // is linked into a slot another one has not left yet.
    std::vector<std::pair<CardSprite*, CardSprite*>> moves;
    for (CardSprite* card : fieldCards) {
        const std::optional<FieldModel::Seat> seat = fieldModel.seatOf(card->fieldHandle);
        CardSprite* slot = seat ? fieldRows.at(static_cast<std::size_t>(seat->row))
                                      .at(static_cast<std::size_t>(seat->slot))
                                : nullptr;
        CardSprite* now = card->connectors[0].partner;
        if (slot != nullptr && now != slot) {
            if (now != nullptr) {
                now->connectors[0].partner = nullptr;
                card->connectors[0].partner = nullptr;
            }
            moves.emplace_back(card, slot);
        }
    }
    for (const auto& [card, slot] : moves) {
        moveToSlot(card, slot);
    }
}

std::vector<std::vector<std::optional<CardId>>> FieldScene::programRows() const {
    return fieldModel.programRows();
}
