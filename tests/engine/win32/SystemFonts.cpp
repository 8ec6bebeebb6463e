#include "tests/engine/SystemFonts.h"

#include <algorithm>
#include <cctype>

namespace enginetest {

bool isSansSerifFontFile(const std::string& file) {
    std::string lower = file;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto endsWith = [&lower](const std::string& tail) {
        return lower.size() >= tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    return (endsWith("\\fonts\\arial.ttf") || endsWith("\\fonts\\segoeui.ttf"));
}

}  // namespace enginetest
