// A real FieldScene in the headless harness, its first port search answered from a fixed
// port list, with a data folder of its own, and small helpers over its rows.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "cocos2d.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "platform/headless/HeadlessHarness.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "storage/ProgramShelf.h"
#include "tests/scene/FieldScenePeer.h"
#include "tests/support/FreshSelection.h"
#include "tests/support/OwnDataFolder.h"

namespace fieldtest {

// A card's half width: its centre lies this far right of its attachment point.
constexpr float kCardHalfWidth = 100.f;

// The centre of a node's bounding box in world coordinates: where a tap presses it.
inline cocos2d::Vec2 centreOf(const cocos2d::Node* node) {
    const cocos2d::Rect box =
        node->getParent()->getNodeToWorldTransform().transformRect(node->getBoundingBox());
    return cocos2d::Vec2(box.getMidX(), box.getMidY());
}

// A workspace on a fresh headless harness; the device link is idle again once it is gone.
class Workspace {
public:
    // `beforeStart` sees the data folder before the workspace is built (a file from an
    // earlier run).
    explicit Workspace(const std::function<void(const std::filesystem::path&)>& beforeStart = {}) {
        if (beforeStart) {
            beforeStart(data.folder);
        }
        ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
        manager->setPortSource([](std::vector<devicelink::platform::PortRecord>& out) {
            out.push_back({"ttyTEST0", "Test Board"});
            return true;
        });
        manager->setToolFolder("/nonexistent/zc-scene-tests/exe");
        scene = FieldScene::create();
        if (scene != nullptr) {
            harness.scene()->addChild(scene);
        }
    }
    ~Workspace() {
        // The search runs on a real thread; the next workspace needs the device link idle.
        EXPECT_TRUE(finishPortSearch());
        ZundleCardSerialManager::getInstance()->setPortSource({});
        ZundleCardSerialManager::getInstance()->setToolFolder("");
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Steps frames, yielding a millisecond of real time each to the device link's worker,
    // until the condition holds or about 30 s have passed.
    bool stepUntil(const std::function<bool()>& condition) {
        for (int frame = 0; frame < 30000 && !condition(); ++frame) {
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }
    bool finishPortSearch() {
        return stepUntil([] { return !ZundleCardSerialManager::getInstance()->isSearching(); });
    }

    OwnDataFolder data;
    FreshSelection selection;  // first, so the scene is built for kib and basic
    cocos2d::HeadlessHarness harness;
    FieldScene* scene = nullptr;
};

class FieldSceneTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(scene, nullptr); }

    CardSprite* slot(int row, int column) const {
        return inside(scene)
            .fieldRows.at(static_cast<std::size_t>(row))
            .at(static_cast<std::size_t>(column));
    }
    // The card in a slot, or nullptr.
    CardSprite* cardAt(int row, int column) const {
        return slot(row, column)->connectors[0].partner;
    }
    // A slot's or a card's attachment point in field coordinates.
    cocos2d::Vec2 slotPoint(int row, int column) const { return cardPoint(slot(row, column)); }
    cocos2d::Vec2 cardPoint(CardSprite* card) const {
        return scene->toFieldSpace(card, card->connectors[0].point);
    }
    // A new loose card whose attachment point lies at `point`.
    CardSprite* looseCard(const cocos2d::Vec2& point, int set = 0, int index = 0) {
        return scene->addFieldCard(set, index, point + cocos2d::Vec2(kCardHalfWidth, 0.f));
    }
    // A new card placed and linked in a slot.
    CardSprite* cardInSlot(int row, int column, int set = 0, int index = 0) {
        CardSprite* card = looseCard(slotPoint(row, column), set, index);
        scene->linkToNearestSlot(card);
        EXPECT_EQ(cardAt(row, column), card);
        return card;
    }
    // The text of the notice or progress line shown now, or "".
    static std::string textOf(const cocos2d::Node* strip) {
        const auto* shown = dynamic_cast<const NoticeStrip*>(strip);
        return shown == nullptr ? "" : shown->getText();
    }
    std::string noticeText() const { return textOf(inside(scene).notice); }
    std::string progressText() const { return textOf(inside(scene).progressLine); }

    Workspace workspace;
    cocos2d::HeadlessHarness& harness = workspace.harness;
    FieldScene* scene = workspace.scene;
};

}  // namespace fieldtest
