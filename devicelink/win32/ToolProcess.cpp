// Transfer tools as child processes: a pipe on the tool's standard input whose end on
// our side takes timed writes, one on its output and error that the link's reader takes,
// a start that hands the tool those pipe ends and nothing else, the tool's end told by
// what it left unread, and no handle left behind.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/TimedWrite.h"
#include "devicelink/win32/ToolOutputReader.h"
#include "devicelink/win32/UniqueHandle.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

using widetext::systemMessage;
using widetext::toWide;

class ToolProcess {
public:
    ToolProcess(UniqueHandle child, UniqueHandle inputEnd, UniqueHandle readEnd)
        : process(std::move(child)), input(std::move(inputEnd)), toolEnd(std::move(readEnd)) {}
    UniqueHandle process;
    UniqueHandle input;  // our end of the tool's standard input, empty once closed
    // Our copy of the tool's end: our own end cannot tell what is still unread, this one
    // can. Empty once settled.
    UniqueHandle toolEnd;
};

namespace {

using Kind = TransferFailure::Kind;

constexpr DWORD kPipeBuffer = 4096;

// The two ends of a tool's input or output. An anonymous pipe knows no overlapped I/O, so
// a write into it could not be given up on, nor a read shared with other tools: a named
// pipe of our own stands in, overlapped on our side and a plain inheritable handle on the
// tool's.
struct ToolPipe {
    UniqueHandle ours;
    UniqueHandle theirs;
};

// The tool's input when `inbound` is false, its output when true.
DWORD makeToolPipe(ToolPipe& pipe, bool inbound) {
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring name = L"\\\\.\\pipe\\zundlecards-tool-" +
                                  std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(s_counter.fetch_add(1));
        // Our end first and as the only instance, so no other program can stand in for it.
        pipe.ours = UniqueHandle(
            ::CreateNamedPipeW(name.c_str(),
                               (inbound ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_OUTBOUND) |
                                   FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                               kPipeBuffer, 0, 0, nullptr));
        if (!pipe.ours) {
            const DWORD error = ::GetLastError();
            // A name still taken from an earlier run of a program with our process id.
            if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY) {
                continue;
            }
            return error;
        }
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        pipe.theirs =
            UniqueHandle(::CreateFileW(name.c_str(), inbound ? GENERIC_WRITE : GENERIC_READ, 0,
                                       &inheritable, OPEN_EXISTING, 0, nullptr));
        if (!pipe.theirs) {
            return ::GetLastError();
        }
        return 0;
    }
    return ERROR_PIPE_BUSY;
}

// The command line of the tool: its path alone, quoted, or a path with blanks would
// start the program named by its first word ("C:\My Tools\x.exe" runs "C:\My.exe").
std::wstring commandLine(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Starts the tool with `input` as its standard input, `output` (when given) as its output
// and error, and no other handle of ours: the handle list keeps inheritable handles that
// other threads hold at this moment out of the tool.
DWORD createToolProcess(const std::wstring& path, HANDLE input, HANDLE output,
                        PROCESS_INFORMATION& started) {
    HANDLE inherited[2] = {input, output};
    const DWORD inheritedCount = output != nullptr ? 2 : 1;
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
        return ::GetLastError();
    }
    DWORD error = 0;
    if (!::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                     inheritedCount * sizeof(HANDLE), nullptr, nullptr)) {
        error = ::GetLastError();
    } else {
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof(startup);
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = input;
        startup.StartupInfo.hStdOutput = output;
        startup.StartupInfo.hStdError = output;
        startup.lpAttributeList = attributes;
        std::wstring command = commandLine(path);
        // The application name is given too, so nothing is looked up along the search path.
        if (!::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, TRUE,
                              CREATE_NEW_CONSOLE | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                              &startup.StartupInfo, &started)) {
            error = ::GetLastError();
        }
    }
    ::DeleteProcThreadAttributeList(attributes);
    return error;
}

// Whether the tool can be run at all, with the reason when not.
bool checkRunnable(const std::wstring& path, TransferFailure& failure) {
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return failure.fail(Kind::ToolMissing);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return failure.fail(Kind::ToolNotStarted, "not a file");
    }
    return true;
}

// Bytes written into the tool's input that it has not read yet; 0 when unknown.
DWORD unreadBytes(const ToolProcess& tool) {
    DWORD count = 0;
    return tool.toolEnd && ::PeekNamedPipe(tool.toolEnd.get(), nullptr, 0, nullptr, &count, nullptr)
               ? count
               : 0;
}

