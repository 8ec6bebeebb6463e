// The catalogue's constant data: every card of the three sets with its pictures and code
// per dialect (from catalogue/cards.json, turned into C++ by the build), the card-set tab
// pictures and the per-dialect constants.
// Plain tables only; lookups and range rules belong to DeviceManager.
#pragma once

#include <string>
#include <vector>

#include "catalogue/CodeSnippet.h"
#include "catalogue/LoopRole.h"

class CardTables {
public:
    // The tables, built on first use and kept unchanged until the process ends.
    static const CardTables& get();

    // [card set][card index]: the neutral picture of the palette and of a card's front.
    // The length of a set's row is that set's card count.
    std::vector<std::vector<std::string>> paletteImages;
    // [card set][card index]: the card's key in saved programs, such as "led1".
    std::vector<std::vector<std::string>> stems;
    // [card set][dialect][card index]: the picture on the back of a field card.
    std::vector<std::vector<std::vector<std::string>>> cardImages;
    // [card set][dialect][card index]
    std::vector<std::vector<std::vector<CodeSnippet>>> codes;
    // [card set][card index]: the same in both dialects.
    std::vector<std::vector<LoopRole>> loopRoles;
    // [card set][card index]: the English caption, the key of its translations.
    std::vector<std::vector<std::string>> captions;
    // [card set][0 = selected, 1 = not selected]
    std::vector<std::vector<std::string>> tabImages;
    // [card set]: the English name on the set's tab.
    std::vector<std::string> tabNames;
    // [card set]: the set's colour, 0xRRGGBB.
    std::vector<unsigned> setColours;

    // The dialect table, one entry per dialect in each column.
    std::vector<std::string> toggleCurrentImages;
    std::vector<std::string> toggleOtherImages;
    std::vector<std::string> lineTerminators;
    std::vector<std::string> separators;
    std::vector<bool> lineNumbers;
    std::vector<int> charWaitMs;
    std::vector<std::vector<CodeSnippet>> headers;
    std::vector<std::vector<CodeSnippet>> footers;
    std::vector<std::string> stopKeys;
    std::vector<int> stopWaitMs;
    std::vector<std::string> resetTexts;

private:
    CardTables();
};
