#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;
using enginetest::drawnMarkers;
using enginetest::marker;

namespace {

class NodeTree : public ::testing::Test {
protected:
    HeadlessHarness harness;
};

// Records the order of life-cycle calls.
class Probe : public Node {
public:
    static Probe* create(std::vector<std::string>* log, const std::string& name) {
        auto* p = new Probe(log, name);
        p->autorelease();
        return p;
    }
    void onEnter() override {
        Node::onEnter();
        _log->push_back("enter " + _label);
    }
    void onExit() override {
        Node::onExit();
        _log->push_back("exit " + _label);
    }
    void cleanup() override {
        Node::cleanup();
        _log->push_back("cleanup " + _label);
    }
    ~Probe() override { _log->push_back("gone " + _label); }

private:
    Probe(std::vector<std::string>* log, std::string name) : _log(log), _label(std::move(name)) {}
    std::vector<std::string>* _log;
    std::string _label;
};

}  // namespace

TEST_F(NodeTree, DrawsByZOrderThenArrivalWithNegativeZBeforeTheParent) {
    Node* parent = marker(10);
    harness.scene()->addChild(parent);
    parent->addChild(marker(1), 0);
    parent->addChild(marker(2), -1);
    parent->addChild(marker(3), 5);
    parent->addChild(marker(4), 0);
    parent->addChild(marker(5), -1);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{2, 5, 10, 1, 4, 3}));
}

TEST_F(NodeTree, SetLocalZOrderResortsAndEqualOrdersKeepInsertionOrder) {
    Node* a = marker(1);
    Node* b = marker(2);
    Node* c = marker(3);
    harness.scene()->addChild(a);
    harness.scene()->addChild(b);
    harness.scene()->addChild(c);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{1, 2, 3}));

    a->setLocalZOrder(2);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{2, 3, 1}));

    // Back to 0: among equals the order of arrival holds again.
    a->setLocalZOrder(0);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(harness.scene()->getChildren().at(0), a);
}

TEST_F(NodeTree, HiddenNodesAndTheirChildrenAreNotDrawn) {
    Node* parent = marker(1);
    parent->addChild(marker(2));
    harness.scene()->addChild(parent);
    harness.scene()->addChild(marker(3));
    parent->setVisible(false);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{3}));
}

TEST_F(NodeTree, ChildrenAreRetainedByTheirParentOnly) {
    Node* child = Node::create();
    EXPECT_EQ(child->getReferenceCount(), 1u);  // the autorelease pool's
    harness.scene()->addChild(child);
    EXPECT_EQ(child->getReferenceCount(), 2u);
    harness.step();  // drains the pool
    EXPECT_EQ(child->getReferenceCount(), 1u);

    child->retain();
    harness.scene()->removeChild(child);
    EXPECT_EQ(child->getReferenceCount(), 1u);
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_FALSE(child->isRunning());
    child->release();
}

TEST_F(NodeTree, EnteringAndLeavingTheSceneRunsTheLifeCycleInOrder) {
    std::vector<std::string> log;
    Probe* outer = Probe::create(&log, "outer");
    outer->addChild(Probe::create(&log, "inner"));
    harness.scene()->addChild(outer);
    EXPECT_EQ(log, (std::vector<std::string>{"enter inner", "enter outer"}));
    EXPECT_TRUE(outer->isRunning());
    EXPECT_TRUE(outer->getChildren().at(0)->isRunning());

    log.clear();
    outer->removeFromParentAndCleanup(true);
    harness.step();
    // Children go first, as each node's handler calls the base before logging.
    EXPECT_EQ(log, (std::vector<std::string>{"exit inner", "exit outer", "cleanup inner",
                                             "cleanup outer", "gone outer", "gone inner"}));
}

TEST_F(NodeTree, RemoveAllChildrenSurvivesAChildThatRemovesAnotherOnExit) {
    // A child whose exit handler takes a sibling out must not make the parent skip or
    // free anything twice.
    class Remover : public Node {
    public:
        Node* victim = nullptr;
        void onExit() override {
            Node::onExit();
            if (victim != nullptr) {
                victim->removeFromParent();
            }
        }
    };
    auto* remover = new Remover();
    remover->autorelease();
    Node* victim = Node::create();
    remover->victim = victim;
    harness.scene()->addChild(remover);
    harness.scene()->addChild(victim);
    harness.scene()->addChild(Node::create());
    harness.scene()->removeAllChildren();
    EXPECT_EQ(harness.scene()->getChildrenCount(), 0);
    harness.step();
}

TEST_F(NodeTree, CleanupStopsActionsAndCallbacksButRemovalWithoutItKeepsThem) {
    Node* kept = Node::create();
    Node* cleaned = Node::create();
    harness.scene()->addChild(kept);
    harness.scene()->addChild(cleaned);
    int keptTicks = 0, cleanedTicks = 0;
    kept->schedule([&](float) { ++keptTicks; }, "tick");
    cleaned->schedule([&](float) { ++cleanedTicks; }, "tick");
    kept->runAction(RepeatForever::create(RotateBy::create(1.f, 90.f)));
    cleaned->runAction(RepeatForever::create(RotateBy::create(1.f, 90.f)));
    harness.step();

    kept->retain();
    kept->removeFromParentAndCleanup(false);
    cleaned->removeFromParentAndCleanup(true);
    EXPECT_EQ(cleaned->getNumberOfRunningActions(), 0);
    EXPECT_EQ(kept->getNumberOfRunningActions(), 1);
    harness.steps(3);
    EXPECT_EQ(cleanedTicks, 1);
    EXPECT_EQ(keptTicks, 1);  // paused while out of the scene

    harness.scene()->addChild(kept);
    kept->release();
    harness.step();
    EXPECT_EQ(keptTicks, 2);  // resumed on entering again
}

TEST_F(NodeTree, ScheduledCallbacksOfANodeWaitUntilItRuns) {
    Node* node = Node::create();
    node->retain();
    int ticks = 0;
    node->schedule([&](float) { ++ticks; }, "tick");
    harness.steps(2);
    EXPECT_EQ(ticks, 0);
    harness.scene()->addChild(node);
    node->release();
    harness.steps(2);
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(node->isScheduled("tick"));
    node->unschedule("tick");
    EXPECT_FALSE(node->isScheduled("tick"));
}
