// The board simulator's run, the same on every system: the first instance opens the
// window, a later one hands its standard input over and ends. Each system's entry point
// (posix/, win32/) prepares the process and calls it.
#pragma once

// Runs this instance as the window or as a forwarder; returns the process's exit status.
int runSimulator();
