// A transfer tool for the Windows suites. It takes no arguments, as the link passes none;
// what it does follows from its own file name, so one program serves every case:
//   ...early...  ends at once without reading;
//   ...stall...  never reads, and ends after a while;
//   ...probe...  reports whether it got the handle named in ZC_PROBE_HANDLE, then
//                copies its input;
//   ...keep...   keeps each transfer whole: copies its input to its own path plus
//                ".part", then renames that to its path plus ".transfer.0001", ".0002"...;
//   otherwise    copies its standard input to its own path plus ".out".

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring ownPath() {
    wchar_t buffer[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    return std::wstring(buffer, length);
}

void writeAll(HANDLE file, const char* data, DWORD size) {
    DWORD written = 0;
    ::WriteFile(file, data, size, &written, nullptr);
}

// "1" when the handle named in the variable is open in this process: it was inherited.
std::string inheritedProbe() {
    wchar_t value[64] = {};
    if (::GetEnvironmentVariableW(L"ZC_PROBE_HANDLE", value, 64) == 0) {
        return "?";
    }
    const auto probe =
        reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(_wcstoui64(value, nullptr, 10)));
    DWORD flags = 0;
    return ::GetHandleInformation(probe, &flags) ? "1" : "0";
}

// Renames the finished transfer to the first free ".transfer.NNNN" name.
int keepTransfer(const std::wstring& part, const std::wstring& self) {
    for (int n = 1; n < 10000; ++n) {
        wchar_t suffix[32];
        std::swprintf(suffix, 32, L".transfer.%04d", n);
        if (::MoveFileW(part.c_str(), (self + suffix).c_str())) {
            return 0;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return 2;
        }
    }
    return 2;
}

}  // namespace

int main() {
    const std::wstring self = ownPath();
    std::wstring name = self.substr(self.find_last_of(L"\\/") + 1);
    if (name.find(L"early") != std::wstring::npos) {
        return 3;
    }
    if (name.find(L"stall") != std::wstring::npos) {
        ::Sleep(8000);
        return 0;
    }
    const bool keep = name.find(L"keep") != std::wstring::npos;
    const std::wstring target = self + (keep ? L".part" : L".out");
    HANDLE out = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return 2;
    }
    if (name.find(L"probe") != std::wstring::npos) {
        const std::string report = "inherited=" + inheritedProbe() + "\n";
        writeAll(out, report.data(), static_cast<DWORD>(report.size()));
    }
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char block[4096];
    DWORD got = 0;
    while (::ReadFile(input, block, sizeof(block), &got, nullptr) && got > 0) {
        writeAll(out, block, got);
    }
    ::CloseHandle(out);
    return keep ? keepTransfer(target, self) : 0;
}
