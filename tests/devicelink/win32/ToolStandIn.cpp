// A transfer tool for the Windows suites. It takes no arguments, as the link passes none;
// what it does follows from its own file name, so one program serves every case:
//   ...early...  ends at once without reading, with status 3;
//   ...quit...   ends at once without reading, with status 0;
//   ...stall...  never reads, and ends after a while;
//   ...probe...  reports whether it got the handle named in ZC_PROBE_HANDLE, then
//                copies its input;
//   ...keep...   keeps each transfer whole: copies its input to its own path plus
//                ".part", then renames that to its path plus ".transfer.0001", ".0002"...;
//   ...answer... copies its input to its standard output, then says "OK" on its standard
//                error, and a moment later "later" on its output;
//   ...flood...  reads its input, then writes 64 MB and "end" on its standard output;
//   ...errs...   copies its input to its standard output, as a board echoes, then says
//                "Syntax error in 20" there;
//   otherwise    copies its standard input to its own path plus ".out".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Renames the finished transfer to the first free ".transfer.NNNN" name.
int keepTransfer(const std::wstring& part, const std::wstring& self) {
    wchar_t suffix[32];
    for (int n = 1; n < 10000; ++n) {
        std::swprintf(suffix, 32, L".transfer.%04d", n);
        if (::MoveFileW(part.c_str(), (self + suffix).c_str()))
            return 0;
    }
    return 2;
}

void writeWhole(DWORD which, const char* bytes, DWORD size) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(which), bytes, size, &written, nullptr);
}

int answer(bool flood) {
    char block[4096];
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), block, sizeof(block), &got, nullptr) &&
           got > 0) {
        if (!flood)
            writeWhole(STD_OUTPUT_HANDLE, block, got);
    }
    if (flood) {
        static char zeros[65536];
        for (int i = 0; i < 1024; ++i)
            writeWhole(STD_OUTPUT_HANDLE, zeros, sizeof(zeros));
        writeWhole(STD_OUTPUT_HANDLE, "end", 3);
        return 0;
    }
    writeWhole(STD_ERROR_HANDLE, "OK\r\n", 4);
    ::Sleep(1500);
    writeWhole(STD_OUTPUT_HANDLE, "later\r\n", 7);
    return 0;
}

int echoThenErr() {
    char block[4096];
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), block, sizeof(block), &got, nullptr) &&
           got > 0) {
        writeWhole(STD_OUTPUT_HANDLE, block, got);
    }
    const char error[] = "Syntax error in 20\r\n";
    writeWhole(STD_OUTPUT_HANDLE, error, sizeof(error) - 1);
    return 0;
}

}  // namespace

int main() {
    wchar_t path[32768];
    const std::wstring self(path, ::GetModuleFileNameW(nullptr, path, 32768));
    const std::wstring name = self.substr(self.find_last_of(L"\\/") + 1);
    const auto named = [&name](const wchar_t* word) { return name.find(word) != name.npos; };
    if (named(L"early") || named(L"quit"))
        return named(L"early") ? 3 : 0;
    if (named(L"stall")) {
        ::Sleep(8000);
        return 0;
    }
    if (named(L"answer") || named(L"flood")) {
        return answer(named(L"flood"));
    }
    if (named(L"errs")) {
        return echoThenErr();
    }
    const std::wstring target = self + (named(L"keep") ? L".part" : L".out");
    // One that cannot be made leaves the writes failing: the test finds nothing written.
    HANDLE out = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD got = 0;
    if (named(L"probe")) {
        // Whether the handle named in the variable is open here: it was inherited.
        wchar_t value[64] = {};
        ::GetEnvironmentVariableW(L"ZC_PROBE_HANDLE", value, 64);
        const auto probe = reinterpret_cast<HANDLE>(_wcstoui64(value, nullptr, 10));
        const bool inherited = ::GetHandleInformation(probe, &got);
        ::WriteFile(out, inherited ? "inherited=1\n" : "inherited=0\n", 12, &got, nullptr);
    }
    char block[4096];
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), block, sizeof(block), &got, nullptr) &&
           got > 0) {
        ::WriteFile(out, block, got, &got, nullptr);
    }
    ::CloseHandle(out);
    return named(L"keep") ? keepTransfer(target, self) : 0;
}
