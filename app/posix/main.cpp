// Process entry on POSIX systems.
#include <csignal>

#include "app/AppMain.h"

int main() {
    // Transfer tools are fed through pipes: a tool that ends early must cost an EPIPE,
    // not the program.
    std::signal(SIGPIPE, SIG_IGN);
    return runZundleCards();
}
