// The few questions about files that FileUtils asks of the operating system. Paths are
// UTF-8; posix/ and win32/ answer them.
#pragma once

#include <string>

namespace cocos2d {
namespace filesystem {

// True when the path names an existing file that is not a folder.
bool isRegularFile(const std::string& path);
// Folder of the running executable, without a trailing separator ("" if unknown).
std::string executableDirectory();
// True when the path does not depend on the current directory.
bool isAbsolutePath(const std::string& path);

}  // namespace filesystem
}  // namespace cocos2d
