// The hand-off between simulator instances over a named pipe, with a named mutex deciding
// which instance is the window. Both are named after the user and the session; the pipe
// admits this user alone and no remote client, and a thread accepts its connections so
// that senders never wait for the window's next frame. A pipe cannot be half closed, so a
// sender frames its transfer (TransferFrames.h) and hears the answers on the same pipe.

#include <windows.h>
// After windows.h, whose macros it uses.
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "simulator/PendingSender.h"
#include "simulator/SimulatorPlatform.h"
#include "simulator/TransferFrames.h"

namespace simulator::platform {

namespace {

using Clock = std::chrono::steady_clock;

const char* const kPipePrefix = "\\\\.\\pipe\\";
const char* const kLockPrefix = "Local\\";
// Names the hand-off instead of the user and session, so tests keep to their own.
const char* const kNameVariable = "ZC_BOARD_SIMULATOR_HANDOFF";
// Senders connected at once; more are turned away rather than holding handles.
constexpr std::size_t kMaxSenders = 16;
// How long a forwarder waits for a window that does not read.
constexpr DWORD kSendTimeoutMs = 2000;
constexpr DWORD kPipeBuffer = 64 * 1024;
// How long a forwarder waits for the first answer to its transfer.
constexpr DWORD kFirstAnswerMs = 5000;
// Answers waiting for a reader beyond this are dropped, as a board's would be.
constexpr std::size_t kAnswerBacklog = 64 * 1024;
// How long the window's writer waits for a sender that has stopped reading its answers.
constexpr DWORD kAnswerGiveUpMs = 10000;
// How long a closing window waits for the last answers to be taken.
constexpr auto kLastAnswersWait = std::chrono::seconds(1);

// The TOKEN_USER of a process token, empty when it cannot be read.
std::vector<BYTE> userOfToken(HANDLE token) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

std::vector<BYTE> userOfProcess(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return {};
    }
    std::vector<BYTE> user = userOfToken(token);
    ::CloseHandle(token);
    return user;
}

PSID sidOf(std::vector<BYTE>& user) {
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

// Standard input when there is something to read on it: no console, which only a person
// types into, and none at all for a program started without one.
HANDLE readableStandardInput() {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE || isConsole(input)) {
        return nullptr;
    }
    return input;
}

// Access for the user alone; the descriptor points into this object, so it stays put.
struct UserOnly {
    std::vector<BYTE> user;
    std::vector<BYTE> acl;
    SECURITY_DESCRIPTOR descriptor{};
    SECURITY_ATTRIBUTES attributes{};

    bool make() {
        user = userOfProcess(::GetCurrentProcess());
        if (user.empty()) {
            return false;
        }
        const PSID sid = sidOf(user);
        const DWORD size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid);
        acl.assign(size, 0);
        const PACL list = reinterpret_cast<PACL>(acl.data());
        if (!::InitializeAcl(list, size, ACL_REVISION) ||
            !::AddAccessAllowedAce(list, ACL_REVISION, GENERIC_ALL, sid) ||
            !::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE)) {
            return false;
        }
        attributes = {sizeof attributes, &descriptor, FALSE};
        return true;
    }
};

// A sender's pipe and where its frames stand; standard input, not a pipe of ours, comes
// unframed.
struct SenderPipe {
    HANDLE handle;
    TransferFrameReader frames;
};
using Sender = PendingSender<SenderPipe>;

