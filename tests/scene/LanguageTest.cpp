// The workspace in the child's language: chosen in the settings bar and applied at once
// with nothing on the field lost, kept for the next start, English after a damaged
// settings file, and every caption inside its card in every language.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FieldTestSupport.h"
#include "lang/Languages.h"
#include "lang/Translate.h"
#include "storage/LanguageSetting.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;

namespace {

// What a workspace that started this one would pass on ("" for nothing).
void passLanguage(const char* code) {
#ifdef _WIN32
    _putenv_s(lang::kPassedVariable, code);
#else
    *code != '\0' ? setenv(lang::kPassedVariable, code, 1) : unsetenv(lang::kPassedVariable);
#endif
}

std::string captionOf(const CardSprite* card) {
    return card->getCaption() == nullptr ? "" : card->getCaption()->getString();
}

std::string tabName(const Sprite* tab) {
    for (const Node* child : tab->getChildren()) {
        if (const auto* label = dynamic_cast<const Label*>(child)) {
            return label->getString();
        }
    }
    return "";
}

std::string settingsText(const std::filesystem::path& data) {
    std::ostringstream text;
    text << std::ifstream(data / "zundlecards" / kSettingsFile).rdbuf();
    return text.str();
}

class LanguageTest : public FieldSceneTest {
protected:
    void TearDown() override { inside(scene).chooseLanguage("en"); }

