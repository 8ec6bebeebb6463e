// The pictures below res/: every one the program names exists, decodes through the
// engine's backend at an even size and is not blank, and no other is left; cards are all
// different and show the code the catalogue sends; tabs and toggles show their state.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "platform/Backend.h"
#include "tests/support/FreshSelection.h"

using cocos2d::backend::Bitmap;
namespace fs = std::filesystem;

namespace {

const fs::path kRoot(ZC_SOURCE_DIR);

Bitmap decode(const std::string& path) {
    Bitmap bitmap;
    std::string error;
    EXPECT_TRUE(cocos2d::backend::decodeImageFile((kRoot / path).string(), bitmap, error)) << error;
    return bitmap;
}

class PicturesTest : public ::testing::Test {
protected:
    // Every picture of the catalogue: cards of every set in every dialect, tabs, toggles.
    std::vector<std::string> cards() {
        std::vector<std::string> paths;
        for (int set = 0; set < manager->getCardSetCount(); ++set) {
            manager->cardSet = set;
            for (int card = 0; card < manager->getCardCount(set); ++card) {
                paths.push_back(manager->getPaletteImage(card));
                captions[paths.back()] = manager->getCaption(card, set);
                for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
                    manager->dialect = static_cast<Dialect>(dialect);
                    paths.push_back(manager->getCardImage(card, set));
                    captions[paths.back()] = manager->getCaption(card, set);
                }
            }
        }
        return paths;
    }
    // The caption the workspace writes over each card picture.
    std::map<std::string, std::string> captions;
    // Each tab and toggle in both of its states.
    std::vector<std::pair<std::string, std::string>> switches() {
        std::vector<std::pair<std::string, std::string>> pairs;
        const int sets = manager->getCardSetCount();
        for (int set = 0; set < sets; ++set) {
            manager->cardSet = set;
            const std::string selected = manager->getTabImage(set);
            manager->cardSet = (set + 1) % sets;
            pairs.emplace_back(selected, manager->getTabImage(set));
        }
        for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
            pairs.emplace_back(manager->getToggleImage(static_cast<Dialect>(dialect), true),
                               manager->getToggleImage(static_cast<Dialect>(dialect), false));
        }
        return pairs;
    }

    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_F(PicturesTest, EveryPictureIsNamedByTheProgramAndDecodesAtAnEvenSizeNotBlank) {
    std::set<std::string> named;
    const std::regex literal("\"(res/[^\"]+\\.png)\"");
    for (const char* module : {"scene", "widgets", "app"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kRoot / module)) {
            std::ostringstream read;
            read << std::ifstream(entry.path()).rdbuf();
            const std::string text = read.str();
            for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) {
                named.insert((*m)[1]);
            }
        }
    }
    const std::vector<std::string> cardPaths = cards();
    const auto pairs = switches();
    named.insert(cardPaths.begin(), cardPaths.end());
    for (const auto& [on, off] : pairs) {
        named.insert({on, off});
    }
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "res")) {
        const std::string path = entry.path().lexically_relative(kRoot).generic_string();
        if (entry.path().extension() == ".png" && path.rfind("res/src/", 0) != 0) {
            found.insert(path);
        }
    }
    EXPECT_EQ(found, named) << "a picture the program names is missing, or one is unused";
    std::map<std::string, std::vector<std::uint8_t>> pixels;
    for (const std::string& path : found) {
        const Bitmap bitmap = decode(path);
        // Drawn at half size on a normal screen: an odd size would blur the whole picture.
        EXPECT_TRUE(bitmap.width % 2 == 0 && bitmap.height % 2 == 0) << path;
        bool inked = false;
        for (std::size_t i = 3; i < bitmap.rgba.size(); i += 4) {
            inked = inked || bitmap.rgba[i] != 0;
        }
        EXPECT_TRUE(inked) << path << " is fully transparent";
        pixels[path] = bitmap.rgba;
    }
    // Cards can all be told apart, with the caption the workspace writes over the picture;
    // tabs and toggles show their state.
    std::map<std::pair<std::vector<std::uint8_t>, std::string>, std::string> seen;
    for (const std::string& path : cardPaths) {
        const auto [at, inserted] =
            seen.emplace(std::make_pair(pixels[path], captions[path]), path);
        EXPECT_TRUE(inserted) << path << " looks exactly like " << at->second;
    }
    for (const auto& [on, off] : pairs) {
        EXPECT_NE(pixels[on], pixels[off]) << on << " and " << off;
    }
}

// A turned card must show exactly what play will send for it. The generator's manifest
// holds the text drawn on each picture (tab-separated; \n and \\ escaped).
TEST_F(PicturesTest, DialectPicturesCarryTheCodeTheCatalogueSends) {
    std::map<std::string, std::string> drawn;
    std::ifstream in(kRoot / "res/src/manifest.tsv");
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string path, escaped, text;
        std::getline(fields, path, '\t');
        std::getline(fields, escaped, '\t');
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            const bool escape = escaped[i] == '\\' && i + 1 < escaped.size();
            text += escape ? (escaped[++i] == 'n' ? '\n' : escaped[i]) : escaped[i];
        }
        drawn[path] = text;
    }
    ASSERT_FALSE(drawn.empty()) << "res/src/manifest.tsv is missing";
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
            manager->dialect = static_cast<Dialect>(dialect);
            for (int card = 0; card < manager->getCardCount(set); ++card) {
                const std::string path = manager->getCardImage(card, set);
                ASSERT_EQ(drawn.count(path), 1u) << path << " is not made by the generator";
                EXPECT_EQ(drawn[path], manager->getCode(card, set).text) << path;
            }
        }
    }
}

}  // namespace
