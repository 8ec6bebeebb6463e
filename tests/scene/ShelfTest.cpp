// The shelf in the workspace, tapped as a child taps it: a program saved into a place and
// opened again, a question before a program is replaced, a file that cannot be read or
// written, a dropped file, the last work kept a second after a change, and the question
// when the window is closed with work on the field.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>

#include "GestureTestSupport.h"
#include "scene/NoticeStrip.h"
#include "storage/UserFiles.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::GestureTest;

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// What the shelf's writer does when no test slows it down.
bool writeForReal(const std::string& path, const std::string& text, std::string& error) {
    return userfiles::makeFolder(std::filesystem::path(path).parent_path().string(), error) &&
           userfiles::replaceAtomically(path, text, error);
}

// A strip with this text somewhere below the node, or nullptr.
NoticeStrip* findStrip(Node* node, const std::string& text) {
    if (auto* strip = dynamic_cast<NoticeStrip*>(node);
        strip != nullptr && strip->getText() == text) {
        return strip;
    }
    for (Node* child : node->getChildren()) {
        if (NoticeStrip* found = findStrip(child, text)) {
            return found;
        }
    }
    return nullptr;
}

class ShelfTest : public GestureTest {
protected:
    void SetUp() override {
        GestureTest::SetUp();
        shelf = &scene->programShelf();
    }
    void tapAt(const Vec2& point) {
        harness.tap(point);
        hold(0.2f);  // a popup's fade
    }
    // Taps the button of that text somewhere in the node.
    void tapButton(Node* in, const std::string& text) {
        NoticeStrip* button = in == nullptr ? nullptr : findStrip(in, text);
        ASSERT_NE(button, nullptr) << text;
        tapAt(fieldtest::centreOf(button));
    }
    // Opens the shelf and taps the button of that text in a tile (place 0..11).
    void fromShelf(int place, const std::string& text) {
        if (inside(scene).shelfPopup == nullptr) {
            tapAt(fieldtest::centreOf(inside(scene).shelfButton));
        }
        ASSERT_NE(inside(scene).shelfPopup, nullptr);
        Node* panel = inside(scene).shelfPopup->getChildByTag(FieldSceneInside);
        tapButton(panel == nullptr ? nullptr : panel->getChildByTag(place + 1), text);
    }
    void answer(const std::string& text) { tapButton(inside(scene).questionPopup, text); }
    // Lets the shelf's writer finish and the workspace take its answers.
    void settle() {
        ASSERT_TRUE(scene->programShelf().waitForWrites(std::chrono::seconds(5)));
        hold(0.2f);
    }
    // A shelf on the same folder for another run (another window, or the next start),
    // writing through `write` when given.
    std::unique_ptr<ProgramShelf> shelfOfAnotherRun(BackgroundWriter::Write write = {}) const {
        return std::make_unique<ProgramShelf>(kCatalogue, shelf->folder(), std::move(write));
    }
    static inline const CatalogueSize kCatalogue{{6, 9, 24}, 2};
    static constexpr int FieldSceneInside = 0x506f70;
    ProgramShelf* shelf = nullptr;
};

TEST_F(ShelfTest, AProgramSavedIntoAPlaceOpensAgainAsItWasAndTheOpeningCanBeUndone) {
    // Two rows and a loose card, in the vemmo dialect.
    cardInSlot(0, 0, 0, 0);
    cardInSlot(0, 1, 1, 2);
    cardInSlot(4, 1, 2, 9);
    looseCard(Vec2(700.f, 3600.f), 0, 3);
    DeviceManager::getInstance()->dialect = Dialect::Vemmo;
    scene->refreshDialect();
    const FieldContents saved = scene->fieldContents();
    fromShelf(2, "Save");
    settle();
    EXPECT_EQ(inside(scene).shelfPopup, nullptr);
    EXPECT_EQ(noticeText(), "Saved in place 3.");
    EXPECT_NE(fileText(shelf->placePath(2)).find("\"vemmo\""), std::string::npos);

    scene->layContents(FieldContents{});
    DeviceManager::getInstance()->dialect = Dialect::Kib;
    scene->refreshDialect();
    hold(0.3f);
    fromShelf(2, "Open");
    EXPECT_EQ(scene->fieldContents(), saved);
    scene->undoField();
    EXPECT_TRUE(scene->fieldContents().hasNoCards());
}

