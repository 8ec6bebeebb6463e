// Linked into every benchmark program: before main, the program gets a data folder and a
// home of its own (XDG_DATA_HOME and HOME), removed again at its end. A workspace started
// where the user's last work lies shows the start notice and its animation, so figures
// taken there would measure the user's data, not the program; and a benchmark must never
// write into the user's own folders. POSIX only, as the benchmarks are.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

class OwnDataFolder {
public:
    OwnDataFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zc-bench-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("zc-bench: no data folder of its own");
            std::exit(1);
        }
        _folder = pattern;
        const std::string data = (_folder / "data").string();
        std::filesystem::create_directories(data);
        ::setenv("HOME", _folder.c_str(), 1);
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    ~OwnDataFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(_folder, ignored);
    }
    OwnDataFolder(const OwnDataFolder&) = delete;
    OwnDataFolder& operator=(const OwnDataFolder&) = delete;

private:
    std::filesystem::path _folder;
};

const OwnDataFolder s_folder;

}  // namespace
