#include "lang/MessageCatalog.h"

#include <cstdint>

namespace lang {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;

class Reader {
public:
    Reader(const std::string& bytes, bool swapped) : _bytes(bytes), _swapped(swapped) {}

    bool word(std::size_t at, std::uint32_t& out) const {
        if (at > _bytes.size() || _bytes.size() - at < 4) {
            return false;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<unsigned char>(_bytes[at + static_cast<std::size_t>(i)]);
            const int shift = _swapped ? (3 - i) * 8 : i * 8;
            v |= static_cast<std::uint32_t>(byte) << shift;
        }
        out = v;
        return true;
    }
    // The string described by the (length, offset) pair at `at`.
    bool text(std::size_t at, std::string& out) const {
        std::uint32_t length = 0, offset = 0;
        if (!word(at, length) || !word(at + 4, offset) || offset > _bytes.size() ||
            _bytes.size() - offset < length) {
            return false;
        }
        out.assign(_bytes, offset, length);
        return true;
    }

private:
    const std::string& _bytes;
    bool _swapped;
};

std::vector<std::string> splitAtNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = text.find('\0', start);
        parts.push_back(
            text.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
        if (nul == std::string::npos) {
            return parts;
        }
        start = nul + 1;
    }
}

std::string keyOf(const std::string& context, const std::string& source) {
    return context.empty() ? source : context + '\4' + source;
}

}  // namespace

std::optional<MessageCatalog> MessageCatalog::fromMo(const std::string& bytes, std::string& error) {
    std::uint32_t magic = 0;
    if (!Reader(bytes, false).word(0, magic) || (magic != kMagic && magic != kMagicSwapped)) {
        error = "not a compiled message catalogue";
        return std::nullopt;
    }
    const Reader read(bytes, magic == kMagicSwapped);
    std::uint32_t revision = 0, count = 0, sources = 0, translations = 0;
    if (!read.word(4, revision) || !read.word(8, count) || !read.word(12, sources) ||
        !read.word(16, translations) || (revision >> 16) > 1) {
        error = "a message catalogue of an unknown kind";
        return std::nullopt;
    }
    MessageCatalog catalog;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string source, translation;
        if (!read.text(sources + std::size_t{i} * 8, source) ||
            !read.text(translations + std::size_t{i} * 8, translation)) {
            error = "a damaged message catalogue";
            return std::nullopt;
        }
        if (source.empty()) {
            catalog._header = translation;
            continue;
        }
        // A plural message is keyed by its singular; its forms follow one another.
        const std::string key = source.substr(0, source.find('\0'));
        const std::size_t cut = key.find('\4');
        Message& message = catalog._messages[key];
        message.context = cut == std::string::npos ? std::string() : key.substr(0, cut);
        message.sources = splitAtNul(cut == std::string::npos ? source : source.substr(cut + 1));
        message.forms = splitAtNul(translation);
    }
    const std::string forms = catalog.header("Plural-Forms");
    if (!forms.empty()) {
        std::optional<PluralRule> rule = PluralRule::parse(forms);
        if (!rule) {
            error = "a message catalogue whose plural rule cannot be read";
            return std::nullopt;
        }
        catalog._plural = *rule;
    }
    return catalog;
}

const std::string* MessageCatalog::find(const std::string& context,
                                        const std::string& source) const {
    const auto found = _messages.find(keyOf(context, source));
    if (found == _messages.end() || found->second.forms[0].empty()) {
        return nullptr;
    }
    return &found->second.forms[0];
}

const std::string* MessageCatalog::findPlural(const std::string& one,
                                              unsigned long long count) const {
    const auto found = _messages.find(one);
    if (found == _messages.end()) {
        return nullptr;
    }
    const unsigned form = _plural.formFor(count);
    const std::vector<std::string>& forms = found->second.forms;
    if (form >= forms.size() || forms[form].empty()) {
        return nullptr;
    }
    return &forms[form];
}

void MessageCatalog::forEachMessage(
    const std::function<void(const std::string&, const std::vector<std::string>&,
                             const std::vector<std::string>&)>& visit) const {
    for (const auto& entry : _messages) {
        visit(entry.second.context, entry.second.sources, entry.second.forms);
    }
}

std::string MessageCatalog::header(const std::string& name) const {
    const std::string key = name + ":";
    std::size_t at = 0;
    while (at < _header.size()) {
        const std::size_t end = _header.find('\n', at);
        const std::string line =
            _header.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.compare(0, key.size(), key) == 0) {
            const std::size_t value = line.find_first_not_of(' ', key.size());
            return value == std::string::npos ? std::string() : line.substr(value);
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return std::string();
}

}  // namespace lang
