#include "simulator/RunSimulator.h"

#include <cstdio>

#include "simulator/SimulatorApp.h"
#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;

int runSimulator() {
    InstanceHandOff handOff(InstanceHandOff::defaultFolder());
    switch (handOff.claim()) {
        case InstanceHandOff::Role::Forwarder:
            return handOff.forwardStandardInput() ? 0 : 1;
        case InstanceHandOff::Role::Window:
            break;
        case InstanceHandOff::Role::Alone:
            std::fprintf(stderr, "board-simulator: %s; this window takes only its own input\n",
                         handOff.problem().empty()
                             ? "no private place for the hand-off between instances"
                             : handOff.problem().c_str());
            break;
    }
    handOff.watchStandardInput();
    simulator::platform::watchQuitSignals();
    SimulatorApp app(&handOff);
    return cocos2d::Application::getInstance()->run();
}
