#include <gtest/gtest.h>

#include <string>

#include "lang/Languages.h"
#include "lang/MessageCatalog.h"
#include "lang/Translate.h"

namespace {

std::string fixture(const std::string& name) {
    std::string bytes, error;
    EXPECT_TRUE(lang::readFile(std::string(ZC_LANG_FIXTURES) + "/" + name, bytes, error)) << error;
    return bytes;
}

lang::MessageCatalog load(const std::string& name) {
    std::string error;
    auto catalog = lang::MessageCatalog::fromMo(fixture(name), error);
    EXPECT_TRUE(catalog.has_value()) << error;
    return catalog.value_or(lang::MessageCatalog{});
}

// Puts English back however a test ends: the current language is the process's.
class Translating : public ::testing::Test {
protected:
    void TearDown() override { lang::useCatalog("en", lang::MessageCatalog{}); }
};

TEST(MessageCatalog, ReadsEitherByteOrder) {
    for (const char* name : {"xx.mo", "big/xx.mo"}) {
        const lang::MessageCatalog catalog = load(name);
        ASSERT_NE(catalog.find("", "Open"), nullptr) << name;
        EXPECT_EQ(*catalog.find("", "Open"), "Otkryt") << name;
        EXPECT_EQ(*catalog.find("door", "Open"), "Otkryto") << name;
        EXPECT_EQ(*catalog.find("language name", "English"), "Iksiks") << name;
        EXPECT_EQ(catalog.pluralRule().forms(), 3u) << name;
    }
}

TEST(MessageCatalog, PluralFormsFollowTheCatalogueRule) {
    const lang::MessageCatalog catalog = load("xx.mo");
    const struct {
        unsigned long long n;
        const char* text;
    } cases[] = {{1, "{count} karta"},  {2, "{count} karty"}, {4, "{count} karty"},
                 {5, "{count} kart"},   {11, "{count} kart"}, {21, "{count} karta"},
                 {22, "{count} karty"}, {0, "{count} kart"},  {112, "{count} kart"}};
    for (const auto& c : cases) {
        const std::string* found = catalog.findPlural("{count} card", c.n);
        ASSERT_NE(found, nullptr) << c.n;
        EXPECT_EQ(*found, c.text) << c.n;
    }
}

TEST(MessageCatalog, MissingAndUntranslatedMessagesAreNotFound) {
    const lang::MessageCatalog catalog = load("xx.mo");
    EXPECT_EQ(catalog.find("", "Close"), nullptr);
    EXPECT_EQ(catalog.find("", "Half done"), nullptr);
    EXPECT_EQ(catalog.find("window", "Open"), nullptr);
    EXPECT_EQ(catalog.findPlural("{count} row", 2), nullptr);
}

TEST(MessageCatalog, DamagedBytesAreRefusedWithAReason) {
    const std::string good = fixture("xx.mo");
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    std::string outOfRange = good;
    // The first source text's offset, pointed far past the end.
    const std::size_t table = static_cast<unsigned char>(good[12]);
    outOfRange[table + 4] = '\x7f';
    outOfRange[table + 7] = '\x7f';
    for (const std::string& bytes : {std::string(), good.substr(0, 10), wrongMagic,
                                     good.substr(0, good.size() / 2), outOfRange}) {
        std::string error;
        EXPECT_FALSE(lang::MessageCatalog::fromMo(bytes, error).has_value()) << bytes.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(Translating, TheCurrentCatalogueAnswersAndEnglishFillsItsGaps) {
    lang::useCatalog("xx", load("xx.mo"));
    EXPECT_EQ(lang::currentLanguage(), "xx");
    EXPECT_EQ(lang::tr("Open"), "Otkryt");
    EXPECT_EQ(lang::trc("door", "Open"), "Otkryto");
    EXPECT_EQ(lang::tr("Close"), "Close");
    EXPECT_EQ(lang::tr("Half done"), "Half done");
    EXPECT_EQ(lang::trn("{count} card", "{count} cards", 22), "22 karty");
    EXPECT_EQ(lang::trn("{count} row", "{count} rows", 1), "1 row");
    EXPECT_EQ(lang::trn("{count} row", "{count} rows", 3), "3 rows");
    lang::useCatalog("en", lang::MessageCatalog{});
    EXPECT_EQ(lang::tr("Open"), "Open");
    EXPECT_EQ(lang::trn("{count} card", "{count} cards", 1), "1 card");
}

TEST(Fill, EveryPlaceholderTakesItsValueWhereverItStands) {
    EXPECT_EQ(lang::fill("{b} before {a}, {a} again", {{"a", "x"}, {"b", "y"}}),
              "y before x, x again");
    // A value that looks like a placeholder is not filled a second time.
    EXPECT_EQ(lang::fill("{a}{b}", {{"a", "{b}"}, {"b", "2"}}), "{b}2");
    EXPECT_EQ(lang::fill("no marks", {{"a", "x"}}), "no marks");
    // A placeholder without a value shows as written, not as a gap in the sentence.
    EXPECT_EQ(lang::fill("{a} and {unknown", {{"a", "x"}}), "x and {unknown");
    EXPECT_EQ(lang::fill("{a} and {b}", {{"a", "x"}}), "x and {b}");
}

}  // namespace
