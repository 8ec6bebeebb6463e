#include "lang/Translate.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace lang {
namespace {

// The language in use is process-wide by nature: every text, from a notice's reason to a
// file's problem worded on the shelf's writer thread, asks for it, as gettext's own calls
// do. A switch replaces the whole state, so a reader keeps the one it took.
struct State {
    std::string code = "en";
    MessageCatalog catalog;
};

std::mutex& guard() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const State>& slot() {
    static std::shared_ptr<const State> state = std::make_shared<State>();
    return state;
}

std::shared_ptr<const State> current() {
    std::lock_guard<std::mutex> lock(guard());
    return slot();
}

}  // namespace

std::string tr(const std::string& source) {
    const auto state = current();
    const std::string* found = state->catalog.find("", source);
    return found != nullptr ? *found : source;
}

std::string trc(const std::string& context, const std::string& source) {
    const auto state = current();
    const std::string* found = state->catalog.find(context, source);
    return found != nullptr ? *found : source;
}

std::string trn(const std::string& one, const std::string& many, unsigned long long count) {
    const auto state = current();
    const std::string* found = state->catalog.findPlural(one, count);
    const std::string& text = found != nullptr ? *found : (count == 1 ? one : many);
    return fill(text, {{"count", std::to_string(count)}});
}

std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        const std::size_t close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) {
            break;
        }
        out.back().append(text, at, open - at);
        out.push_back(text.substr(open + 1, close - open - 1));
        out.emplace_back();
        at = close + 1;
    }
    out.back().append(text, std::min(at, text.size()), std::string::npos);
    return out;
}

std::string fillFrom(const std::string& text,
                     const std::function<const std::string*(const std::string&)>& valueOf) {
    // One pass: a value that itself reads like a placeholder (a file named "{row}") stays.
    const std::vector<std::string> parts = pieces(text);
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i % 2 == 0) {
            out += parts[i];
            continue;
        }
        const std::string* value = valueOf(parts[i]);
        out += value != nullptr ? *value : "{" + parts[i] + "}";
    }
    return out;
}

std::string fill(std::string text,
                 std::initializer_list<std::pair<const char*, std::string>> values) {
    return fillFrom(text, [&values](const std::string& name) -> const std::string* {
        const auto value = std::find_if(values.begin(), values.end(),
                                        [&name](const auto& v) { return name == v.first; });
        return value != values.end() ? &value->second : nullptr;
    });
}

void useCatalog(const std::string& code, MessageCatalog catalog) {
    auto next = std::make_shared<State>();
    next->code = code;
    next->catalog = std::move(catalog);
    std::lock_guard<std::mutex> lock(guard());
    slot() = std::move(next);
}

std::string currentLanguage() {
    return current()->code;
}

std::shared_ptr<const MessageCatalog> currentCatalog() {
    const auto state = current();
    return std::shared_ptr<const MessageCatalog>(state, &state->catalog);
}

}  // namespace lang
