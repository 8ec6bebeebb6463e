// Words a text already on screen again in another language: the text is matched against
// the messages of the language it was written in, placeholders and all, and the same
// message is filled in the other language with the same values (each worded again too, as
// a reason inside a notice is). Depends on this module's catalogue only.
#pragma once

#include <string>

#include "lang/MessageCatalog.h"

namespace lang {

// `text`, written in `from`'s language, in `to`'s; unchanged where no message of `from`
// reads like it. An empty catalogue is English.
std::string reword(const std::string& text, const MessageCatalog& from, const MessageCatalog& to);

}  // namespace lang
