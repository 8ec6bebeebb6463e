#include "scene/FieldHistory.h"

namespace {
FieldContents withoutDialect(FieldContents contents) {
    contents.dialect = Dialect::Kib;
    return contents;
}
}  // namespace

void FieldHistory::reset(const FieldContents& contents) {
    _states.assign(1, withoutDialect(contents));
    _current = 0;
    _forgotTheStart = false;
}

bool FieldHistory::record(const FieldContents& contents) {
    FieldContents step = withoutDialect(contents);
    if (step == _states[_current]) {
        return false;
    }
    _states.erase(_states.begin() + static_cast<std::ptrdiff_t>(_current) + 1, _states.end());
    _states.push_back(std::move(step));
    if (_states.size() > kSteps + 1) {
        _states.pop_front();
        _forgotTheStart = true;
    }
    _current = _states.size() - 1;
    return true;
}

const FieldContents* FieldHistory::undo() {
    if (!canUndo()) {
        return nullptr;
    }
    return &_states[--_current];
}

const FieldContents* FieldHistory::redo() {
    if (!canRedo()) {
        return nullptr;
    }
    return &_states[++_current];
}
