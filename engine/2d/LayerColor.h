// A layer filled with one colour (and opacity), placed by its bottom-left corner.
// Depends on Layer and the renderer's quad command.
#pragma once

#include "2d/Layer.h"
#include "renderer/QuadCommand.h"

NS_CC_BEGIN

class LayerColor : public Layer {
public:
    // Transparent black, the design size.
    static LayerColor* create();
    // The colour, the design size.
    static LayerColor* create(const Color4B& color);
    // The colour and size.
    static LayerColor* create(const Color4B& color, float width, float height);

    bool init() override;
    // Sets colour and opacity; the size becomes the design size.
    virtual bool initWithColor(const Color4B& color);
    // Sets colour, opacity and size.
    virtual bool initWithColor(const Color4B& color, float width, float height);

    // Resizes the layer.
    void changeWidthAndHeight(float width, float height);
    void changeWidth(float width);
    void changeHeight(float height);

    void draw(Renderer* renderer, const Mat4& transform, std::uint32_t flags) override;

protected:
    LayerColor() = default;

private:
    QuadCommand _quadCommand;
};

NS_CC_END
