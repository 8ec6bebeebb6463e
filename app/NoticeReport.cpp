#include "app/NoticeReport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene/FieldScene.h"

void NoticeReport::installIfAsked(FieldScene* workspace) {
    const char* value = std::getenv("ZC_REPORT_NOTICES");
    if (value == nullptr || *value == '\0') {
        return;
    }
    const std::string path = value;
    // Opened for each notice, so that the file is whole whenever the test reads it.
    workspace->setNoticeListener([path](const std::string& text) {
        if (std::FILE* file = std::fopen(path.c_str(), "a")) {
            std::fprintf(file, "%s\n", text.c_str());
            std::fclose(file);
        }
    });
}
