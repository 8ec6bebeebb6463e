#include <gtest/gtest.h>

#include <windows.h>

#include "devicelink/win32/PortErrors.h"

using Kind = TransferFailure::Kind;

// Wine does not refuse a second open of a port (the serial driver of Windows does), so a
// held port cannot be met in the serial suite. Windows says "access denied" for a port that
// another program has open: the child must hear that it is busy, not that it is forbidden.
TEST(WindowsPortErrors, RefusalsAreToldForWhatTheyMean) {
    const struct {
        DWORD error;
        bool opening;
        Kind kind;
    } cases[] = {
        {ERROR_ACCESS_DENIED, true, Kind::PortBusy},
        {ERROR_SHARING_VIOLATION, true, Kind::PortBusy},
        {ERROR_TIMEOUT, false, Kind::PortStalled},
    };
    for (const auto& c : cases) {
        TransferFailure failure;
        EXPECT_FALSE(c.opening ? devicelink::platform::failPortOpen(c.error, failure)
                               : devicelink::platform::failPortWrite(c.error, failure));
        EXPECT_EQ(failure.kind, c.kind) << c.error;
    }
}
