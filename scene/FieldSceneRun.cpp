// Play and stop: the run flow that sends the field's program under the loading overlay
// with its progress line, the stop flow that interrupts the board, and the short notices
// that say when a transfer failed or found nowhere to go.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "devicelink/ZundleCardSerialManager.h"
#include "generation/LoopCheck.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"
#include "scene/TransferProgress.h"
#include "scene/WorkspacePlace.h"

USING_NS_CC;

namespace {
const char* const kLoadingImage = "res/r_loading.png";
const Color4B kOverlayColour(64, 64, 64, 64);
constexpr float kSpinSeconds = 0.2f;
constexpr float kSpinDegrees = 45.f;
// The progress line stands this far below the turning picture's centre.
constexpr float kProgressDrop = 64.f;
const Color4B kProgressColour(scenelook::kInk, 235);
const Color4B kNoticeColour(scenelook::kRed, 240);
// A notice is read in this time, then fades; long enough for two lines of advice.
constexpr float kNoticeSeconds = 6.f;
constexpr float kNoticeFadeSeconds = 0.5f;
// Notices stand over the field, clear of the palette panel, the player strip and the
// trash marker, this far below the window's top edge.
constexpr float kNoticeTop = 24.f;
constexpr float kNoticeMargin = 20.f;
// Above every popup: a notice takes no touches, so it hides nothing from the user's hand.
constexpr int kNoticeZOrder = 1000;
const char* const kNothingToSendTo = lang::mark(
    "No board port or transfer tool was found. Plug the board in, then press reload "
    "in the settings bar.");
const char* const kUnfinished = lang::mark("The program could not be sent to the end.");
const char* const kProgressKey = "progress";
// Past this many, the repeat problems are counted rather than named.
constexpr std::size_t kNamedLoopProblems = 2;

// What play tells before it sends: the cards left out and the repeats that will not run
// as the rows suggest. Empty when the rows are sent as they look.
std::string playWarning(std::size_t looseCards, const std::vector<LoopProblem>& loops) {
    std::string text;
    const auto add = [&text](const std::string& sentence) {
        text += (text.empty() ? "" : " ") + sentence;
    };
    if (looseCards > 0) {
        add(lang::trn("{count} card is not in a row and will not be sent.",
                      "{count} cards are not in a row and will not be sent.", looseCards));
    }
    for (std::size_t i = 0; i < loops.size() && i < kNamedLoopProblems; ++i) {
        const std::string row = std::to_string(lineNumberOfRow(loops[i].row));
        add(lang::fill(loops[i].strayEnd
                           ? lang::tr("The end card in row {row} has no repeat card before it.")
                           : lang::tr("The repeat card in row {row} has no end card after it."),
                       {{"row", row}}));
    }
    if (loops.size() > kNamedLoopProblems) {
        add(lang::trn("{count} more repeat or end card has no partner.",
                      "{count} more repeat or end cards have no partner.",
                      loops.size() - kNamedLoopProblems));
    }
    return text;
}

// Takes the overlay and its progress line away, when they stand.
void removeLoading(EventDispatcher& dispatcher, Node*& overlay, Node*& progressLine) {
    if (overlay == nullptr) {
        return;
    }
    // Only the overlay's own listener: the overlay's children have none.
    dispatcher.removeEventListenersForTarget(overlay);
    overlay->removeFromParent();
    overlay = nullptr;
    progressLine = nullptr;
}

void tellFailure(FieldScene& scene, const TransferFailure& failure) {
    const std::string reason = describeTransferFailure(failure);
    scene.showNotice(reason.empty() ? lang::tr(kUnfinished) : reason);
}

// The kind of the chosen entry; a serial port when none can be told, which the link then
// refuses anyway.
TargetKind chosenTarget() {
    return ZundleCardSerialManager::getInstance()->chosenKind().value_or(TargetKind::SerialPort);
}

// Starts the transfer of the plan; `onEnd` runs once it has ended, told how. The scene stays
// alive until then. False when the link refused.
bool startTransfer(FieldScene& scene, const TransferPlan& plan,
                   std::function<void(const TransferResult&)> onEnd, bool play) {
    ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    publishWorkspacePlace(scene);
    scene.retain();
    auto done = [&scene, onEnd = std::move(onEnd)](const TransferResult& result) {
        onEnd(result);
        scene.release();
    };
    // Play keeps a port open to hear the board; stop lets it go.
    if (play ? link->startPlay(plan, std::move(done)) : link->startSend(plan, std::move(done))) {
        return true;
    }
    scene.release();
    // During a discovery the list is being rebuilt and may not be read; play is refused
    // then as while a transfer runs.
    if (!link->isSearching() && link->devices.empty()) {
        scene.showNotice(lang::tr(kNothingToSendTo));
    }
    return false;
}
}  // namespace

