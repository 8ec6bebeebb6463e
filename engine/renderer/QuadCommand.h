// A render command that draws one textured (or plain coloured) quadrilateral given by its
// corners in world design coordinates. Depends on RenderCommand, math and Types.
#pragma once

#include "base/Types.h"
#include "math/Vec2.h"
#include "renderer/RenderCommand.h"

NS_CC_BEGIN

class Texture2D;

class QuadCommand : public RenderCommand {
public:
    QuadCommand() : RenderCommand(Type::QUAD_COMMAND) {}

    // Corners bottom left, bottom right, top right, top left (before any turning), each
    // with texture coordinates (0..1, origin top left of the picture). texture nullptr
    // fills the quad with the colour; otherwise the colour modulates the picture.
    void init(float globalOrder, Texture2D* texture, const Vec2 (&corners)[4],
              const Vec2 (&texCoords)[4], const Color4B& colour) {
        _globalOrder = globalOrder;
        _texture = texture;
        for (int i = 0; i < 4; ++i) {
            _corners[i] = corners[i];
            _texCoords[i] = texCoords[i];
        }
        _colour = colour;
    }

    Texture2D* getTexture() const { return _texture; }
    const Vec2* getCorners() const { return _corners; }
    const Vec2* getTexCoords() const { return _texCoords; }
    const Color4B& getColour() const { return _colour; }

private:
    Texture2D* _texture = nullptr;
    Vec2 _corners[4];
    Vec2 _texCoords[4];
    Color4B _colour;
};

NS_CC_END
