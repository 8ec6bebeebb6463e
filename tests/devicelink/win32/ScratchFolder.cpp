#include "ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path fromUtf8(const std::string& text) {
    return fs::u8path(text);
}

std::string besideSuite(const std::string& name) {
    wchar_t buffer[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    return (fs::path(std::wstring(buffer, length)).parent_path() / name).u8string();
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> s_counter{0};
    const fs::path folder =
        fs::temp_directory_path() / ("zc-devicelink-" + std::to_string(::GetCurrentProcessId()) +
                                     "-" + std::to_string(s_counter.fetch_add(1)));
    std::error_code failed;
    fs::remove_all(folder, failed);
    if (fs::create_directories(folder, failed)) {
        _path = folder.u8string();
    }
}

ScratchFolder::~ScratchFolder() {
    if (!_path.empty()) {
        std::error_code ignored;
        fs::remove_all(fromUtf8(_path), ignored);
    }
}

std::string ScratchFolder::placeTool(const std::string& name) const {
    const fs::path target = fromUtf8(file(name));
    std::error_code failed;
    fs::create_directories(target.parent_path(), failed);
    fs::copy_file(fromUtf8(besideSuite("zc_tool_standin.exe")), target,
                  fs::copy_options::overwrite_existing, failed);
    return target.u8string();
}

std::string ScratchFolder::write(const std::string& name, const std::string& content) const {
    const fs::path target = fromUtf8(file(name));
    std::error_code failed;
    fs::create_directories(target.parent_path(), failed);
    std::ofstream(target, std::ios::binary | std::ios::trunc) << content;
    return target.u8string();
}

std::string ScratchFolder::read(const std::string& path) {
    std::ifstream in(fromUtf8(path), std::ios::binary);
    std::string content;
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        content.append(block, static_cast<size_t>(in.gcount()));
    return content;
}

bool ScratchFolder::exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fromUtf8(path), ignored);
}