TEST_F(ShelfTest, AProgramInAPlaceIsReplacedOnlyWhenTheChildSaysSo) {
    cardInSlot(0, 0, 0, 0);
    fromShelf(0, "Save");
    settle();
    const std::string first = fileText(shelf->placePath(0));

    cardInSlot(1, 0, 0, 1);
    fromShelf(0, "Save");
    answer("Cancel");
    settle();
    EXPECT_EQ(fileText(shelf->placePath(0)), first);

    fromShelf(0, "Save");
    answer("Replace");
    settle();
    EXPECT_NE(fileText(shelf->placePath(0)), first);
    EXPECT_EQ(noticeText(), "Saved in place 1.");
}

TEST_F(ShelfTest, ATileGoneStaleIsNeverSavedOverWithoutTheQuestion) {
    cardInSlot(0, 0, 0, 0);
    fromShelf(0, "Save");
    settle();
    // The shelf is open, its place 2 shown empty, when another window saves there.
    tapAt(fieldtest::centreOf(inside(scene).shelfButton));
    FieldContents theirs;
    theirs.rows[5][1] = CardId{1, 2};
    std::string problem;
    ASSERT_TRUE(shelfOfAnotherRun()->savePlace(1, theirs, problem)) << problem;
    const std::string theirText = fileText(shelf->placePath(1));

    fromShelf(1, "Save");
    ASSERT_NE(inside(scene).questionPopup, nullptr) << "saved over the other window's program";
    answer("Cancel");
    settle();
    EXPECT_EQ(fileText(shelf->placePath(1)), theirText);

    // Only a program is asked about: a folder in the way is said plainly.
    std::filesystem::create_directories(shelf->placePath(2));
    fromShelf(2, "Save");
    EXPECT_EQ(inside(scene).questionPopup, nullptr);
    EXPECT_EQ(noticeText(),
              "Something that is not a program lies in place 3. Ask your teacher to check the "
              "folder.");
}

TEST_F(ShelfTest, ADroppedFileOpensLikeAPlaceButNotUnderTheHand) {
    FieldContents program;
    program.rows[2][0] = CardId{0, 1};
    std::string problem;
    ASSERT_TRUE(shelf->savePlace(5, program, problem)) << problem;
    const std::string good = fileText(shelf->placePath(5));
    const std::string folder = shelf->folder();
    writeFile(folder + "/shared.json", good);
    cardInSlot(0, 0, 0, 0);
    const FieldContents before = scene->fieldContents();

    // Under the hand the field is not replaced.
    press(onScreen(cardAt(0, 0)));
    hold(0.1f);
    scene->openDroppedFile(folder + "/shared.json");
    EXPECT_EQ(noticeText(), "Finish what you are doing, then drop the file again.");
    release();
    hold(0.3f);
    EXPECT_EQ(scene->fieldContents(), before);

    scene->openDroppedFile(folder + "/shared.json");
    EXPECT_EQ(scene->fieldContents(), program);
}

TEST_F(ShelfTest, EachRunKeepsItsOwnWorkASecondAfterAChangeAtTheLatest) {
    // A dialect chosen on an empty field is no work.
    DeviceManager::getInstance()->dialect = Dialect::Vemmo;
    hold(1.5f);
    settle();
    EXPECT_FALSE(shelf->readOwnWork().savedAt.has_value());

    cardInSlot(0, 0, 0, 0);
    hold(1.1f);
    settle();
    const ProgramShelf::Entry kept = shelf->readOwnWork();
    ASSERT_TRUE(kept.contents.has_value()) << kept.problem;
    const FieldContents firstRun = scene->fieldContents();
    EXPECT_EQ(*kept.contents, firstRun);

    // The next start says where the work is, and its own first change leaves it there.
    FieldScene* next = FieldScene::create();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(textOf(inside(next).notice), "Your last work is kept: open it from the shelf.");
    FieldContents nextWork;
    nextWork.rows[3][0] = CardId{0, 1};
    next->layContents(nextWork);
    next->keepLastWork();
    ASSERT_TRUE(next->programShelf().waitForWrites(std::chrono::seconds(5)));
    const std::vector<ProgramShelf::Work> offered = next->programShelf().recentWorks();
    ASSERT_FALSE(offered.empty());
    ASSERT_TRUE(offered[0].entry.contents.has_value());
    EXPECT_EQ(*offered[0].entry.contents, firstRun) << "a new run replaced the last one's work";
    EXPECT_EQ(*shelf->readOwnWork().contents, firstRun);

    // Its tile opens it, as one step of undo.
    tapAt(fieldtest::centreOf(inside(scene).shelfButton));
    ASSERT_NE(inside(scene).shelfPopup, nullptr);
    scene->layContents(FieldContents{});
    hold(0.3f);
    tapButton(inside(scene).shelfPopup->getChildByTag(FieldSceneInside)->getChildByTag(100),
              "Open");
    EXPECT_EQ(scene->fieldContents().rows[3][0], nextWork.rows[3][0]);
}

