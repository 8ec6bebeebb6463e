// Breaks label text into lines: hard breaks at '\n', and, with a width limit, soft breaks
// between words. Knows nothing of fonts or SDL: widths come from the caller's measure
// function, so the rules can be tested with a made-up font.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cocos2d {
namespace backend {

// Width in pixels of one line of UTF-8 text.
using MeasureText = std::function<int(const std::string&)>;

// Splits text into the lines to draw, top first. maxWidth <= 0 keeps every paragraph on
// one line; otherwise words move to the next line when the line would grow wider than
// maxWidth, and a word wider than maxWidth on its own is cut between characters.
// Always yields at least one (possibly empty) line.
std::vector<std::string> breakTextLines(const std::string& text, int maxWidth,
                                        const MeasureText& measure);

}  // namespace backend
}  // namespace cocos2d
