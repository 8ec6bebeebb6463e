#include "platform/sdl/HalfSizeBitmap.h"

#include <cstddef>
#include <cstdint>

#include "base/Macros.h"

namespace cocos2d {
namespace backend {

bool canHalve(const Bitmap& bitmap) {
    return bitmap.width >= 2 && bitmap.height >= 2 && bitmap.width % 2 == 0 &&
           bitmap.height % 2 == 0;
}

Bitmap halveBitmap(const Bitmap& bitmap) {
    CCASSERT(canHalve(bitmap), "only even-sized bitmaps can be halved");
    Bitmap half;
    half.width = bitmap.width / 2;
    half.height = bitmap.height / 2;
    half.rgba.resize(static_cast<std::size_t>(half.width) * half.height * 4);
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 4;
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            const std::uint8_t* topLeft = &bitmap.rgba[2 * y * stride + 2 * x * 4];
            const std::uint8_t* block[4] = {topLeft, topLeft + 4, topLeft + stride,
                                            topLeft + stride + 4};
            unsigned alphaSum = 0;
            unsigned weighted[3] = {0, 0, 0};
            unsigned plain[3] = {0, 0, 0};
            for (const std::uint8_t* p : block) {
                alphaSum += p[3];
                for (int c = 0; c < 3; ++c) {
                    weighted[c] += p[c] * p[3];
                    plain[c] += p[c];
                }
            }
            std::uint8_t* out = &half.rgba[(static_cast<std::size_t>(y) * half.width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                // A fully transparent block keeps its plain colour (white for text).
                out[c] = static_cast<std::uint8_t>(
                    alphaSum == 0 ? (plain[c] + 2) / 4 : (weighted[c] + alphaSum / 2) / alphaSum);
            }
            out[3] = static_cast<std::uint8_t>((alphaSum + 2) / 4);
        }
    }
    return half;
}

}  // namespace backend
}  // namespace cocos2d
