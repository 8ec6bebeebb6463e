// Font family names to font files through fontconfig, the way the desktop resolves them:
// "Helvetica" becomes its installed metric match (Nimbus Sans or Liberation Sans), and
// "Helvetica:bold" that family's bold face.
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {
namespace {

// The installed scalable font that best answers the pattern, which it takes; the caller
// destroys the match.
FcPattern* bestScalableMatch(FcPattern* pattern) {
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

std::string matchFamily(const std::string& family) {
    const char* name = family.empty() ? "sans-serif" : family.c_str();
    // Parsed as a fontconfig name, so "Helvetica:bold" asks for the family's bold face.
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (pattern == nullptr)
        return "";
    FcPattern* match = bestScalableMatch(pattern);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match != nullptr)
        FcPatternDestroy(match);
    return file;
}

// The best installed font for Japanese text; fonts-ipafont-gothic is the package's own.
std::string matchJapanese() {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr)
        return "";
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("IPAGothic"));
    FcPattern* match = bestScalableMatch(pattern);
    std::string file;
    FcChar8* path = nullptr;
    FcLangSet* covered = nullptr;
    // fontconfig always answers with something: only a font that covers Japanese will do.
    if (match != nullptr && FcPatternGetLangSet(match, FC_LANG, 0, &covered) == FcResultMatch &&
        FcLangSetHasLang(covered, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual &&
        FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
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

std::string resolveWideFontFile() {
    // Through the same cache, under a name no family has.
    return resolveFontFile("\x01ja");
}

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
    std::string file = family == "\x01ja" ? matchJapanese() : matchFamily(family);
    cache.emplace(family, file);
    return file;
}

}  // namespace backend
}  // namespace cocos2d
