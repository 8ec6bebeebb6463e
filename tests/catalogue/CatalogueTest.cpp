// What the card table must satisfy for the palette, the field and the saved programs; the
// texts a board receives are pinned by the golden programs of the generation suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "catalogue/DeviceManager.h"
#include "tests/support/FreshSelection.h"

namespace {

bool pictureExists(const std::string& path) {
    return !path.empty() &&
           std::filesystem::is_regular_file(std::string(ZC_SOURCE_DIR) + "/" + path);
}

class CatalogueTest : public ::testing::Test {
protected:
    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_F(CatalogueTest, EveryCardHasItsOwnPicturesAndATextInEachDialect) {
    ASSERT_EQ(manager->getDialectCount(), 2);
    ASSERT_EQ(manager->getCardSetCount(), 3);
    // The palettes a child picks from: basic, the robot car, everything else. Their sizes
    // follow cards.json, where a new card is added at the end of its set.
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        EXPECT_GT(manager->getCardCount(set), 0) << "set " << set;
    }
    std::set<std::string> pictures;
    std::set<std::string> keys;
    for (int set = 0; set < manager->getCardSetCount(); ++set) {
        manager->cardSet = set;
        EXPECT_TRUE(pictureExists(manager->getTabImage(set))) << "tab " << set;
        for (int card = 0; card < manager->getCardCount(set); ++card) {
            SCOPED_TRACE("set " + std::to_string(set) + ", card " + std::to_string(card));
            const std::string palette = manager->getPaletteImage(card);
            EXPECT_TRUE(pictureExists(palette)) << palette;
            EXPECT_TRUE(pictures.insert(palette).second) << palette;
            // Saved programs name the card by its key: one card each, found again.
            const std::string key = manager->getCardKey(card, set);
            EXPECT_TRUE(keys.insert(key).second) << key;
            int foundSet = -1;
            int foundCard = -1;
            EXPECT_TRUE(manager->findCardKey(key, foundSet, foundCard)) << key;
            EXPECT_EQ(std::make_pair(foundSet, foundCard), std::make_pair(set, card)) << key;
            for (const Dialect dialect : {Dialect::Kib, Dialect::Vemmo}) {
                manager->dialect = dialect;
                // The palette shows the card's meaning, the field its text for the board.
                EXPECT_EQ(manager->getPaletteImage(card), palette);
                const std::string onField = manager->getCardImage(card);
                EXPECT_EQ(manager->getCardImage(card, set), onField);
                EXPECT_TRUE(pictureExists(onField)) << onField;
                EXPECT_TRUE(pictures.insert(onField).second) << onField;
                EXPECT_FALSE(manager->getCode(card, set).text.empty());
            }
            manager->dialect = Dialect::Kib;
        }
    }
}

TEST_F(CatalogueTest, FirstStartSelectsKibAndTheBasicSet) {
    manager->dialect = Dialect::Vemmo;
    manager->cardSet = 2;
    ASSERT_TRUE(manager->init());
    EXPECT_EQ(manager->dialect, Dialect::Kib);
    EXPECT_EQ(manager->cardSet, 0);
}

// A card index past its set is answered with nothing (an empty slot is drawn and sent as
// nothing); a set or dialect that does not exist is a caller's fault and throws.
TEST_F(CatalogueTest, PastTheEndIsEmptyAndOutsideTheTablesThrows) {
    for (const int card : {manager->getCardCount(0), -1}) {
        EXPECT_EQ(manager->getCardKey(card, 0), "");
        EXPECT_EQ(manager->getPaletteImage(card), "");
        EXPECT_EQ(manager->getCardImage(card), "");
        EXPECT_EQ(manager->getCode(card, 0).text, "");
    }
    int set = 0;
    int card = 0;
    EXPECT_FALSE(manager->findCardKey("", set, card));
    EXPECT_THROW(manager->getCode(0, 3), std::out_of_range);
    manager->dialect = Dialect::Count;
    EXPECT_THROW(manager->getLineTerminator(), std::out_of_range);
}

}  // namespace
