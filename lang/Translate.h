// The one translation call every text a user can see goes through, and the language it
// answers in. Source texts are English and stay the key: a text the current catalogue
// lacks is shown in English. Placeholders are named in braces ("row {row}"), so a
// translation may put them in its own order. Depends on nothing but this module.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lang/MessageCatalog.h"

namespace lang {

// Marks a source text kept in a constant, to be translated where it is shown.
constexpr const char* mark(const char* source) {
    return source;
}

// The text in the current language.
std::string tr(const std::string& source);
// The text of a context in the current language, for a word that reads differently
// in two places.
std::string trc(const std::string& context, const std::string& source);
// The plural form for `count` in the current language, "{count}" filled in.
std::string trn(const std::string& one, const std::string& many, unsigned long long count);

// A message's text cut at its placeholders: literal pieces at even places, the names between
// the braces at odd ones; an unclosed brace is literal.
std::vector<std::string> pieces(const std::string& text);
// The text with each "{name}" replaced by what `valueOf` gives for the name; a name it gives
// nothing for stays as it is.
std::string fillFrom(const std::string& text,
                     const std::function<const std::string*(const std::string&)>& valueOf);
// The text with each "{name}" replaced by its value.
std::string fill(std::string text,
                 std::initializer_list<std::pair<const char*, std::string>> values);

// Makes `catalog` the current language's, `code` its short name ("de"); English is the
// empty catalogue. Any thread may go on translating meanwhile.
void useCatalog(const std::string& code, MessageCatalog catalog);
// The short name of the current language ("en" at start).
std::string currentLanguage();
// The current language's catalogue, kept for as long as the caller holds it (to word a text
// of this language again in the next; see Reword.h).
std::shared_ptr<const MessageCatalog> currentCatalog();

}  // namespace lang
