#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lang/Languages.h"
#include "lang/Translate.h"

namespace {

const std::vector<std::string> kKnown = {"en", "de", "fr", "es", "ja", "pt_BR"};

std::string chosen(const std::map<std::string, std::string>& environment) {
    const auto variable = [&environment](const char* name) {
        const auto found = environment.find(name);
        return found == environment.end() ? std::string() : found->second;
    };
    return lang::firstKnown(lang::environmentWishes(variable), kKnown);
}

TEST(SystemLanguage, EachVariableOfTheEnvironmentChoosesInItsOrder) {
    const struct {
        std::map<std::string, std::string> environment;
        const char* language;
    } cases[] = {
        {{}, "en"},
        {{{"LANG", "de_DE.UTF-8"}}, "de"},
        {{{"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, "fr"},
        {{{"LC_ALL", "es_ES.UTF-8"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "de_DE"}}, "es"},
        {{{"LANGUAGE", "ja"}, {"LANG", "de_DE.UTF-8"}}, "ja"},
        // The first language of the list that the program has wins.
        {{{"LANGUAGE", "sv:fr:de"}, {"LANG", "de_DE.UTF-8"}}, "fr"},
        {{{"LANGUAGE", "sv::"}, {"LANG", "es_MX.UTF-8"}}, "es"},
        // Regions, encodings and modifiers fall away; a region of its own comes first.
        {{{"LANG", "de_AT.ISO-8859-1@euro"}}, "de"},
        {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},
        {{{"LANGUAGE", "fr-CA"}}, "fr"},
        // C and POSIX mean English, and silence LANGUAGE, as for every gettext program.
        {{{"LC_ALL", "C"}, {"LANGUAGE", "de"}}, "en"},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "ja"}}, "en"},
        {{{"LC_ALL", "POSIX"}}, "en"},
        // A language the program lacks falls back to English, not to a later variable.
        {{{"LC_ALL", "sv_SE.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, "en"},
        {{{"LANG", "klingon"}}, "en"},
    };
    for (const auto& c : cases) {
        std::string described;
        for (const auto& [name, value] : c.environment) {
            described += name + "=" + value + " ";
        }
        EXPECT_EQ(chosen(c.environment), c.language) << described;
    }
}

TEST(SystemLanguage, WindowsStyleNamesChooseToo) {
    EXPECT_EQ(lang::firstKnown({"de-CH"}, kKnown), "de");
    EXPECT_EQ(lang::firstKnown({"ja-JP", "de-DE"}, kKnown), "ja");
    EXPECT_EQ(lang::firstKnown({"zh-CN"}, kKnown), "en");
    EXPECT_EQ(lang::firstKnown({}, kKnown), "en");
}

TEST(SystemLanguage, SwitchingToAMissingCatalogueKeepsTheLanguage) {
    std::string error;
    EXPECT_FALSE(lang::switchLanguage("de", "/nonexistent/zc-lang-tests", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(lang::currentLanguage(), "en");
}

}  // namespace
