// The project's own catalogues as the program finds them beside itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Languages.h"
#include "lang/MessageCatalog.h"
#include "lang/Reword.h"
#include "lang/Translate.h"
#include "platform/FileSystem.h"

namespace {

std::string catalogues() {
    return lang::catalogueFolder(cocos2d::filesystem::executableDirectory());
}

class Catalogues : public ::testing::Test {
protected:
    void TearDown() override {
        std::string error;
        lang::switchLanguage("en", catalogues(), error);
    }
};

TEST_F(Catalogues, EveryLanguageIsOfferedUnderItsOwnName) {
    std::vector<std::string> names;
    for (const lang::Language& language : lang::languagesIn(catalogues())) {
        names.push_back(language.code + " " + language.ownName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"en English", "de Deutsch", "es Español",
                                               "fr Français", "ja 日本語"}));
}

TEST_F(Catalogues, PluralsReadRightInEachLanguage) {
    const char* one = "{count} card is not in a row and will not be sent.";
    const char* many = "{count} cards are not in a row and will not be sent.";
    const struct {
        const char* code;
        unsigned long long n;
        const char* text;
    } cases[] = {
        {"en", 1, "1 card is not in a row and will not be sent."},
        {"en", 0, "0 cards are not in a row and will not be sent."},
        {"de", 1, "1 Karte liegt in keiner Reihe und wird nicht gesendet."},
        {"de", 3, "3 Karten liegen in keiner Reihe und werden nicht gesendet."},
        {"fr", 0, "0 carte n'est dans aucune rangée et ne sera pas envoyée."},
        {"fr", 1, "1 carte n'est dans aucune rangée et ne sera pas envoyée."},
        {"fr", 2, "2 cartes ne sont dans aucune rangée et ne seront pas envoyées."},
        {"es", 1, "1 tarjeta no está en ninguna fila y no se enviará."},
        {"es", 3, "3 tarjetas no están en ninguna fila y no se enviarán."},
        {"ja", 1, "1まいのカードが 行に入っていないので、おくられません。"},
        {"ja", 3, "3まいのカードが 行に入っていないので、おくられません。"},
    };
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(lang::switchLanguage(c.code, catalogues(), error)) << c.code << ": " << error;
        EXPECT_EQ(lang::trn(one, many, c.n), c.text) << c.code << " n=" << c.n;
    }
}

TEST_F(Catalogues, ALanguageIsPassedToTheProgramsItStarts) {
    std::string error;
    ASSERT_TRUE(lang::switchLanguage("fr", catalogues(), error)) << error;
    EXPECT_EQ(lang::firstKnown(lang::systemWishes(), {"en", "fr", "de"}), "fr");
    ASSERT_TRUE(lang::switchLanguage("en", catalogues(), error)) << error;
    EXPECT_EQ(lang::firstKnown(lang::systemWishes(), {"en", "fr", "de"}), "en");
}

// A notice already on screen, worded again in the next language, reads as if it had been
// written in that language: the one oracle is the same text composed afresh there.
TEST_F(Catalogues, ATextOnScreenIsWordedAgainInTheNextLanguage) {
    // Each composes a notice the way the program does, in the current language.
    const std::vector<std::pair<const char*, std::string (*)()>> notices = {
        {"a place number",
         [] {
             return lang::fill(lang::tr("Saved in place {number}."), {{"number", "7"}});
         }},
        {"a reason and advice inside a sentence",
         [] {
             return lang::fill(lang::tr("Could not save into {file}: {reason}. {advice}"),
                               {{"file", "place-03 {x}.json"},
                                {"reason", lang::tr("the disk is full")},
                                {"advice", lang::tr("Make room on the disk, then save again.")}});
         }},
        {"a plural",
         [] {
             return lang::trn("{count} card is not in a row and will not be sent.",
                              "{count} cards are not in a row and will not be sent.", 3);
         }},
        {"a singular",
         [] {
             return lang::trn("{count} card is not in a row and will not be sent.",
                              "{count} cards are not in a row and will not be sent.", 1);
         }},
        {"words of no message", [] { return std::string("COM3: Zugriff verweigert"); }},
    };
    const std::vector<std::pair<const char*, const char*>> switches = {
        {"en", "de"}, {"de", "fr"}, {"fr", "ja"}, {"ja", "es"}, {"es", "en"}};
    for (const auto& change : switches) {
        for (const auto& notice : notices) {
            std::string error;
            ASSERT_TRUE(lang::switchLanguage(change.first, catalogues(), error)) << error;
            const auto before = lang::currentCatalog();
            const std::string shown = notice.second();
            ASSERT_TRUE(lang::switchLanguage(change.second, catalogues(), error)) << error;
            EXPECT_EQ(lang::reword(shown, *before, *lang::currentCatalog()), notice.second())
                << notice.first << ", " << change.first << " to " << change.second;
        }
    }
}

}  // namespace
