// Device-list entries made as discovery makes them, for the device-link suites.
#pragma once

#include <stdexcept>
#include <string>

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