TEST_F(ShelfTest, ClosingWithWorkOnTheFieldAsksFirst) {
    GLView* view = harness.view();
    EXPECT_TRUE(scene->onCloseRequested()) << "an empty field closes at once";

    cardInSlot(0, 0, 0, 0);
    EXPECT_FALSE(scene->onCloseRequested());
    answer("Cancel");
    EXPECT_FALSE(view->windowShouldClose());

    EXPECT_FALSE(scene->onCloseRequested());
    answer("Keep");
    fromShelf(7, "Save");
    settle();
    EXPECT_TRUE(shelf->readPlace(7).contents.has_value());
    EXPECT_TRUE(view->windowShouldClose());
    ASSERT_TRUE(shelf->readOwnWork().contents.has_value());
    EXPECT_EQ(*shelf->readOwnWork().contents, scene->fieldContents());
}

// Every popup is built alike: while it stands the workspace beneath hears no press, a press
// on its panel leaves it open and one off the panel closes the shelf, and while it fades out
// its buttons answer no more.
TEST_F(ShelfTest, APopupTakesEveryPressAndClosesOnlyOffItsPanel) {
    cardInSlot(0, 0, 0, 0);
    hold(0.3f);
    const auto openShelf = [&] {
        tapAt(fieldtest::centreOf(inside(scene).shelfButton));
        ASSERT_NE(inside(scene).shelfPopup, nullptr);
    };
    openShelf();
    Node* panel = inside(scene).shelfPopup->getChildByTag(FieldSceneInside);
    ASSERT_NE(panel, nullptr);
    tapAt(panel->convertToWorldSpace(Vec2(2.f, 2.f)));
    EXPECT_NE(inside(scene).shelfPopup, nullptr) << "a press on the panel closed the shelf";

    tapAt(fieldtest::centreOf(inside(scene).settingsGear));
    EXPECT_EQ(inside(scene).shelfPopup, nullptr) << "a press off the panel left the shelf open";
    EXPECT_FALSE(inside(scene).settingsBarOpen) << "the gear beneath the shelf heard the press";

    openShelf();
    panel = inside(scene).shelfPopup->getChildByTag(FieldSceneInside);
    NoticeStrip* save = findStrip(panel->getChildByTag(1), "Save");
    NoticeStrip* close = findStrip(panel, "Close");
    ASSERT_TRUE(save != nullptr && close != nullptr);
    const Vec2 savePoint = fieldtest::centreOf(save);
    harness.tap(fieldtest::centreOf(close));
    harness.tap(savePoint);
    settle();
    EXPECT_FALSE(shelf->readPlace(0).savedAt.has_value()) << "a fading shelf's Save still saved";
}

TEST_F(ShelfTest, UndoAndRedoDoNothingBehindAPopup) {
    cardInSlot(0, 0, 0, 0);
    cardInSlot(1, 0, 0, 1);
    hold(0.3f);
    const FieldContents before = scene->fieldContents();
    const auto tryUndoAndRedo = [&](const char* behind) {
        scene->undoField();
        harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true);
        harness.keyUp(EventKeyboard::KeyCode::KEY_Z, true);
        scene->redoField();
        hold(0.1f);
        EXPECT_EQ(scene->fieldContents(), before) << "behind " << behind;
    };
    tapAt(fieldtest::centreOf(inside(scene).shelfButton));
    ASSERT_NE(inside(scene).shelfPopup, nullptr);
    tryUndoAndRedo("the shelf");
    scene->closeShelf();
    hold(0.3f);
    EXPECT_FALSE(scene->onCloseRequested());
    tryUndoAndRedo("the close question");
    answer("Cancel");
    scene->undoField();
    EXPECT_NE(scene->fieldContents(), before) << "undo stopped working after the popups";
}

