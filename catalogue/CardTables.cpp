// The card and dialect tables as the boards expect them. Every text here is sent to a
// board byte for byte: trailing spaces, line feeds and control characters are intended.
// The cards themselves are written down once, in catalogue/cards.json.
#include "catalogue/CardTables.h"

#include <cassert>
#include <iterator>

namespace {

// The rows written from catalogue/cards.json at build time (card_data.py), as plain constant
// data, ready before any code runs.
struct CardRow {
    int set;
    const char* stem;
    const char* paletteImage;
    LoopRole loopRole;
    const char* caption;
};
struct CardCode {
    const char* text;
    int waitMs;
    bool appendTerminator;
};
// One card's back in one dialect; the rows of a set and dialect stand in card order.
struct CardFace {
    int set;
    int card;
    int dialect;
    const char* image;
    CardCode code;
};
struct SetTabs {
    const char* selected;
    const char* other;
    const char* name;
    unsigned colour;  // 0xRRGGBB
};

#include "CardData.inc"

}  // namespace

const CardTables& CardTables::get() {
    static const CardTables tables;
    return tables;
}

CardTables::CardTables() {
    toggleCurrentImages = {"res/r_to_kib_on.png", "res/r_to_vemmo_on.png"};
    toggleOtherImages = {"res/r_to_kib.png", "res/r_to_vemmo.png"};
    lineTerminators = {"\r\n", "\n"};
    separators = {":", ""};
    lineNumbers = {true, false};
    charWaitMs = {40, 5};
    headers = {
        {{"NEW", -1, true}},
        {{"cat uart > .\nvar i=0;var o=0;", -1, true}},
    };
    // The vemmo board reads the script until the end-of-transmission character (code 4),
    // which must reach it without a terminator after it.
    footers = {
        {{"SAVE 0", 1000, true}, {"RUN", -1, true}},
        {{"while(uart()!=-1);\n\004", 2000, false}, {"ms .", -1, true}},
    };
    stopKeys = {"\033", " "};
    stopWaitMs = {500, 20};
    resetTexts = {"OUT0\n", "ms\nout(0)\nexit()\n"};

    const std::size_t sets = std::size(kSetTabs);
    const std::size_t dialects = lineTerminators.size();
    for (const SetTabs& tabs : kSetTabs) {
        tabImages.push_back({tabs.selected, tabs.other});
        tabNames.emplace_back(tabs.name);
        setColours.push_back(tabs.colour);
    }
    paletteImages.resize(sets);
    captions.resize(sets);
    stems.resize(sets);
    loopRoles.resize(sets);
    cardImages.assign(sets, std::vector<std::vector<std::string>>(dialects));
    codes.assign(sets, std::vector<std::vector<CodeSnippet>>(dialects));
    for (const CardRow& row : kCards) {
        paletteImages.at(row.set).emplace_back(row.paletteImage);
        stems.at(row.set).emplace_back(row.stem);
        captions.at(row.set).emplace_back(row.caption);
        loopRoles.at(row.set).push_back(row.loopRole);
    }
    for (const CardFace& face : kCardFaces) {
        auto& images = cardImages.at(face.set).at(face.dialect);
        assert(images.size() == static_cast<std::size_t>(face.card));
        images.emplace_back(face.image);
        codes.at(face.set)
            .at(face.dialect)
            .push_back({face.code.text, face.code.waitMs, face.code.appendTerminator});
    }
}
