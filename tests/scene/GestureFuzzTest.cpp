// The gesture fuzzer: random mouse sequences on a fresh workspace (presses, drags and
// releases aimed at palette cards, field cards, slots, row buttons and the trash; waits of
// random frame counts; the wheel and the middle button; the card-set tabs, the dialect
// button and its chooser; focus lost, minimising and cancelled touches), checking after
// every step that the field stays sound and that a finished gesture leaves nothing behind.
//
// Sequence k runs with seed k. The suite runs a few; ZC_GESTURE_SEQUENCES=<n> runs n,
// from ZC_GESTURE_FIRST_SEED (default 1); ZC_GESTURE_SEED=<s> reruns one.
#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GestureTestSupport.h"

USING_NS_CC;
using fieldtest::firstFieldViolation;
using fieldtest::firstGestureLeftover;
using fieldtest::Mouse;
using fieldtest::Workspace;

namespace {

constexpr unsigned kSuiteSequences = 5;
constexpr int kSteps = 150;
// Actions shown with a failure.
constexpr std::size_t kLogLength = 40;

// A whole-number setting from the environment, the fallback when it is not set; a problem
// in words when it is set to anything but digits that fit.
unsigned fromEnvironment(const char* name, unsigned fallback, std::string& problem) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return fallback;
    }
    const std::string text(value);
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoull(text) > std::numeric_limits<unsigned>::max()) {
        problem += std::string(name) + "=" + text + " is not a whole number up to " +
                   std::to_string(std::numeric_limits<unsigned>::max()) + ". ";
        return fallback;
    }
    return static_cast<unsigned>(std::stoull(text));
}

class GestureFuzzer {
public:
    explicit GestureFuzzer(unsigned seed) : _rng(seed) {}

