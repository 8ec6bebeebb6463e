// Loads each picture file once (by its full path) and keeps it for every sprite that shows
// it. A picture that cannot be found or decoded is reported through a handler that names
// the file, every place looked at and the reason. Depends on Texture2D and FileUtils.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Ref.h"

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
    // when the file is missing or cannot be decoded.
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
};

NS_CC_END
