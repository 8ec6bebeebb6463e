// The pictures below res/: every path the catalogue and the workspace name exists,
// decodes through the engine's backend, has twice its size in points, and is not blank;
// card pictures are all different and show the code the catalogue sends; no stray
// picture is left; the digit sheets have one centred digit per cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "platform/Backend.h"
#include "tests/support/FreshSelection.h"

using cocos2d::backend::Bitmap;
using cocos2d::backend::decodeImageFile;

namespace {

constexpr int kScale = 2;  // pictures are drawn at twice their size in points

struct PictureSize {
    const char* path;
    int widthPt;
    int heightPt;
};

// The workspace's own pictures and their sizes in points.
const PictureSize kWorkspacePictures[] = {
    {"res/r_field_no.png", 60, 136},      {"res/r_field.png", 216, 136},
    {"res/r_btn_add.png", 28, 28},        {"res/r_btn_delete.png", 28, 28},
    {"res/r_card_num.png", 44, 30},       {"res/r_field_num.png", 90, 11},
    {"res/r_field_num_w.png", 90, 11},    {"res/r_player.png", 100, 420},
    {"res/r_play.png", 80, 80},           {"res/r_stop.png", 60, 60},
    {"res/menuup.png", 60, 24},           {"res/menudown.png", 60, 24},
    {"res/r_card_clean.png", 80, 80},     {"res/r_card_clean_on.png", 80, 80},
    {"res/r_card_flick.png", 30, 30},     {"res/r_loading.png", 64, 64},
    {"res/r_setting_back.png", 749, 100}, {"res/r_setting_back1.png", 60, 40},
    {"res/r_setting.png", 30, 30},        {"res/r_port.png", 30, 30},
    {"res/r_port_input.png", 300, 32},    {"res/r_reload.png", 24, 24},
    {"res/r_undo.png", 44, 44},           {"res/r_redo.png", 44, 44},
    {"res/r_shelf.png", 88, 44},          {"res/zundlecards.png", 64, 64},  // the window's icon
};
constexpr int kCardWidthPt = 200, kCardHeightPt = 120;
constexpr int kTabWidthPt = 85, kTabHeightPt = 43;
constexpr int kToggleWidthPt = 80, kToggleHeightPt = 44;

std::uint8_t alphaAt(const Bitmap& bitmap, int x, int y) {
    return bitmap.rgba[(static_cast<std::size_t>(y) * bitmap.width + x) * 4 + 3];
}

// Decodes a picture named relative to the source tree and checks its pixel size and
// that something is drawn in it.
::testing::AssertionResult decodesAtSize(const std::string& path, int widthPt, int heightPt,
                                         Bitmap& out) {
    if (path.empty())
        return ::testing::AssertionFailure() << "empty path";
    std::string error;
    if (!decodeImageFile(std::string(ZC_SOURCE_DIR) + "/" + path, out, error))
        return ::testing::AssertionFailure() << error;
    if (out.width != widthPt * kScale || out.height != heightPt * kScale)
        return ::testing::AssertionFailure()
               << path << " is " << out.width << " x " << out.height << " pixels, expected "
               << widthPt * kScale << " x " << heightPt * kScale;
    for (std::size_t i = 3; i < out.rgba.size(); i += 4)
        if (out.rgba[i] != 0)
            return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " is fully transparent";
}

// Code text drawn on each dialect picture, by path, from the generator's manifest
// (tab-separated: path, code text with \n and \\ escapes, width, height).
std::map<std::string, std::string> readDrawnCodes() {
    std::map<std::string, std::string> codes;
    std::ifstream in(std::string(ZC_SOURCE_DIR) + "/res/src/manifest.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string path, escaped;
        std::getline(fields, path, '\t');
        std::getline(fields, escaped, '\t');
        std::string text;
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 1 < escaped.size()) {
                ++i;
                text += escaped[i] == 'n' ? '\n' : escaped[i];
            } else {
                text += escaped[i];
            }
        }
        codes[path] = text;
    }
    return codes;
}

// Restores the shared manager to a fresh run's selection after each test.
class PicturesTest : public ::testing::Test {
protected:
    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_F(PicturesTest, EveryCardPictureDecodesAtCardSizeWithAnOpaqueFace) {
    std::map<std::vector<std::uint8_t>, std::string> seen;
    auto check = [&](const std::string& path) {
        Bitmap bitmap;
        ASSERT_TRUE(decodesAtSize(path, kCardWidthPt, kCardHeightPt, bitmap));
        EXPECT_EQ(alphaAt(bitmap, bitmap.width / 2, bitmap.height / 2), 255) << path;
        // Two cards with one picture could not be told apart on the field.
        const auto [at, inserted] = seen.emplace(bitmap.rgba, path);
        EXPECT_TRUE(inserted) << path << " looks exactly like " << at->second;
    };
    int cards = 0;
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        manager->cardSet = set;
        for (int card = 0; card < manager->getCardCount(set); ++card, ++cards) {
            manager->dialect = 0;
            check(manager->getPaletteImage(card));
            for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
                manager->dialect = dialect;
                check(manager->getCardImage(card, set));
            }
        }
    }
    EXPECT_EQ(cards, 42);
    EXPECT_EQ(seen.size(), 42u * 3u);
}