    // Runs the sequence; the first problem found with the actions that led to it, or "".
    std::string run() {
        if (scene() == nullptr || !_workspace.finishPortSearch()) {
            return "the workspace could not be made ready";
        }
        for (Node* child : scene()->fieldView->getContentLayer()->getChildren()) {
            auto* sprite = dynamic_cast<Sprite*>(child);
            if (sprite != nullptr && (sprite->getTexture()->getName() == "res/r_btn_add.png" ||
                                      sprite->getTexture()->getName() == "res/r_btn_delete.png")) {
                _rowButtons.pushBack(sprite);
            }
        }
        for (int step = 0; step <= kSteps; ++step) {
            if (step < kSteps) {
                act();
            }
            const std::string problem = step < kSteps ? firstProblem() : firstStepNotUndone();
            if (!problem.empty()) {
                std::ostringstream out;
                out << problem << ", at step " << step << "; the last actions:";
                for (const std::string& line : _log) {
                    out << "\n  " << line;
                }
                return out.str();
            }
        }
        return "";
    }

private:
    FieldScene* scene() const { return _workspace.scene; }
    HeadlessHarness& harness() { return _workspace.harness; }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(_rng); }
    float uniform(float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(_rng);
    }
    Vec2 jitter(float x, float y) { return Vec2(uniform(-x, x), uniform(-y, y)); }

    void note(const std::string& what, const Vec2& at) {
        std::ostringstream line;
        line << what << " " << at.x << "," << at.y;
        _log.push_back(line.str());
        if (_log.size() > kLogLength) {
            _log.pop_front();
        }
    }

    // The player strip, the settings gear and the bar's edge are left alone: their actions
    // start the device link, which is not what is tested here.
    static bool isSafe(const Vec2& p) {
        const bool inWindow = p.x >= 0.f && p.x <= 1024.f && p.y >= 10.f && p.y <= 768.f;
        const bool onStrip = p.x > 915.f && p.y > 160.f && p.y < 630.f;
        const bool onGear = p.x > 950.f && p.y < 70.f;
        return inWindow && !onStrip && !onGear;
    }
    Vec2 anywhere() {
        for (;;) {
            const Vec2 p(uniform(0.f, 1024.f), uniform(10.f, 768.f));
            if (isSafe(p)) {
                return p;
            }
        }
    }
    template <class T>
    T pick(const std::vector<T>& from) {
        return from.at(static_cast<std::size_t>(uniform(0, static_cast<int>(from.size()) - 1)));
    }
    // The nodes of a list whose centres are on the screen, where they can be reached.
    template <class T>
    std::vector<T*> reachable(const Vector<T*>& nodes) const {
        std::vector<T*> seen;
        for (T* node : nodes) {
            if (isSafe(fieldtest::centreOf(node))) {
                seen.push_back(node);
            }
        }
        return seen;
    }
    Vec2 somewhereOn(const std::vector<CardSprite*>& cards, float reach) {
        return cards.empty() ? anywhere() : fieldtest::centreOf(pick(cards)) + jitter(reach, reach);
    }
    // Where the pointer goes for the card it carries (if any) to meet a slot on the screen,
    // often one beside a card already laid, so that blocks of cards grow.
    Vec2 towardsASlot() {
        Vector<CardSprite*> slots;
        Vector<CardSprite*> besideCards;
        for (const FieldScene::FieldRow& row : scene()->fieldRows) {
            for (CardSprite* slot : row) {
                slots.pushBack(slot);
                for (const CardSprite* next : {slot->up, slot->down, slot->left, slot->right}) {
                    if (next != nullptr && next->connectors[0].partner != nullptr &&
                        slot->connectors[0].partner == nullptr) {
                        besideCards.pushBack(slot);
                        break;
                    }
                }
            }
        }
        std::vector<CardSprite*> seen = reachable(besideCards);
        if (seen.empty() || uniform(0, 2) == 0) {
            seen = reachable(slots);
        }
        if (seen.empty()) {
            return anywhere();
        }
        // A card's attachment point is 3 points left of a slot's when their centres meet.
        Vec2 p = fieldtest::centreOf(pick(seen)) - Vec2(3.f, 0.f) + jitter(15.f, 15.f);
        CardSprite* carried =
            scene()->draggedCard != nullptr ? scene()->draggedCard : scene()->pressedCard;
        if (carried != nullptr) {
            p += _mouse.pointer - fieldtest::centreOf(carried);
        }
        return p;
    }
    // The field cards in a slot with a card beside them: a still press lifts them together.
    Vector<CardSprite*> inBlocks() const {
        Vector<CardSprite*> cards;
        for (CardSprite* card : scene()->fieldCards) {
            if (const CardSprite* slot = card->connectors[0].partner) {
                for (const CardSprite* next : {slot->up, slot->down, slot->left, slot->right}) {
                    if (next != nullptr && next->connectors[0].partner != nullptr) {
                        cards.pushBack(card);
                        break;
                    }
                }
            }
        }
        return cards;
    }
    // Somewhere a gesture may aim: a field card, a slot, a row button, the trash marker or
    // any spot.
    Vec2 target() {
        Vec2 p;
        switch (uniform(0, 5)) {
            case 0:
                p = somewhereOn(reachable(scene()->fieldCards), 60.f);
                break;
            case 1:
            case 2:
                p = towardsASlot();
                break;
            case 3: {
                const std::vector<Sprite*> seen = reachable(_rowButtons);
                p = seen.empty() ? anywhere() : fieldtest::centreOf(pick(seen)) + jitter(8.f, 8.f);
                break;
            }
            case 4:
                p = fieldtest::kTrash + jitter(45.f, 45.f);
                break;
            default:
                return anywhere();
        }
        return isSafe(p) ? p : anywhere();
    }

    void act() {
        const int kind = uniform(0, 99);
        if (kind < 40) {
            gesture();
        } else if (kind < 48) {
            press(uniform(0, 1) == 0 ? target()
                                     : somewhereOn(reachable(scene()->paletteCards), 90.f));
        } else if (kind < 58) {
            move();
        } else if (kind < 64) {
            release();
        } else if (kind < 78) {
            wait();
        } else if (kind < 83) {
            const Vec2 at = anywhere();
            const float amount =
                static_cast<float>(uniform(0, 1) == 0 ? uniform(-3, 3) : uniform(-40, 40));
            note("wheel " + std::to_string(amount) + " at", at);
            harness().scroll(at, amount);
        } else if (kind < 86) {
            const std::vector<Sprite*> seen = reachable(_rowButtons);
            tap("row button", seen.empty() ? anywhere() : fieldtest::centreOf(pick(seen)));
        } else if (kind < 88) {
            const Vec2 at = anywhere();
            note("middle button at", at);
            harness().mouseDown(EventMouse::BUTTON_MIDDLE, at);
            harness().mouseUp(EventMouse::BUTTON_MIDDLE, at);
        } else if (kind < 90) {
            tap("tab", fieldtest::centreOf(scene()->cardSetTabs.at(
                           static_cast<std::size_t>(uniform(0, FieldScene::kCardSetCount - 1)))));
        } else if (kind < 92) {
            tap("dialect button", fieldtest::centreOf(scene()->dialectButton));
        } else if (kind < 95) {
            tapChooser();
        } else if (kind < 97) {
            cutShort();
        } else {
            keepWork();
        }
    }

    // Undo and redo by their keys and controls, save into a place and open one, at any
    // moment, even under a press.
    void keepWork() {
        using Key = EventKeyboard::KeyCode;
        const int place = uniform(0, 2);
        switch (uniform(0, 5)) {
            case 0:
                note("Ctrl+Z", Vec2::ZERO);
                harness().keyDown(Key::KEY_Z, true);
                break;
            case 1:
                note("Ctrl+Y", Vec2::ZERO);
                harness().keyDown(Key::KEY_Y, true);
                break;
            case 2:
                tap("undo", fieldtest::centreOf(scene()->undoButton));
                break;
            case 3:
                tap("redo", fieldtest::centreOf(scene()->redoButton));
                break;
            case 4:
                note("save into place " + std::to_string(place), Vec2::ZERO);
                scene()->saveIntoPlace(place);
                break;
            default: {
                note("open place " + std::to_string(place), Vec2::ZERO);
                const ProgramShelf::Entry entry = scene()->programShelf().readPlace(place);
                if (entry.contents) {
                    scene()->openContents(*entry.contents);
                }
                break;
            }
        }
    }

    // With the hand lifted, undoing every step gives back the empty field the sequence
    // began with.
    std::string firstStepNotUndone() {
        if (_mouse.held) {
            release();
        }
        if (scene()->dialectChooser != nullptr) {
            scene()->closeDialectChooser();
        }
        harness().steps(20);
        for (int i = 0; i <= static_cast<int>(FieldHistory::kSteps) && scene()->fieldHistory.canUndo();
             ++i) {
            scene()->undoField();
        }
        harness().steps(20);
        if (scene()->fieldHistory.holdsTheStart() && !scene()->fieldContents().hasNoCards()) {
            return "undoing every step left cards on the field";
        }
        return firstFieldViolation(*scene());
    }

    // A whole gesture as a person makes one: a press on a palette or a field card, maybe
    // held still, a few strokes with pauses, often ending over a slot, and mostly a release.
    void gesture() {
        if (uniform(0, 2) == 0) {
            press(somewhereOn(reachable(scene()->paletteCards), 30.f));
            // Rightwards, out over the field, as a tear-off goes.
            const Vec2 out(uniform(380.f, 900.f), _mouse.pointer.y + uniform(-150.f, 150.f));
            stroke(isSafe(out) ? out : anywhere());
        } else {
            press(somewhereOn(reachable(uniform(0, 1) == 0 ? inBlocks() : scene()->fieldCards),
                              30.f));
            const int still = uniform(0, 9);
            harness().steps(still < 2 ? 0 : still < 5 ? uniform(0, 6) : uniform(4, 30));
        }
        for (int strokes = uniform(0, 3); strokes > 0; --strokes) {
            move();
            if (uniform(0, 2) == 0) {
                wait();
            }
        }
        const int last = uniform(0, 19);
        if (last < 11) {
            stroke(towardsASlot());
        } else if (last < 14) {
            stroke(fieldtest::kTrash + jitter(30.f, 30.f));
        }
        const int end = uniform(0, 99);
        if (end < 8) {
            cutShort();
        } else if (end < 93) {
            release();
        }
    }

    void press(const Vec2& at) {
        note("press", at);
        _mouse.press(at);
    }
    void move() { stroke(uniform(0, 2) == 0 ? _mouse.pointer + jitter(25.f, 25.f) : target()); }
    void stroke(const Vec2& to) {
        const float step = uniform(6.f, 80.f);
        note("move by " + std::to_string(step) + " to", to);
        _mouse.moveTo(to, step);
    }
    void release() {
        note("release", _mouse.pointer);
        _released = scene()->dragGroup;
        _mouse.release();
    }
    void wait() {
        const int frames = uniform(0, 2) == 0 ? uniform(0, 40) : uniform(0, 6);
        note("wait frames " + std::to_string(frames), Vec2::ZERO);
        harness().steps(frames);
    }

    void tap(const std::string& what, const Vec2& at) {
        note("tap " + what + " at", at);
        _mouse.press(at);
        _mouse.release();
    }

    void tapChooser() {
        Vec2 at = anywhere();
        if (Layer* chooser = scene()->dialectChooser) {
            for (Node* child : chooser->getChildren()) {
                if (dynamic_cast<Sprite*>(child) != nullptr && uniform(0, 2) != 0) {
                    at = fieldtest::centreOf(child);
                }
            }
        }
        tap("chooser", at);
    }

    void cutShort() {
        _released = scene()->dragGroup;
        switch (uniform(0, 2)) {
            case 0:
                note("focus lost", _mouse.pointer);
                harness().windowEvent(backend::InputEvent::Type::FocusLost);
                break;
            case 1:
                note("minimised and restored", _mouse.pointer);
                harness().windowEvent(backend::InputEvent::Type::Minimized);
                harness().windowEvent(backend::InputEvent::Type::Restored);
                break;
            default:
                note("touch cancelled", _mouse.pointer);
                harness().touchCancelled(_mouse.pointer);
                break;
        }
        // The button may still be down, but the window no longer takes it for a touch.
        _mouse.held = false;
    }

    // A card just put down whose attachment point lies on a free slot and is not in it.
    std::string firstLooseOverAFreeSlot() {
        const Vector<CardSprite*> released = _released;
        _released.clear();
        for (CardSprite* card : released) {
            if (!scene()->fieldCards.contains(card) || card->connectors[0].partner != nullptr) {
                continue;
            }
            const Vec2 p = scene()->toFieldSpace(card, card->connectors[0].point);
            for (const FieldScene::FieldRow& row : scene()->fieldRows) {
                for (CardSprite* slot : row) {
                    if (slot->connectors[0].partner == nullptr &&
                        slot->getBoundingBox().containsPoint(p)) {
                        return "a card released over a free slot was left loose";
                    }
                }
            }
        }
        return "";
    }

    std::string firstProblem() {
        for (const std::string& problem :
             {firstFieldViolation(*scene()), firstLooseOverAFreeSlot()}) {
            if (!problem.empty()) {
                return problem;
            }
        }
        const FieldScene& s = *scene();
        for (CardSprite* card : s.dragGroup) {
            if (!s.fieldCards.contains(card)) {
                return "the drag group holds a card that is not on the field";
            }
        }
        for (CardSprite* card : {s.pressedCard, s.draggedCard}) {
            if (card != nullptr && !s.fieldCards.contains(card)) {
                return "the gesture holds a card that is not on the field";
            }
        }
        if (s.heldSlot != nullptr && s.heldSlot->connectors[0].partner == nullptr) {
            return "the held slot is empty";
        }
        // Only the cards of the running gesture may be see-through or tinted.
        for (CardSprite* card : s.fieldCards) {
            if (!s.dragGroup.contains(card) && (card->picture->getOpacity() != 255 ||
                                                card->picture->getColor() != Color3B::WHITE)) {
                return "a card outside the gesture is see-through or tinted";
            }
        }
        return _mouse.held ? "" : firstGestureLeftover(s);
    }

    Workspace _workspace;
    Mouse _mouse{_workspace.harness};
    std::mt19937 _rng;
    Vector<Sprite*> _rowButtons;
    // The cards of the gesture the last release or cancel ended.
    Vector<CardSprite*> _released;
    std::deque<std::string> _log;
};

