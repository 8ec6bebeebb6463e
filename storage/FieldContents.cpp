#include "storage/FieldContents.h"
bool FieldContents::hasNoCards() const {
    for (const Row& row : rows) for (const auto& s : row) if (s) return false;
    return loose.empty();
}
bool operator==(const CardId& a, const CardId& b) { return a.cardSet == b.cardSet && a.cardIndex == b.cardIndex; }
bool operator!=(const CardId& a, const CardId& b) { return !(a == b); }
bool operator==(const LooseCard& a, const LooseCard& b) { return a.card == b.card && a.x == b.x && a.y == b.y; }
bool operator==(const FieldContents& a, const FieldContents& b) { return a.dialect == b.dialect && a.rows == b.rows && a.loose == b.loose; }
bool operator!=(const FieldContents& a, const FieldContents& b) { return !(a == b); }
