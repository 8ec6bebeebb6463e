// Vector's references when an element's destructor touches the list being emptied.
#include <gtest/gtest.h>

#include "base/Vector.h"

using cocos2d::Ref;
using cocos2d::Vector;

namespace {

// Counts destructions so tests can see exactly when the last reference went.
class Counted : public Ref {
public:
    explicit Counted(int* destroyed) : _destroyed(destroyed) {}
    ~Counted() override { ++*_destroyed; }

private:
    int* _destroyed;
};

}  // namespace

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
    list.pushBack(new Counted(&destroyed));
    list.pushBack(w);
    list.at(0)->release();
    w->release();
    list.clear();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(seen, 0u);
}
