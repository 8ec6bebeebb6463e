// Holds the window's side of the hand-off named on its command line until it is ended, so
// that a test can end a window that never lets go of its lock or pipe.
#include <cstdio>

#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    // Tries until it is the window: the test's own look at the lock may hold it a moment.
    for (;;) {
        InstanceHandOff handOff(argv[1]);
        if (handOff.claim() == InstanceHandOff::Role::Window) {
            // Until the test ends this process, or closes the input.
            while (std::getchar() != EOF) {
            }
            return 0;
        }
    }
}
