#include "storage/ProgramFile.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "catalogue/Dialect.h"
#include "lang/Translate.h"

namespace {

using Json = nlohmann::json;
// Keys in the order they are written, so that the text reads top down as the field does.
using OrderedJson = nlohmann::ordered_json;

constexpr char kFormatName[] = "zundlecards-program";
// Far more than a field holds; a file past these was not made by this program.
constexpr std::size_t kMaxLooseCards = 1000;
constexpr double kMaxPosition = 100000.0;

namespace problems {
constexpr const char* kDamaged = lang::mark("is damaged");
constexpr const char* kNotOurs = lang::mark("is not a program of this workspace");
constexpr const char* kNewer = ::kProgramFromNewerVersion;
constexpr const char* kUnknownDialect = lang::mark("is for a board this program does not know");
constexpr const char* kUnknownCard = lang::mark("names a card this program does not have");
constexpr const char* kNoSuchPlace = lang::mark("puts a card in a place the field does not have");
constexpr const char* kTwoInOnePlace = lang::mark("puts two cards in one place");
constexpr const char* kFarAway = lang::mark("puts a card far outside the field");
constexpr const char* kTooManyLoose = lang::mark("has too many loose cards");
}  // namespace problems

// ---- writing ----

// The shortest decimal that reads back as the same float: a position is written as the
// number it is, not as the float's long binary expansion, and reads back exactly.
double shortestDecimal(float value) {
    if (!std::isfinite(value)) {
        return 0.0;
    }
    const float kept =
        static_cast<float>(std::clamp(static_cast<double>(value), -kMaxPosition, kMaxPosition));
    char text[32];
    for (int digits = 1; digits <= std::numeric_limits<float>::max_digits10; ++digits) {
        std::snprintf(text, sizeof(text), "%.*g", digits, static_cast<double>(kept));
        const double parsed = std::strtod(text, nullptr);
        if (static_cast<float>(parsed) == kept) {
            return parsed;
        }
    }
    return kept;
}

// One value on one line, with a space after each colon and comma.
std::string oneLine(const OrderedJson& value) {
    if (!value.is_structured()) {
        return value.dump();
    }
    const bool object = value.is_object();
    std::string text = object ? "{" : "[";
    const char* separator = "";
    for (const auto& item : value.items()) {
        text += separator;
        if (object) {
            text += OrderedJson(item.key()).dump() + ": ";
        }
        text += oneLine(item.value());
        separator = ", ";
    }
    return text + (object ? "}" : "]");
}

// A list with one item per line, or [] when it has none.
std::string listLines(const std::vector<OrderedJson>& items) {
    if (items.empty()) {
        return "[]";
    }
    std::string text = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += "    " + oneLine(items[i]) + (i + 1 < items.size() ? ",\n" : "\n");
    }
    return text + "  ]";
}

// ---- reading ----

// The whole number a member holds; none when it is missing or not a whole number.
std::optional<std::int64_t> wholeNumber(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) {
        return std::nullopt;
    }
    if (found->is_number_unsigned()) {
        const auto value = found->get<std::uint64_t>();
        return static_cast<std::int64_t>(
            std::min<std::uint64_t>(value, std::numeric_limits<std::int64_t>::max()));
    }
    return found->get<std::int64_t>();
}

class Reader {
public:
    explicit Reader(const CatalogueSize& catalogue) : _catalogue(catalogue) {}

    bool read(const Json& document, FieldContents& contents);
    const char* problem() const { return _problem; }

private:
    bool fail(const char* problem) {
        _problem = problem;
        return false;
    }
    bool readDialect(const Json& document, FieldContents& contents);
    bool readRows(const Json& rows, FieldContents& contents);
    bool readRow(const Json& row, FieldContents& contents, std::vector<bool>& rowSeen);
    bool readCard(const Json& object, CardId& card);
    bool readLoose(const Json& loose, FieldContents& contents);

    const CatalogueSize& _catalogue;
    const char* _problem = problems::kDamaged;
    std::int64_t _version = kProgramFormatVersion;
};

