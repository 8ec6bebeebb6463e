#include "app/MissingPictureGuard.h"

#include <cstdlib>

#include "cocos2d.h"
#include "platform/FatalMessage.h"

USING_NS_CC;

std::string MissingPictureGuard::describe(const std::string& path,
                                          const std::vector<std::string>& places,
                                          const std::string& reason) {
    std::string message = "zundlecards: cannot load the picture \"" + path + "\" (" + reason + ")";
    if (!places.empty()) {
        message += "; looked at:";
        for (const std::string& place : places)
            message += " " + place;
    }
    return message;
}

void MissingPictureGuard::install() {
    Director::getInstance()->getTextureCache()->setMissingPictureHandler(
        [](const std::string& path, const std::vector<std::string>& places,
           const std::string& reason) {
            const std::string message = describe(path, places, reason);
            showFatalMessage(message);
            // The caller is somewhere inside building the scene and would carry on with
            // a null sprite; end here, without running destructors under its feet.
            std::_Exit(EXIT_FAILURE);
        });
}
