// A program file's text: JSON with a format version, the dialect, the cards of each row
// that holds one and the loose cards with their places. Reading checks everything against
// the catalogue's sizes, so that whatever it returns can be laid on the field as it is.
// Cards are named by their catalogue key (version 2), or by set and index (version 1, still
// read). Depends on FieldContents, the catalogue's card keys and nlohmann/json (inside the
// source only).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "lang/Translate.h"
#include "storage/FieldContents.h"

// How many cards each card set has and how many dialects there are: what a file may name.
struct CatalogueSize {
    std::array<int, 3> cardsPerSet{};
    int dialects = 2;
};

// The newest format this program writes and reads.
constexpr int kProgramFormatVersion = 2;
// A program of every row and a thousand loose cards stays far below this; anything larger is
// refused before it is looked at.
constexpr std::size_t kMaxProgramFileBytes = 1024 * 1024;
// The problem of a text past that size, also told of a file too large to be read at all.
extern const char* const kProgramTooBig;
// The problem of a file written by a later version: it must not be saved over.
inline constexpr const char* kProgramFromNewerVersion =
    lang::mark("was made by a newer version of this program");

// The file's text for the contents: small, readable, one row per line where it fits.
std::string writeProgramText(const FieldContents& contents);

struct ProgramReading {
    // Set when the text is a program this program can lay on the field.
    std::optional<FieldContents> contents;
    // Otherwise what is wrong, in words a child follows, without the file's name (the
    // caller names the file): "is not a program of this workspace", "is damaged", "comes
    // from a newer version of this program", "names a card this program does not have"...
    std::string problem;
};

ProgramReading readProgramText(const std::string& text, const CatalogueSize& catalogue);
