// For the start-up benchmark only: when ZC_REPORT_FIRST_FRAME is set, the program writes
// the steady-clock time (CLOCK_MONOTONIC, in nanoseconds) at which it knows its first
// frame has been presented, and with the value "exit" it then closes its window.
// Depends on the engine only; without the variable it does nothing at all.
#pragma once

class FirstFrameReport {
public:
    // Arms the report if the environment asks for it.
    static void installIfAsked();
};