TEST_F(ShelfTest, ASlowDiskNeverHoldsAFrameAndEveryEndingStillWritesTheWork) {
    // The writer's flush stays under way until the test lets it go.
    std::promise<void> flushed;
    std::shared_future<void> letGo = flushed.get_future().share();
    std::atomic<int> started{0};
    inside(scene).shelf = shelfOfAnotherRun(
        [letGo, &started](const std::string& path, const std::string& text, std::string& error) {
            ++started;
            letGo.wait_for(std::chrono::seconds(20));
            return writeForReal(path, text, error);
        });
    shelf = &scene->programShelf();
    cardInSlot(0, 0, 0, 0);
    hold(1.2f);
    for (int wait = 0; wait < 500 && started == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    cardInSlot(1, 0, 0, 1);
    hold(1.2f);
    // Frames went on while the first write hung; the second change waits behind it.
    EXPECT_EQ(started.load(), 1);
    EXPECT_TRUE(shelf->writing());
    tapAt(fieldtest::centreOf(inside(scene).shelfButton));
    EXPECT_NE(inside(scene).shelfPopup, nullptr);
    flushed.set_value();
    // The close button's way out waits for the writer: the newest field is what is kept.
    scene->closeShelf();
    hold(0.3f);
    EXPECT_FALSE(scene->onCloseRequested());
    answer("Close anyway");
    EXPECT_TRUE(harness.view()->windowShouldClose());
    ASSERT_TRUE(shelf->readOwnWork().contents.has_value());
    EXPECT_EQ(*shelf->readOwnWork().contents, scene->fieldContents());
}

TEST_F(ShelfTest, CloseAnywayWithAFullDiskSaysTheWorkIsNotKeptAndTriesAgain) {
    std::atomic<bool> full{true};
    inside(scene).shelf = shelfOfAnotherRun(
        [&full](const std::string& path, const std::string& text, std::string& error) {
            if (full) {
                error = "the disk is full";
                return false;
            }
            return writeForReal(path, text, error);
        });
    shelf = &scene->programShelf();
    cardInSlot(0, 0, 0, 0);
    hold(1.2f);
    settle();
    EXPECT_NE(noticeText().find("the disk is full"), std::string::npos) << noticeText();
    EXPECT_FALSE(scene->onCloseRequested());
    answer("Close anyway");
    EXPECT_FALSE(harness.view()->windowShouldClose()) << "closed without the work, silently";
    ASSERT_NE(inside(scene).questionPopup, nullptr);
    EXPECT_NE(findStrip(inside(scene).questionPopup, "Try again"), nullptr);
    full = false;
    answer("Try again");
    EXPECT_TRUE(harness.view()->windowShouldClose());
    ASSERT_TRUE(shelf->readOwnWork().contents.has_value());
    EXPECT_EQ(*shelf->readOwnWork().contents, scene->fieldContents());
}

TEST_F(ShelfTest, AFileThatCannotBeReadOrWrittenIsNamedAndTheFieldStays) {
    cardInSlot(0, 0, 0, 0);
    const FieldContents before = scene->fieldContents();
    std::string problem;
    ASSERT_TRUE(shelf->savePlace(1, before, problem)) << problem;
    writeFile(shelf->placePath(1), "{\"format\": \"zundlecards-program\", \"vers");
    fromShelf(1, "Open");
    EXPECT_NE(noticeText().find("place-02.json"), std::string::npos) << noticeText();
    EXPECT_EQ(scene->fieldContents(), before);

    const std::string blocker = (workspace.data.folder / "a-file").string();
    writeFile(blocker, "x");
    inside(scene).shelf =
        std::make_unique<ProgramShelf>(CatalogueSize{{6, 9, 24}, 2}, blocker + "/programs");
    fromShelf(0, "Save");
    settle();
    EXPECT_NE(noticeText().find("Could not save into place-01.json"), std::string::npos)
        << noticeText();
    EXPECT_EQ(scene->fieldContents(), before);
}

}  // namespace
