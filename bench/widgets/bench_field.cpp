// Cost of the field operations a gesture runs once per pointer event or per button press,
// on a full field of 60 cards: moving a lifted 2 x 6 cluster that lets go of its slots and
// snaps into others, and inserting a row at the top.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"
#include "scene/FieldScene.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;

namespace {

// A FieldScene in the harness with every slot filled; pictures load from the source tree.
class FullField {
public:
    FullField() {
        if (chdir(ZC_SOURCE_DIR) != 0) {
            return;
        }
        scene = FieldScene::create();
        harness.scene()->addChild(scene);
        for (int r = 0; r < FieldScene::kRowCount; ++r) {
            fillRow(r);
        }
    }
    // Puts a card into each empty slot of the row.
    void fillRow(int row) {
        for (CardSprite* slot : inside(scene).fieldRows[static_cast<std::size_t>(row)]) {
            if (slot->connectors[0].partner != nullptr) {
                continue;
            }
            const Vec2 point = scene->toFieldSpace(slot, slot->connectors[0].point);
            // A set other than the shown one, so no palette badge is needed.
            CardSprite* card = scene->addFieldCard(1, row % 15, point + Vec2(100.f, 0.f));
            scene->linkToNearestSlot(card);
        }
    }
    CardSprite* cardAt(int row, int column) const {
        return inside(scene)
            .fieldRows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
            ->connectors[0]
            .partner;
    }

    HeadlessHarness harness;
    FieldScene* scene = nullptr;
};

// Each call lets the held cluster go (12 detaches and moves), then snaps it one row lower
// or back up: a search for the lead card and one for each of the other eleven.
void BM_MoveGroupClusterAcrossFullField(benchmark::State& state) {
    FullField field;
    if (field.scene == nullptr) {
        state.SkipWithError("the field could not be built");
        return;
    }
    FieldScene* scene = field.scene;
    // Rows 0..5 were lifted as a block (before rows 6.. were filled, which would have
    // joined them); they hang from the lead's slot.
    inside(scene).dragGroup.clear();
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 2; ++c) {
            inside(scene).dragGroup.pushBack(field.cardAt(r, c));
        }
    }
    CardSprite* lead = field.cardAt(0, 0);
    inside(scene).heldSlot = lead->connectors[0].partner;
    // The card follows the hand exactly, so a move of one row's height lets go (past the
    // hold's reach) and lands the lead on the next slot's point. Make sure each call really
    // lets go and snaps: down one row, then back.
    CardSprite* top = inside(scene).heldSlot;
    const Vec2 rowStep = scene->toFieldSpace(top->down, top->down->connectors[0].point) -
                         scene->toFieldSpace(top, top->connectors[0].point);
    scene->moveGroup(lead, rowStep);
    const bool snappedDown = inside(scene).heldSlot == top->down && field.cardAt(5, 1) != nullptr;
    scene->moveGroup(lead, -rowStep);
    if (!snappedDown || inside(scene).heldSlot != top || field.cardAt(5, 1) == nullptr) {
        state.SkipWithError("the cluster does not snap as planned");
        return;
    }
    bool down = true;
    for (auto _ : state) {
        scene->moveGroup(lead, down ? rowStep : -rowStep);
        down = !down;
    }
    inside(scene).heldSlot = nullptr;
    inside(scene).dragGroup.clear();
}
BENCHMARK(BM_MoveGroupClusterAcrossFullField);

// insertRow(0) with 60 cards: 58 shifted with a 0.1 s move each, two removed. The field is
// refilled and the animations run out between the timed calls.
void BM_InsertRowOnFullField(benchmark::State& state) {
    FullField field;
    if (field.scene == nullptr) {
        state.SkipWithError("the field could not be built");
        return;
    }
    for (auto _ : state) {
        field.scene->insertRow(0);
        state.PauseTiming();
        field.fillRow(0);
        field.harness.steps(13);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertRowOnFullField);

}  // namespace
