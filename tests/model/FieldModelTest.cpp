// The field's model alone: each operation against the contents it must leave, the usage
// counts, and what the listeners are told.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/FieldModel.h"

namespace {

using Handle = FieldModel::Handle;
const CardId kLed{0, 0};
const CardId kWait{0, 2};
const CardId kCar{1, 4};

// A model holding a column of three seated cards (rows 0, 1 and 29) and two loose ones.
struct Start {
    FieldModel model;
    Handle top, second, last, looseA, looseB;
    Start() {
        FieldContents contents;
        contents.rows[0][0] = kLed;
        contents.rows[1][1] = kWait;
        contents.rows[29][0] = kCar;
        contents.loose = {{kLed, 10.f, 20.f}, {kWait, 30.f, 40.f}};
        const std::vector<Handle> laid = model.layContents(contents);
        top = laid.at(0);
        second = laid.at(1);
        last = laid.at(2);
        looseA = laid.at(3);
        looseB = laid.at(4);
    }
};

TEST(FieldModelTest, EachOperationLeavesTheFieldItNames) {
    struct Case {
        const char* name;
        std::function<void(Start&)> operate;
        std::function<void(FieldContents&)> expect;
    };
    const std::vector<Case> cases = {
        {"a loose card seated",
         [](Start& s) {
             EXPECT_TRUE(s.model.seat(s.looseA, {4, 1}));
         },
         [](FieldContents& c) {
             c.rows[4][1] = kLed;
             c.loose.erase(c.loose.begin());
         }},
        {"a seated card moved to a free slot",
         [](Start& s) {
             EXPECT_TRUE(s.model.seat(s.top, {2, 1}));
         },
         [](FieldContents& c) {
             c.rows[0][0].reset();
             c.rows[2][1] = kLed;
         }},
        {"a taken slot refused",
         [](Start& s) {
             EXPECT_FALSE(s.model.seat(s.looseB, {1, 1}));
         },
         [](FieldContents&) {}},
        {"a slot past the field refused",
         [](Start& s) {
             EXPECT_FALSE(s.model.seat(s.looseB, {30, 0}));
             EXPECT_FALSE(s.model.seat(s.looseB, {0, 2}));
         },
         [](FieldContents&) {}},
        {"a seated card taken out, loose where it was let go, drawn where it was",
         [](Start& s) {
             s.model.unseat(s.second, {5.f, 6.f});
         },
         [](FieldContents& c) {
             c.rows[1][1].reset();
             c.loose.insert(c.loose.begin(), LooseCard{kWait, 5.f, 6.f});
         }},
        {"a loose card moved and raised",
         [](Start& s) {
             s.model.moveLoose(s.looseA, {7.f, 8.f});
             s.model.raise(s.looseA);
         },
         [](FieldContents& c) {
             c.loose = {{kWait, 30.f, 40.f}, {kLed, 7.f, 8.f}};
         }},
        {"a seated card does not move loose",
         [](Start& s) {
             s.model.moveLoose(s.top, {1, 1});
         },
         [](FieldContents&) {}},
        {"a card removed", [](Start& s) { s.model.remove(s.second); },
         [](FieldContents& c) { c.rows[1][1].reset(); }},
        {"a row inserted above the second: the last row's card goes",
         [](Start& s) { EXPECT_EQ(s.model.insertRow(1), std::vector<Handle>{s.last}); },
         [](FieldContents& c) {
             c.rows[2][1] = kWait;
             c.rows[1][1].reset();
             c.rows[29][0].reset();
         }},
        {"the first row deleted",
         [](Start& s) { EXPECT_EQ(s.model.deleteRow(0), std::vector<Handle>{s.top}); },
         [](FieldContents& c) {
             c.rows[0] = {std::nullopt, kWait};
             c.rows[1][1].reset();
             c.rows[28][0] = kCar;
             c.rows[29][0].reset();
         }},
        {"a row inserted at the last row: its card goes",
         [](Start& s) { EXPECT_EQ(s.model.insertRow(29), std::vector<Handle>{s.last}); },
         [](FieldContents& c) { c.rows[29][0].reset(); }},
        {"the last row deleted", [](Start& s) { s.model.deleteRow(29); },
         [](FieldContents& c) { c.rows[29][0].reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start start;
        FieldContents expected = start.model.contents(Dialect::Vemmo);
        c.operate(start);
        c.expect(expected);
        EXPECT_EQ(start.model.contents(Dialect::Vemmo), expected);
    }
}

TEST(FieldModelTest, UsageCountsEveryCopySeatedOrLooseAndListenersHearEachChange) {
    FieldModel model;
    int told = 0;
    const int listener = model.listen([&] { ++told; });
    const Handle a = model.lay(kLed, {1.f, 1.f});
    const Handle b = model.lay(kLed, {2.f, 2.f});
    model.seat(b, {3, 0});
    EXPECT_EQ(model.usage(kLed), 2);
    EXPECT_EQ(model.usage(kWait), 0);
    EXPECT_EQ(model.looseCount(), 1);
    const auto revision = model.revision();
    model.remove(a);
    EXPECT_EQ(model.usage(kLed), 1);
    EXPECT_GT(model.revision(), revision);
    EXPECT_EQ(told, 4);
    // Refused and idle operations tell nobody.
    EXPECT_FALSE(model.seat(a, {0, 0}));
    model.remove(a);
    model.moveLoose(b, {9.f, 9.f});
    EXPECT_EQ(told, 4);
    model.stopListening(listener);
    model.deleteRow(3);
    EXPECT_EQ(told, 4);
    EXPECT_EQ(model.usage(kLed), 0);
}

}  // namespace
