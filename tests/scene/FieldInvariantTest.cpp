// Thousands of random edits of the field (new cards, drags of single cards and clusters,
// drops on the trash, row inserts and deletes, removals), checking after every step that
// links stay mutual and one-to-one, removed cards are unlinked and gone from the list,
// the usage counters match the cards, and every card lies inside the content.
// A failure names its seed; ZC_FIELD_SEED=<n> reruns that seed alone.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FieldChecks.h"
#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;

namespace {

constexpr int kOperations = 1000;
constexpr std::size_t kMostCards = 70;

class FieldInvariantTest : public FieldSceneTest, public ::testing::WithParamInterface<unsigned> {
protected:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    CardSprite* randomCard() {
        if (scene->fieldCards.empty()) {
            return nullptr;
        }
        return scene->fieldCards.at(
            static_cast<std::size_t>(uniform(0, static_cast<int>(scene->fieldCards.size()) - 1)));
    }
    Vec2 randomFieldPoint() {
        return Vec2(uniform(100.f, fieldtest::kFieldWidth - 100.f),
                    uniform(60.f, fieldtest::kFieldHeight - 60.f));
    }
    // A pointer step: a wiggle, or a jump to near some slot, usually a free one.
    Vec2 randomStep(CardSprite* card, bool last) {
        if (!last && chance(0.35)) {
            return Vec2(uniform(-45.f, 45.f), uniform(-45.f, 45.f));
        }
        int row = uniform(0, FieldScene::kRowCount - 1);
        int column = uniform(0, 1);
        for (int tries = 0; tries < 5 && cardAt(row, column) != nullptr && chance(0.8); ++tries) {
            row = uniform(0, FieldScene::kRowCount - 1);
            column = uniform(0, 1);
        }
        const Vec2 wanted = slotPoint(row, column) - cardPoint(card) +
                            Vec2(uniform(-20.f, 20.f), uniform(-20.f, 20.f));
        // The card goes where the hand goes, which a snap or a hold may have left apart.
        return wanted + scene->handShift;
    }

    // One gesture on a field card: pick-up (held when in a slot), maybe the cluster, moves,
    // and a release, sometimes on the trash marker.
    void drag(CardSprite* card, bool fresh) {
        scene->dragGroup.clear();
        scene->dragGroup.pushBack(card);
        scene->heldSlot = card->connectors[0].partner;
        scene->holdDrift = Vec2::ZERO;
        scene->handShift = Vec2::ZERO;
        scene->raiseGroup();
        if (!fresh && chance(0.5)) {
            scene->collectCluster(card);
            scene->raiseGroup();
        }
        const int moves = uniform(1, 12);
        for (int i = 0; i < moves; ++i) {
            // Most gestures end over a slot, so the field fills up.
            scene->moveGroup(card, randomStep(card, i == moves - 1 && chance(0.7)));
            checkGroup();
            if (HasFatalFailure()) {
                return;
            }
        }
        if (chance(0.1)) {
            const Vector<CardSprite*> dropped = scene->dragGroup;
            for (CardSprite* member : dropped) {
                scene->removeCard(member);
            }
        }
        scene->heldSlot = nullptr;
        scene->holdDrift = Vec2::ZERO;
        scene->dragGroup.clear();
    }

    void randomOperation() {
        const int kind = uniform(0, 99);
        if (kind < 30 && scene->fieldCards.size() < kMostCards) {
            const int set = uniform(0, 2);
            const int index = uniform(
                0,
                static_cast<int>(scene->usageCounters[static_cast<std::size_t>(set)].size()) - 1);
            CardSprite* card = scene->addFieldCard(set, index, randomFieldPoint());
            ASSERT_NE(card, nullptr);
            everSeen.pushBack(card);
            drag(card, true);
            operation = "new card";
        } else if (kind < 80) {
            if (CardSprite* card = randomCard()) {
                drag(card, false);
            }
            operation = "drag";
        } else if (kind < 87) {
            scene->insertRow(uniform(0, FieldScene::kRowCount - 1));
            operation = "insert row";
        } else if (kind < 94) {
            scene->deleteRow(uniform(0, FieldScene::kRowCount - 1));
            operation = "delete row";
        } else {
            scene->removeCard(randomCard());
            operation = "remove card";
        }
        // Row moves may still be running when the next edit comes, or may have finished.
        harness.steps(uniform(0, 8));
    }

    // The cheap part of the check, for the cards a move touches.
    void checkGroup() {
        const Size field = scene->fieldView->getContentSize();
        for (CardSprite* member : scene->dragGroup) {
            const CardSprite* s = member->connectors[0].partner;
            ASSERT_TRUE(s == nullptr || s->connectors[0].partner == member)
                << "a moved card points at a slot that does not hold it, operation " << step;
            ASSERT_EQ(member->connectors[1].partner, nullptr);
            const Rect box = member->getBoundingBox();
            ASSERT_TRUE(box.getMinX() >= 0.f && box.getMinY() >= 0.f &&
                        box.getMaxX() <= field.width && box.getMaxY() <= field.height)
                << "a moved card left the content, operation " << step;
        }
        if (const CardSprite* held = scene->heldSlot) {
            ASSERT_NE(held->connectors[0].partner, nullptr) << "the held slot is empty";
        }
    }

    void check(const char* during) {
        const std::string problem = firstViolation();
        ASSERT_EQ(problem, "") << "during " << during << " in operation " << step << " ("
                               << operation << ")";
    }

    std::string firstViolation() const {
        const std::string field = fieldtest::firstFieldViolation(*scene);
        if (!field.empty()) {
            return field;
        }
        int linked = 0;
        for (const FieldScene::FieldRow& row : scene->fieldRows) {
            for (const CardSprite* s : row) {
                linked += s->connectors[0].partner != nullptr ? 1 : 0;
            }
        }
        for (CardSprite* card : everSeen) {
            if (!scene->fieldCards.contains(card) && (card->connectors[0].partner != nullptr ||
                                                      card->connectors[1].partner != nullptr)) {
                return "a removed card is still linked";
            }
        }
        mostLinked = std::max(mostLinked, linked);
        return "";
    }

    std::mt19937 rng;
    // Every card ever placed, kept alive so a removed card's address is never reused.
    Vector<CardSprite*> everSeen;
    int step = 0;
    mutable int mostLinked = 0;
    const char* operation = "";
};

TEST_P(FieldInvariantTest, HoldThroughRandomEditing) {
    unsigned seed = GetParam();
    if (const char* forced = std::getenv("ZC_FIELD_SEED")) {
        seed = static_cast<unsigned>(std::strtoul(forced, nullptr, 10));
    }
    SCOPED_TRACE("seed " + std::to_string(seed) +
                 " (rerun with ZC_FIELD_SEED=" + std::to_string(seed) + ")");
    rng.seed(seed);
    // Nothing here is looked at; drawing thousands of frames would only cost time.
    harness.scene()->setVisible(false);
    for (step = 0; step < kOperations; ++step) {
        randomOperation();
        check("the operation");
        if (HasFatalFailure()) {
            return;
        }
    }
    // The field really was exercised: many cards were linked at once, and many removed.
    EXPECT_GT(everSeen.size(), scene->fieldCards.size());
    EXPECT_GT(mostLinked, 15);
}

INSTANTIATE_TEST_SUITE_P(Seeds, FieldInvariantTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
