// What the storage suites share: a scratch folder that goes with the test, the real
// catalogue's sizes, and reading a file's bytes as they lie on the disk.
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "storage/ProgramFile.h"

namespace storagetest {

namespace fs = std::filesystem;

inline CatalogueSize realCatalogue() {
    const DeviceManager* manager = DeviceManager::getInstance();
    CatalogueSize size;
    for (int set = 0; set < static_cast<int>(size.cardsPerSet.size()); ++set) {
        size.cardsPerSet[static_cast<std::size_t>(set)] = manager->getCardCount(set);
    }
    size.dialects = manager->getDialectCount();
    return size;
}

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<unsigned> s_counter{0};
        _path =
            fs::temp_directory_path() / ("zc-storage-" + std::to_string(std::random_device{}()) +
                                         "-" + std::to_string(s_counter++));
        fs::create_directories(_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        // A test may have taken the write permission away.
        fs::permissions(_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (const auto& entry : fs::recursive_directory_iterator(_path, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return _path; }
    std::string operator/(const std::string& name) const {
        return (_path / fs::u8path(name)).u8string();
    }

private:
    fs::path _path;
};

inline std::string bytesOf(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(fs::u8path(path), std::ios::binary).rdbuf();
    return bytes.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::u8path(path), std::ios::binary) << bytes;
}

// Every name in the folder, hidden ones too.
inline std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace storagetest
