// Loads each picture file once (by its full path) and keeps it for every sprite that shows
// it: its size at once from the file's header, its pixels on the decoder's thread by its
// first draw. A picture that cannot be found or decoded is reported through a handler that
// names the file, every place looked at and the reason. Depends on Texture2D, FileUtils and
// the PictureDecoder.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Ref.h"
#include "renderer/PictureDecoder.h"

NS_CC_BEGIN

class Texture2D;

class TextureCache : public Ref {
public:
    using MissingPictureHandler =
        std::function<void(const std::string& path, const std::vector<std::string>& placesLookedAt,
                           const std::string& reason)>;

    TextureCache();
    ~TextureCache() override;

    // The texture of the picture file, loaded on first use; nullptr (after reporting)
    // when the file is missing or no picture. One that fails to decode later is reported
    // then, and shows nothing.
    Texture2D* addImage(const std::string& path);
    // Forgets every texture (sprites keep theirs).
    void removeAllTextures();

    // Replaces the handler for unloadable pictures; an empty one restores the default,
    // which prints one line to standard error.
    void setMissingPictureHandler(MissingPictureHandler handler);
    // Reports an unloadable picture through the handler.
    void reportMissingPicture(const std::string& path, const std::vector<std::string>& places,
                              const std::string& reason) const;

private:
    std::unordered_map<std::string, Texture2D*> _textures;  // full path -> one reference
    MissingPictureHandler _missingPictureHandler;
    PictureDecoder _decoder;
};

NS_CC_END
