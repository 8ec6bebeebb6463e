// Collects the render commands of one frame during the scene's visit and runs them in
// order on the view's drawing device: quads are mapped from design coordinates to output
// pixels, custom commands run their function. Depends on the backend interface and GLView.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Macros.h"
#include "platform/Backend.h"

NS_CC_BEGIN

class GLView;
class RenderCommand;
class QuadCommand;

class Renderer {
public:
    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Queues a command for this frame; the caller keeps it alive until render().
    void addCommand(RenderCommand* command);
    // Runs the queued commands by (global order, queueing order) and empties the queue.
    void render();
    // Drops the queued commands without running them.
    void clean() { _commands.clear(); }

    // The view whose device draws; nullptr when there is none (nothing is drawn).
    void setView(GLView* view);
    // The device of the current view, or nullptr.
    backend::RenderDevice* getDevice() const;
    // Changes whenever the device changes, so textures know to upload again.
    std::uint64_t getDeviceSerial() const { return _deviceSerial; }

    // Remembers what a device texture shows (a file path or a label's text), for tests
    // and diagnostics; forgetTexture drops it.
    void nameTexture(backend::TextureId id, const std::string& name);
    void forgetTexture(backend::TextureId id);
    // What the texture shows, or "" when unknown.
    std::string getTextureName(backend::TextureId id) const;

private:
    void drawQuad(const QuadCommand& command);

    std::vector<RenderCommand*> _commands;
    GLView* _view = nullptr;
    backend::RenderDevice* _device = nullptr;
    std::uint64_t _deviceSerial = 0;
    std::unordered_map<backend::TextureId, std::string> _textureNames;
};

NS_CC_END
