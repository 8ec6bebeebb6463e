// A unit of drawing queued by a node during the scene's visit and run by the Renderer in
// order. Commands are owned by the node that queues them and must live until the frame is
// rendered. Depends on Macros.h only.
#pragma once

#include "base/Macros.h"

NS_CC_BEGIN

class RenderCommand {
public:
    enum class Type { QUAD_COMMAND, CUSTOM_COMMAND };

    virtual ~RenderCommand() = default;

    Type getType() const { return _type; }
    // Commands run by ascending global order, then in the order they were queued.
    float getGlobalOrder() const { return _globalOrder; }

protected:
    explicit RenderCommand(Type type) : _type(type) {}

    Type _type;
    float _globalOrder = 0.f;
};

NS_CC_END
