#include "platform/sdl/TextLines.h"

#include <cstddef>

namespace cocos2d {
namespace backend {
namespace {

std::vector<std::string> splitParagraphs(const std::string& text) {
    std::vector<std::string> paragraphs(1);
    for (char c : text) {
        if (c == '\n') {
            paragraphs.emplace_back();
        } else if (c != '\r') {  // text written on Windows keeps its "\r\n"
            paragraphs.back() += c;
        }
    }
    return paragraphs;
}

std::vector<std::string> splitWords(const std::string& paragraph) {
    std::vector<std::string> words;
    std::string word;
    for (char c : paragraph) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// Byte length of the UTF-8 sequence that starts with `lead` (1 for stray bytes, so
// broken input is still cut somewhere instead of looping).
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Cuts a word that is too wide for a line into pieces that fit; each piece holds at
// least one character, so a line narrower than one glyph still makes progress.
std::vector<std::string> cutWord(const std::string& word, int maxWidth,
                                 const MeasureText& measure) {
    std::vector<std::string> pieces;
    std::string piece;
    std::size_t i = 0;
    while (i < word.size()) {
        std::size_t len = sequenceLength(static_cast<unsigned char>(word[i]));
        if (i + len > word.size())
            len = word.size() - i;
        const std::string character = word.substr(i, len);
        if (!piece.empty() && measure(piece + character) > maxWidth) {
            pieces.push_back(piece);
            piece.clear();
        }
        piece += character;
        i += len;
    }
    if (!piece.empty())
        pieces.push_back(piece);
    return pieces;
}

void wrapParagraph(const std::string& paragraph, int maxWidth, const MeasureText& measure,
                   std::vector<std::string>& lines) {
    std::string line;
    for (const std::string& word : splitWords(paragraph)) {
        const std::string candidate = line.empty() ? word : line + ' ' + word;
        if (measure(candidate) <= maxWidth) {
            line = candidate;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
        if (measure(word) <= maxWidth) {
            line = word;
            continue;
        }
        std::vector<std::string> pieces = cutWord(word, maxWidth, measure);
        line = pieces.back();
        pieces.pop_back();
        lines.insert(lines.end(), pieces.begin(), pieces.end());
    }
    // An empty paragraph still takes a line, as "a\n\nb" shows a gap.
    lines.push_back(line);
}

}  // namespace

std::vector<std::string> breakTextLines(const std::string& text, int maxWidth,
                                        const MeasureText& measure) {
    std::vector<std::string> paragraphs = splitParagraphs(text);
    if (maxWidth <= 0)
        return paragraphs;
    std::vector<std::string> lines;
    for (const std::string& paragraph : paragraphs) {
        wrapParagraph(paragraph, maxWidth, measure, lines);
    }
    return lines;
}

}  // namespace backend
}  // namespace cocos2d
