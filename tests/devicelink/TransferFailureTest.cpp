#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "devicelink/TransferFailure.h"

using Kind = TransferFailure::Kind;

namespace {

TransferFailure failure(Kind kind, const std::string& target, const std::string& detail = "") {
    TransferFailure result;
    result.kind = kind;
    result.target = target;
    result.detail = detail;
    return result;
}

}  // namespace

TEST(TransferFailureMessage, EveryReasonIsOneLineOfItsOwnNamingThePortOrTool) {
    const std::vector<Kind> kinds = {
        Kind::PortMissing,    Kind::PortBusy,    Kind::NoPermission, Kind::SettingsRefused,
        Kind::PortVanished,   Kind::PortStalled, Kind::ToolMissing,  Kind::ToolNotStarted,
        Kind::ToolEndedEarly, Kind::ToolStalled, Kind::ToolError,    Kind::ToolStopped,
    };
    std::set<std::string> seen;
    for (Kind kind : kinds) {
        const std::string message = describeTransferFailure(failure(kind, "ttyUSB7"));
        SCOPED_TRACE(message);
        EXPECT_NE(message.find("ttyUSB7"), std::string::npos);
        EXPECT_EQ(message.find('\n'), std::string::npos);
        EXPECT_TRUE(seen.insert(message).second) << "told apart from the other reasons";
    }
    EXPECT_EQ(describeTransferFailure(failure(Kind::None, "ttyUSB7")), "");
}

struct MessageCase {
    const char* label;
    TransferFailure failure;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.label;
}

class TransferFailureAdvice : public ::testing::TestWithParam<MessageCase> {};

TEST_P(TransferFailureAdvice, TellsWhatToDo) {
    const std::string message = describeTransferFailure(GetParam().failure);
    for (const std::string& part : GetParam().present)
        EXPECT_NE(message.find(part), std::string::npos) << message << "\nlacks: " << part;
    for (const std::string& part : GetParam().absent)
        EXPECT_EQ(message.find(part), std::string::npos) << message << "\nhas: " << part;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, TransferFailureAdvice,
    ::testing::Values(MessageCase{"BusyNamesTheHolder",
                                  failure(Kind::PortBusy, "ttyUSB0", "minicom (process 4321)"),
                                  {"\"minicom (process 4321)\"", "Close"},
                                  {"another program"}},
                      MessageCase{"BusyByAnUnknownProgram",
                                  failure(Kind::PortBusy, "ttyUSB0"),
                                  {"another program"},
                                  {"\"\""}},
                      MessageCase{"PermissionNamesTheGroupToJoin",
                                  failure(Kind::NoPermission, "ttyUSB0", "dialout"),
                                  {"\"dialout\"", "log in again"},
                                  {}},
                      MessageCase{"PermissionOfRootsGroupIsNoGroupToJoin",
                                  failure(Kind::NoPermission, "ttyS0", "root"),
                                  {"Ask"},
                                  {"Join", "root"}}),
    [](const ::testing::TestParamInfo<MessageCase>& param) { return param.param.label; });
