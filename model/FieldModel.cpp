#include "model/FieldModel.h"

#include <algorithm>
#include <cassert>

namespace {
bool exists(const FieldModel::Seat& seat) {
    return seat.row >= 0 && seat.row < FieldModel::kRowCount && seat.slot >= 0 &&
           seat.slot < FieldModel::kSlotCount;
}
}  // namespace

FieldModel::Card* FieldModel::find(Handle card) {
    const auto found = _cards.find(card);
    return found == _cards.end() ? nullptr : &found->second;
}

void FieldModel::leaveSlot(Card& card) {
    if (card.seat) {
        _slots[static_cast<std::size_t>(card.seat->row)][static_cast<std::size_t>(card.seat->slot)]
            .reset();
        card.seat.reset();
    }
}

FieldModel::Handle FieldModel::lay(const CardId& card, const Position& at) {
    const Handle handle = _nextHandle++;
    _cards.emplace(handle, Card{card, std::nullopt, at});
    _order.push_back(handle);
    changed();
    return handle;
}

bool FieldModel::seat(Handle card, const Seat& seat) {
    Card* found = find(card);
    if (found == nullptr || !exists(seat)) {
        return false;
    }
    std::optional<Handle>& slot =
        _slots[static_cast<std::size_t>(seat.row)][static_cast<std::size_t>(seat.slot)];
    if (slot == card) {
        return true;
    }
    if (slot) {
        return false;
    }
    leaveSlot(*found);
    slot = card;
    found->seat = seat;
    changed();
    return true;
}

void FieldModel::unseat(Handle card, const Position& at) {
    Card* found = find(card);
    if (found == nullptr) {
        return;
    }
    leaveSlot(*found);
    found->position = at;
    changed();
}

void FieldModel::moveLoose(Handle card, const Position& at) {
    Card* found = find(card);
    if (found == nullptr || found->seat ||
        (found->position.x == at.x && found->position.y == at.y)) {
        return;
    }
    found->position = at;
    changed();
}

void FieldModel::raise(Handle card) {
    const auto at = std::find(_order.begin(), _order.end(), card);
    if (at == _order.end() || at + 1 == _order.end()) {
        return;
    }
    _order.erase(at);
    _order.push_back(card);
    changed();
}

void FieldModel::takeOff(Handle card) {
    Card* found = find(card);
    if (found == nullptr) {
        return;
    }
    leaveSlot(*found);
    _cards.erase(card);
    _order.erase(std::remove(_order.begin(), _order.end(), card), _order.end());
}

void FieldModel::remove(Handle card) {
    if (holds(card)) {
        takeOff(card);
        changed();
    }
}

std::vector<FieldModel::Handle> FieldModel::insertRow(int row) {
    assert(row >= 0 && row < kRowCount);
    std::vector<Handle> gone;
    if (row < 0 || row >= kRowCount) {
        return gone;
    }
    for (const std::optional<Handle>& card : _slots.back()) {
        if (card) {
            gone.push_back(*card);
        }
    }
    for (Handle card : gone) {
        takeOff(card);
    }
    for (int r = kRowCount - 1; r > row; --r) {
        _slots[static_cast<std::size_t>(r)] = _slots[static_cast<std::size_t>(r - 1)];
    }
    _slots[static_cast<std::size_t>(row)] = {};
    for (auto& [handle, card] : _cards) {
        if (card.seat && card.seat->row >= row) {
            ++card.seat->row;
        }
    }
    changed();
    return gone;
}

std::vector<FieldModel::Handle> FieldModel::deleteRow(int row) {
    assert(row >= 0 && row < kRowCount);
    std::vector<Handle> gone;
    if (row < 0 || row >= kRowCount) {
        return gone;
    }
    for (const std::optional<Handle>& card : _slots[static_cast<std::size_t>(row)]) {
        if (card) {
            gone.push_back(*card);
        }
    }
    for (Handle card : gone) {
        takeOff(card);
    }
    for (int r = row; r + 1 < kRowCount; ++r) {
        _slots[static_cast<std::size_t>(r)] = _slots[static_cast<std::size_t>(r + 1)];
    }
    _slots.back() = {};
    for (auto& [handle, card] : _cards) {
        if (card.seat && card.seat->row > row) {
            --card.seat->row;
        }
    }
    changed();
    return gone;
}

