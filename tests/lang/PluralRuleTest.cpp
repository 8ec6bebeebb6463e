#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/PluralRule.h"

namespace {

constexpr char kGerman[] = "nplurals=2; plural=(n != 1);";
constexpr char kFrench[] = "nplurals=2; plural=(n > 1);";
constexpr char kJapanese[] = "nplurals=1; plural=0;";
constexpr char kPolish[] =
    "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
constexpr char kArabic[] =
    "nplurals=6; plural=n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 "
    ": n%100>=11 ? 4 : 5;";

struct Case {
    const char* header;
    unsigned long long n;
    unsigned form;
};

TEST(PluralRule, EachLanguageChoosesTheFormOfItsGrammar) {
    const std::vector<Case> cases = {
        {kGerman, 0, 1},   {kGerman, 1, 0},   {kGerman, 2, 1},    {kGerman, 11, 1},
        {kFrench, 0, 0},   {kFrench, 1, 0},   {kFrench, 2, 1},    {kFrench, 100, 1},
        {kJapanese, 1, 0}, {kJapanese, 7, 0}, {kPolish, 1, 0},    {kPolish, 2, 1},
        {kPolish, 4, 1},   {kPolish, 5, 2},   {kPolish, 12, 2},   {kPolish, 22, 1},
        {kPolish, 25, 2},  {kPolish, 112, 2}, {kPolish, 1001, 2}, {kArabic, 0, 0},
        {kArabic, 1, 1},   {kArabic, 2, 2},   {kArabic, 3, 3},    {kArabic, 10, 3},
        {kArabic, 11, 4},  {kArabic, 99, 4},  {kArabic, 100, 5},  {kArabic, 102, 5},
    };
    for (const Case& c : cases) {
        const auto rule = lang::PluralRule::parse(c.header);
        ASSERT_TRUE(rule.has_value()) << c.header;
        EXPECT_EQ(rule->formFor(c.n), c.form) << c.header << " n=" << c.n;
    }
}

TEST(PluralRule, OperatorsBindAsInC) {
    struct Expression {
        const char* rule;
        unsigned long long n;
        unsigned form;
    };
    const std::vector<Expression> cases = {
        {"1 + 2 * 2 == 5", 0, 1},       // * before +, + before ==
        {"(1 + 2) * 2 == 5", 0, 0},     //
        {"n - 1 - 1", 3, 1},            // left to right
        {"n / 2 % 2", 6, 1},            //
        {"!n", 0, 1},                   //
        {"!n == 0", 3, 1},              // ! before ==
        {"0 || 1 && 0", 0, 0},          // && before ||
        {"n < 2 == 1", 1, 1},           // < before ==
        {"n >= 3 ? 2 : n <= 1", 1, 1},  // ?: lowest, right nested
        {"n ? n > 5 ? 3 : 2 : 0", 9, 3},
    };
    for (const Expression& c : cases) {
        const std::string header = std::string("nplurals=4; plural=") + c.rule + ";";
        const auto rule = lang::PluralRule::parse(header);
        ASSERT_TRUE(rule.has_value()) << c.rule;
        EXPECT_EQ(rule->formFor(c.n), c.form) << c.rule << " n=" << c.n;
    }
}

TEST(PluralRule, BrokenRulesAreRefused) {
    for (const char* header :
         {"", "nplurals=2;", "plural=(n != 1);", "nplurals=0; plural=0;", "nplurals=x; plural=0;",
          "nplurals=2; plural=(n != 1;", "nplurals=2; plural=n ? 1;", "nplurals=2; plural=m;",
          "nplurals=2; plural=n = 1;", "nplurals=2; plural=;"}) {
        EXPECT_FALSE(lang::PluralRule::parse(header).has_value()) << header;
    }
}

TEST(PluralRule, ADivisionByZeroOrAFormPastTheCountGivesTheFirstForm) {
    EXPECT_EQ(lang::PluralRule::parse("nplurals=2; plural=1 / (n - n);")->formFor(4), 0u);
    EXPECT_EQ(lang::PluralRule::parse("nplurals=2; plural=n;")->formFor(7), 0u);
}

TEST(PluralRule, WithoutARuleEnglishIsAssumed) {
    const lang::PluralRule english;
    EXPECT_EQ(english.forms(), 2u);
    EXPECT_EQ(english.formFor(1), 0u);
    EXPECT_EQ(english.formFor(0), 1u);
    EXPECT_EQ(english.formFor(2), 1u);
}

}  // namespace
