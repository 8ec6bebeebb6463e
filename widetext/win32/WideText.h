// UTF-8 and Windows' UTF-16 strings into each other, and the system's words for an error,
// for every module's Windows code. Depends on nothing but the system; Windows headers stay
// out of this header.
#pragma once

#include <string>

namespace widetext {

// The UTF-16 text of a UTF-8 string; invalid bytes become U+FFFD.
std::wstring toWide(const std::string& utf8);
// The UTF-8 text of a UTF-16 string; unpaired surrogates become U+FFFD.
std::string toUtf8(const std::wstring& wide);
// The system's message for an error code (GetLastError), in UTF-8, without the line end.
std::string systemMessage(unsigned long code);

}  // namespace widetext
