// Base classes of every action: something a node runs over time, stepped once per frame by
// the action manager with the frame's time step. Only declares Node; depends on Ref.
#pragma once

#include "base/Ref.h"

NS_CC_BEGIN

class Node;

class Action : public Ref {
public:
    static const int INVALID_TAG = -1;

    // A fresh, unstarted copy with the same settings (autoreleased).
    virtual Action* clone() const = 0;
    // True once the action has nothing left to do; the manager then stops and drops it.
    virtual bool isDone() const;
    // Binds the action to its node and captures the node's start values from it.
    virtual void startWithTarget(Node* target);
    // Unbinds the action; called when it finishes or is removed from its node.
    virtual void stop();
    // Advances the action by one frame of dt seconds.
    virtual void step(float dt);
    // Applies progress t, 0 at the start and 1 at the end.
    virtual void update(float t);

    // The node the action runs on; none before start and after stop.
    Node* getTarget() const { return _target; }
    // Rebinds the action (composite actions hand their node to their parts this way).
    void setTarget(Node* target) { _target = target; }
    // The node the action was last started on; kept after stop.
    Node* getOriginalTarget() const { return _originalTarget; }
    // Number the owner chooses to find the action again.
    int getTag() const { return _tag; }
    // Sets the number getTag reports.
    void setTag(int tag) { _tag = tag; }

protected:
    Action() = default;

    // Second half of every create(): the action autoreleased, or deleted and none when its
    // init failed.
    template <class T>
    static T* finishCreate(T* action, bool initialized) {
        if (!initialized) {
            delete action;
            return nullptr;
        }
        action->autorelease();
        return action;
    }

    Node* _target = nullptr;
    Node* _originalTarget = nullptr;
    int _tag = INVALID_TAG;
};

// An action with a known length in seconds.
class FiniteTimeAction : public Action {
public:
    // Length of the action in seconds.
    float getDuration() const { return _duration; }
    // Changes the length; only sensible before the action starts.
    void setDuration(float duration) { _duration = duration; }
    FiniteTimeAction* clone() const override = 0;

protected:
    float _duration = 0.f;
};

// An action spread over its duration: the first step after starting applies progress 0
// without counting its dt; every later step adds dt to the elapsed time.
class ActionInterval : public FiniteTimeAction {
public:
    // Sums of frame steps reach a duration within this slack, so that twelve steps of
    // 1/60 s complete 0.2 s although neither number is exact in binary.
    static constexpr double kTimeTolerance = 1e-5;

    // Sets the duration; a duration of 0 completes on the first step.
    bool initWithDuration(float duration);

    // Seconds counted past the duration (never negative), for restarting without drift.
    double overshoot() const;

    bool isDone() const override;
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    ActionInterval* clone() const override = 0;

protected:
    // Progress in [0, 1] for the elapsed time: 1 once the duration is reached.
    float progress() const;

    double _elapsed = 0.0;
    bool _firstTick = true;
};

// An action that happens at once: its only step applies progress 1.
class ActionInstant : public FiniteTimeAction {
public:
    bool isDone() const override { return _done; }
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    ActionInstant* clone() const override = 0;

private:
    bool _done = false;
};

NS_CC_END
