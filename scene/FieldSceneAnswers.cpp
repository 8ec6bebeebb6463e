// The board's answers: what the board or tool sends back after play, taken from the device
// link, checked against what was sent (did the board get it?), shown in a panel that opens
// and closes with one press, and an error that names a line pointed at the row that made it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "devicelink/ZundleCardSerialManager.h"
#include "handoff/WorkspaceHandOff.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "scene/SceneLook.h"
#include "scene/WorkspacePlace.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const char* const kTalkKey = "board-talk";
constexpr float kTalkSeconds = 0.05f;
// A tool may still answer a while after its input has closed (a program it runs).
constexpr float kListenAfterSending = 10.f;
// What came back is read into lines this much a turn at most: a board at 115200 baud sends
// about 600 bytes in one, so only a flood waits for later turns (and loses its oldest bytes).
constexpr std::size_t kBytesPerTurn = 16 * 1024;
const Color4B kButtonColour(kMuted, 255);
const Color4B kPanelColour(38, 50, 56, 235);
const Color3B kFailureRed = kRed;
constexpr float kMargin = 10.f;
constexpr float kPanelHeight = 190.f;
constexpr float kLineHeight = 16.f;
constexpr float kLineSize = 13.f;
const char* const kButtonText = lang::mark("What the board says");
// The row the simulated board is on, lit in the play button's green.
const Color3B kRunningGreen(67, 160, 71);
constexpr int kFollowBarTag = 0x466f6c;
}  // namespace

Vec2 FieldScene::answerButtonPlace() const {
    // Above the settings bar while it is open: on it, the button would hide the version
    // label, and the words on the button are as long as the language makes them.
    const Size size = answerButton->getContentSize();
    const float lift = settingsBarOpen ? -kSettingsClosedY : 0.f;
    return Vec2(kPalettePanelWidth + kMargin + size.width / 2.f,
                lift + kMargin + size.height / 2.f);
}

float FieldScene::answerPanelBottom() const {
    return answerButtonPlace().y + answerButton->getContentSize().height / 2.f + 4.f;
}

void FieldScene::followSettingsBar(float seconds) {
    answerButton->stopActionByTag(kFollowBarTag);
    Action* move = MoveTo::create(seconds, answerButtonPlace());
    move->setTag(kFollowBarTag);
    answerButton->runAction(move);
    if (answerPanel != nullptr) {
        answerPanel->stopActionByTag(kFollowBarTag);
        Action* panelMove =
            MoveTo::create(seconds, Vec2(answerPanel->getPositionX(), answerPanelBottom()));
        panelMove->setTag(kFollowBarTag);
        answerPanel->runAction(panelMove);
    }
}

bool FieldScene::buildAnswerControls() {
    answerButton = NoticeStrip::create(lang::tr(kButtonText), kButtonColour, 240.f);
    if (answerButton == nullptr) {
        return false;
    }
    const Size size = answerButton->getContentSize();
    answerButton->setPosition(answerButtonPlace());
    addChild(answerButton);
    listenForPress(answerButton, [this](Node*) { toggleAnswerPanel(); });
    // New lines while the panel is closed: a red dot on the button's corner.
    answerMark = LayerColor::create(Color4B(kFailureRed, 255), 10.f, 10.f);
    answerMark->setPosition(size.width - 6.f, size.height - 6.f);
    answerMark->setVisible(false);
    answerButton->addChild(answerMark);
    return true;
}

