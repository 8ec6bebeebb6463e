#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "devicelink/win32/PortErrors.h"

using Kind = TransferFailure::Kind;

// Wine does not refuse a second open of a port (the serial driver of Windows does), so
// a held port cannot be met in the serial suite; what the refusal means is checked here.
TEST(WindowsPortErrors, EachRefusalIsToldForWhatItIs) {
    struct Case {
        DWORD error;
        bool opening;
        Kind kind;
        bool withDetail;
    };
    const std::vector<Case> cases = {
        {ERROR_FILE_NOT_FOUND, true, Kind::PortMissing, false},
        {ERROR_PATH_NOT_FOUND, true, Kind::PortMissing, false},
        // Windows says "access denied" for a port that another program has open.
        {ERROR_ACCESS_DENIED, true, Kind::PortBusy, false},
        {ERROR_SHARING_VIOLATION, true, Kind::PortBusy, false},
        {ERROR_GEN_FAILURE, true, Kind::PortMissing, true},
        {ERROR_TIMEOUT, false, Kind::PortStalled, false},
        {ERROR_BAD_COMMAND, false, Kind::PortVanished, true},
        {ERROR_DEVICE_REMOVED, false, Kind::PortVanished, true},
        {ERROR_OPERATION_ABORTED, false, Kind::PortVanished, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        TransferFailure failure;
        const bool result = c.opening ? devicelink::platform::failPortOpen(c.error, failure)
                                      : devicelink::platform::failPortWrite(c.error, failure);
        EXPECT_FALSE(result);
        EXPECT_EQ(failure.kind, c.kind);
        EXPECT_EQ(!failure.detail.empty(), c.withDetail) << failure.detail;
    }
}
