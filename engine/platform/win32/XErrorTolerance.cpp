#include "platform/sdl/XErrorTolerance.h"

namespace cocos2d {
namespace backend {

// Windows has no X server whose late errors could end the program.
void tolerateGoneXWindows() {}

}  // namespace backend
}  // namespace cocos2d
