// The field's state as plain data: which card sits in each slot of the 30 rows, the loose
// cards with their places and drawing order, how often each card is used, and a revision
// that grows with every change. The workspace's sprites are its view: gestures decide where
// a card goes, this records it, and every change is told to the listeners. Depends on
// storage's plain field contents only; no engine type crosses it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "storage/FieldContents.h"

class FieldModel {
public:
    static constexpr int kRowCount = FieldContents::kRowCount;
    static constexpr int kSlotCount = FieldContents::kSlotCount;

    // A card's identity on the field while it lies there; never given twice.
    using Handle = int;
    struct Seat {
        int row = 0;
        int slot = 0;
    };
    struct Position {
        float x = 0.f;
        float y = 0.f;
    };
    using Listener = std::function<void()>;

    // A new loose card at the position, drawn above the others.
    Handle lay(const CardId& card, const Position& at);
    // Into a free slot; a card seated elsewhere leaves its old slot. False (nothing changed)
    // for an unknown card, a slot that does not exist, or one another card holds.
    bool seat(Handle card, const Seat& seat);
    // Out of its slot, loose at the position.
    void unseat(Handle card, const Position& at);
    // A loose card's place; a seated card's is its slot's.
    void moveLoose(Handle card, const Position& at);
    // Drawn above every other card.
    void raise(Handle card);
    void remove(Handle card);
    // Every seated card from the row down moves one row down; the last row's cards go.
    // The cards taken off are returned.
    std::vector<Handle> insertRow(int row);
    // The row's cards go, every seated card below moves one row up. The cards taken off
    // are returned.
    std::vector<Handle> deleteRow(int row);
    // Everything replaced by the contents (the dialect aside); returns the new cards, the
    // seated ones row by row first, then the loose ones lowest first.
    std::vector<Handle> layContents(const FieldContents& contents);

    // Reading.
    bool holds(Handle card) const { return _cards.count(card) != 0; }
    CardId cardOf(Handle card) const;
    std::optional<Seat> seatOf(Handle card) const;
    // Where a loose card lies (for a seated one, where it lay last).
    Position positionOf(Handle card) const;
    std::optional<Handle> cardIn(const Seat& seat) const;
    // How many copies of the card lie on the field, seated or loose.
    int usage(const CardId& card) const;
    int looseCount() const;
    // Every card, lowest in the drawing order first.
    std::vector<Handle> drawingOrder() const { return _order; }
    std::uint64_t revision() const { return _revision; }
    // The field as plain contents, with this dialect.
    FieldContents contents(Dialect dialect) const;
    // The rows as program generation reads them.
    std::vector<std::vector<std::optional<CardId>>> programRows() const;

    // Told after every change; the number takes the listener away again.
    int listen(Listener listener);
    void stopListening(int listener);

private:
    struct Card {
        CardId id;
        std::optional<Seat> seat;
        Position position;
    };
    void changed();
    Card* find(Handle card);
    void takeOff(Handle card);
    // The card's slot is free again; the card is loose.
    void leaveSlot(Card& card);

    std::map<Handle, Card> _cards;
    std::array<std::array<std::optional<Handle>, kSlotCount>, kRowCount> _slots{};
    std::vector<Handle> _order;
    Handle _nextHandle = 1;
    std::uint64_t _revision = 0;
    std::map<int, Listener> _listeners;
    int _nextListener = 1;
};
