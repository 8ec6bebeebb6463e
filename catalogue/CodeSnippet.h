// One piece of program text for a board and how it is to be sent.
// Plain data; depends on nothing but the standard library.
#pragma once

#include <string>

struct CodeSnippet {
    // Sent unchanged; may hold line feeds and other control characters.
    std::string text;
    // Pause after the text in milliseconds; -1 derives it from the length actually sent.
    int waitMs = -1;
    // Whether the dialect's line terminator follows the text.
    bool appendTerminator = true;
};
