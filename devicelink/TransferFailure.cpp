#include "devicelink/TransferFailure.h"

#include <utility>

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The system's own words, in brackets, for the reader who wants to look further.
std::string because(const std::string& detail) {
    return detail.empty() ? "" : " (" + detail + ")";
}

std::string noPermission(const std::string& port, const std::string& group) {
    const std::string lead = "This account may not use the port " + port + ". ";
    // Members of root's group gain nothing from the advice, and being told to join it
    // would be bad advice.
    if (group.empty() || group == "root") {
        return lead + "Ask whoever looks after this computer for access to it.";
    }
    return lead + "Join the group " + quoted(group) + " (sudo adduser $USER " + group +
           "), then log out and log in again.";
}

}  // namespace

bool TransferFailure::fail(Kind what, std::string why) {
    kind = what;
    detail = std::move(why);
    return false;
}

std::string describeTransferFailure(const TransferFailure& failure) {
    const std::string& name = failure.target;
    const std::string& detail = failure.detail;
    switch (failure.kind) {
        case TransferFailure::Kind::None:
            return "";
        case TransferFailure::Kind::PortMissing:
            return "The port " + name + " is not there" + because(detail) +
                   ". Plug the board in, press reload and choose its port.";
        case TransferFailure::Kind::PortBusy:
            return "The port " + name + " is in use by " +
                   (detail.empty() ? "another program" : quoted(detail)) +
                   ". Close that program, then press play again.";
        case TransferFailure::Kind::NoPermission:
            return noPermission(name, detail);
        case TransferFailure::Kind::SettingsRefused:
            return "The port " + name + " did not accept the settings 115200 baud 8N1" +
                   because(detail) + ". Choose the port the board is on.";
        case TransferFailure::Kind::PortVanished:
            return "The port " + name + " went away while sending" + because(detail) +
                   ". Check the cable, then press play again.";
        case TransferFailure::Kind::PortStalled:
            return "The board on " + name +
                   " stopped taking data. Check that it is switched on and ready, then press "
                   "play again.";
        case TransferFailure::Kind::ToolMissing:
            return "The tool " + quoted(name) +
                   " is not there any more. Press reload to update "
                   "the list.";
        case TransferFailure::Kind::ToolNotStarted:
            return "The tool " + quoted(name) + " could not be started" + because(detail) +
                   ". Check that it is a program for this computer and may be run.";
        case TransferFailure::Kind::ToolEndedEarly:
            return "The tool " + quoted(name) + " ended before it had read the whole program" +
                   because(detail) + ".";
        case TransferFailure::Kind::ToolStalled:
            return "The tool " + quoted(name) + " stopped reading the program.";
        case TransferFailure::Kind::ToolError:
            return "The tool " + quoted(name) + " reported an error" + because(detail) + ".";
        case TransferFailure::Kind::ToolStopped:
            return "The tool " + quoted(name) + " was stopped before it had finished" +
                   because(detail) + ".";
    }
    return "";
}
