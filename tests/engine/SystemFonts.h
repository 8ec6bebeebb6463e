// What each system's font lookup may answer for the program's sans-serif family; posix/ and
// win32/ know their system's fonts.
#pragma once

#include <string>

namespace enginetest {

// True when the file is one of the fonts the system should give for "Helvetica".
bool isSansSerifFontFile(const std::string& file);

}  // namespace enginetest
