#include "app/AppMain.h"

#include "app/AppDelegate.h"
#include "app/FirstFrameReport.h"
#include "app/MissingPictureGuard.h"

USING_NS_CC;

int runZundleCards() {
    MissingPictureGuard::install();
    AppDelegate app;
    FirstFrameReport::installIfAsked();
    return Application::getInstance()->run();
}
