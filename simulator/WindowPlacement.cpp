#include "simulator/WindowPlacement.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <tuple>

namespace simulator {

namespace {

// "x,y,w,h" into `rect`, which is left alone when the text is anything else.
bool parseRect(const char* text, ScreenRect& rect) {
    if (text == nullptr) {
        return false;
    }
    int fields[4];
    const char* at = text;
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        const long value = std::strtol(at, &end, 10);
        const char expected = i < 3 ? ',' : '\0';
        if (end == at || *end != expected || value < -1000000 || value > 1000000) {
            return false;
        }
        fields[i] = static_cast<int>(value);
        at = end + 1;
    }
    if (fields[2] <= 0 || fields[3] <= 0) {
        return false;
    }
    rect = ScreenRect{fields[0], fields[1], fields[2], fields[3]};
    return true;
}

long long overlap(const ScreenRect& a, const ScreenRect& b) {
    const long long across = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const long long down = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return across > 0 && down > 0 ? across * down : 0;
}

// Slides a start along one axis into [low, high - size]; a window larger than the display
// keeps its top left edge on it, where its title bar is.
int slideInto(int start, int low, int high, int size) {
    return std::max(low, std::min(start, high - size));
}

enum class Side { Right, Left, Below, Above };

// The place on that side of the workspace inside the display, if the display holds it.
std::optional<ScreenPoint> besideOn(Side side, const ScreenRect& work, const ScreenRect& d,
                                    int width, int height) {
    ScreenPoint at;
    switch (side) {
        case Side::Right:
            at = {std::max(work.right(), d.x), slideInto(work.y, d.y, d.bottom(), height)};
            break;
        case Side::Left:
            at = {std::min(work.x - width, d.right() - width),
                  slideInto(work.y, d.y, d.bottom(), height)};
            break;
        case Side::Below:
            at = {slideInto(work.x, d.x, d.right(), width), std::max(work.bottom(), d.y)};
            break;
        case Side::Above:
            at = {slideInto(work.x, d.x, d.right(), width),
                  std::min(work.y - height, d.bottom() - height)};
            break;
    }
    const bool inside =
        at.x >= d.x && at.x + width <= d.right() && at.y >= d.y && at.y + height <= d.bottom();
    // Side by side, not corner to corner: a place off the workspace's corner is left to the
    // search for the least cover, which finds it covering nothing.
    const bool sideBySide = side == Side::Right || side == Side::Left
                                ? at.y < work.bottom() && at.y + height > work.y
                                : at.x < work.right() && at.x + width > work.x;
    return inside && sideBySide ? std::optional<ScreenPoint>(at) : std::nullopt;
}

// Slid along either axis, a window covers first more, then as much, then less of a
// rectangle, never less and then more again. So the least cover of the controls, and of the
// frame (which holds them) among places that tie on them, lies in a corner of the display.
ScreenPoint leastCover(const WorkspaceWindow& work, const ScreenRect& d, int width, int height,
                       std::tuple<long long, long long>& cover) {
    ScreenPoint best;
    bool found = false;
    for (int x : {d.x, d.right() - width}) {
        for (int y : {d.y, d.bottom() - height}) {
            const ScreenRect at{slideInto(x, d.x, d.right(), width),
                                slideInto(y, d.y, d.bottom(), height), width, height};
            const auto covered =
                std::make_tuple(overlap(at, work.controls), overlap(at, work.frame));
            if (!found || covered < cover) {
                found = true;
                cover = covered;
                best = {at.x, at.y};
            }
        }
    }
    return best;
}

std::optional<ScreenPoint> besideAny(const ScreenRect& frame,
                                     const std::vector<ScreenRect>& displays, int width,
                                     int height) {
    for (Side side : {Side::Right, Side::Left, Side::Below, Side::Above}) {
        for (const ScreenRect& display : displays) {
            if (auto at = besideOn(side, frame, display, width, height)) {
                return at;
            }
        }
    }
    return std::nullopt;
}

// The display that holds most of the frame, if any holds some.
const ScreenRect* displayOf(const ScreenRect& frame, const std::vector<ScreenRect>& displays) {
    const ScreenRect* best = nullptr;
    long long most = 0;
    for (const ScreenRect& display : displays) {
        if (overlap(frame, display) > most) {
            most = overlap(frame, display);
            best = &display;
        }
    }
    return best;
}

// How far the frame must move along its display for a window of this form to fit beside
// it: to whichever edge of the display is nearer and makes room; 0 when neither does.
int shiftForRoom(const ScreenRect& frame, const std::vector<ScreenRect>& displays,
                 WindowForm form) {
    const ScreenRect* display = displayOf(frame, displays);
    if (display == nullptr || frame.w + form.w > display->w) {
        return 0;
    }
    int best = 0;
    for (int dx : {display->x - frame.x, display->right() - frame.right()}) {
        const ScreenRect moved{frame.x + dx, frame.y, frame.w, frame.h};
        if (dx != 0 && (best == 0 || std::abs(dx) < std::abs(best)) &&
            besideAny(moved, {*display}, form.w, form.h)) {
            best = dx;
        }
    }
    return best;
}

}  // namespace

std::optional<WorkspaceWindow> parseWorkspaceWindow(const char* frame, const char* controls) {
    WorkspaceWindow work;
    if (!parseRect(frame, work.frame)) {
        return std::nullopt;
    }
    parseRect(controls, work.controls);
    return work;
}

std::optional<ScreenPoint> placeBeside(const WorkspaceWindow& workspace,
                                       const std::vector<ScreenRect>& displays, int width,
                                       int height) {
    if (auto at = besideAny(workspace.frame, displays, width, height)) {
        return at;
    }
    std::optional<ScreenPoint> best;
    std::tuple<long long, long long> bestCover;
    for (const ScreenRect& display : displays) {
        std::tuple<long long, long long> cover;
        const ScreenPoint at = leastCover(workspace, display, width, height, cover);
        if (!best || cover < bestCover) {
            best = at;
            bestCover = cover;
        }
    }
    return best;
}

std::optional<WindowChoice> chooseWindow(const WorkspaceWindow& workspace,
                                         const std::vector<ScreenRect>& displays, WindowForm roomy,
                                         WindowForm compact) {
    if (auto at = besideAny(workspace.frame, displays, roomy.w, roomy.h)) {
        return WindowChoice{false, *at, 0};
    }
    const std::optional<ScreenPoint> at = placeBeside(workspace, displays, compact.w, compact.h);
    if (!at) {
        return std::nullopt;
    }
    const bool beside = besideAny(workspace.frame, displays, compact.w, compact.h).has_value();
    const int moveBy = beside ? 0 : shiftForRoom(workspace.frame, displays, compact);
    if (moveBy == 0) {
        return WindowChoice{true, *at, 0};
    }
    // Beside the workspace once it has moved, at the display's far edge: until it has, the
    // window covers as little of it as the room allows.
    const ScreenRect* display = displayOf(workspace.frame, displays);
    ScreenRect moved = workspace.frame;
    moved.x += moveBy;
    ScreenPoint far = besideAny(moved, {*display}, compact.w, compact.h).value();
    far.x = moveBy < 0 ? display->right() - compact.w : display->x;
    return WindowChoice{true, far, moveBy};
}

}  // namespace simulator
