// How a serial port's description is made from the udev properties of its device.
// Plain string work with no udev calls, so it can be tested without a device.
#pragma once

#include <string>

namespace devicelink::platform {

// Turns udev's \xNN escapes (as in ID_MODEL_ENC) back into the bytes they stand for.
std::string decodeUdevEscapes(const std::string& encoded);

// The model from the hardware database, else the encoded model decoded, else the plain
// model with its underscores as blanks; empty when none is known. Null means absent.
std::string describeUdevModel(const char* fromDatabase, const char* encoded, const char* plain);

}  // namespace devicelink::platform
