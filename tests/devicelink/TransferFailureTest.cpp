#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "devicelink/TransferFailure.h"

using Kind = TransferFailure::Kind;

namespace {

std::string message(Kind kind, const std::string& target, const std::string& detail = "") {
    return describeTransferFailure({kind, target, detail});
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(TransferFailureMessage, EveryReasonIsOneLineOfItsOwnNamingThePortOrToolAndWhatToDo) {
    std::set<std::string> seen;
    for (int kind = static_cast<int>(Kind::PortMissing);
         kind <= static_cast<int>(Kind::ToolStopped); ++kind) {
        const std::string text = message(static_cast<Kind>(kind), "ttyUSB7");
        EXPECT_TRUE(has(text, "ttyUSB7")) << text;
        EXPECT_FALSE(has(text, "\n")) << text;
        EXPECT_TRUE(seen.insert(text).second) << "told apart from the other reasons: " << text;
    }
    EXPECT_EQ(message(Kind::None, "ttyUSB7"), "");
    // The system's own words go along, in brackets: how a tool ended above all.
    const std::pair<Kind, const char*> details[] = {
        {Kind::PortMissing, "No such file or directory"},
        {Kind::SettingsRefused, "Invalid argument"},
        {Kind::PortVanished, "Input/output error"},
        {Kind::ToolNotStarted, "Exec format error"},
        {Kind::ToolEndedEarly, "Broken pipe"},
        {Kind::ToolError, "status 1"},
        {Kind::ToolStopped, "signal 9"}};
    for (const auto& [kind, detail] : details) {
        const std::string text = message(kind, "flasher", detail);
        EXPECT_TRUE(has(text, std::string("(") + detail + ")")) << text;
    }
    // Who holds the port, and which group to join.
    const std::string holder = message(Kind::PortBusy, "ttyUSB0", "minicom (process 4321)");
    EXPECT_TRUE(has(holder, "\"minicom (process 4321)\"") && has(holder, "Close")) << holder;
    EXPECT_TRUE(has(message(Kind::PortBusy, "ttyUSB0"), "another program"));
    const std::string group = message(Kind::NoPermission, "ttyUSB0", "dialout");
    EXPECT_TRUE(has(group, "\"dialout\"") && has(group, "log in again")) << group;
    // Joining root's group would be bad advice.
    const std::string root = message(Kind::NoPermission, "ttyS0", "root");
    EXPECT_TRUE(has(root, "Ask") && !has(root, "root") && !has(root, "Join")) << root;
}
