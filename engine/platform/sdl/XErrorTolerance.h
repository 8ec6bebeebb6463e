// Keeps X protocol errors about windows that are already gone from ending the program.
// Part of the SDL backend on X11; no SDL or X types cross this header.
#pragma once

namespace cocos2d {
namespace backend {

// Installs, before SDL video starts, an X error handler that passes over BadWindow errors
// and hands every other error to the handler that was in place before. Harmless where the
// display is not X.
void tolerateGoneXWindows();

}  // namespace backend
}  // namespace cocos2d
