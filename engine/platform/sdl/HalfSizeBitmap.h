// Half-size copies of pictures. Pictures carry twice the pixels of their size in points,
// so they are mostly drawn at exactly half size; a copy filtered once here draws faster
// (SDL's software renderer copies it without scaling) and smoother than sampling the
// full picture every frame. Knows nothing of SDL.
#pragma once

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {

// True when the bitmap has a half-size copy: both sides even and not empty.
bool canHalve(const Bitmap& bitmap);

// The bitmap at half width and height, each pixel the average of a 2 x 2 block. Colours
// are weighted by their alpha, so transparent pixels lend no colour to an edge.
Bitmap halveBitmap(const Bitmap& bitmap);

}  // namespace backend
}  // namespace cocos2d
