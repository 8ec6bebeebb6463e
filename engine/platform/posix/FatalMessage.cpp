#include "platform/FatalMessage.h"

#include <cstdio>

namespace cocos2d {

void showFatalMessage(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
}

}  // namespace cocos2d
