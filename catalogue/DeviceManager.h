// The current dialect and card set, and every catalogue lookup answered for them.
// Depends on the engine's reference counting and the card tables; knows nothing of
// scenes, nodes or the device link.
#pragma once

#include <string>
#include <vector>

#include "base/Ref.h"
#include "base/Types.h"
#include "catalogue/CodeSnippet.h"
#include "catalogue/Dialect.h"
#include "catalogue/LoopRole.h"

class DeviceManager : public cocos2d::Ref {
public:
    // The one instance for the whole run, created and initialised on the first call and
    // never released; callers neither retain nor release it.
    static DeviceManager* getInstance();

    ~DeviceManager() override;
    // Selects the kib dialect and the basic card set.
    virtual bool init();

    // Written directly by the workspace.
    Dialect dialect = Dialect::Kib;
    // 0 = basic, 1 = tumbrel, 2 = full; written directly by the workspace.
    int cardSet = 0;

    // Number of card sets in the catalogue.
    int getCardSetCount() const;
    // Number of dialects in the catalogue.
    int getDialectCount() const;
    // Number of cards of a set.
    int getCardCount(int set) const;

    // Palette picture of a card of the current set; empty past the set's end.
    std::string getPaletteImage(int cardIndex) const;
    // Palette picture of a card of the given set; empty past the set's end.
    std::string getPaletteImage(int cardIndex, int set) const;
    // Dialect picture of a card of the current set; empty past the set's end.
    std::string getCardImage(int cardIndex) const;
    // Dialect picture of a card of the given set; empty past the set's end.
    std::string getCardImage(int cardIndex, int set) const;
    // Code of a card for the current dialect; an empty-text snippet past the set's end.
    CodeSnippet getCode(int cardIndex, int set) const;
    // Whether a card of the given set opens or closes a repeat; None past the set's end.
    LoopRole getLoopRole(int cardIndex, int set) const;
    // The key that names a card in saved programs (its stem, such as "led1"), which stays
    // when cards are added; empty past the set's end.
    std::string getCardKey(int cardIndex, int set) const;
    // The card's caption in English (the source of its translations); empty past the
    // set's end.
    std::string getCaption(int cardIndex, int set) const;
    // The English name on a set's tab.
    std::string getTabName(int set) const;
    // The set's colour: its cards' frame, its tab, the name on its tab when not chosen.
    cocos2d::Color3B getSetColour(int set) const;
    // The set and index of the card with that key; false when no card has it.
    bool findCardKey(const std::string& key, int& set, int& cardIndex) const;

    // Items sent before a program.
    std::vector<CodeSnippet> getHeader() const;
    // Items sent after a program, in order.
    std::vector<CodeSnippet> getFooter() const;
    // Text that interrupts the running program on the board.
    std::string getStopKey() const;
    // Text sent after the stop key to reset the board's outputs.
    std::string getResetText() const;
    // Text that ends a program line.
    std::string getLineTerminator() const;
    // Text between two cards of one program line.
    std::string getSeparator() const;
    // Tab picture of a card set: selected when it is the current set.
    std::string getTabImage(int set) const;

    // Toggle picture of a dialect, in its current or not-current form.
    std::string getToggleImage(Dialect forDialect, bool current) const;
    // Whether program lines carry line numbers.
    bool hasLineNumbers() const;
    // Pause per character sent, in milliseconds.
    int getCharWaitMs() const;
    // Pause after the stop key, in milliseconds.
    int getStopWaitMs() const;

protected:
    DeviceManager();
};
