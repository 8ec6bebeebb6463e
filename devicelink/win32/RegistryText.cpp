#include "devicelink/win32/RegistryText.h"

#include "widetext/win32/WideText.h"

namespace devicelink::platform {

std::string registryText(const wchar_t* text, std::size_t length) {
    std::size_t used = 0;
    while (used < length && text[used] != L'\0') {
        ++used;
    }
    return widetext::toUtf8(std::wstring(text, used));
}

}  // namespace devicelink::platform
