#include "lang/Languages.h"

#include <algorithm>

#include "lang/MessageCatalog.h"
#include "lang/Translate.h"

namespace lang {
namespace {

constexpr char kSuffix[] = ".mo";
constexpr char kNameContext[] = "language name";
// Catalogues are a few tens of kilobytes; anything far larger is not one of ours.
constexpr std::size_t kMaxCatalogBytes = 4u << 20;

std::string catalogPath(const std::string& folder, const std::string& code) {
    return folder + "/" + code + kSuffix;
}

bool loadCatalog(const std::string& folder, const std::string& code, MessageCatalog& out,
                 std::string& error) {
    std::string bytes;
    if (!readFile(catalogPath(folder, code), bytes, error)) {
        return false;
    }
    if (bytes.size() > kMaxCatalogBytes) {
        error = "the catalogue is too big";
        return false;
    }
    std::optional<MessageCatalog> catalog = MessageCatalog::fromMo(bytes, error);
    if (!catalog) {
        return false;
    }
    out = std::move(*catalog);
    return true;
}

// "de_AT.UTF-8@euro" and "de-AT" both become "de_AT".
std::string localeName(const std::string& wish) {
    std::string name = wish.substr(0, wish.find_first_of(".@"));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace

std::vector<Language> languagesIn(const std::string& folder) {
    std::vector<Language> languages{{"en", "English"}};
    std::vector<std::string> names = filesIn(folder);
    std::sort(names.begin(), names.end());
    const std::string suffix(kSuffix);
    for (const std::string& name : names) {
        if (name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::string code = name.substr(0, name.size() - suffix.size());
        MessageCatalog catalog;
        std::string error;
        if (code == "en" || !loadCatalog(folder, code, catalog, error)) {
            continue;
        }
        const std::string* own = catalog.find(kNameContext, "English");
        languages.push_back({code, own != nullptr ? *own : code});
    }
    return languages;
}

std::string firstKnown(const std::vector<std::string>& wishes,
                       const std::vector<std::string>& known) {
    const auto has = [&known](const std::string& code) {
        return !code.empty() && std::find(known.begin(), known.end(), code) != known.end();
    };
    for (const std::string& wish : wishes) {
        const std::string name = localeName(wish);
        if (has(name)) {
            return name;
        }
        const std::string bare = name.substr(0, name.find('_'));
        if (has(bare)) {
            return bare;
        }
    }
    return "en";
}

std::vector<std::string> environmentWishes(
    const std::function<std::string(const char*)>& variable) {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.empty()) {
            break;
        }
    }
    if (locale == "C" || locale == "POSIX" || locale.compare(0, 2, "C.") == 0) {
        return {"en"};
    }
    std::vector<std::string> wishes;
    const std::string list = variable("LANGUAGE");
    std::size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const std::size_t colon = list.find(':', start);
        const std::string item =
            list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!item.empty()) {
            wishes.push_back(item);
        }
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    if (!locale.empty()) {
        wishes.push_back(locale);
    }
    return wishes;
}

bool switchLanguage(const std::string& code, const std::string& folder, std::string& error) {
    MessageCatalog catalog;
    if (code != "en" && !loadCatalog(folder, code, catalog, error)) {
        return false;
    }
    useCatalog(code, std::move(catalog));
    passToChildren(code);
    return true;
}

}  // namespace lang
