// Font family names to font files through fontconfig, the way the desktop resolves them:
// "Helvetica" becomes its installed metric match (Nimbus Sans or Liberation Sans).
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {
namespace {

std::string matchFamily(const std::string& family) {
    const char* name = family.empty() ? "sans-serif" : family.c_str();
    FcPattern* pattern =
        FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, reinterpret_cast<const FcChar8*>(name),
                       FC_SCALABLE, FcTypeBool, FcTrue, static_cast<char*>(nullptr));
    if (pattern == nullptr)
        return "";
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match != nullptr)
        FcPatternDestroy(match);
    return file;
}

// fontconfig's configuration lives until FcFini; releasing it at exit keeps leak
// checkers quiet about the library's own start-up allocations.
struct FontconfigSession {
    ~FontconfigSession() { FcFini(); }
};

}  // namespace

std::string resolveFontFile(const std::string& family) {
    // fontconfig's first match reads its whole cache; labels ask for the same few
    // families over and over.
    static std::mutex mutex;
    static std::map<std::string, std::string> cache;
    static FontconfigSession session;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = cache.find(family);
    if (found != cache.end())
        return found->second;
    std::string file = matchFamily(family);
    cache.emplace(family, file);
    return file;
}

}  // namespace backend
}  // namespace cocos2d
