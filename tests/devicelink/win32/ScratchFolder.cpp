#include "ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> s_counter{0};
    const fs::path folder =
        fs::temp_directory_path() / ("zc-devicelink-" + std::to_string(::GetCurrentProcessId()) +
                                     "-" + std::to_string(s_counter.fetch_add(1)));
    std::error_code failed;
    fs::remove_all(folder, failed);
    if (fs::create_directories(folder, failed))
        _path = folder.u8string();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!_path.empty())
        fs::remove_all(fs::u8path(_path), ignored);
}

std::string ScratchFolder::placeTool(const std::string& name) const {
    wchar_t suite[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, suite, 32768);
    const fs::path standIn =
        fs::path(std::wstring(suite, length)).parent_path() / "zc_tool_standin.exe";
    const fs::path target = fs::u8path(file(name));
    std::error_code failed;
    fs::create_directories(target.parent_path(), failed);
    fs::copy_file(standIn, target, fs::copy_options::overwrite_existing, failed);
    return target.u8string();
}

std::string ScratchFolder::write(const std::string& name, const std::string& content) const {
    const fs::path target = fs::u8path(file(name));
    std::error_code failed;
    fs::create_directories(target.parent_path(), failed);
    std::ofstream(target, std::ios::binary | std::ios::trunc) << content;
    return target.u8string();
}

std::string ScratchFolder::read(const std::string& path) {
    std::ostringstream content;
    content << std::ifstream(fs::u8path(path), std::ios::binary).rdbuf();
    return content.str();
}

bool ScratchFolder::exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::u8path(path), ignored);
}
