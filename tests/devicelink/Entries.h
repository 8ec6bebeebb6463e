// Device-list entries made as discovery makes them, for the device-link suites.
#pragma once

#include <stdexcept>
#include <string>

#include "devicelink/ZundleCardSerialData.h"

// create() may hand back nothing; a suite that goes on would dereference it.
inline ZundleCardSerialData* newEntry(int kind) {
    ZundleCardSerialData* entry = ZundleCardSerialData::create();
    if (entry == nullptr)
        throw std::runtime_error("a device-list entry could not be created");
    entry->kind = kind;
    return entry;
}

inline ZundleCardSerialData* portEntry(const std::string& name) {
    ZundleCardSerialData* entry = newEntry(ZundleCardSerialData::kKindSerialPort);
    entry->name = name;
    entry->description = "pseudo-terminal";
    return entry;
}

inline ZundleCardSerialData* toolEntry(const std::string& path) {
    ZundleCardSerialData* entry = newEntry(ZundleCardSerialData::kKindTool);
    entry->name = path.substr(path.find_last_of("/\\") + 1);
    entry->path = path;
    return entry;
}
