// For the end-to-end tests: when ZC_REPORT_NOTICES names a file, the program adds each
// notice the workspace shows to it, a line each, since a screenshot shows that a notice
// is there but not what it says. Without the variable it does nothing at all.
#pragma once

class FieldScene;

class NoticeReport {
public:
    // Arms the report on the workspace if the environment asks for it.
    static void installIfAsked(FieldScene* workspace);
};
