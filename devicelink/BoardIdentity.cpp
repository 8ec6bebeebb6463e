#include "devicelink/BoardIdentity.h"

#include <cctype>

namespace devicelink {

namespace {

constexpr std::size_t kTailLength = 6;

std::string lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool isHex(const std::string& text) {
    return text.size() == 4 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// The four hex digits after `key` (VID_ or PID_) in `part`; empty when not there.
std::string idAfter(const std::string& part, const std::string& key) {
    const std::string upper = [&] {
        std::string u = part;
        for (char& c : u) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return u;
    }();
    const std::size_t at = upper.find(key);
    if (at == std::string::npos || at + key.size() + 4 > part.size()) {
        return "";
    }
    const std::string digits = part.substr(at + key.size(), 4);
    return isHex(digits) ? lowered(digits) : "";
}

}  // namespace

bool parseInstanceId(const std::string& id, std::string& vendor, std::string& product,
                     std::string& serial) {
    vendor.clear();
    product.clear();
    serial.clear();
    const std::size_t first = id.find('\\');
    if (first == std::string::npos) {
        return false;
    }
    const std::size_t second = id.find('\\', first + 1);
    const std::string bus = id.substr(0, first);
    const std::string ids =
        id.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    vendor = idAfter(ids, "VID_");
    product = idAfter(ids, "PID_");
    if (vendor.empty() || product.empty()) {
        vendor.clear();
        product.clear();
        return false;
    }
    if (lowered(bus) == "ftdibus") {
        // The FTDI driver puts the serial number third in the middle part, with the letter
        // of the chip's port after it.
        const std::size_t plus = ids.find('+', ids.find('+') + 1);
        if (plus != std::string::npos && ids.size() > plus + 2) {
            serial = ids.substr(plus + 1, ids.size() - plus - 2);
        }
        return true;
    }
    if (second != std::string::npos && ids.find("MI_") == std::string::npos) {
        const std::string last = id.substr(second + 1);
        if (!last.empty() && last.find('&') == std::string::npos) {
            serial = last;
        }
    }
    return true;
}

std::string serialTail(const std::string& serial) {
    return serial.size() <= kTailLength ? serial : serial.substr(serial.size() - kTailLength);
}

int findBoard(const cocos2d::Vector<ZundleCardSerialData*>& devices, const std::string& vendor,
              const std::string& product, const std::string& serial) {
    if (vendor.empty() || product.empty()) {
        return -1;
    }
    int found = -1;
    int matches = 0;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const ZundleCardSerialData* entry = devices.at(i);
        if (entry->kind != TargetKind::SerialPort || entry->usbVendor != vendor ||
            entry->usbProduct != product) {
            continue;
        }
        if (!serial.empty() && entry->serialNumber == serial) {
            return static_cast<int>(i);
        }
        if (serial.empty() && entry->serialNumber.empty()) {
            found = static_cast<int>(i);
            ++matches;
        }
    }
    return matches == 1 ? found : -1;
}

}  // namespace devicelink
