#include "devicelink/win32/PortErrors.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

using widetext::systemMessage;

using Kind = TransferFailure::Kind;

bool failPortOpen(DWORD error, TransferFailure& failure) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return failure.fail(Kind::PortMissing);
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return failure.fail(Kind::PortBusy);
        default:
            return failure.fail(Kind::PortMissing, systemMessage(error));
    }
}

bool failPortWrite(DWORD error, TransferFailure& failure) {
    if (error == ERROR_TIMEOUT) {
        return failure.fail(Kind::PortStalled);
    }
    // An unplugged adapter shows as ERROR_BAD_COMMAND, ERROR_DEVICE_REMOVED,
    // ERROR_NOT_READY or ERROR_OPERATION_ABORTED, depending on the driver.
    return failure.fail(Kind::PortVanished, systemMessage(error));
}

}  // namespace devicelink::platform