// How often the pipe is looked at while the tool reads its last bytes.
constexpr DWORD kDrainLookMs = 5;

DWORD msUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

}  // namespace

void ToolProcessCloser::operator()(ToolProcess* tool) const {
    // Nothing to reap: the process handle is all that is left of the tool on our side.
    delete tool;
}

ToolProcessPtr startTool(const std::string& path, TransferFailure& failure, ToolOutput output) {
    const std::wstring widePath = toWide(path);
    if (!checkRunnable(widePath, failure)) {
        return {};
    }
    ToolPipe pipe;
    ToolPipe answer;
    DWORD made = makeToolPipe(pipe, false);
    if (made == 0 && output) {
        made = makeToolPipe(answer, true);
    }
    if (made != 0) {
        failure.fail(Kind::ToolNotStarted, systemMessage(made));
        return {};
    }
    PROCESS_INFORMATION started{};
    const DWORD error =
        createToolProcess(widePath, pipe.theirs.get(), answer.theirs.get(), started);
    // Only the tool holds the writing end now, so the pipe ends when the tool's side does.
    answer.theirs = UniqueHandle();
    // Kept, for what the tool leaves unread, but out of any later tool's reach.
    ::SetHandleInformation(pipe.theirs.get(), HANDLE_FLAG_INHERIT, 0);
    if (error != 0) {
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        failure.fail(missing ? Kind::ToolMissing : Kind::ToolNotStarted,
                     missing ? "" : systemMessage(error));
        return {};
    }
    ::CloseHandle(started.hThread);
    if (answer.ours) {
        ToolOutputReader::instance().add(std::move(answer.ours), std::move(output));
    }
    return ToolProcessPtr(new ToolProcess(UniqueHandle(started.hProcess), std::move(pipe.ours),
                                          std::move(pipe.theirs)));
}

bool writeTool(ToolProcess& tool, const std::string& bytes, const LinkSettings& settings,
               TransferFailure& failure) {
    if (!tool.input) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    // Our copy of the tool's end keeps the pipe whole after the tool has gone, so a write
    // gives up when the tool ends rather than waiting for a reader that is no more.
    const DWORD error = writeAllTimed(tool.input.get(), bytes.data(), bytes.size(),
                                      settings.stallLimitMs, tool.process.get());
    if (error == ERROR_TIMEOUT) {
        return failure.fail(Kind::ToolStalled);
    }
    // What a tool that has ended leaves behind; its text would only puzzle the user.
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    if (error != 0) {
        return failure.fail(Kind::ToolEndedEarly, systemMessage(error));
    }
    return true;
}

bool settleTool(ToolProcess& tool, std::chrono::steady_clock::time_point deadline,
                TransferFailure& failure) {
    // The input stays open until the tool has taken every byte: once it has ended, bytes
    // left in the pipe are the only sign that it stopped short of the end.
    bool ended = false;
    while (tool.input && !ended) {
        if (unreadBytes(tool) == 0) {
            if (!closeToolInput(tool, failure)) {
                return false;
            }
            break;
        }
        const DWORD left = msUntil(deadline);
        if (left == 0) {
            break;
        }
        ended = ::WaitForSingleObject(tool.process.get(), std::min(left, kDrainLookMs)) ==
                WAIT_OBJECT_0;
    }
    const bool leftUnread = ended && tool.input && unreadBytes(tool) > 0;
    // A tool that lingers must not find its pipe held open by us.
    tool.toolEnd.reset();
    if (tool.input && !closeToolInput(tool, failure)) {
        return false;
    }
    // A tool that runs on past the deadline is one that waits for its board: not a fault.
    ended = ended || ::WaitForSingleObject(tool.process.get(), msUntil(deadline)) == WAIT_OBJECT_0;
    DWORD status = 0;
    if (ended && ::GetExitCodeProcess(tool.process.get(), &status) && status != 0) {
        return failure.fail(Kind::ToolError, "status " + std::to_string(status));
    }
    if (leftUnread) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    sleepUntil(deadline);
    return true;
}

bool closeToolInput(ToolProcess& tool, TransferFailure& failure) {
    if (!tool.input) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    if (!tool.input.reset()) {
        return failure.fail(Kind::ToolEndedEarly, systemMessage(::GetLastError()));
    }
    return true;
}

}  // namespace devicelink::platform
