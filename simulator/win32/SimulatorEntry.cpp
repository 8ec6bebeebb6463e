// The board simulator, a transfer tool: the first instance opens the window and runs what
// arrives on its standard input and from later instances; a later instance hands its
// standard input to that window and ends at once. A windowed program, so no console
// opens beside it; its standard input is the pipe its starter gave it, if any.
#include <windows.h>

#include "simulator/RunSimulator.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return runSimulator();
}
