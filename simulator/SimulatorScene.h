// The simulator window's one layer: the board panel, the car arena and the program panel
// around one simulated Board, which it feeds the transfers it is given and runs on the
// frames' time. Depends on the engine and the simulator's pure classes; where transfers
// come from is handed in, so it knows nothing of sockets or processes.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "cocos2d.h"
#include "simulator/Board.h"
#include "simulator/CarModel.h"

class BoardPanel;
class CarArena;
class ProgramPanel;

class SimulatorScene : public cocos2d::Layer {
public:
    // Asked every frame for the transfers that have arrived since.
    using TransferSource = std::function<std::vector<std::string>()>;
    // A monotonic clock in milliseconds, on which a frame's board work is measured.
    using WorkClock = std::function<std::int64_t()>;
    // Real time a frame's board work may take: a program that needs more falls behind,
    // and the window still answers stop, its close button and quit signals.
    static constexpr std::int64_t kFrameWorkMs = 20;
    // Bytes of a transfer handed to the board at a time: a frame takes pieces in while its
    // work time lasts (at least one), so a long transfer arrives over several frames.
    static constexpr std::size_t kIntakePiece = 4096;

    // The layer over a fresh board, fed from the source; compact: the narrow form, with the
    // program folded away behind one press.
    static SimulatorScene* create(TransferSource source, bool compact = false);
    // Second phase of creation: builds the panels and starts the frames.
    bool initWithSource(TransferSource source, bool compact);
    ~SimulatorScene() override;

    // One frame: takes the transfers, runs the board and the car for dt, shows them.
    void update(float dt) override;

    // Told what the board prints for the last transfer, as it prints it, and then once that
    // the transfer's answers are over (its program has ended, or it started none).
    using AnswerSink = std::function<void(const std::string& text, bool over)>;
    void setAnswerSink(AnswerSink sink) { _answerSink = std::move(sink); }

    // Replaces the steady clock that bounds each frame's work (tests step their own).
    void setWorkClock(WorkClock clock) { _clock = std::move(clock); }
    // Asked while the board works: true ends the frame's work at once (the window is to
    // close).
    void setInterrupt(std::function<bool()> interrupt) { _interrupt = std::move(interrupt); }

    // The simulated board and car, and the panels that show them.
    const Board& board() const { return _board; }
    const CarModel& carModel() const { return _car; }
    BoardPanel* boardPanel() const { return _boardPanel; }
    CarArena* arena() const { return _arena; }
    ProgramPanel* programPanel() const { return _programPanel; }
    // The compact form's press that unfolds and folds the program (nullptr in the roomy
    // form), and whether the program is in view.
    cocos2d::LayerColor* programFold() const { return _fold; }
    bool programShown() const;

private:
    void layOutRoomy();
    void layOutCompact();
    void showProgram(bool shown);
    // The fold's text: what it does, and the board's state while the program is folded.
    void showFold();
    void addListeners();
    void holdButton(bool byMouse, bool held);
    // Hands the board pieces of the arrived transfers, in order, until outOfTime.
    void takeIn(const Console::OutOfTime& outOfTime);
    // Whether anything moves or counts down, so frames must keep coming.
    bool busy() const;
    void showAll();
    // Passes on what the board printed and the line it runs, once a frame.
    void passAnswers();

    TransferSource _source;
    AnswerSink _answerSink;
    bool _answering = false;  // the last transfer's answers are not over yet
    int _runningLineShown = 0;
    WorkClock _clock;
    std::function<bool()> _interrupt;
    Board _board;
    // Transfers not yet wholly taken in, and how much of the first one the board has.
    std::deque<std::string> _arriving;
    std::size_t _takenIn = 0;
    CarModel _car;
    // The board's run count last seen, and whose it was (another dialect starts afresh).
    const Console* _console = nullptr;
    int _programStarts = 0;
    double _pendingMs = 0.0;
    bool _heldByMouse = false;
    bool _heldByKey = false;
    BoardPanel* _boardPanel = nullptr;
    CarArena* _arena = nullptr;
    ProgramPanel* _programPanel = nullptr;
    cocos2d::LayerColor* _fold = nullptr;
    cocos2d::Label* _foldText = nullptr;
    cocos2d::LayerColor* _programCover = nullptr;
};
