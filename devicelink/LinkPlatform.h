// The operations every platform backend of the device link provides: listing ports and
// tools, writing to a serial port, a tool's environment and standard input, and sleeping.
// Portable code includes this header and never a system device header; each backend
// (posix/ and win32/) implements it in its own folder, chosen by CMake.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/TransferFailure.h"

namespace devicelink::platform {

// One serial port as the system lists it.
struct PortRecord {
    std::string name;         // how the port is opened, e.g. ttyUSB0
    std::string description;  // the device's model, else what kind of port it is; may be empty
    // Part of the computer itself (a UART on its board), where no board is ever plugged.
    bool builtIn = false;
    // The USB device behind the port, to know a board again under another name; empty
    // for a port with no USB device, and the serial number for a device without one.
    std::string usbVendor{};   // four hex digits, lower case
    std::string usbProduct{};  // likewise
    std::string serialNumber{};
};

// One executable file of the tool folder.
struct ToolRecord {
    std::string name;  // file name
    std::string path;  // full path
};

// Appends the serial ports that have hardware behind them, by name, with or without a
// description. False when the listing could not be obtained (what was found stays).
bool listSerialPorts(std::vector<PortRecord>& out);

// The folder `exe` beside the running program; empty when the program's place is unknown.
std::string defaultToolFolder();

// The executable files of a folder, by name order; none when the folder is missing.
std::vector<ToolRecord> listExecutableFiles(const std::string& folder);

// How long a write may make no progress before the link gives up on the other side.
constexpr int kStallLimitMs = 2000;

// What a transfer is told besides its chunks. The defaults are the system's; tests narrow
// them to a folder of their own and a short limit.
struct LinkSettings {
    // Folders where programs leave lock files naming the port they hold; empty: the
    // system's usual ones.
    std::vector<std::string> lockFolders;
    // How long the port or tool may take nothing before the transfer gives up on it.
    int stallLimitMs = kStallLimitMs;
};

class SerialPort;
// Gives the port back to other programs and closes it.
struct SerialPortCloser {
    void operator()(SerialPort* port) const;
};
using SerialPortPtr = std::unique_ptr<SerialPort, SerialPortCloser>;

// Opens the named port for this program alone and sets 115200 baud, 8 data bits, no
// parity, one stop bit, raw. Empty, with the reason in `failure`, when the port is
// missing, may not be opened, is held by another program (one that locks it, keeps it
// open, or names it in a live lock file), or did not take the settings. Nothing is
// written or set on a port that is refused.
SerialPortPtr openSerialPort(const std::string& name, const LinkSettings& settings,
                             TransferFailure& failure);

// Writes the bytes whole and waits until the port has sent them. False, with the reason,
// when the port failed, vanished, or took nothing for the stall limit.
bool writeSerialPort(SerialPort& port, const std::string& bytes, const LinkSettings& settings,
                     TransferFailure& failure);

// Takes what the port has received into `out`, at most maxBytes, waiting up to waitMs for
// the first byte. True when the port is still there, whether or not anything came; false,
// with the reason, when it has gone or failed.
bool readSerialPort(SerialPort& port, std::string& out, std::size_t maxBytes, int waitMs,
                    TransferFailure& failure);

// Told each piece a tool writes on its standard output or error, on the link's one reader
// thread, for as long as the tool (or a program it left behind) keeps them open.
using ToolOutput = std::function<void(const char* bytes, std::size_t size)>;

class ToolProcess;
// Closes the tool's input if still open; the child is reaped as soon as it ends, by the one
// reaper of the program, never by a thread of its own.
struct ToolProcessCloser {
    void operator()(ToolProcess* tool) const;
};
using ToolProcessPtr = std::unique_ptr<ToolProcess, ToolProcessCloser>;

// Starts the executable at `path` with a pipe on its standard input and no other handle
// of this program; a script without a "#!" line runs under /bin/sh, as a shell runs it.
// Its standard output and error go to `output`, read by one thread for every tool so that
// a tool is never held by a full pipe; without `output` they are thrown away. Empty, with
// nothing started and the reason in `failure`, when it is missing or cannot be run.
ToolProcessPtr startTool(const std::string& path, TransferFailure& failure, ToolOutput output = {});

// Writes the bytes whole into the tool's input. False, with the reason, when the tool has
// exited, its input is closed, or it took nothing for the stall limit. Never raises
// SIGPIPE.
bool writeTool(ToolProcess& tool, const std::string& bytes, const LinkSettings& settings,
               TransferFailure& failure);

// Watches the tool until the deadline after its last bytes were written, closing its input
// once it has read them all (or at the deadline). True when it ended with success after
// reading everything, or still runs; false, with the reason, when it ended before reading
// the whole program, reported an error, or was stopped by a signal. Returns at the
// deadline when true, at once when false.
bool settleTool(ToolProcess& tool, std::chrono::steady_clock::time_point deadline,
                TransferFailure& failure);

// Sets a variable in this program's environment, which every tool started from then on
// inherits. Main thread, while no worker of the link runs (one may read the environment).
void setToolVariable(const std::string& name, const std::string& value);

// Closes the tool's input so that it sees the end. False, with the reason, when closing
// failed.
bool closeToolInput(ToolProcess& tool, TransferFailure& failure);

// Sleeps until the steady clock reaches the deadline; never returns earlier.
void sleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace devicelink::platform
