#include "scene/OneLineText.h"

#include <vector>

#include "cocos2d.h"

USING_NS_CC;

namespace onelinetext {

namespace {
const char* const kEllipsis = "...";

// Length of the valid UTF-8 sequence at `i`, or 0.
std::size_t sequenceLength(const std::string& text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    unsigned code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates, beyond Unicode and the C1 controls are not shown.
    const bool bad = code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF ||
                     (code >= 0x80 && code < 0xA0);
    return bad ? 0 : length;
}

float widthOf(Label* probe, const std::string& text) {
    probe->setString(text);
    return probe->getContentSize().width;
}
}  // namespace

std::string sanitised(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            out += ' ';
            ++i;
        } else if (byte < 0x80) {
            out += text[i++];
        } else if (const std::size_t length = sequenceLength(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

std::string fitted(const std::string& text, const std::string& fontName, float fontSize,
                   float width) {
    const std::string clean = sanitised(text);
    Label* probe = Label::createWithSystemFont("", fontName, fontSize);
    if (widthOf(probe, clean) <= width) {
        return clean;
    }
    // Cut only between characters: the starts of the clean text's characters.
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        if ((static_cast<unsigned char>(clean[i]) & 0xC0) != 0x80) {
            cuts.push_back(i);
        }
    }
    // The longest prefix that fits with the ellipsis: widths grow with the prefix.
    std::size_t low = 0, high = cuts.size();
    while (low + 1 < high) {
        const std::size_t middle = (low + high) / 2;
        if (widthOf(probe, clean.substr(0, cuts[middle]) + kEllipsis) <= width) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return clean.substr(0, cuts[low]) + kEllipsis;
}

}  // namespace onelinetext
