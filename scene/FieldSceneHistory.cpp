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
    return fieldModel.contents(DeviceManager::getInstance()->dialect);
}

void FieldScene::layContents(const FieldContents& contents) {
    while (!fieldCards.empty()) {
        removeCard(fieldCards.back(), false);
    }
    // The model first; the cards follow it, in its drawing order.
    for (const FieldModel::Handle handle : fieldModel.layContents(contents)) {
        const CardId id = fieldModel.cardOf(handle);
        const std::optional<FieldModel::Seat> seat = fieldModel.seatOf(handle);
        CardSprite* slot = seat ? fieldRows.at(static_cast<std::size_t>(seat->row))
                                      .at(static_cast<std::size_t>(seat->slot))
                                : nullptr;
        const FieldModel::Position at = fieldModel.positionOf(handle);
        CardSprite* card =
            addFieldCard(id.cardSet, id.cardIndex,
                         slot != nullptr ? slot->getPosition() : Vec2(at.x, at.y), handle);
        if (card == nullptr) {
            fieldModel.remove(handle);
            continue;
        }
        if (slot != nullptr) {
            card->setPosition(card->getPosition() + toFieldSpace(slot, slot->connectors[0].point) -
                              toFieldSpace(card, card->connectors[0].point));
            link(card->connectors[0], slot->connectors[0]);
        }
    }
}

bool FieldScene::mayReplaceField() const {
    return !isFieldBusy() && shelfPopup == nullptr && questionPopup == nullptr;
}

bool FieldScene::isFieldBusy() const {
    return isGestureRunning() || loadingOverlay != nullptr || portChooser != nullptr ||
           dialectChooser != nullptr || ZundleCardSerialManager::getInstance()->isSending();
}

void FieldScene::watchField() {
    // Halfway through a gesture the field is not a state anyone would go back to: the
    // gesture's end comes here again.
    if (isGestureRunning()) {
        return;
    }
    if (fieldHistory.record(fieldContents())) {
        refreshHistoryControls();
    }
    forgetChangedErrorRow();
    scheduleKeep();
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
    watchField();
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
