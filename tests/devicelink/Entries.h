// Device-list entries made as discovery makes them, and chunks to send, for the device-link
// suites.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "devicelink/ZundleCardSerialData.h"
#include "generation/TransferPlan.h"

inline ZundleCardSerialData* newEntry(TargetKind kind, const std::string& name,
                                      const std::string& path) {
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
    return newEntry(TargetKind::SerialPort, name, "");
}

inline ZundleCardSerialData* toolEntry(const std::string& path) {
    return newEntry(TargetKind::Tool, path.substr(path.find_last_of("/\\") + 1), path);
}

using Chunk = ProgramChunk;

// A plan of the chunks to the kind of target a suite sends to.
inline TransferPlan planOf(std::vector<Chunk> chunks, TargetKind target) {
    TransferPlan plan;
    plan.chunks = std::move(chunks);
    plan.target = target;
    return plan;
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
