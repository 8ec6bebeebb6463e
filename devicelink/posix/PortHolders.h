// Finding the program that holds a serial port: open descriptors under /proc, and lock
// files in the lock folders. Plain file work; no termios, so any device can be asked.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace devicelink::platform {

// The folders where programs leave a lock file for a port they hold.
const std::vector<std::string>& defaultLockFolders();

// Whether another program holds the device `name` (below /dev) with device number
// `device`: it has the device open, or a lock file names a running process. `holder`
// gets that program's name and process id where they can be read, else is emptied.
// This program's own descriptors never count: it opens a port only for its own transfer
// (and its tests keep their pseudo-terminals open in-process); a tool it started does.
bool findPortHolder(const std::string& name, dev_t device,
                    const std::vector<std::string>& lockFolders, std::string& holder);

// A running process as the user would recognise it, e.g. "minicom (process 4321)".
std::string describeProcess(pid_t pid);

}  // namespace devicelink::platform