std::vector<FieldModel::Handle> FieldModel::layContents(const FieldContents& contents) {
    _cards.clear();
    _slots = {};
    _order.clear();
    std::vector<Handle> laid;
    for (int r = 0; r < kRowCount; ++r) {
        for (int s = 0; s < kSlotCount; ++s) {
            const std::optional<CardId>& id =
                contents.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(s)];
            if (id) {
                const Handle handle = _nextHandle++;
                _cards.emplace(handle, Card{*id, Seat{r, s}, Position{}});
                _slots[static_cast<std::size_t>(r)][static_cast<std::size_t>(s)] = handle;
                _order.push_back(handle);
                laid.push_back(handle);
            }
        }
    }
    for (const LooseCard& loose : contents.loose) {
        const Handle handle = _nextHandle++;
        _cards.emplace(handle, Card{loose.card, std::nullopt, Position{loose.x, loose.y}});
        _order.push_back(handle);
        laid.push_back(handle);
    }
    changed();
    return laid;
}

CardId FieldModel::cardOf(Handle card) const {
    const auto found = _cards.find(card);
    assert(found != _cards.end());
    return found == _cards.end() ? CardId{0, 0} : found->second.id;
}

std::optional<FieldModel::Seat> FieldModel::seatOf(Handle card) const {
    const auto found = _cards.find(card);
    return found == _cards.end() ? std::nullopt : found->second.seat;
}

FieldModel::Position FieldModel::positionOf(Handle card) const {
    const auto found = _cards.find(card);
    return found == _cards.end() ? Position{} : found->second.position;
}

std::optional<FieldModel::Handle> FieldModel::cardIn(const Seat& seat) const {
    if (!exists(seat)) {
        return std::nullopt;
    }
    return _slots[static_cast<std::size_t>(seat.row)][static_cast<std::size_t>(seat.slot)];
}

int FieldModel::usage(const CardId& card) const {
    return static_cast<int>(std::count_if(
        _cards.begin(), _cards.end(), [&](const auto& entry) { return entry.second.id == card; }));
}

int FieldModel::looseCount() const {
    return static_cast<int>(std::count_if(_cards.begin(), _cards.end(), [](const auto& entry) {
        return !entry.second.seat.has_value();
    }));
}

FieldContents FieldModel::contents(Dialect dialect) const {
    FieldContents contents;
    contents.dialect = dialect;
    for (int r = 0; r < kRowCount; ++r) {
        for (int s = 0; s < kSlotCount; ++s) {
            if (const std::optional<Handle>& card =
                    _slots[static_cast<std::size_t>(r)][static_cast<std::size_t>(s)]) {
                contents.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(s)] =
                    _cards.at(*card).id;
            }
        }
    }
    for (Handle handle : _order) {
        const Card& card = _cards.at(handle);
        if (!card.seat) {
            contents.loose.push_back(LooseCard{card.id, card.position.x, card.position.y});
        }
    }
    return contents;
}

std::vector<std::vector<std::optional<CardId>>> FieldModel::programRows() const {
    const FieldContents seated = contents(Dialect::Kib);
    std::vector<std::vector<std::optional<CardId>>> rows;
    for (const FieldContents::Row& row : seated.rows) {
        rows.emplace_back(row.begin(), row.end());
    }
    return rows;
}

int FieldModel::listen(Listener listener) {
    const int number = _nextListener++;
    _listeners.emplace(number, std::move(listener));
    return number;
}

void FieldModel::stopListening(int listener) {
    _listeners.erase(listener);
}

void FieldModel::changed() {
    ++_revision;
    // A copy: a listener may stop listening while it is told.
    const std::map<int, Listener> listeners = _listeners;
    for (const auto& [number, listener] : listeners) {
        listener();
    }
}
