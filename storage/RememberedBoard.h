// The board the user chose last, told apart by its USB identity, so that it is chosen
// again under another port name and at the next start. Kept as a small JSON file in the
// user's data folder, beside the programs folder. Depends only on UserFiles.
#pragma once

#include <optional>
#include <string>

struct RememberedBoard {
    std::string vendor;   // USB vendor id, four hex digits
    std::string product;  // USB product id, four hex digits
    std::string serial;   // the device's serial number; empty when it has none

    bool operator==(const RememberedBoard& other) const {
        return vendor == other.vendor && product == other.product && serial == other.serial;
    }
};

// The file's name inside the data folder.
inline constexpr char kRememberedBoardFile[] = "board.json";

// The board remembered in `folder` (the user's data folder when empty); none when no board
// is remembered, or the file is damaged or from a newer version: a forgotten board only
// means choosing it once more.
std::optional<RememberedBoard> loadRememberedBoard(const std::string& folder = "");

// Remembers the board in `folder` (the user's data folder when empty, made when missing),
// through a temporary file and a rename. False with the reason in `error`.
bool saveRememberedBoard(const RememberedBoard& board, std::string& error,
                         const std::string& folder = "");
