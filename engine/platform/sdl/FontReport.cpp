#include "platform/sdl/FontReport.h"

#include <cstdio>
#include <cstdlib>
#include <set>

namespace cocos2d {
namespace backend {

void reportFontOfWideText(const std::string& text, const std::string& file) {
    static const char* const path = std::getenv("ZC_REPORT_FONTS");
    if (path == nullptr || *path == '\0') {
        return;
    }
    // Captions are drawn again at every change of language or card set: each text once.
    static std::set<std::string> told;
    if (!told.insert(text).second) {
        return;
    }
    // Opened for each line, so that the file is whole whenever the test reads it.
    if (std::FILE* report = std::fopen(path, "a")) {
        std::fprintf(report, "%s\t%s\n", file.c_str(), text.c_str());
        std::fclose(report);
    }
}

}  // namespace backend
}  // namespace cocos2d
