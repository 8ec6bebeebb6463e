// Picture decoding through the SDL backend: straight colours, and failures that name
// the file and the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Backend.h"

using cocos2d::backend::Bitmap;
using cocos2d::backend::decodeImageFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    put32(png, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : typed) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    png.insert(png.end(), typed.begin(), typed.end());
    put32(png, crc ^ 0xFFFFFFFFu);
}

// An RGBA picture made here (stored deflate), so that every byte is known; a header may
// claim more pixels than there are.
Bytes rgbaPng(std::uint32_t width, std::uint32_t height, const Bytes& pixels) {
    Bytes raw;
    const std::size_t rowBytes = std::size_t{width} * 4;
    for (std::size_t at = 0; at < pixels.size(); at += rowBytes) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), pixels.begin() + static_cast<std::ptrdiff_t>(at),
                   pixels.begin() + static_cast<std::ptrdiff_t>(std::min(pixels.size(), at + rowBytes)));
    }
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    chunk(png, "IHDR", header);
    const auto len = static_cast<std::uint16_t>(raw.size());
    Bytes z = {0x78, 0x01, 1, static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
               static_cast<std::uint8_t>(~len), static_cast<std::uint8_t>(~len >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

std::string writeFile(const std::string& name, const Bytes& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(DecodeImageFile, YieldsStraightRgbaRowsTopFirst) {
    // Half-transparent red must keep its colour: nothing premultiplied.
    const Bytes pixels = {255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 0, 10, 20, 30, 40};
    Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(decodeImageFile(writeFile("rgba.png", rgbaPng(2, 2, pixels)), bitmap, error))
        << error;
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.rgba, pixels);
}

TEST(DecodeImageFile, MissingDamagedAndHugePicturesFailWithTheFileAndTheReason) {
    Bytes truncated = rgbaPng(2, 2, Bytes(16, 7));
    truncated.resize(truncated.size() / 2);
    // Only the header is real: a decoder that went on would ask for gigabytes first.
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"/nonexistent/r_missing.png", ""},
        {writeFile("truncated.png", truncated), ""},
        {writeFile("text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}), ""},
        {writeFile("empty.png", {}), ""},
        {writeFile("huge.png", rgbaPng(30000, 30000, Bytes(16, 7))), "too large"},
        {writeFile("wide.png", rgbaPng(8193, 1, Bytes(16, 7))), "too large"},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        bitmap.width = 5;
        std::string error;
        EXPECT_FALSE(decodeImageFile(c.path, bitmap, error)) << c.path;
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_GT(error.size(), c.path.size() + 10) << "no reason given: " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(bitmap.width, 5);
    }
    // The largest picture taken is not refused for its size.
    Bitmap bitmap;
    std::string error;
    decodeImageFile(writeFile("largest.png", rgbaPng(8192, 2, Bytes(16, 7))), bitmap, error);
    EXPECT_EQ(error.find("too large"), std::string::npos) << error;
}

}  // namespace