    LayerColor* languageButton(const std::string& code) {
        for (LayerColor* button : inside(scene).languageButtons) {
            if (button->getName() == code) {
                return button;
            }
        }
        return nullptr;
    }
    // Opens the settings bar and taps a language's button, as a child does.
    void tapLanguage(const std::string& code) {
        if (!inside(scene).settingsBarOpen) {
            harness.tap(fieldtest::centreOf(inside(scene).settingsGear));
            workspace.stepUntil([this] { return inside(scene).settingsBar->getPositionY() >= 0.f; });
        }
        LayerColor* button = languageButton(code);
        ASSERT_NE(button, nullptr) << code;
        harness.tap(fieldtest::centreOf(button));
        harness.step();
    }
};

TEST_F(LanguageTest, TheSettingsBarOffersEachLanguageByItsOwnName) {
    std::vector<std::string> names;
    for (LayerColor* button : inside(scene).languageButtons) {
        for (Node* child : button->getChildren()) {
            if (auto* label = dynamic_cast<Label*>(child)) {
                names.push_back(label->getString());
            }
        }
    }
    EXPECT_EQ(names.size(), 5u);
    for (const char* name : {"English", "Deutsch", "Français", "Español", "日本語"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
}

TEST_F(LanguageTest, ChoosingALanguageRewritesTheWorkspaceAndKeepsTheField) {
    CardSprite* seated = cardInSlot(2, 0, 0, 0);
    inside(scene).watchField();
    CardSprite* loose = looseCard(Vec2(900.f, 900.f), 0, 1);
    inside(scene).watchField();
    const FieldContents before = scene->fieldContents();
    ASSERT_EQ(captionOf(seated), "LED on");

    tapLanguage("de");
    EXPECT_EQ(lang::currentLanguage(), "de");
    EXPECT_EQ(captionOf(seated), "LED an");
    EXPECT_EQ(captionOf(loose), "LED aus");
    EXPECT_EQ(captionOf(inside(scene).paletteCards.at(0)), "LED an");
    EXPECT_EQ(tabName(inside(scene).cardSetTabs.at(0)), "Basis");
    EXPECT_EQ(inside(scene).creditLabel->getString().rfind("Bilder", 0), 0u);
    // Nothing on the field moved or went, and the step before the change can still be undone.
    EXPECT_EQ(scene->fieldContents(), before);
    EXPECT_EQ(inside(scene).fieldCards.size(), 2u);
    scene->undoField();
    workspace.stepUntil([this] { return inside(scene).fieldCards.size() == 1u; });
    ASSERT_EQ(inside(scene).fieldCards.size(), 1u) << "undo takes the loose card back";
    EXPECT_EQ(captionOf(inside(scene).fieldCards.at(0)), "LED an");

    tapLanguage("ja");
    EXPECT_EQ(captionOf(inside(scene).fieldCards.at(0)), "LEDをつける");
    EXPECT_EQ(tabName(inside(scene).cardSetTabs.at(1)), "くるま");
}

TEST_F(LanguageTest, ANoticeOnScreenTurnsToTheNewLanguageAndKeepsItsTime) {
    const auto saved = [] {
        return lang::fill(lang::tr("Could not save into {file}: {reason}. {advice}"),
                          {{"file", "place-02.json"},
                           {"reason", lang::tr("the disk is full")},
                           {"advice", lang::tr("Make room on the disk, then save again.")}});
    };
    scene->showNotice(saved());
    // Four of its six seconds pass before the child changes the language.
    harness.steps(240);
    tapLanguage("de");
    EXPECT_EQ(noticeText(), saved());
    EXPECT_NE(noticeText().find("Platz"), std::string::npos) << noticeText();
    // It still ends when it would have: six seconds and its half-second fade after it came.
    harness.steps(60);
    EXPECT_NE(inside(scene).notice, nullptr) << "gone early";
    harness.steps(90);
    EXPECT_EQ(inside(scene).notice, nullptr) << "shown anew instead of kept";
}

// The button of what the board says, and its panel, leave the bar's labels readable
// whatever the button's words, and still open and close the panel there.
TEST_F(LanguageTest, WhatTheBoardSaysStaysClearOfTheOpenSettingsBar) {
    for (const lang::Language& language : lang::languagesIn(
             lang::catalogueFolder(FileUtils::getInstance()->getExecutableDirectory()))) {
        tapLanguage(language.code);
        harness.steps(30);
        const Vec2 bar = inside(scene).settingsBar->getPosition();
        const auto onScreen = [&bar](const Node* label) {
            Rect box = label->getBoundingBox();
            box.origin += bar;
            return box;
        };
        Node* button = inside(scene).answerButton;
        for (const Node* label : {static_cast<const Node*>(inside(scene).versionLabel),
                                  static_cast<const Node*>(inside(scene).creditLabel)}) {
            EXPECT_FALSE(button->getBoundingBox().intersectsRect(onScreen(label)))
                << language.code << " button over "
                << (label == inside(scene).versionLabel ? "version" : "credit");
        }
        harness.tap(fieldtest::centreOf(button));
        ASSERT_NE(inside(scene).answerPanel, nullptr) << language.code;
        EXPECT_FALSE(inside(scene).answerPanel->getBoundingBox().intersectsRect(
            onScreen(inside(scene).versionLabel)))
            << language.code;
        harness.tap(fieldtest::centreOf(button));
        EXPECT_EQ(inside(scene).answerPanel, nullptr) << language.code;
    }
}

TEST_F(LanguageTest, TheChoiceIsKeptForTheNextStart) {
    tapLanguage("fr");
    EXPECT_NE(settingsText(workspace.data.folder).find("\"fr\""), std::string::npos);
    // What the next start does, with the system asking for something else.
    lang::useCatalog("en", lang::MessageCatalog{});
    passLanguage("de");
    inside(scene).startLanguage();
    EXPECT_EQ(lang::currentLanguage(), "fr");
    EXPECT_TRUE(inside(scene).languageProblem.empty());
}

TEST_F(LanguageTest, AUnreadableSettingsFolderIsANoticeAndTheLanguageStillChanges) {
    const std::filesystem::path folder = workspace.data.folder / "zundlecards";
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "a file where the data folder should be";
    tapLanguage("es");
    EXPECT_EQ(lang::currentLanguage(), "es");
    EXPECT_NE(noticeText().find("No se pudo guardar el idioma"), std::string::npos) << noticeText();
    std::filesystem::remove(folder);
}

TEST(LanguageStart, ADamagedSettingsFileMeansEnglishAndANotice) {
    passLanguage("de");
    fieldtest::Workspace workspace([](const std::filesystem::path& data) {
        std::filesystem::create_directories(data / "zundlecards");
        std::ofstream(data / "zundlecards" / kSettingsFile) << "{\"format\": \"zundl";
    });
    ASSERT_NE(workspace.scene, nullptr);
    EXPECT_EQ(lang::currentLanguage(), "en");
    const auto* notice = dynamic_cast<const NoticeStrip*>(inside(workspace.scene).notice);
    ASSERT_NE(notice, nullptr);
    EXPECT_NE(notice->getText().find("settings file"), std::string::npos) << notice->getText();
    passLanguage("");
}

TEST(LanguageStart, AFirstStartFollowsTheSystem) {
    passLanguage("es");
    fieldtest::Workspace workspace;
    ASSERT_NE(workspace.scene, nullptr);
    EXPECT_EQ(lang::currentLanguage(), "es");
    EXPECT_EQ(captionOf(inside(workspace.scene).paletteCards.at(0)), "LED encendido");
    inside(workspace.scene).chooseLanguage("en");
    passLanguage("");
}

// The tag of a popup's panel (FieldScene's own is private).
constexpr int kPopupInside = 0x506f70;

// The strips (buttons) directly inside a node, as boxes in its coordinates.
std::vector<Rect> buttonBoxes(Node* node) {
    std::vector<Rect> boxes;
    for (Node* child : node->getChildren()) {
        if (dynamic_cast<NoticeStrip*>(child) != nullptr) {
            boxes.push_back(child->getBoundingBox());
        }
    }
    return boxes;
}

// Side by side, whole, apart: what a row of buttons must be whatever their words.
void expectApartAndInside(const std::vector<Rect>& boxes, float width, const std::string& where) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_GE(boxes[i].getMinX(), 0.f) << where << " button " << i;
        EXPECT_LE(boxes[i].getMaxX(), width) << where << " button " << i;
        for (std::size_t k = i + 1; k < boxes.size(); ++k) {
            EXPECT_FALSE(boxes[i].intersectsRect(boxes[k]))
                << where << " buttons " << i << ", " << k;
        }
    }
}

TEST_F(LanguageTest, PopupButtonsStayWholeAndApartInEveryLanguage) {
    cardInSlot(0, 0, 0, 0);
    scene->saveIntoPlace(0);
    ASSERT_TRUE(scene->programShelf().waitForWrites(std::chrono::seconds(5)));
    for (int frame = 0; frame < 10; ++frame) {
        harness.step();
    }
    for (const lang::Language& language : lang::languagesIn(
             lang::catalogueFolder(FileUtils::getInstance()->getExecutableDirectory()))) {
        inside(scene).chooseLanguage(language.code);
        scene->openShelf();
        ASSERT_NE(inside(scene).shelfPopup, nullptr);
        Node* popupInside = inside(scene).shelfPopup->getChildByTag(kPopupInside);
        Node* tile = popupInside->getChildByTag(1);
        ASSERT_NE(tile, nullptr);
        const std::vector<Rect> tileButtons = buttonBoxes(tile);
        EXPECT_EQ(tileButtons.size(), 2u) << "open and save";
        // The tile is drawn by its frame, the widest bar in it.
        float tileWidth = 0.f;
        for (Node* child : tile->getChildren()) {
            if (dynamic_cast<LayerColor*>(child) != nullptr) {
                tileWidth = std::max(tileWidth, child->getContentSize().width);
            }
        }
        ASSERT_GT(tileWidth, 0.f);
        expectApartAndInside(tileButtons, tileWidth, language.code + " tile");
        expectApartAndInside(buttonBoxes(popupInside), popupInside->getContentSize().width,
                             language.code + " shelf");
        scene->closeShelf();
        harness.step();

        inside(scene).askQuestion(lang::tr("Keep your program in a place before you close?"),
                           {{lang::tr("Keep"), [] {}},
                            {lang::tr("Close anyway"), [] {}},
                            {lang::tr("Cancel"), [] {}}});
        ASSERT_NE(inside(scene).questionPopup, nullptr);
        Node* question = inside(scene).questionPopup->getChildByTag(kPopupInside);
        const std::vector<Rect> answers = buttonBoxes(question);
        EXPECT_EQ(answers.size(), 3u);
        expectApartAndInside(answers, question->getContentSize().width,
                             language.code + " question");
        // Cancel, the last answer, as a child would.
        Node* cancel = nullptr;
        for (Node* child : question->getChildren()) {
            if (dynamic_cast<NoticeStrip*>(child) != nullptr) {
                cancel = child;
            }
        }
        ASSERT_NE(cancel, nullptr);
        harness.tap(fieldtest::centreOf(cancel));
        workspace.stepUntil([this] { return inside(scene).questionPopup == nullptr; });
        harness.step();
    }
}

// Every caption of every card, in every language, lies inside the card's top band.
TEST_F(LanguageTest, EveryCaptionStaysInsideItsCard) {
    DeviceManager* catalogue = DeviceManager::getInstance();
    for (const lang::Language& language : lang::languagesIn(
             lang::catalogueFolder(FileUtils::getInstance()->getExecutableDirectory()))) {
        inside(scene).chooseLanguage(language.code);
        for (int set = 0; set < FieldScene::kCardSetCount; ++set) {
            for (int index = 0; index < catalogue->getCardCount(set); ++index) {
                CardSprite* card = looseCard(Vec2(600.f, 2000.f), set, index);
                ASSERT_NE(card, nullptr);
                const Label* caption = card->getCaption();
                ASSERT_NE(caption, nullptr);
                // The coloured band along the card's top, clear of its rounded corners.
                const Size size = card->picture->getContentSize();
                const Rect band(8.f, size.height - 28.f, size.width - 16.f, 28.f);
                const Rect box = caption->getBoundingBox();
                const std::string where = language.code + " " + caption->getString();
                EXPECT_GE(box.getMinX(), band.getMinX()) << where;
                EXPECT_LE(box.getMaxX(), band.getMaxX()) << where;
                EXPECT_GE(box.getMinY(), band.getMinY()) << where;
                EXPECT_LE(box.getMaxY(), band.getMaxY()) << where;
                // Drawn whole, at a size that stays legible: the text at the caption's size
                // and width needs no more room than the caption has.
                EXPECT_GE(caption->getSystemFontSize(), 9.f) << where;
                Label* whole =
                    Label::createWithSystemFont(caption->getString(), caption->getSystemFontName(),
                                                caption->getSystemFontSize());
                if (caption->getDimensions().width > 0.f) {
                    whole->setDimensions(caption->getDimensions().width, 0.f);
                }
                EXPECT_LE(whole->getContentSize().height, box.size.height + 0.5f)
                    << where << " is cut";
                EXPECT_GT(box.size.width, 0.f) << where;
                scene->removeCard(card, false);
            }
        }
    }
}

}  // namespace
