#include "renderer/Renderer.h"

#include <algorithm>

#include "platform/GLView.h"
#include "renderer/CustomCommand.h"
#include "renderer/QuadCommand.h"
#include "renderer/Texture2D.h"

NS_CC_BEGIN

void Renderer::addCommand(RenderCommand* command) {
    CCASSERT(command != nullptr, "addCommand of nullptr");
    _commands.push_back(command);
}

void Renderer::setView(GLView* view) {
    backend::RenderDevice* device = view != nullptr ? view->getRenderDevice() : nullptr;
    if (view != _view || device != _device) {
        _view = view;
        _device = device;
        ++_deviceSerial;
        _textureNames.clear();
    }
}

backend::RenderDevice* Renderer::getDevice() const {
    return _device;
}

void Renderer::nameTexture(backend::TextureId id, const std::string& name) {
    _textureNames[id] = name;
}

void Renderer::forgetTexture(backend::TextureId id) {
    _textureNames.erase(id);
}

std::string Renderer::getTextureName(backend::TextureId id) const {
    auto it = _textureNames.find(id);
    return it == _textureNames.end() ? std::string() : it->second;
}

void Renderer::render() {
    // Take the queue first: a custom command may queue again (for the next frame).
    std::vector<RenderCommand*> commands;
    commands.swap(_commands);
    std::stable_sort(commands.begin(), commands.end(),
                     [](const RenderCommand* a, const RenderCommand* b) {
                         return a->getGlobalOrder() < b->getGlobalOrder();
                     });
    for (RenderCommand* command : commands) {
        if (command->getType() == RenderCommand::Type::QUAD_COMMAND) {
            drawQuad(*static_cast<QuadCommand*>(command));
        } else {
            static_cast<CustomCommand*>(command)->execute();
        }
    }
}

void Renderer::drawQuad(const QuadCommand& command) {
    if (_device == nullptr || _view == nullptr) {
        return;
    }
    backend::TextureId texture = 0;
    if (command.getTexture() != nullptr) {
        texture = command.getTexture()->getBackendTexture(*this);
        if (texture == 0) {
            return;  // the upload failed; drawing a plain quad instead would mislead
        }
    }
    backend::Vertex corners[4];
    for (int i = 0; i < 4; ++i) {
        Vec2 p = _view->designToPixel(command.getCorners()[i]);
        corners[i].x = p.x;
        corners[i].y = p.y;
        corners[i].u = command.getTexCoords()[i].x;
        corners[i].v = command.getTexCoords()[i].y;
    }
    const Color4B& c = command.getColour();
    backend::Rgba colour;
    colour.r = c.r;
    colour.g = c.g;
    colour.b = c.b;
    colour.a = c.a;
    _device->drawQuad(texture, corners, colour);
}

NS_CC_END
