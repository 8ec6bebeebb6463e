// Reference counting: the autorelease pool and Vector's references, including
// destructors that touch what is being emptied.
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

TEST(Vector, HoldsOneReferencePerPlaceAndGivesItBackOnEveryRemoval) {
    int destroyed = 0;
    auto* a = new Probe(&destroyed);
    auto* b = new Probe(&destroyed);
    {
        Vector<Probe*> list;
        list.pushBack(a);
        list.insert(0, b);
        {
            Vector<Probe*> copy = list;
            EXPECT_EQ(a->getReferenceCount(), 3u);
        }
        list.eraseObject(b);
        EXPECT_EQ(b->getReferenceCount(), 1u);
        list.pushBack(b);
        list.erase(0);
        EXPECT_EQ(a->getReferenceCount(), 1u);
        Vector<Probe*> moved = std::move(list);
        EXPECT_EQ(b->getReferenceCount(), 2u);
    }
    a->release();
    b->release();
    EXPECT_EQ(destroyed, 2);

    // An element's destructor that looks at the list while it is cleared sees it empty.
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
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(seen, 0u);
}
