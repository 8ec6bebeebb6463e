#include "devicelink/posix/UdevModel.h"

#include <algorithm>

namespace devicelink::platform {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool present(const char* value) {
    return value != nullptr && value[0] != '\0';
}

}  // namespace

std::string decodeUdevEscapes(const std::string& encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
            const int high = hexValue(encoded[i + 2]);
            const int low = hexValue(encoded[i + 3]);
            if (high >= 0 && low >= 0) {
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        decoded.push_back(encoded[i]);
    }
    return decoded;
}

std::string describeUdevModel(const char* fromDatabase, const char* encoded, const char* plain) {
    if (present(fromDatabase)) {
        return fromDatabase;
    }
    if (present(encoded)) {
        return decodeUdevEscapes(encoded);
    }
    if (present(plain)) {
        std::string model = plain;
        std::replace(model.begin(), model.end(), '_', ' ');
        return model;
    }
    return "";
}

}  // namespace devicelink::platform
