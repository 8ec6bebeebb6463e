// The one place where a program says why it cannot go on, in the way its system shows such
// things: on the error stream, and on Windows, where a windowed program has no console,
// in a message box too. posix/ and win32/ implement it.
#pragma once

#include <string>

namespace cocos2d {

// Shows the message (one line, no line end) and returns once the user has seen it.
void showFatalMessage(const std::string& message);

}  // namespace cocos2d
