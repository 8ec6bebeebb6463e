#include "platform/headless/HeadlessView.h"

namespace cocos2d {
namespace backend {

TextureId HeadlessRenderDevice::createTexture(const Bitmap& bitmap) {
    TextureId id = _nextTexture++;
    _textureSizes[id] = {bitmap.width, bitmap.height};
    return id;
}

void HeadlessRenderDevice::destroyTexture(TextureId texture) {
    _textureSizes.erase(texture);
}

void HeadlessRenderDevice::getOutputSize(int& width, int& height) const {
    width = _width;
    height = _height;
}

void HeadlessRenderDevice::setOutputSize(int width, int height) {
    _width = width;
    _height = height;
}

void HeadlessRenderDevice::textureSize(TextureId texture, int& width, int& height) const {
    auto it = _textureSizes.find(texture);
    width = it == _textureSizes.end() ? 0 : it->second.first;
    height = it == _textureSizes.end() ? 0 : it->second.second;
}

void HeadlessRenderDevice::beginFrame(Rgba) {
    _frame.clear();
    _clipped = false;
}

void HeadlessRenderDevice::drawQuad(TextureId texture, const Vertex (&corners)[4], Rgba colour) {
    DrawRecord record;
    record.texture = texture;
    for (int i = 0; i < 4; ++i) {
        record.corners[i] = corners[i];
    }
    record.colour = colour;
    record.clipped = _clipped;
    record.clip = _clip;
    _frame.push_back(record);
}

void HeadlessRenderDevice::setClip(const PixelRect* rect) {
    _clipped = rect != nullptr;
    _clip = rect != nullptr ? *rect : PixelRect{};
}

void HeadlessRenderDevice::endFrame() {
    _lastFrame.swap(_frame);
    _frame.clear();
    ++_frames;
}

void HeadlessView::getWindowSize(int& width, int& height) const {
    width = _width;
    height = _height;
}

void HeadlessView::waitEvents(int, std::vector<InputEvent>& out) {
    out.insert(out.end(), _queue.begin(), _queue.end());
    _queue.clear();
}

void HeadlessView::setWindowSize(int width, int height) {
    _width = width;
    _height = height;
}

void HeadlessView::setScreenPosition(int x, int y) {
    _placed = true;
    _screenX = x;
    _screenY = y;
}

bool HeadlessView::moveScreenFrame(int x, int y) {
    setScreenPosition(x, y);
    return true;
}

bool HeadlessView::getScreenFrame(PixelRect& frame) const {
    frame = PixelRect{_screenX, _screenY, _width, _height};
    return _placed;
}

std::unique_ptr<PlatformView> createHeadlessView(int width, int height) {
    return std::make_unique<HeadlessView>(width, height);
}

}  // namespace backend
}  // namespace cocos2d
