// Send queues for the device-link tests, made the way the transfer worker gets them: the
// queue holds the only reference to each chunk.
#pragma once

#include <string>
#include <vector>

#include "base/Vector.h"
#include "devicelink/SendData.h"

struct Chunk {
    std::string text;
    int waitMs;
};

// A queue of the chunks, in order.
cocos2d::Vector<SendData*> makeQueue(const std::vector<Chunk>& chunks);
// The bytes the chunks make together.
std::string joined(const std::vector<Chunk>& chunks);
