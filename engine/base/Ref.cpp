#include "base/Ref.h"

#include "base/AutoreleasePool.h"

NS_CC_BEGIN

Ref::Ref() = default;

Ref::~Ref() {
    _marker = kDead;
}

void Ref::retain() {
    CCASSERT(_marker == kAlive, "retain of a destroyed object");
    CCASSERT(_referenceCount > 0, "retain of an object whose last reference was released");
    ++_referenceCount;
}

void Ref::release() {
    CCASSERT(_marker == kAlive, "release of a destroyed object");
    CCASSERT(_referenceCount > 0, "release below zero references");
    --_referenceCount;
    if (_referenceCount == 0) {
        delete this;
    }
}

Ref* Ref::autorelease() {
    PoolManager::getInstance()->getCurrentPool()->addObject(this);
    return this;
}

NS_CC_END
