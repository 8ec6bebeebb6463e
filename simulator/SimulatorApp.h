// The simulator's application delegate: opens the window and runs the simulator's layer,
// fed by the hand-off's transfers, until the window is closed or a quit signal arrives.
// Depends on the engine, the layer and the platform header.
#pragma once

#include "cocos2d.h"
#include "simulator/SimulatorPlatform.h"

class SimulatorApp : private cocos2d::Application {
public:
    // handOff: where transfers come from; none for a window that takes none.
    explicit SimulatorApp(simulator::platform::InstanceHandOff* handOff);
    ~SimulatorApp() override;

    // Opens the window and starts the layer; false when no window can open.
    bool applicationDidFinishLaunching() override;
    // The window was minimised: frames stop (the board's time with them).
    void applicationDidEnterBackground() override;
    // The window is back: frames run again.
    void applicationWillEnterForeground() override;
    // Asks for the drawing surface's colour bits.
    void initGLContextAttrs() override;
    // A quit signal has arrived: looked at even while no frame runs.
    bool applicationShouldQuit() override;

private:
    simulator::platform::InstanceHandOff* _handOff;
};
