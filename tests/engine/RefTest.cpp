// Reference counting: the autorelease pool, late retains and releases, and Vector's
// references, including destructors that touch what is being emptied.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
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

// Storage we own, so a destroyed object can be touched again without freeing memory.
void releaseAfterDestruction() {
    std::aligned_storage_t<sizeof(Probe), alignof(Probe)> storage;
    int destroyed = 0;
    auto* p = new (&storage) Probe(&destroyed);
    p->retain();
    p->~Probe();
    p->release();
}

void releaseOneTooMany() {
    int destroyed = 0;
    auto* p = new Probe(&destroyed);
    p->release();  // deletes it
    p->release();
}

TEST(RefDeathTest, LateReleaseIsCaughtWithAClearMessage) {
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds";
#endif
    // Under the sanitizers their own report may come before our marker check; either way
    // the fault stops the program loudly. Substrings, not a regular expression: GoogleTest's
    // Windows build knows no alternatives.
    auto reportOf = [](const char* marker) {
        using testing::HasSubstr;
        return testing::AnyOf(HasSubstr(marker), HasSubstr("invalid vptr"),
                              HasSubstr("does not point to an object"),
                              HasSubstr("heap-use-after-free"));
    };
    EXPECT_DEATH(releaseAfterDestruction(), reportOf("release of a destroyed object"));
    EXPECT_DEATH(releaseOneTooMany(), reportOf("destroyed object"));
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