TEST(GestureFuzz, RandomMouseSequencesKeepTheFieldSoundAndLeaveNothingBehind) {
    std::string problem;
    unsigned first = fromEnvironment("ZC_GESTURE_FIRST_SEED", 1, problem);
    unsigned count = fromEnvironment("ZC_GESTURE_SEQUENCES", kSuiteSequences, problem);
    if (std::getenv("ZC_GESTURE_SEED") != nullptr) {
        first = fromEnvironment("ZC_GESTURE_SEED", 0, problem);
        count = 1;
    }
    if (count == 0) {
        problem += "no sequence to run. ";
    } else if (first > std::numeric_limits<unsigned>::max() - (count - 1)) {
        // Seeds are counted in the seed's own type: the last one must not wrap round.
        problem += std::to_string(count) + " seeds from " + std::to_string(first) +
                   " go past the largest seed. ";
    }
    ASSERT_EQ(problem, "") << "the fuzzer's settings";
    std::cout << "gesture fuzzer: " << count << " sequences of " << kSteps << " steps, seeds "
              << first << " to " << first + (count - 1)
              << " (rerun one with ZC_GESTURE_SEED=<seed>)" << std::endl;
    const auto start = std::chrono::steady_clock::now();
    unsigned ran = 0;
    for (unsigned offset = 0; offset < count; ++offset) {
        const unsigned seed = first + offset;
        std::string found;
        {
            GestureFuzzer fuzzer(seed);
            found = fuzzer.run();
        }
        ASSERT_EQ(found, "") << "seed " << seed << " (rerun with ZC_GESTURE_SEED=" << seed << ")";
        ++ran;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "gesture fuzzer: " << ran << " sequences run, nothing found, " << seconds << " s"
              << std::endl;
}

}  // namespace
