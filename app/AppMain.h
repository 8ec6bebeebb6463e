// What the program's entry does on every system: the application delegate's main loop
// until the window closes. The entry itself (main, wWinMain) is in posix/ or win32/.
#pragma once

// Runs the workspace; returns the process's exit status.
int runZundleCards();
