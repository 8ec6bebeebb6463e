// The window view: an SDL window with its renderer, and SDL's events turned into the
// engine's input events.
#include <memory>
#include <string>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {

std::unique_ptr<PlatformView> createWindowView(const std::string& title, int width, int height,
                                               std::string& error) {
    (void)width;
    (void)height;
    error = "cannot open the window '" + title + "': no window support built yet";
    return nullptr;
}

}  // namespace backend
}  // namespace cocos2d