bool Reader::read(const Json& document, FieldContents& contents) {
    if (!document.is_object()) {
        return fail(problems::kNotOurs);
    }
    const auto format = document.find("format");
    if (format == document.end() || !format->is_string() ||
        format->get_ref<const std::string&>() != kFormatName) {
        return fail(problems::kNotOurs);
    }
    const auto version = wholeNumber(document, "version");
    if (!version || *version < 1) {
        return fail(problems::kDamaged);
    }
    if (*version > kProgramFormatVersion) {
        return fail(problems::kNewer);
    }
    _version = *version;
    if (!readDialect(document, contents)) {
        return false;
    }
    // A file edited by hand may leave out an empty list.
    const auto rows = document.find("rows");
    if (rows != document.end() && !readRows(*rows, contents)) {
        return false;
    }
    const auto loose = document.find("loose");
    return loose == document.end() || readLoose(*loose, contents);
}

bool Reader::readDialect(const Json& document, FieldContents& contents) {
    const auto dialect = document.find("dialect");
    if (dialect == document.end() || !dialect->is_string()) {
        return fail(problems::kDamaged);
    }
    const auto& name = dialect->get_ref<const std::string&>();
    const auto known = std::find(kDialectNames.begin(), kDialectNames.end(), name);
    const auto index = static_cast<int>(known - kDialectNames.begin());
    if (known == kDialectNames.end() || index >= _catalogue.dialects) {
        return fail(problems::kUnknownDialect);
    }
    contents.dialect = static_cast<Dialect>(index);
    return true;
}

bool Reader::readRows(const Json& rows, FieldContents& contents) {
    if (!rows.is_array()) {
        return fail(problems::kDamaged);
    }
    std::vector<bool> rowSeen(FieldContents::kRowCount, false);
    for (const Json& row : rows) {
        if (!readRow(row, contents, rowSeen)) {
            return false;
        }
    }
    return true;
}

bool Reader::readRow(const Json& row, FieldContents& contents, std::vector<bool>& rowSeen) {
    if (!row.is_object()) {
        return fail(problems::kDamaged);
    }
    const auto number = wholeNumber(row, "row");
    const auto slots = row.find("slots");
    if (!number || slots == row.end() || !slots->is_array()) {
        return fail(problems::kDamaged);
    }
    if (*number < 1 || *number > FieldContents::kRowCount) {
        return fail(problems::kNoSuchPlace);
    }
    const auto rowIndex = static_cast<std::size_t>(*number - 1);
    if (rowSeen[rowIndex]) {
        return fail(problems::kTwoInOnePlace);
    }
    rowSeen[rowIndex] = true;
    for (const Json& slot : *slots) {
        if (!slot.is_object()) {
            return fail(problems::kDamaged);
        }
        const auto slotNumber = wholeNumber(slot, "slot");
        CardId card{};
        if (!slotNumber) {
            return fail(problems::kDamaged);
        }
        if (!readCard(slot, card)) {
            return false;
        }
        if (*slotNumber < 1 || *slotNumber > FieldContents::kSlotCount) {
            return fail(problems::kNoSuchPlace);
        }
        auto& place = contents.rows[rowIndex][static_cast<std::size_t>(*slotNumber - 1)];
        if (place) {
            return fail(problems::kTwoInOnePlace);
        }
        place = card;
    }
    return true;
}

bool Reader::readCard(const Json& object, CardId& card) {
    std::optional<std::int64_t> set;
    std::optional<std::int64_t> index;
    if (_version >= 2) {
        const auto key = object.find("card");
        if (key == object.end() || !key->is_string()) {
            return fail(problems::kDamaged);
        }
        int keySet = 0;
        int keyIndex = 0;
        if (!DeviceManager::getInstance()->findCardKey(key->get_ref<const std::string&>(), keySet,
                                                       keyIndex)) {
            return fail(problems::kUnknownCard);
        }
        set = keySet;
        index = keyIndex;
    } else {
        // Version 1 named a card by its place in its palette.
        set = wholeNumber(object, "set");
        index = wholeNumber(object, "card");
    }
    if (!set || !index) {
        return fail(problems::kDamaged);
    }
    const auto setCount = static_cast<std::int64_t>(_catalogue.cardsPerSet.size());
    if (*set < 0 || *set >= setCount || *index < 0 ||
        *index >= _catalogue.cardsPerSet[static_cast<std::size_t>(*set)]) {
        return fail(problems::kUnknownCard);
    }
    card = CardId{static_cast<int>(*set), static_cast<int>(*index)};
    return true;
}

