// A render command that draws one textured (or plain coloured) quadrilateral given by its
// corners in world design coordinates. Depends on RenderCommand, math and Types.
#pragma once

#include "base/Types.h"
#include "math/AffineTransform.h"
#include "math/Rect.h"
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

    // The local rectangle `local` mapped through `transform`, showing the part `uv` of the
    // picture (0..1, origin top left; the whole picture by default).
    void initRect(float globalOrder, Texture2D* texture, const Mat4& transform, const Rect& local,
                  const Color4B& colour, const Rect& uv = Rect(0.f, 0.f, 1.f, 1.f)) {
        const float x0 = local.getMinX(), x1 = local.getMaxX();
        const float y0 = local.getMinY(), y1 = local.getMaxY();
        const Vec2 corners[4] = {
            transform.transformPoint(Vec2(x0, y0)), transform.transformPoint(Vec2(x1, y0)),
            transform.transformPoint(Vec2(x1, y1)), transform.transformPoint(Vec2(x0, y1))};
        const float u0 = uv.getMinX(), u1 = uv.getMaxX();
        const float v0 = uv.getMinY(), v1 = uv.getMaxY();
        // Picture rows run top down while local y runs up.
        const Vec2 texCoords[4] = {Vec2(u0, v1), Vec2(u1, v1), Vec2(u1, v0), Vec2(u0, v0)};
        init(globalOrder, texture, corners, texCoords, colour);
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
