// Why a transfer did not get to its end, and the one-line message a beginner is shown for
// it. Portable and plain data: the platform backends fill it, the workspace shows it.
#pragma once

#include <string>

struct TransferFailure {
    enum class Kind {
        None,             // the transfer got to its end, or none has ended yet
        PortMissing,      // no such port, or it was unplugged before the transfer began
        PortBusy,         // another program holds the port; detail: that program, if known
        NoPermission,     // this account may not open the port; detail: the port's group
        SettingsRefused,  // the port did not take 115200 8N1 raw, or is no serial port
        PortVanished,     // the port went away during the transfer
        PortStalled,      // the port took nothing for the stall limit
        ToolMissing,      // the tool's file is gone
        ToolNotStarted,   // the tool's file is there but could not be run
        ToolEndedEarly,   // the tool ended before it had read every chunk
        ToolStalled,      // the tool read nothing for the stall limit
        ToolError,        // the tool ended with an error; detail: its status
        ToolStopped,      // the tool was ended by a signal; detail: which
    };

    Kind kind = Kind::None;
    std::string target;  // the port's name below /dev, or the tool's file name
    std::string detail;  // what the system said, or the holder or group named above

    // Records a failure; returns false so that a failing step can end with it.
    bool fail(Kind what, std::string why = "");
};

// How a transfer ended, as the device link tells it to whoever started the transfer.
struct TransferResult {
    bool whole = false;       // every chunk got through
    TransferFailure failure;  // why not, when not
};

// The sentence shown for a failure: what went wrong, on which port or tool, and what to
// do about it. Empty for Kind::None.
std::string describeTransferFailure(const TransferFailure& failure);
