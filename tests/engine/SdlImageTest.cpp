// Picture decoding through the SDL backend: colour types, transparency, and failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Backend.h"

using cocos2d::backend::Bitmap;
using cocos2d::backend::decodeImageFile;

namespace {

// A minimal PNG writer (stored deflate blocks), so every test picture is exact and
// made here rather than drawn with a tool.
class PngWriter {
public:
    static std::vector<std::uint8_t> encode(int width, int height, int colourType,
                                            const std::vector<std::uint8_t>& pixels,
                                            const std::vector<std::uint8_t>& palette = {},
                                            const std::vector<std::uint8_t>& alphas = {}) {
        const int channels = colourType == 6 ? 4 : colourType == 4 ? 2 : colourType == 2 ? 3 : 1;
        std::vector<std::uint8_t> raw;
        for (int y = 0; y < height; ++y) {
            raw.push_back(0);  // no filter
            const auto row = pixels.begin() + y * width * channels;
            raw.insert(raw.end(), row, row + width * channels);
        }
        std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        std::vector<std::uint8_t> header;
        put32(header, width);
        put32(header, height);
        header.insert(header.end(), {8, static_cast<std::uint8_t>(colourType), 0, 0, 0});
        chunk(png, "IHDR", header);
        if (!palette.empty())
            chunk(png, "PLTE", palette);
        if (!alphas.empty())
            chunk(png, "tRNS", alphas);
        chunk(png, "IDAT", zlibStored(raw));
        chunk(png, "IEND", {});
        return png;
    }

private:
    static void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back((v >> shift) & 0xFF);
    }
    static std::uint32_t crc(const std::vector<std::uint8_t>& bytes) {
        std::uint32_t c = 0xFFFFFFFFu;
        for (std::uint8_t b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    }
    static void chunk(std::vector<std::uint8_t>& png, const char* type,
                      const std::vector<std::uint8_t>& data) {
        put32(png, static_cast<std::uint32_t>(data.size()));
        std::vector<std::uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        png.insert(png.end(), typed.begin(), typed.end());
        put32(png, crc(typed));
    }
    static std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
        std::vector<std::uint8_t> z = {0x78, 0x01, 1};  // one final stored block (raw < 64 KiB)
        const auto len = static_cast<std::uint16_t>(raw.size());
        z.insert(z.end(),
                 {static_cast<std::uint8_t>(len & 0xFF), static_cast<std::uint8_t>(len >> 8),
                  static_cast<std::uint8_t>(~len & 0xFF),
                  static_cast<std::uint8_t>((~len >> 8) & 0xFF)});
        z.insert(z.end(), raw.begin(), raw.end());
        std::uint32_t a = 1, b = 0;
        for (std::uint8_t byte : raw) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        put32(z, (b << 16) | a);
        return z;
    }
};

std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

struct DecodeCase {
    const char* name;
    std::vector<std::uint8_t> png;
    std::vector<std::uint8_t> expectedRgba;  // 2 x 2 pixels, rows top first
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeImageFile : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeImageFile, YieldsStraightRgbaRowsTopFirst) {
    const DecodeCase& c = GetParam();
    const std::string path = writeFile(std::string(c.name) + ".png", c.png);
    Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(decodeImageFile(path, bitmap, error)) << error;
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.rgba, c.expectedRgba);
}

INSTANTIATE_TEST_SUITE_P(
    ColourTypes, DecodeImageFile,
    testing::Values(
        // Half-transparent red must keep its colour: nothing premultiplied.
        DecodeCase{"rgba",
                   PngWriter::encode(2, 2, 6,
                                     {255, 0, 0, 128, 0, 255, 0, 255,  //
                                      0, 0, 255, 0, 10, 20, 30, 40}),
                   {255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 0, 10, 20, 30, 40}},
        DecodeCase{"rgb",
                   PngWriter::encode(2, 2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
                   {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}},
        DecodeCase{"grey_alpha",
                   PngWriter::encode(2, 2, 4, {0, 255, 100, 50, 200, 0, 255, 255}),
                   {0, 0, 0, 255, 100, 100, 100, 50, 200, 200, 200, 0, 255, 255, 255, 255}},
        // Palette entry 1 is see-through through tRNS.
        DecodeCase{"palette",
                   PngWriter::encode(2, 2, 3, {0, 1, 1, 0}, {9, 8, 7, 60, 70, 80}, {255, 0}),
                   {9, 8, 7, 255, 60, 70, 80, 0, 60, 70, 80, 0, 9, 8, 7, 255}}),
    [](const testing::TestParamInfo<DecodeCase>& param) { return std::string(param.param.name); });

TEST(DecodeImageFileFailure, MissingFileNamesTheFile) {
    Bitmap bitmap;
    std::string error;
    EXPECT_FALSE(decodeImageFile("/nonexistent/r_missing.png", bitmap, error));
    EXPECT_NE(error.find("/nonexistent/r_missing.png"), std::string::npos) << error;
}

TEST(DecodeImageFileFailure, DamagedFilesFailWithTheReasonAndLeaveTheBitmapAlone) {
    std::vector<std::uint8_t> truncated =
        PngWriter::encode(2, 2, 2, std::vector<std::uint8_t>(12, 7));
    truncated.resize(truncated.size() / 2);
    const std::vector<std::string> paths = {
        writeFile("truncated.png", truncated),
        writeFile("text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}),
        writeFile("empty.png", {}),
    };
    for (const std::string& path : paths) {
        Bitmap bitmap;
        bitmap.width = 5;
        std::string error;
        EXPECT_FALSE(decodeImageFile(path, bitmap, error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_GT(error.size(), path.size() + 25) << "no reason given: " << error;
        EXPECT_EQ(bitmap.width, 5);
    }
}

TEST(DecodeImageFileFailure, PicturesLargerThanAnyOfTheProgramsAreRefusedBeforeDecoding) {
    // Only the header is real: a decoder that went on would ask for gigabytes first.
    struct Case {
        const char* name;
        std::uint32_t width, height;
        bool refused;
    };
    for (const Case& c : {Case{"huge", 30000, 30000, true}, Case{"tall", 1, 100000, true},
                          Case{"wide", 8193, 1, true}, Case{"largest taken", 8192, 2, false}}) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> png =
            PngWriter::encode(2, 2, 2, std::vector<std::uint8_t>(12, 7));
        for (int i = 0; i < 4; ++i) {
            png[16 + i] = static_cast<std::uint8_t>(c.width >> (24 - 8 * i));
            png[20 + i] = static_cast<std::uint8_t>(c.height >> (24 - 8 * i));
        }
        const std::string path = writeFile(std::string(c.name) + ".png", png);
        Bitmap bitmap;
        std::string error;
        EXPECT_FALSE(decodeImageFile(path, bitmap, error));
        EXPECT_EQ(error.find("too large") != std::string::npos, c.refused) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
}

}  // namespace
