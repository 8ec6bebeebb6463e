// A decoded picture (or rendered text) kept in memory and uploaded to the view's drawing
// device the first time it is drawn, so textures can exist before any view does.
// Depends on the backend interface and math.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/Ref.h"
#include "math/Size.h"
#include "platform/Backend.h"

NS_CC_BEGIN

class Renderer;

class Texture2D : public Ref {
public:
    Texture2D() = default;
    ~Texture2D() override;

    // Takes the pixels; `name` says what it shows (a path, or a label's text).
    bool initWithBitmap(backend::Bitmap bitmap, const std::string& name);
    // The file the pixels were decoded from: once a device holds them they are let go, and
    // decoded again should another device need them.
    void setSourceFile(const std::string& fullPath);
    // The same for pixels made otherwise (a label's text): how to make them again.
    void setPixelSource(backend::PixelSource again) { _again = std::move(again); }

    // Size in points: pixels divided by the director's content scale factor.
    Size getContentSize() const;
    // What the texture shows.
    const std::string& getName() const { return _name; }
    // The pixels (straight RGBA, rows top first); none while a device holds pixels that
    // can be made again.
    const backend::Bitmap& getBitmap() const { return _bitmap; }

    // The device texture for the renderer's current device, uploading it on first use;
    // 0 when there is no device or the upload failed.
    backend::TextureId getBackendTexture(Renderer& renderer);

private:
    backend::Bitmap _bitmap;
    std::string _name;
    backend::PixelSource _again;
    backend::TextureId _backendId = 0;
    std::uint64_t _deviceSerial = 0;
};

NS_CC_END
