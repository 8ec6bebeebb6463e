// The language the user chose in the settings bar, kept for the next start in a small
// JSON file in the user's data folder, beside the remembered board. Depends only on
// UserFiles.
#pragma once

#include <optional>
#include <string>

// The file's name inside the data folder.
inline constexpr char kSettingsFile[] = "settings.json";

struct LanguageSetting {
    // The chosen language's code ("de"); none when nothing was chosen yet or the file is
    // damaged.
    std::optional<std::string> language;
    // Why the file could not be read, for a notice; empty when it was read or is missing.
    std::string problem;
};

// The setting kept in `folder` (the user's data folder when empty).
LanguageSetting loadLanguageSetting(const std::string& folder = "");
// Keeps the chosen language in `folder` (the user's data folder when empty, made when
// missing), through a temporary file and a rename. False with the reason in `error`.
bool saveLanguageSetting(const std::string& language, std::string& error,
                         const std::string& folder = "");
