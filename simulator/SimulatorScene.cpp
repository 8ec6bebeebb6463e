#include "simulator/SimulatorScene.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "handoff/WorkspaceHandOff.h"
#include "lang/Translate.h"
#include "simulator/BoardPanel.h"
#include "simulator/CarArena.h"
#include "simulator/ProgramPanel.h"
#include "simulator/SimulatorLook.h"

USING_NS_CC;

namespace {

// How often the window looks for transfers while nothing else needs frames.
constexpr std::int64_t kLookMs = 50;

}  // namespace

SimulatorScene* SimulatorScene::create(TransferSource source, bool compact) {
    auto* layer = new SimulatorScene();
    if (!layer->initWithSource(std::move(source), compact)) {
        delete layer;
        return nullptr;
    }
    layer->autorelease();
    return layer;
}

SimulatorScene::~SimulatorScene() {
    Director::getInstance()->getScheduler()->setPerFrameWorkCheck(this, nullptr);
}

bool SimulatorScene::initWithSource(TransferSource source, bool compact) {
    if (!Layer::init()) {
        return false;
    }
    _source = std::move(source);
    _clock = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    _boardPanel = BoardPanel::create();
    _arena = CarArena::create();
    _programPanel = ProgramPanel::create();
    if (_boardPanel == nullptr || _arena == nullptr || _programPanel == nullptr) {
        return false;
    }
    if (compact) {
        layOutCompact();
    } else {
        layOutRoomy();
    }

    addListeners();
    scheduleUpdate();
    // Frames run at full rate only while something moves; otherwise the loop sleeps
    // until input or the next look for transfers.
    Director::getInstance()->getScheduler()->setPerFrameWorkCheck(this, [this] { return busy(); });
    schedule([](float) {}, kLookMs / 1000.f, "look for transfers");
    showAll();
    return true;
}

void SimulatorScene::layOutRoomy() {
    addChild(look::box(look::kPaper, 0, 0, look::kWidth, look::kHeight));
    addChild(look::box(look::kFrame, 0, look::kHeight - 44, look::kWidth, 44));
    look::place(this, look::label(lang::tr("Board simulator"), 20, Color3B::WHITE), 20,
                look::kHeight - 22);
    Label* hint = look::label(lang::tr("Lay cards and press play: the program runs here."), 13,
                              Color3B::WHITE);
    hint->setAnchorPoint(Vec2::ANCHOR_MIDDLE_RIGHT);
    look::place(this, hint, look::kWidth - 20, look::kHeight - 22);
    look::place(this, _boardPanel, 20, 190);
    look::place(this, _arena, 320, 210);
    Label* carHint = look::label(lang::tr("Car: outputs 1 / 2 left wheel, 6 / 5 right wheel,"), 12,
                                 look::kMuted);
    look::place(this, carHint, 320, 190);
    look::place(this, look::label(lang::tr("PWM 3 and 4 their speeds"), 12, look::kMuted), 320,
                174);
    look::place(this, _programPanel, 660, 20);
}