// Writes all of `data` to a handle opened for overlapped I/O, giving up after `limitMs`.
bool writeOverlapped(HANDLE to, const char* data, DWORD size, HANDLE event, DWORD limitMs) {
    OVERLAPPED request{};
    request.hEvent = event;
    ::ResetEvent(event);
    if (!::WriteFile(to, data, size, nullptr, &request) && ::GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    if (::WaitForSingleObject(event, limitMs) != WAIT_OBJECT_0) {
        ::CancelIoEx(to, &request);
    }
    DWORD sent = 0;
    return ::GetOverlappedResult(to, &request, &sent, TRUE) && sent == size;
}

bool writeAll(HANDLE to, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
        DWORD written = 0;
        if (!::WriteFile(to, data.data() + done, static_cast<DWORD>(data.size() - done), &written,
                         nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// Copies the window's answers to standard output until the window ends them or goes, or
// until nobody takes this instance's output any more. A window that says nothing for
// kFirstAnswerMs is not taking transfers (minimised, say): this instance does not wait.
void printAnswers(HANDLE window) {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE arrived = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (output == nullptr || output == INVALID_HANDLE_VALUE || arrived == nullptr) {
        if (arrived != nullptr) {
            ::CloseHandle(arrived);
        }
        return;
    }
    std::string buffer(4096, '\0');
    for (bool heard = false;;) {
        OVERLAPPED request{};
        request.hEvent = arrived;
        ::ResetEvent(arrived);
        if (!::ReadFile(window, &buffer[0], static_cast<DWORD>(buffer.size()), nullptr, &request) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            break;
        }
        if (::WaitForSingleObject(arrived, heard ? INFINITE : kFirstAnswerMs) != WAIT_OBJECT_0) {
            ::CancelIoEx(window, &request);
        }
        DWORD got = 0;
        if (!::GetOverlappedResult(window, &request, &got, TRUE) || got == 0) {
            break;
        }
        heard = true;
        if (!writeAll(output, buffer.substr(0, got))) {
            break;
        }
    }
    ::CloseHandle(arrived);
}

// Writes one sender's answers from a thread of its own, so that a reader who does not read
// never holds the window's frames, and closes the handle once they are over: the sender
// learns that nothing more comes. The thread may outlive the hand-off, so it shares this.
struct AnswerWriter {
    std::mutex mutex;
    std::condition_variable wake;
    std::string waiting;
    bool over = false;
    bool done = false;

    void add(const std::string& text) {
        std::lock_guard<std::mutex> guard(mutex);
        if (!over && waiting.size() + text.size() <= kAnswerBacklog) {
            waiting += text;
            wake.notify_all();
        }
    }
    void finish() {
        std::lock_guard<std::mutex> guard(mutex);
        over = true;
        wake.notify_all();
    }
    // Until the writer has closed its handle, or `limit` has passed.
    void awaitDone(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, limit, [this] { return done; });
    }

    // `overlapped`: the handle is the window's end of a sender's pipe.
    static void run(const std::shared_ptr<AnswerWriter>& self, HANDLE target, bool overlapped) {
        const HANDLE event = overlapped ? ::CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
        bool writable = !overlapped || event != nullptr;
        for (;;) {
            std::unique_lock<std::mutex> lock(self->mutex);
            self->wake.wait(lock, [&] { return !self->waiting.empty() || self->over; });
            if (self->waiting.empty()) {
                break;
            }
            const std::string text = std::move(self->waiting);
            self->waiting.clear();
            lock.unlock();
            if (writable) {
                writable = overlapped ? writeOverlapped(target, text.data(),
                                                        static_cast<DWORD>(text.size()), event,
                                                        kAnswerGiveUpMs)
                                      : writeAll(target, text);
            }
        }
        if (event != nullptr) {
            ::CloseHandle(event);
        }
        ::CloseHandle(target);
        std::lock_guard<std::mutex> guard(self->mutex);
        self->done = true;
        self->wake.notify_all();
    }
};

// Standard output for the window's own input's answers, when there is one to write to.
HANDLE usableStandardOutput() {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return output == nullptr || output == INVALID_HANDLE_VALUE ? nullptr : output;
}

// Standard output is about to be closed for good: the standard handles that name it name
// the null device instead, so nothing later writes into a handle that has gone. (The C
// library's own descriptors keep the old value; only a fatal message would still use them.)
void retireStandardOutput(HANDLE output) {
    const HANDLE nowhere = ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE replacement = nowhere == INVALID_HANDLE_VALUE ? nullptr : nowhere;
    if (::GetStdHandle(STD_ERROR_HANDLE) == output) {
        ::SetStdHandle(STD_ERROR_HANDLE, replacement);
    }
    ::SetStdHandle(STD_OUTPUT_HANDLE, replacement);
}

// Reads bytes that are known to be waiting in one of the window's own (overlapped) pipes.
bool readWaiting(HANDLE pipe, char* buffer, DWORD size, DWORD* got) {
    OVERLAPPED request{};
    if (!::ReadFile(pipe, buffer, size, nullptr, &request) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    return ::GetOverlappedResult(pipe, &request, got, TRUE) != 0;
}

// The window's own standard input, read by a thread of its own: not every kind of pipe
// can be peeked at (one from a POSIX parent under wine cannot), and a read may wait. The
// thread lives until the input ends, or with the process, so it shares this with it.
struct InputReader {
    std::mutex mutex;
    std::string bytes;  // read and not yet taken, at most a transfer's cap
    bool ended = false;

    static void run(const std::shared_ptr<InputReader>& reader, HANDLE input) {
        std::string buffer(16 * 1024, '\0');
        std::size_t total = 0;
        DWORD got = 0;
        while (::ReadFile(input, &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr) &&
               got > 0) {
            std::lock_guard<std::mutex> guard(reader->mutex);
            const std::size_t cap = InstanceHandOff::kMaxTransfer;
            reader->bytes.append(buffer, 0, std::min<std::size_t>(got, cap - std::min(cap, total)));
            total += got;
        }
        std::lock_guard<std::mutex> guard(reader->mutex);
        reader->ended = true;
    }
};

}  // namespace

struct InstanceHandOff::State {
    std::string folder;
    std::string problem;
    std::string pipeName;
    std::string lockName;
    UserOnly access;
    HANDLE lock = nullptr;
    HANDLE forward = INVALID_HANDLE_VALUE;
    std::deque<Sender> senders;
    std::shared_ptr<InputReader> input;
    // Where the last transfer's answers go; none when they are over.
    std::shared_ptr<AnswerWriter> answers;

    // The accepting thread hands connected pipes over through `accepted`.
    std::thread acceptor;
    HANDLE stopAccepting = nullptr;
    std::mutex acceptedMutex;
    std::deque<HANDLE> accepted;

    HANDLE makeInstance(bool first);
    bool listen();
    void acceptLoop(HANDLE instance);
    enum class Reached { Window, Nobody, Busy, Stranger };
    // Connects to the window's pipe, waiting for a free instance until giveUp.
    Reached connect(Clock::time_point giveUp);
    bool servedByThisUser(HANDLE pipe);
    void takeAccepted();
    void readFrom(Sender& sender);
    void answerTo(HANDLE target, bool overlapped);
    void closeAnswers();
};

InstanceHandOff::InstanceHandOff(std::string folder) : _state(std::make_unique<State>()) {
    State& s = *_state;
    s.folder = std::move(folder);
    // The name is one path element of the pipe and the lock's whole name.
    if (!s.folder.empty() && s.folder.size() < 200 &&
        s.folder.find_first_of("\\/") == std::string::npos) {
        s.pipeName = kPipePrefix + s.folder;
        s.lockName = kLockPrefix + s.folder;
    }
}

InstanceHandOff::~InstanceHandOff() {
    State& s = *_state;
    if (s.acceptor.joinable()) {
        ::SetEvent(s.stopAccepting);
        s.acceptor.join();
    }
    if (s.stopAccepting != nullptr) {
        ::CloseHandle(s.stopAccepting);
    }
    for (HANDLE pipe : s.accepted) {
        ::CloseHandle(pipe);
    }
    for (const Sender& sender : s.senders) {
        if (sender.ownsSource) {
            ::CloseHandle(sender.source.handle);
        }
    }
    if (std::shared_ptr<AnswerWriter> last = s.answers) {
        s.closeAnswers();
        last->awaitDone(kLastAnswersWait);
    }
    if (s.lock != nullptr) {
        ::ReleaseMutex(s.lock);
        ::CloseHandle(s.lock);
    }
    if (s.forward != INVALID_HANDLE_VALUE) {
        ::CloseHandle(s.forward);
    }
}

std::string InstanceHandOff::defaultFolder() {
    // From the process's environment, which the C library's copy may not follow.
    char chosen[256];
    const DWORD length = ::GetEnvironmentVariableA(kNameVariable, chosen, sizeof chosen);
    if (length > 0 && length < sizeof chosen) {
        return std::string(chosen, length);
    }
    std::vector<BYTE> user = userOfProcess(::GetCurrentProcess());
    char* sid = nullptr;
    if (user.empty() || !::ConvertSidToStringSidA(sidOf(user), &sid)) {
        return std::string();
    }
    std::string name = std::string("zundle-board-simulator-") + sid;
    ::LocalFree(sid);
    // Pipes are seen from every session, the lock from this one only.
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) {
        return std::string();
    }
    return name + "-" + std::to_string(session);
}

const std::string& InstanceHandOff::socketPath() const {
    return _state->pipeName;
}

const std::string& InstanceHandOff::problem() const {
    return _state->problem;
}

InstanceHandOff::Role InstanceHandOff::claim(int waitMs) {
    State& s = *_state;
    if (s.pipeName.empty() || s.lock != nullptr || s.forward != INVALID_HANDLE_VALUE ||
        !s.access.make()) {
        return Role::Alone;
    }
    const auto giveUp = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const HANDLE lock = ::CreateMutexA(&s.access.attributes, FALSE, s.lockName.c_str());
        if (lock == nullptr) {
            return Role::Alone;
        }
        // An abandoned mutex is one whose window ended without letting go: ours now.
        const DWORD waited = ::WaitForSingleObject(lock, 0);
        const bool locked = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (!locked) {
            ::CloseHandle(lock);
            if (waited != WAIT_TIMEOUT) {
                return Role::Alone;
            }
        }
        // Looked for even with the lock: a mutex lets the thread that holds it in again,
        // so this thread may be some other window's already.
        const State::Reached reached = s.connect(giveUp);
        if (locked) {
            if (reached == State::Reached::Nobody && s.listen()) {
                s.lock = lock;
                return Role::Window;
            }
            ::ReleaseMutex(lock);
            ::CloseHandle(lock);
            return reached == State::Reached::Window ? Role::Forwarder : Role::Alone;
        }
        if (reached == State::Reached::Window) {
            return Role::Forwarder;
        }
        // The window holds the lock; its pipe may be a moment away from listening.
        if (reached != State::Reached::Nobody || Clock::now() >= giveUp) {
            return Role::Alone;
        }
        ::Sleep(10);
    }
}

HANDLE InstanceHandOff::State::makeInstance(bool first) {
    const DWORD openMode =
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return ::CreateNamedPipeA(
        pipeName.c_str(), openMode,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, kPipeBuffer, kPipeBuffer, 0, &access.attributes);
}

bool InstanceHandOff::State::listen() {
    // The first instance fails when the name is taken, so nobody else listens for us.
    const HANDLE first = makeInstance(true);
    if (first == INVALID_HANDLE_VALUE) {
        return false;
    }
    stopAccepting = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stopAccepting == nullptr) {
        ::CloseHandle(first);
        return false;
    }
    acceptor = std::thread([this, first] { acceptLoop(first); });
    return true;
}

