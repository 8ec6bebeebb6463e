// A data folder of the test's own for the program's files (the shelf, the last work), so
// that no test reads another's programs or last work, nor the user's, also when a test
// program is started by hand rather than by CTest.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class OwnDataFolder {
public:
    OwnDataFolder() {
        folder = std::filesystem::temp_directory_path() /
                 ("zc-test-data-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder);
#ifdef _WIN32
        _putenv_s("APPDATA", folder.string().c_str());
#else
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
#endif
    }
    ~OwnDataFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    OwnDataFolder(const OwnDataFolder&) = delete;
    OwnDataFolder& operator=(const OwnDataFolder&) = delete;

    std::filesystem::path folder;
};
