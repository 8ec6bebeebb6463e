// The board's side of the simulator window: which dialect it speaks, its state, the
// program it holds with the running (or failing) line highlighted, and what it last
// said. Depends on the engine and the interpreters' Console only.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cocos2d.h"
#include "simulator/Board.h"

class ProgramPanel : public cocos2d::Node {
public:
    // Program lines shown at once; a longer program scrolls to keep the running line in view.
    static constexpr int kVisibleLines = 20;

    CREATE_FUNC(ProgramPanel);
    bool init() override;

    // Shows the board's dialect, state, program and message.
    void show(const Console& console, Dialect dialect);

    // The state and the message as shown.
    const std::string& stateText() const { return _state->getString(); }
    const std::string& messageText() const { return _message->getString(); }
    // The text of a visible line (0 at the top), as shown.
    const std::string& lineText(int row) const { return _lines.at(row)->getString(); }
    // The visible row that is highlighted, or -1.
    int highlightedRow() const;

private:
    void showListing(const std::vector<std::string>& listing, Dialect dialect, int current,
                     bool failed);

    cocos2d::LayerColor* _dialectBadge = nullptr;
    cocos2d::Label* _dialectName = nullptr;
    cocos2d::LayerColor* _stateBox = nullptr;
    cocos2d::Label* _state = nullptr;
    cocos2d::LayerColor* _highlight = nullptr;
    std::array<cocos2d::Label*, kVisibleLines> _lines{};
    cocos2d::Label* _message = nullptr;

    std::vector<std::string> _shownListing;
    Dialect _shownDialect = Dialect::Kib;
    int _firstRow = -1;
};
