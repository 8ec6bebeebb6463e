// DeviceManager: the singleton's life, the empty answers past a set's end, the range
// errors of bad sets and dialects, tab and toggle pictures, and the dialect table; each
// card's texts and pictures are checked in CardCatalogueTest.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/AutoreleasePool.h"
#include "catalogue/DeviceManager.h"
#include "tests/support/FreshSelection.h"

namespace {

// Opens the protected constructor so a test can look at a manager nobody has touched.
class FreshDeviceManager : public DeviceManager {};

// Every test leaves the shared manager as a fresh run would find it.
class DeviceManagerTest : public ::testing::Test {
protected:
    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_F(DeviceManagerTest, InstanceIsSharedAndNotLeftToThePool) {
    EXPECT_EQ(DeviceManager::getInstance(), manager);
    EXPECT_EQ(manager->getReferenceCount(), 1u);
    EXPECT_FALSE(cocos2d::PoolManager::getInstance()->isObjectInPools(manager));
}

TEST_F(DeviceManagerTest, InitSelectsKibAndBasic) {
    FreshDeviceManager fresh;
    fresh.dialect = 1;
    fresh.cardSet = 2;
    ASSERT_TRUE(fresh.init());
    EXPECT_EQ(fresh.dialect, 0);
    EXPECT_EQ(fresh.cardSet, 0);
    EXPECT_EQ(fresh.getPaletteImage(0), "res/cards/basic/r_led1.png");
    EXPECT_EQ(fresh.getCode(0, 0).text, "LED 1");
    EXPECT_EQ(fresh.getCardImage(0), "res/cards/basic/kib/r_led1_kib.png");
}

TEST_F(DeviceManagerTest, CardIndexPastTheSetGivesEmptyAnswers) {
    EXPECT_EQ(manager->getPaletteImage(6), "");
    EXPECT_EQ(manager->getCardImage(6), "");
    EXPECT_EQ(manager->getCardImage(21, 2), "");
    EXPECT_NE(manager->getCardImage(20, 2), "");
    // Negative indices are compared as unsigned, so they are past the end too.
    EXPECT_EQ(manager->getPaletteImage(-1), "");
    EXPECT_EQ(manager->getCardImage(-1, 1), "");
    for (const CodeSnippet& code : {manager->getCode(15, 1), manager->getCode(-1, 0)}) {
        EXPECT_EQ(code.text, "");
        EXPECT_EQ(code.waitMs, -1);
        EXPECT_TRUE(code.appendTerminator);
    }
}

struct RangeErrorCase {
    const char* name;
    int dialect;
    int cardSet;
    std::function<void(const DeviceManager&)> lookup;
    const char* message;
};

TEST_F(DeviceManagerTest, SetOrDialectOutsideTheTablesIsARangeError) {
    const char* kVector = "invalid vector<T> subscript";
    const std::vector<RangeErrorCase> cases = {
        {"card picture of set 3", 0, 0, [](auto& m) { m.getCardImage(0, 3); }, kVector},
        {"card picture, set -1", 0, 0, [](auto& m) { m.getCardImage(0, -1); }, kVector},
        {"card picture past the set of set 3", 0, 0, [](auto& m) { m.getCardImage(99, 3); },
         kVector},
        {"code of set 3", 0, 0, [](auto& m) { m.getCode(0, 3); }, kVector},
        {"code in dialect 2", 2, 0, [](auto& m) { m.getCode(0, 0); }, kVector},
        {"code past the set in dialect 2", 2, 0, [](auto& m) { m.getCode(99, 0); }, kVector},
        {"card picture in dialect -1", -1, 0, [](auto& m) { m.getCardImage(0); }, kVector},
        {"palette of current set 3", 0, 3, [](auto& m) { m.getPaletteImage(0); }, kVector},
        {"tab of set 3", 0, 0, [](auto& m) { m.getTabImage(3); }, kVector},
        {"card count of set 3", 0, 0, [](auto& m) { m.getCardCount(3); }, kVector},
        {"header in dialect 2", 2, 0, [](auto& m) { m.getHeader(); }, kVector},
        {"footer in dialect 2", 2, 0, [](auto& m) { m.getFooter(); }, kVector},
        {"stop key in dialect 2", 2, 0, [](auto& m) { m.getStopKey(); }, kVector},
        {"reset text in dialect 2", 2, 0, [](auto& m) { m.getResetText(); }, kVector},
        {"terminator in dialect 2", 2, 0, [](auto& m) { m.getLineTerminator(); }, kVector},
        {"separator in dialect 2", 2, 0, [](auto& m) { m.getSeparator(); }, kVector},
        {"pause per character in dialect 2", 2, 0, [](auto& m) { m.getCharWaitMs(); }, kVector},
        {"stop pause in dialect 2", 2, 0, [](auto& m) { m.getStopWaitMs(); }, kVector},
        {"toggle of dialect 2", 0, 0, [](auto& m) { m.getToggleImage(2, true); }, kVector},
        {"line numbers in dialect 2", 2, 0, [](auto& m) { m.hasLineNumbers(); },
         "invalid vector<bool> subscript"},
    };
    for (const RangeErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager->dialect = c.dialect;
        manager->cardSet = c.cardSet;
        try {
            c.lookup(*manager);
            ADD_FAILURE() << "no range error";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST_F(DeviceManagerTest, TabShowsSelectedPictureOnlyForTheCurrentSetAndToggleByDialect) {
    const char* const tabs[] = {"basic", "tumbrel", "full"};
    for (int current = 0; current < 3; ++current) {
        manager->cardSet = current;
        for (int set = 0; set < 3; ++set) {
            EXPECT_EQ(manager->getTabImage(set), std::string("res/cards/r_") + tabs[set] +
                                                     (set == current ? "_on" : "_off") + ".png");
        }
    }
    EXPECT_EQ(manager->getToggleImage(0, true), "res/r_to_kib_on.png");
    EXPECT_EQ(manager->getToggleImage(0, false), "res/r_to_kib.png");
    EXPECT_EQ(manager->getToggleImage(1, true), "res/r_to_vemmo_on.png");
    EXPECT_EQ(manager->getToggleImage(1, false), "res/r_to_vemmo.png");
}

void expectSnippet(const CodeSnippet& actual, const std::string& text, int waitMs,
                   bool appendTerminator) {
    EXPECT_EQ(actual.text, text);
    EXPECT_EQ(actual.waitMs, waitMs);
    EXPECT_EQ(actual.appendTerminator, appendTerminator);
}

TEST_F(DeviceManagerTest, KibDialectConstants) {
    EXPECT_EQ(manager->getLineTerminator(), "\r\n");
    EXPECT_EQ(manager->getSeparator(), ":");
    EXPECT_TRUE(manager->hasLineNumbers());
    EXPECT_EQ(manager->getCharWaitMs(), 40);
    EXPECT_EQ(manager->getStopKey(), "\x1b");
    EXPECT_EQ(manager->getStopWaitMs(), 500);
    EXPECT_EQ(manager->getResetText(), "OUT0\n");
    const auto header = manager->getHeader();
    ASSERT_EQ(header.size(), 1u);
    expectSnippet(header[0], "NEW", -1, true);
    const auto footer = manager->getFooter();
    ASSERT_EQ(footer.size(), 2u);
    expectSnippet(footer[0], "SAVE 0", 1000, true);
    expectSnippet(footer[1], "RUN", -1, true);
}

TEST_F(DeviceManagerTest, VemmoDialectConstants) {
    manager->dialect = 1;
    EXPECT_EQ(manager->getLineTerminator(), "\n");
    EXPECT_EQ(manager->getSeparator(), "");
    EXPECT_FALSE(manager->hasLineNumbers());
    EXPECT_EQ(manager->getCharWaitMs(), 5);
    EXPECT_EQ(manager->getStopKey(), " ");
    EXPECT_EQ(manager->getStopWaitMs(), 20);
    EXPECT_EQ(manager->getResetText(), "ms\nout(0)\nexit()\n");
    const auto header = manager->getHeader();
    ASSERT_EQ(header.size(), 1u);
    expectSnippet(header[0], "cat uart > .\nvar i=0;var o=0;", -1, true);
    const auto footer = manager->getFooter();
    ASSERT_EQ(footer.size(), 2u);
    ASSERT_EQ(footer[0].text.size(), 20u);
    EXPECT_EQ(footer[0].text.back(), '\x04');
    expectSnippet(footer[0], std::string("while(uart()!=-1);\n") + '\x04', 2000, false);
    expectSnippet(footer[1], "ms .", -1, true);
}

}  // namespace
