// The application delegate: opens the window, fixes the design space and frame rate, and
// runs the one scene holding the workspace layer. Depends on the engine and scene/.
#pragma once

#include "cocos2d.h"

class FieldScene;

class AppDelegate : private cocos2d::Application {
public:
    AppDelegate();
    ~AppDelegate() override;

    // Opens the window and starts the workspace scene; false when no window can open.
    bool applicationDidFinishLaunching() override;
    // The window was minimised: frames stop.
    void applicationDidEnterBackground() override;
    // The window is back: frames run again.
    void applicationWillEnterForeground() override;
    // Asks for the drawing surface's colour, depth and stencil bits.
    void initGLContextAttrs() override;
    // However the program ends, the field is written as this run's work first.
    void applicationWillTerminate() override;

private:
    // The workspace (weak: the scene holds it and lives until the process ends).
    FieldScene* _workspace = nullptr;
};
