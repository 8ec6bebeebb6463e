#include "simulator/ProgramPanel.h"

#include <algorithm>

#include "lang/Translate.h"
#include "simulator/SimulatorLook.h"

USING_NS_CC;

namespace {

constexpr float kWidth = 280.f;
constexpr float kLineHeight = 18.f;
constexpr float kListTop = 440.f;
// Characters of a program line that fit the panel.
constexpr std::size_t kLineChars = 30;
const Color4B kRunningLine(255, 236, 160, 255);
const Color4B kFailedLine(253, 214, 216, 255);

Color3B stateColour(BoardState state) {
    switch (state) {
        case BoardState::Waiting:
            return look::kMuted;
        case BoardState::Receiving:
            return Color3B(look::kFrameDark.r, look::kFrameDark.g, look::kFrameDark.b);
        case BoardState::Running:
            return look::kGreen;
        case BoardState::Stopped:
            return look::kInk;
        case BoardState::Error:
            return look::kRed;
    }
    return look::kInk;
}

// The text as the font can show it: boards speak ASCII, and whatever else arrived (control
// characters, bytes that are not UTF-8) must not reach the text renderer.
std::string printable(const std::string& text) {
    std::string shown;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        shown.push_back(byte == '\n' ? '\n' : byte < 32 ? ' ' : byte >= 127 ? '?' : c);
    }
    return shown;
}

std::string fitted(const std::string& line) {
    std::string shown = printable(line);
    if (shown.size() > kLineChars) {
        shown.resize(kLineChars - 3);
        shown += "...";
    }
    return shown;
}

}  // namespace

bool ProgramPanel::init() {
    if (!Node::init()) {
        return false;
    }
    // Laid out from the panel's bottom left corner; the panel is 280 x 520.
    look::place(this, look::label(lang::tr("Program"), 14, look::kInk), 0, 505);
    _dialectBadge = look::place(this, look::box(look::opaque(look::kKib), 0, 0, 70, 22), 210, 494);
    _dialectName = look::label(dialectName(Dialect::Kib), 13, Color3B::WHITE);
    _dialectName->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    look::place(_dialectBadge, _dialectName, 35, 11);

    _stateBox = look::place(this, look::box(look::opaque(look::kMuted), 0, 0, kWidth, 30), 0, 452);
    _state = look::label(lang::tr("waiting"), 16, Color3B::WHITE);
    _state->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    look::place(_stateBox, _state, kWidth / 2, 15);

    addChild(look::box(look::kPale, 0, kListTop - kVisibleLines * kLineHeight, kWidth,
                       kVisibleLines * kLineHeight));
    _highlight = look::box(kRunningLine, 0, 0, kWidth, kLineHeight);
    _highlight->setVisible(false);
    addChild(_highlight);
    for (int row = 0; row < kVisibleLines; ++row) {
        Label* line = Label::createWithSystemFont("", look::kCodeFont, 13);
        line->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        line->setTextColor(look::opaque(look::kInk));
        _lines[row] = look::place(this, line, 6, kListTop - (row + 0.5f) * kLineHeight);
    }
    _message = Label::createWithSystemFont("", look::kFont, 13, Size(kWidth, 64),
                                           TextHAlignment::LEFT, TextVAlignment::TOP);
    _message->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    look::place(this, _message, 0, 0);
    return true;
}

void ProgramPanel::show(const Console& console, Dialect dialect) {
    const bool kib = dialect == Dialect::Kib;
    _dialectName->setString(dialectName(dialect));
    const Color3B badge = kib ? look::kKib : look::kVemmo;
    if (_dialectBadge->getColor() != badge) {
        _dialectBadge->setColor(badge);
    }
    _state->setString(lang::tr(boardStateName(console.state())));
    const Color3B stateBox = stateColour(console.state());
    if (_stateBox->getColor() != stateBox) {
        _stateBox->setColor(stateBox);
    }
    const bool failed = console.state() == BoardState::Error;
    _message->setString(printable(console.message()));
    _message->setTextColor(look::opaque(failed ? look::kRed : look::kInk));
    showListing(console.listing(), dialect, console.currentLine(), failed);
}

void ProgramPanel::showListing(const std::vector<std::string>& listing, Dialect dialect,
                               int current, bool failed) {
    const int count = static_cast<int>(listing.size());
    int first = 0;
    if (current >= 0 && count > kVisibleLines) {
        first = std::clamp(current - kVisibleLines / 2, 0, count - kVisibleLines);
    }
    if (listing != _shownListing || first != _firstRow || dialect != _shownDialect) {
        for (int row = 0; row < kVisibleLines; ++row) {
            const int index = first + row;
            std::string text;
            if (index < count) {
                // kib lines carry their own numbers; vemmo lines are numbered as errors name them.
                text = dialect == Dialect::Kib ? listing[index]
                                               : std::to_string(index + 1) + "  " + listing[index];
            }
            _lines[row]->setString(fitted(text));
        }
        _shownListing = listing;
        _shownDialect = dialect;
        _firstRow = first;
    }
    const int row = current - first;
    const bool visible = current >= 0 && row >= 0 && row < kVisibleLines;
    if (visible) {
        const Vec2 at(0, kListTop - (row + 1) * kLineHeight);
        if (_highlight->getPosition() != at) {
            _highlight->setPosition(at);
        }
        const Color3B colour = failed ? Color3B(kFailedLine.r, kFailedLine.g, kFailedLine.b)
                                      : Color3B(kRunningLine.r, kRunningLine.g, kRunningLine.b);
        if (_highlight->getColor() != colour) {
            _highlight->setColor(colour);
        }
    }
    if (_highlight->isVisible() != visible) {
        _highlight->setVisible(visible);
    }
}

int ProgramPanel::highlightedRow() const {
    if (!_highlight->isVisible()) {
        return -1;
    }
    return static_cast<int>((kListTop - _highlight->getPositionY()) / kLineHeight) - 1;
}
