// Telling one USB board from another: its serial number read from a Windows device
// instance id, its last characters to show beside its name, and the remembered board found
// again in a fresh device list. Portable and pure.
#pragma once

#include <string>

#include "base/Vector.h"
#include "devicelink/ZundleCardSerialData.h"

namespace devicelink {

// Reads vendor, product and serial number from a device instance id such as
// USB\VID_2341&PID_0043\85736323838351F0F1B1 or FTDIBUS\VID_0403+PID_6001+A50285BIA\0000.
// The serial number stays empty where the system made up the last part itself (it holds
// "&"), as for a device without one or an interface of a composite device. False when the
// id names no USB vendor and product.
bool parseInstanceId(const std::string& id, std::string& vendor, std::string& product,
                     std::string& serial);

// The end of a serial number, short enough to show beside a port's name: two boards of
// one kind differ there, if anywhere.
std::string serialTail(const std::string& serial);

// The position in `devices` of the serial port with this USB identity; -1 when none is
// there. A board remembered without a serial number is found only when it is the one
// device of its vendor and product in the list.
int findBoard(const cocos2d::Vector<ZundleCardSerialData*>& devices, const std::string& vendor,
              const std::string& product, const std::string& serial);

}  // namespace devicelink
