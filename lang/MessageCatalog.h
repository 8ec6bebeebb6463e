// One language's messages, read from a compiled gettext catalogue (.mo): each source text
// with its translation, or its plural forms and the rule that picks one. Depends on the
// standard library only; the caller reads the file.
//
// Why a reader of our own: glibc's gettext only translates for locales compiled on the
// machine (a school computer set to English has no German locale), and the Windows build
// would need a second library with its own idea of the locale. The .mo format is small and
// fixed, and msgfmt still checks and compiles every catalogue at build time.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lang/PluralRule.h"

namespace lang {

class MessageCatalog {
public:
    // An empty catalogue: every text stays the English source.
    MessageCatalog() = default;

    // The catalogue in the bytes of a .mo file; none with the reason in `error` when they
    // are not one.
    static std::optional<MessageCatalog> fromMo(const std::string& bytes, std::string& error);

    // The translation of a source text in a context (empty: none), or nullptr when the
    // catalogue has none.
    const std::string* find(const std::string& context, const std::string& source) const;
    // The form of a plural message for the count, or nullptr when the catalogue lacks it.
    const std::string* findPlural(const std::string& one, unsigned long long count) const;

    // Each message of the catalogue: its context (empty: none), its English forms (the
    // singular, and the plural of a plural message) and its translated forms.
    void forEachMessage(const std::function<
                        void(const std::string& context, const std::vector<std::string>& sources,
                             const std::vector<std::string>& forms)>& visit) const;

    // A field of the catalogue's header ("Language"), empty when missing.
    std::string header(const std::string& name) const;
    const PluralRule& pluralRule() const { return _plural; }

private:
    struct Message {
        std::string context;
        std::vector<std::string> sources;
        std::vector<std::string> forms;
    };
    // Key: context, '\4', source (the singular of a plural message).
    std::map<std::string, Message> _messages;
    std::string _header;
    PluralRule _plural;
};

}  // namespace lang
