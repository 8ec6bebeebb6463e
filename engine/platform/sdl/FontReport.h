// For the window tests: when ZC_REPORT_FONTS names a file, each text that the family's own
// font has no glyphs for (Japanese in a Latin font) is added to it once, with the font file
// that drew it, since a screenshot shows glyphs but not whose they are. Without the
// variable it does nothing at all. Only the SDL text renderer uses it.
#pragma once

#include <string>

namespace cocos2d {
namespace backend {

// Tells the report that `file` drew `text`; called with the text renderer's lock held.
void reportFontOfWideText(const std::string& text, const std::string& file);

}  // namespace backend
}  // namespace cocos2d