void SimulatorScene::layOutCompact() {
    constexpr float kW = look::kCompactWidth;
    constexpr float kH = look::kCompactHeight;
    constexpr float kHeader = 44.f;
    constexpr float kFoldHeight = 30.f;
    // The arena at four fifths, so that board and car fit one above the other.
    constexpr float kArenaScale = 0.8f;
    addChild(look::box(look::kPaper, 0, 0, kW, kH));
    addChild(look::box(look::kFrame, 0, kH - kHeader, kW, kHeader));
    look::place(this, look::label(lang::tr("Board simulator"), 18, Color3B::WHITE), 16,
                kH - kHeader / 2);
    look::place(this, _boardPanel, 20, kH - kHeader - 352);
    const float side = CarArena::kSide * kArenaScale;
    _arena->setScale(kArenaScale);
    look::place(this, _arena, (kW - side) / 2, kFoldHeight + 20);

    // The program lies over board and car while it is unfolded: the board's state shows on
    // the fold itself meanwhile, so nothing the user needs is out of reach for long.
    _programCover = look::box(look::kPaper, 0, kFoldHeight + 8, kW, kH - kHeader - kFoldHeight - 8);
    addChild(_programCover);
    // Presses on the unfolded program stay off the board's button beneath it.
    auto* cover = EventListenerTouchOneByOne::create();
    cover->setSwallowTouches(true);
    cover->onTouchBegan = [this](Touch* touch, Event*) {
        return _programCover->isVisible() &&
               _programCover->getBoundingBox().containsPoint(touch->getLocation());
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(cover, _programCover);
    look::place(this, _programPanel, (kW - 280) / 2, kFoldHeight + 60);
    _fold = look::place(this, look::box(look::kFrameDark, 0, 0, kW - 32, kFoldHeight), 16, 6);
    _foldText = look::label("", 14, Color3B::WHITE);
    _foldText->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    look::place(_fold, _foldText, (kW - 32) / 2, kFoldHeight / 2);
    auto* press = EventListenerTouchOneByOne::create();
    press->setSwallowTouches(true);
    press->onTouchBegan = [this](Touch* touch, Event*) {
        const Vec2 at = _fold->convertToNodeSpace(touch->getLocation());
        return Rect(Vec2::ZERO, _fold->getContentSize()).containsPoint(at);
    };
    press->onTouchEnded = [this](Touch*, Event*) { showProgram(!_programPanel->isVisible()); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(press, _fold);
    showProgram(false);
}

void SimulatorScene::showProgram(bool shown) {
    _programPanel->setVisible(shown);
    _programCover->setVisible(shown);
    showFold();
}

void SimulatorScene::showFold() {
    const std::string text =
        _programPanel->isVisible()
            ? lang::tr("Hide the program")
            : lang::fill(lang::tr("Show the program ({state})"),
                         {{"state", lang::tr(boardStateName(_board.console().state()))}});
    if (_foldText->getString() != text) {
        _foldText->setString(text);
    }
}

void SimulatorScene::addListeners() {
    _boardPanel->onButton = [this](bool held) { holdButton(true, held); };
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event*) {
        if (key == EventKeyboard::KeyCode::KEY_SPACE) {
            holdButton(false, true);
        }
    };
    keys->onKeyReleased = [this](EventKeyboard::KeyCode key, Event*) {
        if (key == EventKeyboard::KeyCode::KEY_SPACE) {
            holdButton(false, false);
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);
}

void SimulatorScene::holdButton(bool byMouse, bool held) {
    (byMouse ? _heldByMouse : _heldByKey) = held;
    _board.setButton(_heldByMouse || _heldByKey);
    _boardPanel->showButton(_board.io().button);
}

void SimulatorScene::update(float dt) {
    const std::int64_t deadline = _clock() + kFrameWorkMs;
    const Console::OutOfTime outOfTime = [this, deadline] {
        return _clock() >= deadline || (_interrupt && _interrupt());
    };
    if (_source) {
        for (std::string& transfer : _source()) {
            if (!transfer.empty()) {
                _arriving.push_back(std::move(transfer));
                _answering = true;
                _runningLineShown = 0;
            }
        }
    }
    takeIn(outOfTime);
    // Whole milliseconds of virtual time; the fractions are carried to the next frame.
    _pendingMs += static_cast<double>(dt) * 1000.0;
    const auto ms = static_cast<std::int64_t>(std::floor(_pendingMs));
    _pendingMs -= static_cast<double>(ms);
    _board.step(ms, outOfTime);
    if (&_board.console() != _console || _board.console().programStarts() != _programStarts) {
        // Every run starts with the car back in the middle.
        _console = &_board.console();
        _programStarts = _board.console().programStarts();
        _car.reset();
    }
    _car.step(ms, _board.io());
    passAnswers();
    showAll();
}

void SimulatorScene::passAnswers() {
    std::string said = _board.takeAnswers();
    if (!_answerSink || !_answering) {
        return;
    }
    // Where the program is at the end of the frame: a line passed within one frame is not
    // one anybody could have seen.
    const int running = _board.console().runningLineNumber();
    if (running != _runningLineShown) {
        said += handoff::kRunningLineMark + std::to_string(running) + "\n";
        _runningLineShown = running;
    }
    const bool over = _arriving.empty() && _board.console().state() != BoardState::Running;
    if (!said.empty() || over) {
        _answerSink(said, over);
    }
    _answering = !over;
}

void SimulatorScene::takeIn(const Console::OutOfTime& outOfTime) {
    while (!_arriving.empty()) {
        const std::string_view transfer = _arriving.front();
        if (_takenIn == 0) {
            _board.beginTransfer(transfer);
        }
        const std::size_t piece = std::min(kIntakePiece, transfer.size() - _takenIn);
        _board.receive(transfer.substr(_takenIn, piece));
        _takenIn += piece;
        if (_takenIn == transfer.size()) {
            _board.endTransfer();
            _arriving.pop_front();
            _takenIn = 0;
        }
        if (outOfTime()) {
            return;
        }
    }
}

bool SimulatorScene::busy() const {
    // A program that sleeps past the next look for transfers needs no frames till then.
    const bool acting = _board.console().state() == BoardState::Running &&
                        _board.console().wakeAt() - _board.now() < kLookMs;
    return acting || !_arriving.empty() || CarModel::moving(_board.io()) ||
           _board.io().beeping(_board.now());
}

void SimulatorScene::showAll() {
    _boardPanel->show(_board.io(), _board.now());
    _arena->show(_car);
    _programPanel->show(_board.console(), _board.dialect());
    if (_fold != nullptr) {
        showFold();
    }
}

bool SimulatorScene::programShown() const {
    return _programPanel->isVisible();
}
