#include "storage/FieldContents.h"

#include <algorithm>

bool FieldContents::hasNoCards() const {
    const auto emptyRow = [](const Row& row) {
        return std::none_of(row.begin(), row.end(),
                            [](const std::optional<CardId>& slot) { return slot.has_value(); });
    };
    return loose.empty() && std::all_of(rows.begin(), rows.end(), emptyRow);
}

bool operator==(const CardId& a, const CardId& b) {
    return a.cardSet == b.cardSet && a.cardIndex == b.cardIndex;
}

bool operator!=(const CardId& a, const CardId& b) {
    return !(a == b);
}

bool operator==(const LooseCard& a, const LooseCard& b) {
    return a.card == b.card && a.x == b.x && a.y == b.y;
}

bool operator==(const FieldContents& a, const FieldContents& b) {
    return a.dialect == b.dialect && a.rows == b.rows && a.loose == b.loose;
}

bool operator!=(const FieldContents& a, const FieldContents& b) {
    return !(a == b);
}
