// The shelf in the workspace, tapped as a child taps it: a program saved into a place and
// opened again, a question before a program is replaced, a file that cannot be read or
// written, a dropped file, the last work kept a second after a change, and the question
// when the window is closed with work on the field.
#include <fstream>
#include <sstream>
#include <string>

#include "GestureTestSupport.h"
#include "scene/NoticeStrip.h"

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
        if (scene->shelfPopup == nullptr) {
            tapAt(fieldtest::centreOf(scene->shelfButton));
        }
        ASSERT_NE(scene->shelfPopup, nullptr);
        Node* inside = scene->shelfPopup->getChildByTag(FieldSceneInside);
        tapButton(inside == nullptr ? nullptr : inside->getChildByTag(place + 1), text);
    }
    void answer(const std::string& text) { tapButton(scene->questionPopup, text); }
    static constexpr int FieldSceneInside = 0x506f70;
    ProgramShelf* shelf = nullptr;
};

TEST_F(ShelfTest, AProgramSavedIntoAPlaceOpensAgainAsItWasAndTheOpeningCanBeUndone) {
    // Two rows and a loose card, in the vemmo dialect.
    cardInSlot(0, 0, 0, 0);
    cardInSlot(0, 1, 1, 2);
    cardInSlot(4, 1, 2, 9);
    looseCard(Vec2(700.f, 3600.f), 0, 3);
    DeviceManager::getInstance()->dialect = 1;
    scene->refreshDialect();
    const FieldContents saved = scene->fieldContents();
    fromShelf(2, "Save");
    EXPECT_EQ(scene->shelfPopup, nullptr);
    EXPECT_EQ(noticeText(), "Saved in place 3.");
    EXPECT_NE(fileText(shelf->placePath(2)).find("\"vemmo\""), std::string::npos);

    scene->layContents(FieldContents{});
    DeviceManager::getInstance()->dialect = 0;
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
    const std::string first = fileText(shelf->placePath(0));

    cardInSlot(1, 0, 0, 1);
    fromShelf(0, "Save");
    answer("Cancel");
    EXPECT_EQ(fileText(shelf->placePath(0)), first);

    fromShelf(0, "Save");
    answer("Replace");
    EXPECT_NE(fileText(shelf->placePath(0)), first);
    EXPECT_EQ(noticeText(), "Saved in place 1.");
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

TEST_F(ShelfTest, TheLastWorkIsKeptASecondAfterAChangeAtTheLatest) {
    // A dialect chosen on an empty field is no work: an earlier run's last work stays.
    DeviceManager::getInstance()->dialect = 1;
    hold(1.5f);
    EXPECT_FALSE(shelf->readLastWork().savedAt.has_value());

    cardInSlot(0, 0, 0, 0);
    hold(1.1f);
    const ProgramShelf::Entry kept = shelf->readLastWork();
    ASSERT_TRUE(kept.contents.has_value()) << kept.problem;
    EXPECT_EQ(*kept.contents, scene->fieldContents());

    // A new start tells that the last work can be opened from the shelf, and opens it.
    FieldScene* next = FieldScene::create();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(textOf(next->notice), "Your last work is kept: open it from the shelf.");
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
    EXPECT_TRUE(shelf->readPlace(7).contents.has_value());
    EXPECT_TRUE(view->windowShouldClose());
    ASSERT_TRUE(shelf->readLastWork().contents.has_value());
    EXPECT_EQ(*shelf->readLastWork().contents, scene->fieldContents());
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
    scene->shelf =
        std::make_unique<ProgramShelf>(CatalogueSize{{6, 9, 24}, 2}, blocker + "/programs");
    fromShelf(0, "Save");
    EXPECT_NE(noticeText().find("Could not save into place-01.json"), std::string::npos)
        << noticeText();
    EXPECT_EQ(scene->fieldContents(), before);
}

}  // namespace
