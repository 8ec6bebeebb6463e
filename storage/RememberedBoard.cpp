#include "storage/RememberedBoard.h"

#include <exception>
#include <nlohmann/json.hpp>

#include "storage/UserFiles.h"

namespace {

constexpr char kFormat[] = "zundlecards-board";
constexpr int kVersion = 1;
// Far above the few dozen bytes the file holds; anything bigger is not ours.
constexpr std::size_t kLargestFile = 4096;

std::string folderOrData(const std::string& folder, std::string& error) {
    return folder.empty() ? userfiles::dataFolder(error) : folder;
}

bool isText(const nlohmann::json& value) {
    return value.is_string() && value.get<std::string>().size() <= 256;
}

}  // namespace

std::optional<RememberedBoard> loadRememberedBoard(const std::string& folder) {
    std::string error;
    const std::string where = folderOrData(folder, error);
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
        if (!file.is_object() || file.value("format", "") != kFormat ||
            !file.value("version", nlohmann::json()).is_number_integer() ||
            file["version"].get<int>() != kVersion) {
            return std::nullopt;
        }
        const nlohmann::json& vendor = file.value("vendor", nlohmann::json());
        const nlohmann::json& product = file.value("product", nlohmann::json());
        const nlohmann::json& serial = file.value("serial", nlohmann::json());
        if (!isText(vendor) || !isText(product) || !isText(serial) ||
            vendor.get<std::string>().empty() || product.get<std::string>().empty()) {
            return std::nullopt;
        }
        return RememberedBoard{vendor.get<std::string>(), product.get<std::string>(),
                               serial.get<std::string>()};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool saveRememberedBoard(const RememberedBoard& board, std::string& error,
                         const std::string& folder) {
    const std::string where = folderOrData(folder, error);
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
