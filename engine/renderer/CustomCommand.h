// A render command that runs a function at its place in the drawing order, e.g. to switch
// the view's scissor on and off around a subtree. Depends on RenderCommand.
#pragma once

#include <functional>

#include "math/AffineTransform.h"
#include "renderer/RenderCommand.h"

NS_CC_BEGIN

class CustomCommand : public RenderCommand {
public:
    CustomCommand() : RenderCommand(Type::CUSTOM_COMMAND) {}

    // Prepares the command for this frame at the given global order.
    void init(float globalZOrder) { _globalOrder = globalZOrder; }
    // The same; the transform and flags are accepted for source compatibility.
    void init(float globalZOrder, const Mat4&, unsigned int) { _globalOrder = globalZOrder; }

    // Runs func, if any.
    void execute() const {
        if (func) {
            func();
        }
    }

    std::function<void()> func;
};

NS_CC_END
