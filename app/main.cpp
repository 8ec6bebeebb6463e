// Process entry: runs the application delegate's main loop until the window closes.
#include <csignal>

#include "app/AppDelegate.h"
#include "app/FirstFrameReport.h"
#include "app/MissingPictureGuard.h"

USING_NS_CC;

int main() {
    // Transfer tools are fed through pipes: a tool that ends early must cost an EPIPE,
    // not the program.
    std::signal(SIGPIPE, SIG_IGN);
    MissingPictureGuard::install();

    AppDelegate app;
    FirstFrameReport::installIfAsked();
    return Application::getInstance()->run();
}
