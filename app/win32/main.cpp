// Process entry on Windows: the wide-character GUI entry, so that no console window opens.
#include <windows.h>

#include "app/AppMain.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    return runZundleCards();
}
