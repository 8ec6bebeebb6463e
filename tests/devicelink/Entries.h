// Device-list entries and send queues made as discovery and the transfer worker make them,
// for the device-link suites: the queue holds the only reference to each chunk.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/Vector.h"
#include "devicelink/SendData.h"
#include "devicelink/ZundleCardSerialData.h"

inline ZundleCardSerialData* newEntry(int kind, const std::string& name, const std::string& path) {
    ZundleCardSerialData* entry = ZundleCardSerialData::create();
    // create() may hand back nothing; a suite that went on would dereference it.
    if (entry == nullptr)
        throw std::runtime_error("a device-list entry could not be created");
    entry->kind = kind;
    entry->name = name;
    entry->path = path;
    return entry;
}

inline ZundleCardSerialData* portEntry(const std::string& name) {
    return newEntry(ZundleCardSerialData::kKindSerialPort, name, "");
}

inline ZundleCardSerialData* toolEntry(const std::string& path) {
    return newEntry(ZundleCardSerialData::kKindTool, path.substr(path.find_last_of("/\\") + 1),
                    path);
}

struct Chunk {
    std::string text;
    int waitMs;
};

// Any pieces with a text and a pause: the suites' own chunks, or a built program.
template <class Piece>
cocos2d::Vector<SendData*> queueOf(const std::vector<Piece>& chunks) {
    cocos2d::Vector<SendData*> queue;
    for (const Piece& c : chunks) {
        auto* chunk = new SendData();
        chunk->init();
        chunk->text = c.text;
        chunk->waitMs = c.waitMs;
        queue.pushBack(chunk);
        chunk->release();
    }
    return queue;
}

inline cocos2d::Vector<SendData*> makeQueue(const std::vector<Chunk>& chunks) {
    return queueOf(chunks);
}

inline std::string joined(const std::vector<Chunk>& chunks) {
    std::string all;
    for (const Chunk& c : chunks)
        all += c.text;
    return all;
}

// Polls a condition that another thread or process makes true, with a generous bound.
inline bool eventually(const std::function<bool()>& condition) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    bool met = false;
    while (!(met = condition()) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return met;
}
