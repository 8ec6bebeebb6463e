// The system's language and the catalogue files on POSIX: the environment's locale
// variables, which are read even where that locale is not compiled on the machine.
#include <dirent.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "lang/Languages.h"

namespace lang {

std::vector<std::string> systemWishes() {
    std::vector<std::string> wishes;
    // The language the workspace passes to the programs it starts comes first.
    const char* passed = std::getenv(kPassedVariable);
    if (passed != nullptr && *passed != '\0') {
        wishes.emplace_back(passed);
    }
    for (std::string& wish : environmentWishes([](const char* name) {
             const char* value = std::getenv(name);
             return std::string(value != nullptr ? value : "");
         })) {
        wishes.push_back(std::move(wish));
    }
    return wishes;
}

std::string catalogueFolder(const std::string& programFolder) {
    const std::string own = programFolder + "/locale";
    DIR* folder = opendir(own.c_str());
    if (folder != nullptr) {
        closedir(folder);
        return own;
    }
    return programFolder + "/../locale";
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::ostringstream whole;
    whole << in.rdbuf();
    if (in.bad()) {
        error = "the file cannot be read";
        return false;
    }
    bytes = whole.str();
    return true;
}

void passToChildren(const std::string& code) {
    // A variable of our own: LANGUAGE would also change the words of every other tool the
    // workspace starts, and a locale of C would silence it for ours.
    setenv(kPassedVariable, code.c_str(), 1);
}

}  // namespace lang