void InstanceHandOff::State::acceptLoop(HANDLE instance) {
    const HANDLE connected = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    while (instance != INVALID_HANDLE_VALUE && connected != nullptr) {
        OVERLAPPED request{};
        request.hEvent = connected;
        ::ResetEvent(connected);
        bool ok = ::ConnectNamedPipe(instance, &request) != 0;
        const DWORD error = ::GetLastError();
        if (!ok && error == ERROR_IO_PENDING) {
            const HANDLE events[] = {stopAccepting, connected};
            if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                ::CancelIoEx(instance, &request);
                DWORD ignored = 0;
                ::GetOverlappedResult(instance, &request, &ignored, TRUE);
                ::CloseHandle(instance);
                break;
            }
            DWORD ignored = 0;
            ok = ::GetOverlappedResult(instance, &request, &ignored, FALSE) != 0;
        } else if (!ok) {
            // A sender that came before the wait, or has already gone: its bytes are there.
            ok = error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA;
        }
        bool kept = false;
        if (ok) {
            std::lock_guard<std::mutex> guard(acceptedMutex);
            if (accepted.size() < kMaxSenders) {
                accepted.push_back(instance);
                kept = true;
            }
        }
        if (!kept) {
            ::CloseHandle(instance);
        }
        instance = makeInstance(false);
    }
    if (connected != nullptr) {
        ::CloseHandle(connected);
    }
}

