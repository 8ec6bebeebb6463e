#include "storage/LanguageSetting.h"

#include <cstdint>
#include <exception>
#include <nlohmann/json.hpp>

#include "lang/Translate.h"
#include "storage/UserFiles.h"

namespace {

constexpr char kFormat[] = "zundlecards-settings";
constexpr int kVersion = 1;
// Far above the few dozen bytes the file holds; anything bigger is not ours.
constexpr std::size_t kLargestFile = 4096;

// A language code: a few letters, maybe a region ("pt_BR"); nothing that could name a path.
bool isLanguageCode(const std::string& code) {
    if (code.empty() || code.size() > 16) {
        return false;
    }
    for (const char c : code) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && c != '_') {
            return false;
        }
    }
    return true;
}

}  // namespace

LanguageSetting loadLanguageSetting(const std::string& folder) {
    LanguageSetting setting;
    std::string error;
    const std::string where = userfiles::folderOrData(folder, error);
    if (where.empty()) {
        return setting;
    }
    bool missing = false;
    const std::string path = userfiles::join(where, kSettingsFile);
    const std::optional<std::string> text =
        userfiles::readWhole(path, kLargestFile, missing, error);
    if (missing) {
        return setting;
    }
    const std::string damaged =
        lang::fill(lang::tr("The settings file {file} is damaged, so the workspace speaks English. "
                            "Choose your language again in the settings bar."),
                   {{"file", path}});
    if (!text) {
        setting.problem = damaged;
        return setting;
    }
    try {
        const nlohmann::json file = nlohmann::json::parse(*text);
        const auto format = file.find("format");
        const auto version = file.find("version");
        const auto language = file.find("language");
        if (!file.is_object() || format == file.end() || *format != kFormat ||
            version == file.end() || !version->is_number_integer() ||
            version->get<std::int64_t>() != kVersion || language == file.end() ||
            !language->is_string() || !isLanguageCode(language->get<std::string>())) {
            setting.problem = damaged;
            return setting;
        }
        setting.language = language->get<std::string>();
    } catch (const std::exception&) {
        setting.problem = damaged;
    }
    return setting;
}

bool saveLanguageSetting(const std::string& language, std::string& error,
                         const std::string& folder) {
    const std::string where = userfiles::folderOrData(folder, error);
    if (where.empty() || !userfiles::makeFolder(where, error)) {
        return false;
    }
    const nlohmann::json file = {
        {"format", kFormat}, {"version", kVersion}, {"language", language}};
    return userfiles::replaceAtomically(userfiles::join(where, kSettingsFile), file.dump(2) + "\n",
                                        error);
}
