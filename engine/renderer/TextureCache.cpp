#include "renderer/TextureCache.h"

#include <cstdio>

#include "platform/Backend.h"
#include "platform/FileUtils.h"
#include "renderer/Texture2D.h"

NS_CC_BEGIN

namespace {

void printMissingPicture(const std::string& path, const std::vector<std::string>& places,
                         const std::string& reason) {
    std::string looked;
    for (const std::string& place : places) {
        looked += (looked.empty() ? "" : ", ") + place;
    }
    std::fprintf(stderr, "Cannot load picture \"%s\" (looked at: %s): %s\n", path.c_str(),
                 looked.empty() ? "nowhere" : looked.c_str(), reason.c_str());
}

}  // namespace

TextureCache::TextureCache() : _missingPictureHandler(printMissingPicture) {}

TextureCache::~TextureCache() {
    removeAllTextures();
}

Texture2D* TextureCache::addImage(const std::string& path) {
    std::vector<std::string> places = FileUtils::getInstance()->placesFor(path);
    std::string fullPath = FileUtils::getInstance()->fullPathForFilename(path);
    if (fullPath.empty()) {
        reportMissingPicture(path, places, path.empty() ? "no file name given" : "no such file");
        return nullptr;
    }
    auto it = _textures.find(fullPath);
    if (it != _textures.end()) {
        return it->second;
    }
    backend::Bitmap bitmap;
    std::string error;
    if (!backend::decodeImageFile(fullPath, bitmap, error)) {
        reportMissingPicture(path, {fullPath}, error.empty() ? "cannot be decoded" : error);
        return nullptr;
    }
    auto* texture = new Texture2D();
    if (!texture->initWithBitmap(std::move(bitmap), path)) {
        texture->release();
        reportMissingPicture(path, {fullPath}, "the picture is empty");
        return nullptr;
    }
    texture->setSourceFile(fullPath);
    _textures.emplace(fullPath, texture);
    return texture;
}

void TextureCache::removeAllTextures() {
    std::unordered_map<std::string, Texture2D*> old;
    old.swap(_textures);
    for (auto& entry : old) {
        entry.second->release();
    }
}

void TextureCache::setMissingPictureHandler(MissingPictureHandler handler) {
    _missingPictureHandler =
        handler ? std::move(handler) : MissingPictureHandler(printMissingPicture);
}

void TextureCache::reportMissingPicture(const std::string& path,
                                        const std::vector<std::string>& places,
                                        const std::string& reason) const {
    _missingPictureHandler(path, places, reason);
}

NS_CC_END
