#include "renderer/Texture2D.h"

#include <cstdint>
#include <vector>

#include "base/Director.h"
#include "renderer/Renderer.h"

NS_CC_BEGIN

Texture2D::~Texture2D() {
    if (_backendId == 0) {
        return;
    }
    // Only the device that made the texture may free it; a newer device never knew it.
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (renderer->getDeviceSerial() == _deviceSerial && renderer->getDevice() != nullptr) {
        renderer->getDevice()->destroyTexture(_backendId);
        renderer->forgetTexture(_backendId);
    }
}

void Texture2D::setSourceFile(const std::string& fullPath) {
    _again = [fullPath](backend::Bitmap& out) {
        std::string error;
        return backend::decodeImageFile(fullPath, out, error);
    };
}

bool Texture2D::initWithBitmap(backend::Bitmap bitmap, const std::string& name) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.rgba.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height * 4) {
        return false;
    }
    _bitmap = std::move(bitmap);
    _name = name;
    return true;
}

Size Texture2D::getContentSize() const {
    float scale = Director::getInstance()->getContentScaleFactor();
    return Size(_bitmap.width / scale, _bitmap.height / scale);
}

backend::TextureId Texture2D::getBackendTexture(Renderer& renderer) {
    backend::RenderDevice* device = renderer.getDevice();
    if (device == nullptr) {
        return 0;
    }
    if (_deviceSerial != renderer.getDeviceSerial()) {
        // One attempt per device: a failed upload is not retried every frame.
        _deviceSerial = renderer.getDeviceSerial();
        _backendId = 0;
        if (_bitmap.rgba.empty() && !(_again && _again(_bitmap))) {
            return 0;
        }
        _backendId = _again ? device->createTextureWithSource(_bitmap, _again)
                            : device->createTexture(_bitmap);
        if (_backendId != 0) {
            renderer.nameTexture(_backendId, _name);
            // The device keeps its own copy (and SDL's renderer a half-size one besides): a
            // second copy here would only hold memory, megabytes of it for the cards.
            if (_again) {
                std::vector<std::uint8_t>().swap(_bitmap.rgba);
            }
        }
    }
    return _backendId;
}

NS_CC_END
