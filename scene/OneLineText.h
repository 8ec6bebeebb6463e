// Makes any text fit one line of a given width: control bytes and broken UTF-8 become
// harmless characters and a text too wide is cut at a character with "..." at its end,
// so a label never wraps or spills onto its neighbours. Depends on the engine only.
#pragma once

#include <string>

namespace onelinetext {

// The text with every control byte (newlines included) as a space and every byte that is
// not part of valid UTF-8 as '?'.
std::string sanitised(const std::string& text);

// The sanitised text, cut with "..." when it is wider than `width` points in the font.
std::string fitted(const std::string& text, const std::string& fontName, float fontSize,
                   float width);

}  // namespace onelinetext
