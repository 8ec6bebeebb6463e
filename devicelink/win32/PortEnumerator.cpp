#include "devicelink/win32/PortEnumerator.h"

#include <algorithm>
#include <cctype>

namespace devicelink::platform {

namespace {

bool sameLetters(const std::string& a, const char* b) {
    const std::string other(b);
    return std::equal(a.begin(), a.end(), other.begin(), other.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool isBuiltInEnumerator(const std::string& enumerator) {
    // The computer's own UARTs come from its firmware (ACPI) or sit on the root. USB,
    // vendor bus drivers (FTDIBUS), PCI and PCMCIA cards, Bluetooth: all may reach a board.
    return sameLetters(enumerator, "ACPI") || sameLetters(enumerator, "ROOT");
}

}  // namespace devicelink::platform
