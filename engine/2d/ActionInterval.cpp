#include "2d/ActionInterval.h"

#include <algorithm>
#include <cmath>

#include "2d/Node.h"

NS_CC_BEGIN

namespace {

// The turn from `from` to `to` of at most half a circle, in degrees.
float shortestTurn(float from, float to) {
    float diff = std::fmod(to - from, 360.f);
    if (diff > 180.f) {
        diff -= 360.f;
    } else if (diff < -180.f) {
        diff += 360.f;
    }
    return diff;
}

float clampUnit(double t) {
    return static_cast<float>(std::min(1.0, std::max(0.0, t)));
}

bool isEndless(const FiniteTimeAction* action) {
    return dynamic_cast<const RepeatForever*>(action) != nullptr;
}

}  // namespace

// MoveBy and MoveTo

MoveBy* MoveBy::create(float duration, const Vec2& deltaPosition) {
    auto* action = new MoveBy();
    return finishCreate(action, action->initWithDuration(duration, deltaPosition));
}

bool MoveBy::initWithDuration(float duration, const Vec2& deltaPosition) {
    _positionDelta = deltaPosition;
    return ActionInterval::initWithDuration(duration);
}

MoveBy* MoveBy::clone() const {
    return MoveBy::create(_duration, _positionDelta);
}

void MoveBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _startPosition = target->getPosition();
    _previousPosition = _startPosition;
    _drift = Vec2::ZERO;
}

Vec2 MoveBy::positionAt(float t) const {
    return _startPosition + _positionDelta * t;
}

void MoveBy::update(float t) {
    _drift += _target->getPosition() - _previousPosition;
    const Vec2 next = positionAt(t) + _drift;
    _target->setPosition(next);
    _previousPosition = next;
}

MoveTo* MoveTo::create(float duration, const Vec2& position) {
    auto* action = new MoveTo();
    return finishCreate(action, action->initWithDuration(duration, position));
}

bool MoveTo::initWithDuration(float duration, const Vec2& position) {
    _endPosition = position;
    return ActionInterval::initWithDuration(duration);
}

MoveTo* MoveTo::clone() const {
    return MoveTo::create(_duration, _endPosition);
}

void MoveTo::startWithTarget(Node* target) {
    MoveBy::startWithTarget(target);
    _positionDelta = _endPosition - _startPosition;
}

Vec2 MoveTo::positionAt(float t) const {
    return t >= 1.f ? _endPosition : _startPosition + _positionDelta * t;
}

// RotateTo and RotateBy. The 2-D rotation travels in the z component.

RotateTo* RotateTo::create(float duration, float dstAngle) {
    auto* action = new RotateTo();
    return finishCreate(action,
                        action->initWithDuration(duration, Vec3(0.f, 0.f, dstAngle), false));
}

RotateTo* RotateTo::create(float duration, const Vec3& dstAngle3D) {
    auto* action = new RotateTo();
    return finishCreate(action, action->initWithDuration(duration, dstAngle3D, true));
}

bool RotateTo::initWithDuration(float duration, const Vec3& dstAngle3D, bool is3D) {
    _dstAngle = dstAngle3D;
    _is3D = is3D;
    return ActionInterval::initWithDuration(duration);
}

RotateTo* RotateTo::clone() const {
    return _is3D ? RotateTo::create(_duration, _dstAngle)
                 : RotateTo::create(_duration, _dstAngle.z);
}

void RotateTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    const Vec3 from = _is3D ? target->getRotation3D() : Vec3(0.f, 0.f, target->getRotation());
    _diffAngle = Vec3(shortestTurn(from.x, _dstAngle.x), shortestTurn(from.y, _dstAngle.y),
                      shortestTurn(from.z, _dstAngle.z));
    // The same angle as `from` up to whole turns, so the turn ends exactly on the target.
    _startAngle = _dstAngle - _diffAngle;
}

void RotateTo::update(float t) {
    const Vec3 angle = t >= 1.f ? _dstAngle : _startAngle + _diffAngle * t;
    if (_is3D) {
        _target->setRotation3D(angle);
    } else {
        _target->setRotation(angle.z);
    }
}

RotateBy* RotateBy::create(float duration, float deltaAngle) {
    auto* action = new RotateBy();
    return finishCreate(action,
                        action->initWithDuration(duration, Vec3(0.f, 0.f, deltaAngle), false));
}

RotateBy* RotateBy::create(float duration, const Vec3& deltaAngle3D) {
    auto* action = new RotateBy();
    return finishCreate(action, action->initWithDuration(duration, deltaAngle3D, true));
}

bool RotateBy::initWithDuration(float duration, const Vec3& deltaAngle3D, bool is3D) {
    _deltaAngle = deltaAngle3D;
    _is3D = is3D;
    return ActionInterval::initWithDuration(duration);
}

RotateBy* RotateBy::clone() const {
    return _is3D ? RotateBy::create(_duration, _deltaAngle)
                 : RotateBy::create(_duration, _deltaAngle.z);
}

void RotateBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _startAngle = _is3D ? target->getRotation3D() : Vec3(0.f, 0.f, target->getRotation());
}

void RotateBy::update(float t) {
    const Vec3 angle = _startAngle + _deltaAngle * t;
    if (_is3D) {
        _target->setRotation3D(angle);
    } else {
        _target->setRotation(angle.z);
    }
}

// Fades

