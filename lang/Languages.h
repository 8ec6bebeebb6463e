// Which languages the program has (one compiled catalogue per language beside the
// program, English built in), which one the system asks for, and switching to one.
// Depends on this module's translation call and its platform files (posix/, win32/).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lang {

struct Language {
    std::string code;     // "de", the catalogue's file name without ".mo"
    std::string ownName;  // "Deutsch", as its speakers write it
};

// English first, then every language with a readable catalogue in `folder`, by code.
std::vector<Language> languagesIn(const std::string& folder);

// The first of the system's wishes ("de_AT.UTF-8", "fr-CA", "ja") that names a known
// code, the region's own catalogue before the bare language's; "en" when none does.
std::string firstKnown(const std::vector<std::string>& wishes,
                       const std::vector<std::string>& known);

// The wishes that a POSIX environment states, read through `variable`: the LANGUAGE list,
// then the first set one of LC_ALL, LC_MESSAGES and LANG. A locale of "C" or "POSIX"
// wishes English and silences LANGUAGE, as gettext does.
std::vector<std::string> environmentWishes(const std::function<std::string(const char*)>& variable);

// Loads `code`'s catalogue from `folder` and makes it the current language ("en" needs
// none); false with the reason when it cannot be read, the language unchanged.
bool switchLanguage(const std::string& code, const std::string& folder, std::string& error);

// --- what each system provides (posix/, win32/) ---

// The variable through which the workspace tells the programs it starts its language.
inline constexpr char kPassedVariable[] = "ZC_LANGUAGE";

// The languages the user's system asks for, most wanted first: a language passed on by
// the workspace, then the system's own.
std::vector<std::string> systemWishes();
// The folder of compiled catalogues for a program in `programFolder`: its "locale" folder,
// or the one above it (the simulator runs from exe/).
std::string catalogueFolder(const std::string& programFolder);
// The names of the files in a folder; empty when it cannot be read.
std::vector<std::string> filesIn(const std::string& folder);
// A whole file; false with the reason when it cannot be read.
bool readFile(const std::string& path, std::string& bytes, std::string& error);
// Programs started from now on are asked to speak `code` too.
void passToChildren(const std::string& code);

}  // namespace lang