TEST_F(PicturesTest, TabAndTogglePicturesDecodeAtTheirSizesAndDifferByState) {
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        Bitmap selected, other;
        manager->cardSet = set;
        ASSERT_TRUE(decodesAtSize(manager->getTabImage(set), kTabWidthPt, kTabHeightPt, selected));
        manager->cardSet = (set + 1) % manager->getCardSetCount();
        ASSERT_TRUE(decodesAtSize(manager->getTabImage(set), kTabWidthPt, kTabHeightPt, other));
        EXPECT_NE(selected.rgba, other.rgba) << "tab " << set;
    }
    for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
        Bitmap current, other;
        ASSERT_TRUE(decodesAtSize(manager->getToggleImage(dialect, true), kToggleWidthPt,
                                  kToggleHeightPt, current));
        ASSERT_TRUE(decodesAtSize(manager->getToggleImage(dialect, false), kToggleWidthPt,
                                  kToggleHeightPt, other));
        EXPECT_NE(current.rgba, other.rgba) << "toggle " << dialect;
    }
}

// A turned card must show exactly what play will send for it.
TEST_F(PicturesTest, DialectPicturesCarryTheCodeTheCatalogueSends) {
    const auto drawn = readDrawnCodes();
    ASSERT_FALSE(drawn.empty()) << "res/src/manifest.tsv is missing";
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
            manager->dialect = dialect;
            for (int card = 0; card < manager->getCardCount(set); ++card) {
                const std::string path = manager->getCardImage(card, set);
                const auto entry = drawn.find(path);
                ASSERT_NE(entry, drawn.end()) << path << " is not made by the generator";
                EXPECT_EQ(entry->second, manager->getCode(card, set).text) << path;
            }
        }
    }
}

// Every picture file below res/ is one that the catalogue or the workspace uses.
TEST_F(PicturesTest, NoPictureBelowResIsLeftUnused) {
    std::set<std::string> used;
    for (const PictureSize& picture : kWorkspacePictures)
        used.insert(picture.path);
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        manager->cardSet = set;
        used.insert(manager->getTabImage(set));
        manager->cardSet = (set + 1) % manager->getCardSetCount();
        used.insert(manager->getTabImage(set));
        manager->cardSet = set;
        for (int card = 0; card < manager->getCardCount(set); ++card) {
            used.insert(manager->getPaletteImage(card));
            for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
                manager->dialect = dialect;
                used.insert(manager->getCardImage(card, set));
            }
        }
    }
    for (int dialect = 0; dialect < manager->getDialectCount(); ++dialect) {
        used.insert(manager->getToggleImage(dialect, true));
        used.insert(manager->getToggleImage(dialect, false));
    }
    const std::filesystem::path root(ZC_SOURCE_DIR);
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "res")) {
        const std::string path = entry.path().lexically_relative(root).generic_string();
        if (!entry.is_regular_file() || entry.path().extension() != ".png" ||
            path.rfind("res/src/", 0) == 0)
            continue;
        ++files;
        EXPECT_EQ(used.count(path), 1u) << path << " is used by nothing";
    }
    EXPECT_EQ(files, static_cast<int>(used.size()));
}

TEST_F(PicturesTest, WorkspacePicturesDecodeAtTheirSizes) {
    for (const PictureSize& picture : kWorkspacePictures) {
        Bitmap bitmap;
        EXPECT_TRUE(decodesAtSize(picture.path, picture.widthPt, picture.heightPt, bitmap));
    }
}

// A number label cuts glyphs of 9 x 11 points from the sheet, "0" first: a digit that
// strays from its cell would show cut off or beside its neighbour.
TEST(DigitSheetTest, EachCellHoldsOneCentredDigitInTheSheetsColour) {
    const struct {
        const char* path;
        bool light;
    } sheets[] = {{"res/r_field_num.png", false}, {"res/r_field_num_w.png", true}};
    const int cellW = 9 * kScale, cellH = 11 * kScale;
    for (const auto& sheet : sheets) {
        Bitmap bitmap;
        ASSERT_TRUE(decodesAtSize(sheet.path, 90, 11, bitmap));
        for (int digit = 0; digit < 10; ++digit) {
            int left = cellW, right = -1, top = cellH, bottom = -1;
            long long brightness = 0, inked = 0;
            for (int y = 0; y < cellH; ++y) {
                for (int x = 0; x < cellW; ++x) {
                    const int px = digit * cellW + x;
                    const std::uint8_t* p = &bitmap.rgba[(y * bitmap.width + px) * 4];
                    if (p[3] < 128)
                        continue;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                    brightness += p[0] + p[1] + p[2];
                    ++inked;
                }
            }
            SCOPED_TRACE(std::string(sheet.path) + " digit " + std::to_string(digit));
            ASSERT_GT(inked, 0);
            EXPECT_GT(left, 0);
            EXPECT_LT(right, cellW - 1);
            EXPECT_NEAR((left + right) / 2.0, (cellW - 1) / 2.0, 2.0);
            EXPECT_NEAR((top + bottom) / 2.0, (cellH - 1) / 2.0, 2.0);
            const double mean = static_cast<double>(brightness) / (3.0 * inked);
            if (sheet.light)
                EXPECT_GT(mean, 200.0);
            else
                EXPECT_LT(mean, 80.0);
        }
    }
}

}  // namespace
