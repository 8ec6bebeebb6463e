// The steps that undo and redo walk: the field's contents after each change, the dialect
// left out (choosing a board is not an edit of the program). Depends on storage's plain
// field contents only.
#pragma once

#include <cstddef>
#include <deque>

#include "storage/FieldContents.h"

class FieldHistory {
public:
    // How many changes can be undone in a row.
    static constexpr std::size_t kSteps = 100;

    // Starts afresh from the contents: nothing to undo or redo.
    void reset(const FieldContents& contents);
    // Takes the contents as the newest step when they differ from the current one, and
    // drops the steps that could have been redone; true when it took them.
    bool record(const FieldContents& contents);
    // The contents to lay on the field for an undo or a redo, or nullptr when there is
    // no step that way.
    const FieldContents* undo();
    const FieldContents* redo();
    bool canUndo() const { return _current > 0; }
    bool canRedo() const { return _current + 1 < _states.size(); }
    // Whether the oldest step is still the one reset gave: then undoing every step goes
    // all the way back to it.
    bool holdsTheStart() const { return !_forgotTheStart; }

private:
    std::deque<FieldContents> _states{FieldContents{}};
    std::size_t _current = 0;
    bool _forgotTheStart = false;
};
