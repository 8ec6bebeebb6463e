#include "base/AutoreleasePool.h"

#include <algorithm>

NS_CC_BEGIN

AutoreleasePool::AutoreleasePool() {
    _managedObjects.reserve(150);
    PoolManager::getInstance()->push(this);
}

AutoreleasePool::~AutoreleasePool() {
    clear();
    PoolManager::getInstance()->pop();
}

void AutoreleasePool::addObject(Ref* object) {
    _managedObjects.push_back(object);
}

void AutoreleasePool::clear() {
    // Swap first: a destructor run by a release may autorelease into the pool again;
    // those objects wait for the next drain.
    std::vector<Ref*> releasing;
    releasing.swap(_managedObjects);
    for (Ref* obj : releasing) {
        obj->release();
    }
}

bool AutoreleasePool::contains(Ref* object) const {
    return std::find(_managedObjects.begin(), _managedObjects.end(), object) !=
           _managedObjects.end();
}

namespace {
PoolManager* s_poolManager = nullptr;
}

PoolManager* PoolManager::getInstance() {
    if (s_poolManager == nullptr) {
        s_poolManager = new PoolManager();
        new AutoreleasePool();  // the default pool, kept for the whole process
    }
    return s_poolManager;
}

PoolManager::PoolManager() {
    _releasePoolStack.reserve(4);
}

AutoreleasePool* PoolManager::getCurrentPool() const {
    return _releasePoolStack.back();
}

void PoolManager::push(AutoreleasePool* pool) {
    _releasePoolStack.push_back(pool);
}

void PoolManager::pop() {
    CCASSERT(!_releasePoolStack.empty(), "pool stack underflow");
    _releasePoolStack.pop_back();
}

NS_CC_END
