// The board simulator, a transfer tool: the first instance opens the window and runs what
// arrives on its standard input and from later instances; a later instance hands its
// standard input to that window and ends at once.
#include <csignal>
#include <cstdio>

#include "simulator/SimulatorApp.h"
#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;

int main() {
    // A window or forwarder whose peer has gone must see EPIPE, not die of it.
    std::signal(SIGPIPE, SIG_IGN);

    InstanceHandOff handOff(InstanceHandOff::defaultFolder());
    switch (handOff.claim()) {
        case InstanceHandOff::Role::Forwarder:
            return handOff.forwardStandardInput() ? 0 : 1;
        case InstanceHandOff::Role::Window:
            break;
        case InstanceHandOff::Role::Alone:
            std::fprintf(stderr,
                         "board-simulator: no private place for the hand-off between "
                         "instances; this window takes only its own input\n");
            break;
    }
    handOff.watchStandardInput();
    simulator::platform::watchQuitSignals();
    SimulatorApp app(&handOff);
    return cocos2d::Application::getInstance()->run();
}
