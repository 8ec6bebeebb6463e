#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <type_traits>

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

    static Probe* create(int* destroyed) {
        auto* p = new Probe(destroyed);
        p->autorelease();
        return p;
    }

private:
    int* _destroyed;
};

void drainPool() { PoolManager::getInstance()->getCurrentPool()->clear(); }

}  // namespace

TEST(Ref, AutoreleasedObjectDiesAtDrainUnlessRetained) {
    int destroyed = 0;
    Probe* kept = Probe::create(&destroyed);
    Probe* dropped = Probe::create(&destroyed);
    kept->retain();
    EXPECT_EQ(kept->getReferenceCount(), 2u);
    EXPECT_TRUE(PoolManager::getInstance()->isObjectInPools(dropped));

    drainPool();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(kept->getReferenceCount(), 1u);
    EXPECT_FALSE(PoolManager::getInstance()->isObjectInPools(kept));

    kept->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(Ref, ObjectAutoreleasedTwiceIsReleasedTwice) {
    int destroyed = 0;
    Probe* p = Probe::create(&destroyed);
    p->retain();
    p->autorelease();
    drainPool();
    EXPECT_EQ(destroyed, 1);
}

TEST(Ref, DestructorThatAutoreleasesDuringDrainDefersToNextDrain) {
    int destroyed = 0;
    struct Owner : Ref {
        Probe* child;
        explicit Owner(Probe* c) : child(c) {}
        ~Owner() override { child->autorelease(); }
    };
    Probe* child = new Probe(&destroyed);
    (new Owner(child))->autorelease();
    drainPool();
    EXPECT_EQ(destroyed, 0);
    drainPool();
    EXPECT_EQ(destroyed, 1);
}

// Storage we own, so a destroyed object can be touched again without freeing memory.
void releaseAfterDestruction() {
    std::aligned_storage_t<sizeof(Probe), alignof(Probe)> storage;
    int destroyed = 0;
    auto* p = new (&storage) Probe(&destroyed);
    p->retain();
    p->~Probe();
    p->release();
}

void retainAfterDestruction() {
    std::aligned_storage_t<sizeof(Probe), alignof(Probe)> storage;
    int destroyed = 0;
    auto* p = new (&storage) Probe(&destroyed);
    p->~Probe();
    p->retain();
}

void releaseOneTooMany() {
    int destroyed = 0;
    auto* p = new Probe(&destroyed);
    p->release();  // deletes it
    p->release();
}

TEST(RefDeathTest, LateRetainOrReleaseIsCaughtWithAClearMessage) {
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds";
#endif
    // Under the sanitizers their own report (a dead vtable pointer, freed memory) may come
    // before our marker check; either way the fault stops the program loudly. Substrings,
    // not a regular expression: GoogleTest's Windows build knows no alternatives.
    auto reportOf = [](const char* marker) {
        using testing::HasSubstr;
        return testing::AnyOf(HasSubstr(marker), HasSubstr("invalid vptr"),
                              HasSubstr("does not point to an object"),
                              HasSubstr("heap-use-after-free"));
    };
    EXPECT_DEATH(releaseAfterDestruction(), reportOf("release of a destroyed object"));
    EXPECT_DEATH(retainAfterDestruction(), reportOf("retain of a destroyed object"));
    EXPECT_DEATH(releaseOneTooMany(), reportOf("destroyed object"));
}

TEST(Vector, RetainsOnInsertAndReleasesOnEveryRemoval) {
    int destroyed = 0;
    auto* a = new Probe(&destroyed);
    auto* b = new Probe(&destroyed);
    auto* c = new Probe(&destroyed);
    {
        Vector<Probe*> list;
        list.pushBack(a);
        list.pushBack(b);
        list.insert(0, c);
        EXPECT_EQ(a->getReferenceCount(), 2u);
        EXPECT_EQ(list.at(0), c);
        EXPECT_EQ(list.getIndex(b), 2);

        {
            Vector<Probe*> copy = list;
            EXPECT_EQ(a->getReferenceCount(), 3u);
        }
        EXPECT_EQ(a->getReferenceCount(), 2u);

        list.eraseObject(b);
        EXPECT_EQ(b->getReferenceCount(), 1u);
        list.erase(0);
        EXPECT_EQ(c->getReferenceCount(), 1u);
        list.pushBack(a);
        list.eraseObject(a, true);
        EXPECT_EQ(a->getReferenceCount(), 1u);
        EXPECT_TRUE(list.empty());

        list.pushBack(a);
        list.replace(0, b);
        EXPECT_EQ(a->getReferenceCount(), 1u);
        EXPECT_EQ(b->getReferenceCount(), 2u);
        Vector<Probe*> moved = std::move(list);
        EXPECT_EQ(b->getReferenceCount(), 2u);
    }
    EXPECT_EQ(b->getReferenceCount(), 1u);
    a->release();
    b->release();
    c->release();
    EXPECT_EQ(destroyed, 3);
}

TEST(Vector, ClearReleasesEachElementOnceEvenWhenAnElementDestructorTouchesTheList) {
    int destroyed = 0;
    struct Watcher : Ref {
        Vector<Ref*>* list;
        std::size_t* seenSize;
        Watcher(Vector<Ref*>* l, std::size_t* s) : list(l), seenSize(s) {}
        ~Watcher() override { *seenSize = list->size(); }
    };
    Vector<Ref*> list;
    std::size_t seen = 99;
    list.pushBack(new Probe(&destroyed));
    list.at(0)->release();
    auto* w = new Watcher(&list, &seen);
    list.pushBack(w);
    w->release();
    list.clear();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(seen, 0u);
}
