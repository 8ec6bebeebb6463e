// Undo and redo: the field read as plain contents, laid anew from them, and the watch that
// takes each finished change as a step.
#include <algorithm>

#include "catalogue/DeviceManager.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "scene/FieldScene.h"

USING_NS_CC;

namespace {
// A control with no step its way is shown faint, as a pressed one is shown dimmed.
constexpr GLubyte kUnavailableOpacity = 90;
}  // namespace

FieldContents FieldScene::fieldContents() const {
    FieldContents contents;
    contents.dialect = DeviceManager::getInstance()->dialect;
    for (std::size_t r = 0; r < fieldRows.size() && r < contents.rows.size(); ++r) {
        for (std::size_t s = 0; s < fieldRows[r].size(); ++s) {
            if (const CardSprite* card = fieldRows[r][s]->connectors[0].partner) {
                contents.rows[r][s] = CardId{card->cardSet, card->cardIndex};
            }
        }
    }
    std::vector<const CardSprite*> loose;
    for (const CardSprite* card : fieldCards) {
        if (card->connectors[0].partner == nullptr && card->connectors[1].partner == nullptr) {
            loose.push_back(card);
        }
    }
    std::stable_sort(loose.begin(), loose.end(), [](const CardSprite* a, const CardSprite* b) {
        return a->getLocalZOrder() < b->getLocalZOrder();
    });
    for (const CardSprite* card : loose) {
        contents.loose.push_back(LooseCard{CardId{card->cardSet, card->cardIndex},
                                           card->getPositionX(), card->getPositionY()});
    }
    return contents;
}

void FieldScene::layContents(const FieldContents& contents) {
    while (!fieldCards.empty()) {
        removeCard(fieldCards.back(), false);
    }
    for (std::size_t r = 0; r < fieldRows.size() && r < contents.rows.size(); ++r) {
        for (std::size_t s = 0; s < fieldRows[r].size(); ++s) {
            const std::optional<CardId>& id = contents.rows[r][s];
            CardSprite* slot = fieldRows[r][s];
            if (!id) {
                continue;
            }
            CardSprite* card = addFieldCard(id->cardSet, id->cardIndex, slot->getPosition());
            if (card == nullptr) {
                continue;
            }
            card->setPosition(card->getPosition() + toFieldSpace(slot, slot->connectors[0].point) -
                              toFieldSpace(card, card->connectors[0].point));
            link(card->connectors[0], slot->connectors[0]);
        }
    }
    for (const LooseCard& loose : contents.loose) {
        addFieldCard(loose.card.cardSet, loose.card.cardIndex, Vec2(loose.x, loose.y));
    }
}

bool FieldScene::mayReplaceField() const {
    return !isFieldBusy() && shelfPopup == nullptr && questionPopup == nullptr;
}

bool FieldScene::isFieldBusy() const {
    return isGestureRunning() || loadingOverlay != nullptr || portChooser != nullptr ||
           dialectChooser != nullptr || ZundleCardSerialManager::getInstance()->isSending();
}

void FieldScene::watchField(float dt) {
    // Halfway through a gesture the field is not a state anyone would go back to.
    if (!isGestureRunning() && fieldHistory.record(fieldContents())) {
        refreshHistoryControls();
    }
    keepLastWork(dt, false);
}

void FieldScene::undoField() {
    stepHistory(false);
}

void FieldScene::redoField() {
    stepHistory(true);
}

void FieldScene::stepHistory(bool forward) {
    if (!mayReplaceField()) {
        return;
    }
    watchField(0.f);
    if (const FieldContents* step = forward ? fieldHistory.redo() : fieldHistory.undo()) {
        layContents(*step);
    }
    refreshHistoryControls();
}

void FieldScene::refreshHistoryControls() {
    if (undoButton != nullptr) {
        undoButton->setOpacity(fieldHistory.canUndo() ? 255 : kUnavailableOpacity);
    }
    if (redoButton != nullptr) {
        redoButton->setOpacity(fieldHistory.canRedo() ? 255 : kUnavailableOpacity);
    }
}