InstanceHandOff::State::Reached InstanceHandOff::State::connect(Clock::time_point giveUp) {
    for (;;) {
        // Identification only: a pipe's server may learn who we are, not act as us.
        const HANDLE pipe = ::CreateFileA(
            pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            if (servedByThisUser(pipe)) {
                forward = pipe;
                return State::Reached::Window;
            }
            ::CloseHandle(pipe);
            return Reached::Stranger;
        }
        if (::GetLastError() != ERROR_PIPE_BUSY) {
            return State::Reached::Nobody;
        }
        // Every instance is taken for a moment: the window makes the next one at once.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
        if (left <= 0) {
            return Reached::Busy;
        }
        ::WaitNamedPipeA(pipeName.c_str(), static_cast<DWORD>(std::min<long long>(left, 100)));
    }
}

bool InstanceHandOff::State::servedByThisUser(HANDLE pipe) {
    ULONG serverId = 0;
    if (!::GetNamedPipeServerProcessId(pipe, &serverId)) {
        return false;
    }
    const HANDLE server = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId);
    if (server == nullptr) {
        return false;
    }
    std::vector<BYTE> owner = userOfProcess(server);
    ::CloseHandle(server);
    return !owner.empty() && ::EqualSid(sidOf(owner), sidOf(access.user));
}

