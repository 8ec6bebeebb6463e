// The board simulator, a transfer tool: the first instance opens the window and runs what
// arrives on its standard input and from later instances; a later instance hands its
// standard input to that window and ends at once.
#include <csignal>

#include "simulator/RunSimulator.h"

int main() {
    // A window or forwarder whose peer has gone must see EPIPE, not die of it.
    std::signal(SIGPIPE, SIG_IGN);
    return runSimulator();
}
