// What lies on the field, as plain data: the card in each slot of the 30 rows, the loose
// cards with their places, and the dialect. Undo keeps these, program files hold them.
// Depends on program generation's card identity and the dialect's names only.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "catalogue/Dialect.h"
#include "generation/ProgramBuilder.h"

struct LooseCard {
    CardId card;
    // The card's position on the field (its node's position, field units).
    float x = 0.f;
    float y = 0.f;
};

struct FieldContents {
    static constexpr int kRowCount = kFieldRowCount;
    static constexpr int kSlotCount = kFieldSlotCount;
    using Row = std::array<std::optional<CardId>, kSlotCount>;

    Dialect dialect = Dialect::Kib;
    // Top row first, left slot first.
    std::array<Row, kRowCount> rows{};
    // Loose cards, lowest in the drawing order first.
    std::vector<LooseCard> loose;

    // No card anywhere (the dialect does not count).
    bool hasNoCards() const;
};

bool operator==(const CardId& a, const CardId& b);
bool operator!=(const CardId& a, const CardId& b);
bool operator==(const LooseCard& a, const LooseCard& b);
// Same cards in the same places and the same dialect.
bool operator==(const FieldContents& a, const FieldContents& b);
bool operator!=(const FieldContents& a, const FieldContents& b);