FadeTo* FadeTo::create(float duration, std::uint8_t opacity) {
    auto* action = new FadeTo();
    return finishCreate(action, action->initWithDuration(duration, opacity));
}

bool FadeTo::initWithDuration(float duration, std::uint8_t opacity) {
    _toOpacity = opacity;
    return ActionInterval::initWithDuration(duration);
}

FadeTo* FadeTo::clone() const {
    return FadeTo::create(_duration, _toOpacity);
}

void FadeTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _fromOpacity = target->getOpacity();
}

void FadeTo::update(float t) {
    const float value = _fromOpacity + (static_cast<float>(_toOpacity) - _fromOpacity) * t;
    _target->setOpacity(
        static_cast<std::uint8_t>(std::lround(std::min(255.f, std::max(0.f, value)))));
}

FadeIn* FadeIn::create(float duration) {
    auto* action = new FadeIn();
    return finishCreate(action, action->initWithDuration(duration, 255));
}

FadeIn* FadeIn::clone() const {
    return FadeIn::create(_duration);
}

FadeOut* FadeOut::create(float duration) {
    auto* action = new FadeOut();
    return finishCreate(action, action->initWithDuration(duration, 0));
}

FadeOut* FadeOut::clone() const {
    return FadeOut::create(_duration);
}

DelayTime* DelayTime::create(float duration) {
    auto* action = new DelayTime();
    return finishCreate(action, action->initWithDuration(duration));
}

DelayTime* DelayTime::clone() const {
    return DelayTime::create(_duration);
}

// Sequence

Sequence* Sequence::createFromArray(FiniteTimeAction* const* parts, std::size_t length) {
    Vector<FiniteTimeAction*> list(length);
    for (std::size_t i = 0; i < length && parts[i] != nullptr; ++i) {
        list.pushBack(parts[i]);
    }
    return create(list);
}

Sequence* Sequence::create(const Vector<FiniteTimeAction*>& actions) {
    auto* sequence = new Sequence();
    return finishCreate(sequence, sequence->init(actions));
}

Sequence* Sequence::createWithTwoActions(FiniteTimeAction* one, FiniteTimeAction* two) {
    return create(one, two, nullptr);
}

bool Sequence::init(const Vector<FiniteTimeAction*>& actions) {
    double total = 0.0;
    _ends.clear();
    _ends.reserve(actions.size());
    for (FiniteTimeAction* part : actions) {
        CCASSERT(!isEndless(part), "a RepeatForever cannot be part of a Sequence");
        total += part->getDuration();
        _ends.push_back(total);
    }
    _parts = actions;
    return ActionInterval::initWithDuration(static_cast<float>(total));
}

Sequence* Sequence::clone() const {
    Vector<FiniteTimeAction*> copies(_parts.size());
    for (FiniteTimeAction* part : _parts) {
        copies.pushBack(part->clone());
    }
    return Sequence::create(copies);
}

void Sequence::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _current = 0;
    _currentStarted = false;
}

void Sequence::stop() {
    if (_current < _parts.size() && _currentStarted) {
        _currentStarted = false;
        _parts.at(_current)->stop();
    }
    ActionInterval::stop();
}

void Sequence::update(float t) {
    Node* const target = _target;
    const double time = static_cast<double>(t) * _duration;
    while (_current < _parts.size()) {
        FiniteTimeAction* part = _parts.at(_current);
        if (!_currentStarted) {
            _currentStarted = true;
            part->startWithTarget(target);
        }
        const double begin = _current == 0 ? 0.0 : _ends[_current - 1];
        const double end = _ends[_current];
        if (t < 1.f && time + kTimeTolerance < end) {
            part->update(clampUnit((time - begin) / (end - begin)));
            return;
        }
        part->update(1.f);
        // A part may stop this sequence (a call that stops its node's actions or removes the
        // node with clean-up); nothing after it may run then.
        if (_target != target) {
            return;
        }
        part->stop();
        ++_current;
        _currentStarted = false;
    }
}

// RepeatForever

RepeatForever* RepeatForever::create(ActionInterval* action) {
    auto* repeat = new RepeatForever();
    return finishCreate(repeat, repeat->initWithAction(action));
}

bool RepeatForever::initWithAction(ActionInterval* action) {
    CCASSERT(action != nullptr, "RepeatForever needs an action");
    action->retain();
    CC_SAFE_RELEASE(_inner);
    _inner = action;
    return ActionInterval::initWithDuration(0.f);
}

RepeatForever::~RepeatForever() {
    CC_SAFE_RELEASE(_inner);
}

RepeatForever* RepeatForever::clone() const {
    return RepeatForever::create(_inner->clone());
}

void RepeatForever::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _inner->startWithTarget(target);
}

void RepeatForever::stop() {
    _inner->stop();
    ActionInterval::stop();
}

void RepeatForever::step(float dt) {
    Node* const target = _target;
    _inner->step(dt);
    // A frame longer than many runs is cut short rather than spinning here.
    constexpr int kMaxRunsPerFrame = 1000;
    for (int run = 0; run < kMaxRunsPerFrame && _target == target && _inner->isDone(); ++run) {
        const double excess = _inner->overshoot();
        _inner->startWithTarget(target);
        if (_inner->getDuration() <= kTimeTolerance) {
            break;  // an instant run happens once a frame
        }
        _inner->step(0.f);  // the run's start, at progress 0
        _inner->step(static_cast<float>(excess));
    }
}

NS_CC_END
