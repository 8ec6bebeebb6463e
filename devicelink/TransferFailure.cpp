#include "devicelink/TransferFailure.h"
#include "lang/Translate.h"

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
    // Members of root's group gain nothing from the advice, and being told to join it
    // would be bad advice.
    if (group.empty() || group == "root") {
        return lang::fill(lang::tr("This account may not use the port {port}. Ask whoever looks "
                                   "after this computer for access to it."),
                          {{"port", port}});
    }
    return lang::fill(lang::tr("This account may not use the port {port}. Join the group "
                               "{group} (sudo adduser $USER {name}), then log out and log in "
                               "again."),
                      {{"port", port}, {"group", quoted(group)}, {"name", group}});
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
    const auto say = [&](const char* text) {
        return lang::fill(lang::tr(text),
                          {{"port", name}, {"tool", quoted(name)}, {"because", because(detail)}});
    };
    switch (failure.kind) {
        case TransferFailure::Kind::None:
            return "";
        case TransferFailure::Kind::PortMissing:
            return say(
                lang::mark("The port {port} is not there{because}. Plug the board in, press reload "
                           "and choose its port."));
        case TransferFailure::Kind::PortBusy:
            return lang::fill(
                lang::tr("The port {port} is in use by {program}. Close that "
                         "program, then press play again."),
                {{"port", name},
                 {"program", detail.empty() ? lang::tr("another program") : quoted(detail)}});
        case TransferFailure::Kind::NoPermission:
            return noPermission(name, detail);
        case TransferFailure::Kind::SettingsRefused:
            return say(
                lang::mark("The port {port} did not accept the settings 115200 baud 8N1{because}. "
                           "Choose the port the board is on."));
        case TransferFailure::Kind::PortVanished:
            return say(lang::mark(
                "The port {port} went away while sending{because}. Check the cable, then "
                "press play again."));
        case TransferFailure::Kind::PortStalled:
            return say(
                lang::mark("The board on {port} stopped taking data. Check that it is switched on "
                           "and ready, then press play again."));
        case TransferFailure::Kind::ToolMissing:
            return say(lang::mark(
                "The tool {tool} is not there any more. Press reload to update the list."));
        case TransferFailure::Kind::ToolNotStarted:
            return say(
                lang::mark("The tool {tool} could not be started{because}. Check that it is a "
                           "program for this computer and may be run."));
        case TransferFailure::Kind::ToolEndedEarly:
            return say(
                lang::mark("The tool {tool} ended before it had read the whole program{because}."));
        case TransferFailure::Kind::ToolStalled:
            return say(lang::mark("The tool {tool} stopped reading the program."));
        case TransferFailure::Kind::ToolError:
            return say(lang::mark("The tool {tool} reported an error{because}."));
        case TransferFailure::Kind::ToolStopped:
            return say(lang::mark("The tool {tool} was stopped before it had finished{because}."));
    }
    return "";
}