void FieldScene::onPlayPressed() {
    runProgram();
}

void FieldScene::onStopPressed() {
    stopProgram();
}

void FieldScene::runProgram() {
    ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    if (link->isSending()) {
        return;
    }
    const auto rows = programRows();
    const TransferPlan plan = buildProgram(rows, chosenTarget());
    const std::string warning =
        playWarning(static_cast<std::size_t>(fieldModel.looseCount()), findUnmatchedLoops(rows));
    if (!warning.empty()) {
        showNotice(warning);
    }
    const bool started = startTransfer(
        *this, plan,
        [this](const TransferResult& result) {
            removeLoading(*getEventDispatcher(), loadingOverlay, progressLine);
            boardTalkSent(result.whole);
            if (!result.whole) {
                tellFailure(*this, result.failure);
            }
        },
        true);
    if (started) {
        beginBoardTalk(plan);
        showLoading(plan);
    }
}

void FieldScene::stopProgram() {
    ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    if (link->isSending()) {
        return;
    }
    const TransferPlan stop = buildStopProgram(chosenTarget());
    if (stop.chunks.empty()) {
        return;
    }
    unmarkErrorRow();
    lightRunningRow(std::nullopt);
    startTransfer(
        *this, stop,
        [this](const TransferResult& result) {
            if (!result.whole) {
                tellFailure(*this, result.failure);
            }
        },
        false);
}

void FieldScene::showLoading(const TransferPlan& plan) {
    const Size visible = Director::getInstance()->getVisibleSize();
    LayerColor* overlay = LayerColor::create(kOverlayColour, visible.width, visible.height);
    addChild(overlay);
    const Vec2 centre(visible.width / 2.f, visible.height / 2.f);
    if (Sprite* spinner = Sprite::create(kLoadingImage)) {
        spinner->setPosition(centre);
        spinner->runAction(RepeatForever::create(RotateBy::create(kSpinSeconds, kSpinDegrees)));
        overlay->addChild(spinner);
    }
    loadingOverlay = overlay;
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(pressrule::makeBlocker(), overlay);

    TransferProgress progress(plan);
    NoticeStrip* line = NoticeStrip::create(progress.text(), kProgressColour, visible.width / 2.f);
    if (line == nullptr) {
        return;
    }
    line->setPosition(centre.x, centre.y - kProgressDrop);
    overlay->addChild(line);
    progressLine = line;
    overlay->schedule(
        [line, progress](float dt) mutable {
            progress.advance(ZundleCardSerialManager::getInstance()->getChunksSent(), dt);
            line->setText(progress.text());
        },
        kProgressKey);
}

void FieldScene::showNotice(const std::string& text, bool trouble) {
    if (notice != nullptr) {
        notice->removeFromParent();
        notice = nullptr;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const float left = kPalettePanelWidth;
    const float right =
        playerStrip != nullptr ? playerStrip->getBoundingBox().getMinX() : visible.width;
    NoticeStrip* strip = NoticeStrip::create(text, trouble ? kNoticeColour : kProgressColour,
                                             right - left - 2.f * kNoticeMargin);
    if (strip == nullptr) {
        return;
    }
    const float height = strip->getContentSize().height;
    strip->setPosition((left + right) / 2.f, visible.height - kNoticeTop - height / 2.f);
    addChild(strip, kNoticeZOrder);
    notice = strip;
    if (noticeShown) {
        noticeShown(text);
    }
    strip->runAction(Sequence::create(DelayTime::create(kNoticeSeconds),
                                      FadeOut::create(kNoticeFadeSeconds),
                                      CallFunc::create([this, strip]() {
                                          if (notice == strip) {
                                              notice = nullptr;
                                          }
                                      }),
                                      RemoveSelf::create(true), nullptr));
}