void FieldScene::toggleAnswerPanel() {
    if (answerPanel != nullptr) {
        answerPanel->removeFromParent();
        answerPanel = nullptr;
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const float left = kPalettePanelWidth + kMargin;
    const float right =
        playerStrip != nullptr ? playerStrip->getBoundingBox().getMinX() - kMargin : visible.width;
    answerPanel = LayerColor::create(kPanelColour, right - left, kPanelHeight);
    answerPanel->setPosition(left, answerPanelBottom());
    addChild(answerPanel);
    refreshAnswerPanel();
}

void FieldScene::refreshAnswerPanel() {
    if (answerPanel == nullptr) {
        answerMark->setVisible(talk.log.unseen() > 0);
        return;
    }
    talk.log.markSeen();
    answerMark->setVisible(false);
    answerPanel->removeAllChildren();
    const float width = answerPanel->getContentSize().width - 2.f * kMargin;
    const auto& lines = talk.log.lines();
    const std::size_t fit = static_cast<std::size_t>((kPanelHeight - kMargin) / kLineHeight);
    const std::size_t shown = std::min(fit, lines.size());
    if (shown == 0) {
        Label* empty = Label::createWithSystemFont(
            lang::tr("The board has not said anything since play."), kFont, kLineSize);
        empty->setTextColor(Color4B(180, 190, 196, 255));
        empty->setAnchorPoint(Vec2(0.f, 0.5f));
        empty->setPosition(kMargin, kPanelHeight - kMargin - kLineHeight / 2.f);
        answerPanel->addChild(empty);
        return;
    }
    // The newest at the bottom, as a terminal shows them.
    for (std::size_t i = 0; i < shown; ++i) {
        const std::string& text = lines[lines.size() - shown + i];
        Label* line = Label::createWithSystemFont(text, kFont, kLineSize, Size(width, kLineHeight),
                                                  TextHAlignment::LEFT, TextVAlignment::CENTER);
        if (line == nullptr) {
            continue;
        }
        line->setTextColor(Color4B::WHITE);
        line->setAnchorPoint(Vec2(0.f, 0.5f));
        line->setPosition(
            kMargin, kPanelHeight - kMargin / 2.f - kLineHeight * (static_cast<float>(i) + 0.5f));
        answerPanel->addChild(line);
    }
}

void FieldScene::beginBoardTalk(const TransferPlan& plan) {
    unmarkErrorRow();
    lightRunningRow(std::nullopt);
    talk = BoardTalk{};
    // Only a board that echoes can tell whether it got the program; a transfer tool
    // (the simulator among them) speaks for itself and is never called silent or garbled,
    // though an echo it passes on is still no answer.
    const bool toTool = plan.target == TargetKind::Tool;
    talk.check = EchoCheck(plan.numbered, !toTool);
    talk.toTool = toTool;
    talk.plan = plan;
    if (toTool) {
        // A tool takes the whole program at once and may pass it back before the count of
        // chunks sent says so; unjudged, the time each line went does not matter.
        for (const ProgramChunk& chunk : plan.chunks) {
            talk.check.sent(chunk.text, 0.0);
        }
        talk.chunksNoted = static_cast<int>(plan.chunks.size());
    }
    talk.transfer = ZundleCardSerialManager::getInstance()->getTransferNumber();
    refreshAnswerPanel();
    schedule([this](float dt) { listenToBoard(dt); }, kTalkSeconds, kTalkKey);
}

void FieldScene::boardTalkSent(bool whole) {
    // A transfer that failed is told by its reason, not by the echo.
    talk.verdictTold = talk.verdictTold || !whole;
    talk.sendingEnded = true;
    talk.check.sendingEnded(talk.clock);
}

void FieldScene::listenToBoard(float dt) {
    ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    talk.clock += dt;
    if (link->getTransferNumber() != talk.transfer) {
        unschedule(kTalkKey);  // a later transfer (a stop) has the link now
        return;
    }
    const int sent = link->getChunksSent();
    while (talk.chunksNoted < sent &&
           talk.chunksNoted < static_cast<int>(talk.plan.chunks.size())) {
        talk.check.sent(talk.plan.chunks[static_cast<std::size_t>(talk.chunksNoted++)].text,
                        talk.clock);
    }
    const BoardInbox::Taken taken = link->takeReceived();
    if (taken.transfer == talk.transfer && !taken.bytes.empty()) {
        talk.check.heardBytes(taken.bytes.size(), talk.clock);
        talk.quietFor = 0.f;
        talk.unread += taken.bytes;
        if (talk.unread.size() > BoardInbox::kHeldBytes) {
            talk.unread.erase(0, talk.unread.size() - BoardInbox::kHeldBytes);
        }
    }
    if (!talk.unread.empty()) {
        const std::size_t count = std::min(kBytesPerTurn, talk.unread.size());
        const std::string bytes = talk.unread.substr(0, count);
        talk.unread.erase(0, count);
        const AnswerStyle style =
            talk.plan.numbered ? AnswerStyle::LineNumbered : AnswerStyle::Script;
        // A board that repeats an error is told once a turn, not once a line.
        std::optional<std::pair<int, std::string>> named;
        for (const std::string& line : talk.lines.feed(bytes)) {
            if (line.rfind(handoff::kRunningLineMark, 0) == 0) {
                const long number =
                    std::strtol(line.c_str() + std::strlen(handoff::kRunningLineMark), nullptr, 10);
                lightRunningRow(number > 0 ? talk.plan.rowOfLine(static_cast<int>(number))
                                           : std::nullopt);
                continue;
            }
            if (talk.toTool && line.rfind(handoff::kWorkspaceMoveMark, 0) == 0) {
                const long by = std::strtol(line.c_str() + std::strlen(handoff::kWorkspaceMoveMark),
                                            nullptr, 10);
                moveWorkspaceForRoom(*this, static_cast<int>(std::clamp(by, -100000L, 100000L)));
                continue;
            }
            if (talk.check.isEcho(line, talk.clock)) {
                continue;
            }
            talk.log.add(line);
            if (const std::optional<BoardError> error = findBoardError(line, style)) {
                if (const std::optional<int> row = talk.plan.rowOfLine(error->lineNumber)) {
                    named.emplace(*row, error->message);
                }
            }
        }
        if (named && (named->first != talk.markedRow || named->second != talk.markedError)) {
            markErrorRow(named->first, named->second);
        }
        refreshAnswerPanel();
    }
    if (!talk.verdictTold && talk.markedRow < 0) {
        const EchoCheck::Verdict verdict = talk.check.verdict(talk.clock);
        // Every line so far came back: whether all did is known once the sending is over.
        const bool final = verdict == EchoCheck::Verdict::Silent ||
                           verdict == EchoCheck::Verdict::Garbled ||
                           (verdict == EchoCheck::Verdict::AllEchoed && talk.sendingEnded);
        if (final) {
            talk.verdictTold = true;
            showNotice(talk.check.words(talk.clock), verdict != EchoCheck::Verdict::AllEchoed);
        }
    }
    if (talk.sendingEnded && !link->isSending() && !link->isListening()) {
        talk.quietFor += dt;
        if (talk.quietFor >= kListenAfterSending) {
            lightRunningRow(std::nullopt);
            unschedule(kTalkKey);
        }
    }
}

void FieldScene::lightRunningRow(std::optional<int> row) {
    if (talk.runningRow >= 0 && talk.runningRow != talk.markedRow &&
        static_cast<std::size_t>(talk.runningRow) < rowHeads.size()) {
        rowHeads[static_cast<std::size_t>(talk.runningRow)]->setColor(Color3B::WHITE);
    }
    talk.runningRow = -1;
    if (row && *row != talk.markedRow && static_cast<std::size_t>(*row) < rowHeads.size()) {
        talk.runningRow = *row;
        rowHeads[static_cast<std::size_t>(*row)]->setColor(kRunningGreen);
    }
}

void FieldScene::markErrorRow(int row, const std::string& message) {
    if (row < 0 || static_cast<std::size_t>(row) >= rowHeads.size()) {
        return;
    }
    unmarkErrorRow();
    if (talk.runningRow == row) {
        talk.runningRow = -1;
    }
    talk.markedRow = row;
    talk.markedError = message;
    talk.markedCards = fieldContents().rows.at(static_cast<std::size_t>(row));
    rowHeads[static_cast<std::size_t>(row)]->setColor(kFailureRed);
    showNotice(lang::fill(lang::tr("The board did not understand row {row}: {answer}."),
                          {{"row", std::to_string(lineNumberOfRow(row))}, {"answer", message}}));
}

void FieldScene::unmarkErrorRow() {
    if (talk.markedRow >= 0 && static_cast<std::size_t>(talk.markedRow) < rowHeads.size()) {
        rowHeads[static_cast<std::size_t>(talk.markedRow)]->setColor(Color3B::WHITE);
    }
    talk.markedRow = -1;
    talk.markedError.clear();
}

void FieldScene::forgetChangedErrorRow() {
    if (talk.markedRow >= 0 &&
        fieldContents().rows.at(static_cast<std::size_t>(talk.markedRow)) != talk.markedCards) {
        unmarkErrorRow();
    }
}

void FieldScene::relabelAnswerButton() {
    answerButton->setText(lang::tr(kButtonText));
    const Size size = answerButton->getContentSize();
    answerButton->stopActionByTag(kFollowBarTag);
    answerButton->setPosition(answerButtonPlace());
    answerMark->setPosition(size.width - 6.f, size.height - 6.f);
    if (answerPanel != nullptr) {
        refreshAnswerPanel();
    }
}
