// One chunk of a transfer: the bytes to write and the pause after them on a serial port.
// Portable; depends only on the engine's reference counting.
#pragma once

#include <string>

#include "base/Ref.h"

class SendData : public cocos2d::Ref {
public:
    // A chunk handed to the autorelease pool (main thread only), or null when init fails.
    static SendData* create(const std::string& text, int waitMs);

    ~SendData() override;
    // Empties the text and clears the pause.
    virtual bool init();

    std::string text;  // written as it stands, control bytes included
    int waitMs = 0;    // milliseconds of quiet after the chunk; 0 or less: none
};
