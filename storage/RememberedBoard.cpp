#include "storage/RememberedBoard.h"

#include <cstdint>
#include <exception>
#include <nlohmann/json.hpp>

#include "storage/UserFiles.h"

namespace {

constexpr char kFormat[] = "zundlecards-board";
constexpr int kVersion = 1;
// Far above the few dozen bytes the file holds; anything bigger is not ours.
constexpr std::size_t kLargestFile = 4096;

// The short text under `key`; none when it is missing, no text, or far too long.
std::optional<std::string> textOf(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    std::string text = found->get<std::string>();
    if (text.size() > 256) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

std::optional<RememberedBoard> loadRememberedBoard(const std::string& folder) {
    std::string error;
    const std::string where = userfiles::folderOrData(folder, error);
    if (where.empty()) {
        return std::nullopt;
    }
    bool missing = false;
    const std::optional<std::string> text = userfiles::readWhole(
        userfiles::join(where, kRememberedBoardFile), kLargestFile, missing, error);
    if (!text) {
        return std::nullopt;
    }
    try {
        const nlohmann::json file = nlohmann::json::parse(*text);
        if (!file.is_object() || textOf(file, "format").value_or("") != kFormat) {
            return std::nullopt;
        }
        const auto version = file.find("version");
        if (version == file.end() || !version->is_number_integer() ||
            version->get<std::int64_t>() != kVersion) {
            return std::nullopt;
        }
        const std::optional<std::string> vendor = textOf(file, "vendor");
        const std::optional<std::string> product = textOf(file, "product");
        const std::optional<std::string> serial = textOf(file, "serial");
        if (!vendor || !product || !serial || vendor->empty() || product->empty()) {
            return std::nullopt;
        }
        return RememberedBoard{*vendor, *product, *serial};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool saveRememberedBoard(const RememberedBoard& board, std::string& error,
                         const std::string& folder) {
    const std::string where = userfiles::folderOrData(folder, error);
    if (where.empty() || !userfiles::makeFolder(where, error)) {
        return false;
    }
    const nlohmann::json file = {{"format", kFormat},
                                 {"version", kVersion},
                                 {"vendor", board.vendor},
                                 {"product", board.product},
                                 {"serial", board.serial}};
    // Serial numbers are the device's own bytes: anything not UTF-8 is written replaced.
    const std::string text =
        file.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    return userfiles::replaceAtomically(userfiles::join(where, kRememberedBoardFile), text, error);
}
