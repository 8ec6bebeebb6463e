// Reference counting where destructors touch what is being emptied: the autorelease
// pool's drain and Vector's clear.
#include <gtest/gtest.h>


#include "base/AutoreleasePool.h"
#include "base/Vector.h"

using cocos2d::PoolManager;
using cocos2d::Ref;
using cocos2d::Vector;

namespace {

// Counts destructions so tests can see exactly when the last reference went.
class Probe : public Ref {
public:
    explicit Probe(int* destroyed) : _destroyed(destroyed) {}
    ~Probe() override { ++*_destroyed; }

private:
    int* _destroyed;
};

void drainPool() { PoolManager::getInstance()->getCurrentPool()->clear(); }

}  // namespace

TEST(Ref, AutoreleasedObjectsDieAtTheDrainThatOwesThem) {
    int destroyed = 0;
    auto* kept = new Probe(&destroyed);
    kept->autorelease();
    kept->retain();
    (new Probe(&destroyed))->autorelease();
    drainPool();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(kept->getReferenceCount(), 1u);
    kept->release();
    EXPECT_EQ(destroyed, 2);

    // Autoreleased by a destructor during a drain: it waits for the next one.
    struct Owner : Ref {
        Probe* child;
        explicit Owner(Probe* c) : child(c) {}
        ~Owner() override { child->autorelease(); }
    };
    (new Owner(new Probe(&destroyed)))->autorelease();
    drainPool();
    EXPECT_EQ(destroyed, 2);
    drainPool();
    EXPECT_EQ(destroyed, 3);
}

// An element's destructor that looks at the list while it is cleared sees it empty.
TEST(Vector, ClearReleasesEachElementOnceEvenWhenADestructorLooksAtTheList) {
    int destroyed = 0;
    struct Watcher : Ref {
        Vector<Ref*>* list;
        std::size_t* seenSize;
        Watcher(Vector<Ref*>* l, std::size_t* s) : list(l), seenSize(s) {}
        ~Watcher() override { *seenSize = list->size(); }
    };
    Vector<Ref*> list;
    std::size_t seen = 99;
    auto* w = new Watcher(&list, &seen);
    list.pushBack(new Probe(&destroyed));
    list.pushBack(w);
    list.at(0)->release();
    w->release();
    list.clear();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(seen, 0u);
}