bool InstanceHandOff::forwardStandardInput() {
    State& s = *_state;
    if (s.forward == INVALID_HANDLE_VALUE) {
        return false;
    }
    const HANDLE input = readableStandardInput();
    const HANDLE written = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string buffer(64 * 1024, '\0');
    bool delivered = written != nullptr;
    while (delivered && input != nullptr) {
        DWORD got = 0;
        if (!::ReadFile(input, &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            // The writer closing a pipe is its end, not a failure.
            delivered = ::GetLastError() == ERROR_BROKEN_PIPE;
            break;
        }
        if (got == 0) {
            break;
        }
        const std::string frame = transferFrame(buffer.data(), got);
        delivered = writeOverlapped(s.forward, frame.data(), static_cast<DWORD>(frame.size()),
                                    written, kSendTimeoutMs);
    }
    // The window reads the rest when it gets to it: the bytes stay with the pipe.
    const std::string end = transferFrame(nullptr, 0);
    if (written != nullptr && writeOverlapped(s.forward, end.data(), static_cast<DWORD>(end.size()),
                                              written, kSendTimeoutMs)) {
        printAnswers(s.forward);
    }
    if (written != nullptr) {
        ::CloseHandle(written);
    }
    ::CloseHandle(s.forward);
    s.forward = INVALID_HANDLE_VALUE;
    return delivered;
}

void InstanceHandOff::watchStandardInput() {
    const HANDLE input = readableStandardInput();
    if (input == nullptr || _state->input != nullptr) {
        return;
    }
    auto reader = std::make_shared<InputReader>();
    std::thread([reader, input] { InputReader::run(reader, input); }).detach();
    _state->input = reader;
    _state->senders.push_front(Sender(SenderPipe{input, {}}, false));
}

std::vector<std::string> InstanceHandOff::poll() {
    State& s = *_state;
    s.takeAccepted();
    for (Sender& sender : s.senders) {
        if (!sender.finished) {
            s.readFrom(sender);
        }
    }
    std::vector<std::string> transfers;
    for (Sender& sender : takeCompleteSenders(s.senders)) {
        if (sender.bytes.empty()) {
            if (sender.ownsSource) {
                ::CloseHandle(sender.source.handle);
            }
            continue;
        }
        s.closeAnswers();
        if (sender.ownsSource) {
            s.answerTo(sender.source.handle, true);
        } else if (const HANDLE output = usableStandardOutput()) {
            // Once: these answers end with the window's own input's.
            retireStandardOutput(output);
            s.answerTo(output, false);
        }
        transfers.push_back(std::move(sender.bytes));
    }
    return transfers;
}

void InstanceHandOff::answer(const std::string& text) {
    if (_state->answers != nullptr && !text.empty()) {
        _state->answers->add(text);
    }
}

void InstanceHandOff::endAnswers() {
    _state->closeAnswers();
}

void InstanceHandOff::State::answerTo(HANDLE target, bool overlapped) {
    auto writer = std::make_shared<AnswerWriter>();
    try {
        std::thread([writer, target, overlapped] {
            AnswerWriter::run(writer, target, overlapped);
        }).detach();
    } catch (const std::system_error&) {
        ::CloseHandle(target);  // no thread to write with: the sender hears nothing
        return;
    }
    answers = writer;
}

void InstanceHandOff::State::closeAnswers() {
    if (answers != nullptr) {
        answers->finish();
        answers.reset();
    }
}

void InstanceHandOff::State::takeAccepted() {
    std::lock_guard<std::mutex> guard(acceptedMutex);
    while (!accepted.empty()) {
        if (senders.size() < kMaxSenders) {
            senders.push_back(Sender(SenderPipe{accepted.front(), {}}, true));
        } else {
            ::CloseHandle(accepted.front());
        }
        accepted.pop_front();
    }
}

void InstanceHandOff::State::readFrom(Sender& sender) {
    if (!sender.ownsSource) {
        std::lock_guard<std::mutex> guard(input->mutex);
        if (!input->bytes.empty()) {
            sender.received(input->bytes.data(), input->bytes.size());
            input->bytes.clear();
        }
        sender.finished = input->ended;
        return;
    }
    const HANDLE pipe = sender.source.handle;
    char buffer[16 * 1024];
    std::string unframed;
    // Bounded per call, so an endless sender cannot hold the window.
    std::size_t readNow = 0;
    while (readNow < kMaxTransfer && !sender.finished) {
        // Peeking never waits; it fails once the writer has gone and all is read.
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            sender.finished = true;
            return;
        }
        if (available == 0) {
            return;
        }
        DWORD got = 0;
        if (!readWaiting(pipe, buffer, std::min<DWORD>(sizeof buffer, available), &got) ||
            got == 0) {
            sender.finished = true;
            return;
        }
        readNow += got;
        unframed.clear();
        sender.finished = sender.source.frames.feed(buffer, got, unframed);
        sender.received(unframed.data(), unframed.size());
    }
}

}  // namespace simulator::platform
