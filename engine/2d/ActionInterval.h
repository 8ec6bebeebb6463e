// Actions spread over time: moves, rotations, fades, waits, and the composites that run
// actions one after another or again and again. They touch their node only through its
// public setters and getters; nothing here knows the manager, the scheduler or the renderer.
#pragma once

#include <cstdint>
#include <vector>

#include "2d/Action.h"
#include "base/Vector.h"
#include "math/Vec2.h"
#include "math/Vec3.h"

NS_CC_BEGIN

// Moves the node by an offset. Stackable: a displacement that something else gives the
// node during the move is kept, and the move's own progress is added on top of it.
class MoveBy : public ActionInterval {
public:
    // Moves by deltaPosition over duration seconds.
    static MoveBy* create(float duration, const Vec2& deltaPosition);
    bool initWithDuration(float duration, const Vec2& deltaPosition);

    MoveBy* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    // Where the move puts the node at progress t, before any outside displacement.
    virtual Vec2 positionAt(float t) const;

    Vec2 _positionDelta;
    Vec2 _startPosition;
    Vec2 _drift;             // displacement given to the node by others during the move
    Vec2 _previousPosition;  // where this action last put the node
};

// Moves the node to a position, from wherever it is when the move starts; stackable.
class MoveTo : public MoveBy {
public:
    // Moves to position over duration seconds.
    static MoveTo* create(float duration, const Vec2& position);
    bool initWithDuration(float duration, const Vec2& position);

    MoveTo* clone() const override;
    void startWithTarget(Node* target) override;

protected:
    // Ends exactly on the asked position when nothing else moved the node.
    Vec2 positionAt(float t) const override;

private:
    Vec2 _endPosition;
};

// Turns the node to an angle by the shortest way: each axis by at most 180 degrees.
// The float form sets the 2-D rotation, the Vec3 form the rotation about three axes.
class RotateTo : public ActionInterval {
public:
    // Turns the 2-D rotation (degrees, clockwise) to dstAngle.
    static RotateTo* create(float duration, float dstAngle);
    // Turns the three-axis rotation (degrees) to dstAngle3D.
    static RotateTo* create(float duration, const Vec3& dstAngle3D);
    bool initWithDuration(float duration, const Vec3& dstAngle3D, bool is3D);

    RotateTo* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    bool _is3D = false;
    Vec3 _dstAngle;
    Vec3 _startAngle;  // chosen so that _startAngle + _diffAngle is exactly _dstAngle
    Vec3 _diffAngle;
};

// Turns the node by an angle, from its rotation when the action starts.
class RotateBy : public ActionInterval {
public:
    // Adds deltaAngle degrees (clockwise) to the 2-D rotation.
    static RotateBy* create(float duration, float deltaAngle);
    // Adds deltaAngle3D degrees to the three-axis rotation.
    static RotateBy* create(float duration, const Vec3& deltaAngle3D);
    bool initWithDuration(float duration, const Vec3& deltaAngle3D, bool is3D);

    RotateBy* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    bool _is3D = false;
    Vec3 _deltaAngle;
    Vec3 _startAngle;
};

// Changes the node's opacity from its value at the start to a target value.
class FadeTo : public ActionInterval {
public:
    // Fades to opacity (0 transparent .. 255 opaque) over duration seconds.
    static FadeTo* create(float duration, std::uint8_t opacity);
    bool initWithDuration(float duration, std::uint8_t opacity);

    FadeTo* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    std::uint8_t _toOpacity = 255;
    std::uint8_t _fromOpacity = 255;
};

// Fades the node to fully opaque.
class FadeIn : public FadeTo {
public:
    // Fades to opacity 255 over duration seconds.
    static FadeIn* create(float duration);
    FadeIn* clone() const override;
};

// Fades the node to fully transparent.
class FadeOut : public FadeTo {
public:
    // Fades to opacity 0 over duration seconds.
    static FadeOut* create(float duration);
    FadeOut* clone() const override;
};

// Does nothing for a while; used to space the parts of a sequence.
class DelayTime : public ActionInterval {
public:
    // Waits duration seconds.
    static DelayTime* create(float duration);
    DelayTime* clone() const override;
};

// Runs actions one after the other. Each part starts (and captures its start values) when
// the sequence's time reaches it, after every earlier part has received its final update;
// a step that jumps past several parts finishes each of them in order.
class Sequence : public ActionInterval {
public:
    // Sequence::create(a, b, ..., nullptr): the list must end with nullptr.
    template <class... Rest>
    static Sequence* create(FiniteTimeAction* first, Rest... rest) {
        FiniteTimeAction* parts[] = {first, static_cast<FiniteTimeAction*>(rest)...};
        CCASSERT(parts[sizeof...(Rest)] == nullptr, "Sequence::create's list ends with nullptr");
        return createFromArray(parts, sizeof...(Rest) + 1);
    }
    // A sequence of the actions in the list, in order.
    static Sequence* create(const Vector<FiniteTimeAction*>& actions);
    // A sequence of two actions.
    static Sequence* createWithTwoActions(FiniteTimeAction* one, FiniteTimeAction* two);
    bool init(const Vector<FiniteTimeAction*>& actions);

    Sequence* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

private:
    // The parts up to the first nullptr (or all `length` of them).
    static Sequence* createFromArray(FiniteTimeAction* const* parts, std::size_t length);

    Vector<FiniteTimeAction*> _parts;
    std::vector<double> _ends;  // time at which each part ends, from the sequence's start
    std::size_t _current = 0;   // first part not finished yet
    bool _currentStarted = false;
};

// Runs an action again and again, never done. Time left over when a run ends goes into
// the next run, so a rotation keeps its rate across restarts.
class RepeatForever : public ActionInterval {
public:
    // Repeats action until it is stopped.
    static RepeatForever* create(ActionInterval* action);
    bool initWithAction(ActionInterval* action);
    ~RepeatForever() override;

    // The action being repeated.
    ActionInterval* getInnerAction() const { return _inner; }

    RepeatForever* clone() const override;
    bool isDone() const override { return false; }
    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;

private:
    ActionInterval* _inner = nullptr;
};

NS_CC_END
