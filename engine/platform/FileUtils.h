// Finds the program's files: a relative path such as "res/r_play.png" is looked for beside
// the executable (the folder of the running program) only.
// Depends on the standard library only.
#pragma once

#include <string>
#include <vector>

#include "base/Macros.h"

NS_CC_BEGIN

class FileUtils {
public:
    static FileUtils* getInstance();

    // The full path of an existing file, or "" when none of the places holds it.
    std::string fullPathForFilename(const std::string& filename) const;
    // The full path that is tried for the name (none when the program's folder is unknown).
    std::vector<std::string> placesFor(const std::string& filename) const;
    // Folder of the running executable, without a trailing slash ("" if unknown).
    const std::string& getExecutableDirectory() const { return _executableDirectory; }

private:
    FileUtils();

    std::string _executableDirectory;
};

NS_CC_END
