// Autorelease pools: objects handed back by create() survive until the pool is drained
// (the director drains it at the end of every frame; tests drain it themselves).
#pragma once

#include <vector>

#include "base/Ref.h"

NS_CC_BEGIN

class AutoreleasePool {
public:
    AutoreleasePool();
    ~AutoreleasePool();
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

    // Adds one pending release of the object.
    void addObject(Ref* object);
    // Gives back every pending reference, in the order they were added.
    void clear();
    // True while the pool holds the object.
    bool contains(Ref* object) const;
    std::size_t size() const { return _managedObjects.size(); }

private:
    std::vector<Ref*> _managedObjects;
};

// Stack of pools; the innermost is current. A default pool always exists.
// Main thread only: worker threads must not autorelease.
class PoolManager {
public:
    static PoolManager* getInstance();
    AutoreleasePool* getCurrentPool() const;

private:
    friend class AutoreleasePool;
    PoolManager();
    void push(AutoreleasePool* pool);
    void pop();

    std::vector<AutoreleasePool*> _releasePoolStack;
};

NS_CC_END