bool Reader::readLoose(const Json& loose, FieldContents& contents) {
    if (!loose.is_array()) {
        return fail(problems::kDamaged);
    }
    if (loose.size() > kMaxLooseCards) {
        return fail(problems::kTooManyLoose);
    }
    for (const Json& item : loose) {
        if (!item.is_object()) {
            return fail(problems::kDamaged);
        }
        LooseCard card;
        if (!readCard(item, card.card)) {
            return false;
        }
        const auto x = item.find("x");
        const auto y = item.find("y");
        if (x == item.end() || y == item.end() || !x->is_number() || !y->is_number()) {
            return fail(problems::kDamaged);
        }
        const double xValue = x->get<double>();
        const double yValue = y->get<double>();
        // Also false for NaN.
        const auto near = [](double value) { return std::fabs(value) <= kMaxPosition; };
        if (!near(xValue) || !near(yValue)) {
            return fail(problems::kFarAway);
        }
        card.x = static_cast<float>(xValue);
        card.y = static_cast<float>(yValue);
        contents.loose.push_back(card);
    }
    return true;
}

// A card the catalogue lacks is a caller's fault; it is written as no key, which reads back
// as an unknown card, rather than ending the program in the middle of keeping the work.
std::string cardKey(const CardId& card) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    const bool setKnown = card.cardSet >= 0 && card.cardSet < catalogue->getCardSetCount();
    const std::string key = setKnown ? catalogue->getCardKey(card.cardIndex, card.cardSet) : "";
    assert(!key.empty());
    return key;
}

}  // namespace

const char* const kProgramTooBig = lang::mark("is too big to be a program");

std::string writeProgramText(const FieldContents& contents) {
    std::vector<OrderedJson> rows;
    for (std::size_t r = 0; r < contents.rows.size(); ++r) {
        OrderedJson slots = OrderedJson::array();
        for (std::size_t s = 0; s < contents.rows[r].size(); ++s) {
            if (const auto& card = contents.rows[r][s]) {
                slots.push_back(OrderedJson{{"slot", s + 1}, {"card", cardKey(*card)}});
            }
        }
        if (!slots.empty()) {
            rows.push_back(OrderedJson{{"row", r + 1}, {"slots", std::move(slots)}});
        }
    }
    std::vector<OrderedJson> loose;
    for (const LooseCard& card : contents.loose) {
        loose.push_back(OrderedJson{{"card", cardKey(card.card)},
                                    {"x", shortestDecimal(card.x)},
                                    {"y", shortestDecimal(card.y)}});
    }
    assert(static_cast<std::size_t>(dialectIndex(contents.dialect)) < kDialectNames.size());
    return std::string("{\n") + "  \"format\": " + OrderedJson(kFormatName).dump() + ",\n" +
           "  \"version\": " + std::to_string(kProgramFormatVersion) + ",\n" +
           "  \"dialect\": " + OrderedJson(dialectName(contents.dialect)).dump() + ",\n" +
           "  \"rows\": " + listLines(rows) + ",\n" + "  \"loose\": " + listLines(loose) + "\n}\n";
}

ProgramReading readProgramText(const std::string& text, const CatalogueSize& catalogue) {
    ProgramReading reading;
    if (text.size() > kMaxProgramFileBytes) {
        reading.problem = kProgramTooBig;
        return reading;
    }
    try {
        // Without exceptions for bad text; what is caught below is a fault of this reader
        // or memory running out, and neither may end the program.
        // The parser would take a NUL for the end of the text and the last of a key given
        // twice: either is a file that was damaged or made by hand, never one we wrote.
        bool repeatedKey = false;
        std::vector<std::set<std::string>> keysPerObject;
        const Json::parser_callback_t watchKeys = [&](int, Json::parse_event_t event,
                                                      Json& parsed) {
            if (event == Json::parse_event_t::object_start) {
                keysPerObject.emplace_back();
            } else if (event == Json::parse_event_t::object_end && !keysPerObject.empty()) {
                keysPerObject.pop_back();
            } else if (event == Json::parse_event_t::key && !keysPerObject.empty() &&
                       !keysPerObject.back().insert(parsed.get<std::string>()).second) {
                repeatedKey = true;
            }
            return true;
        };
        const Json document = text.find('\0') != std::string::npos
                                  ? Json(Json::value_t::discarded)
                                  : Json::parse(text, watchKeys, false);
        if (document.is_discarded() || repeatedKey) {
            reading.problem = problems::kDamaged;
            return reading;
        }
        FieldContents contents;
        Reader reader(catalogue);
        if (reader.read(document, contents)) {
            reading.contents = std::move(contents);
        } else {
            reading.problem = reader.problem();
        }
    } catch (const std::exception&) {
        reading.contents.reset();
        reading.problem = problems::kDamaged;
    }
    return reading;
}
