#include "lang/Reword.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "lang/Translate.h"

namespace lang {
namespace {

// A reason inside a sentence inside a notice is as deep as texts nest.
constexpr int kDeepest = 4;
// A message with fewer letters of its own ("{day} {month} {time}") reads like too much.
constexpr std::size_t kFewestLetters = 2;

using Values = std::map<std::string, std::string>;

// Whether `text` from `pos` on reads as pieces[i...], placeholders taking any text.
bool matches(const std::vector<std::string>& parts, std::size_t i, const std::string& text,
             std::size_t pos, Values& values) {
    if (i % 2 == 0) {
        if (text.compare(pos, parts[i].size(), parts[i]) != 0) {
            return false;
        }
        pos += parts[i].size();
        return i + 1 == parts.size() ? pos == text.size()
                                     : matches(parts, i + 1, text, pos, values);
    }
    // The shortest value that lets the rest match, as a placeholder rarely holds a sentence.
    for (std::size_t end = pos; end <= text.size(); ++end) {
        const auto known = values.find(parts[i]);
        const std::string value = text.substr(pos, end - pos);
        if (known != values.end() && known->second != value) {
            continue;
        }
        Values tried = values;
        tried[parts[i]] = value;
        if (matches(parts, i + 1, text, end, tried)) {
            values = std::move(tried);
            return true;
        }
    }
    return false;
}

// The letters a message has of its own (a character beyond ASCII counts as one).
std::size_t ownLetters(const std::vector<std::string>& parts) {
    std::size_t letters = 0;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        for (const char c : parts[i]) {
            const auto byte = static_cast<unsigned char>(c);
            letters += std::isalpha(byte) != 0 || byte >= 0xC0 ? 1 : 0;
        }
    }
    return letters;
}

std::string filled(const std::string& text, const Values& values) {
    return fillFrom(text, [&values](const std::string& name) -> const std::string* {
        const auto value = values.find(name);
        return value != values.end() ? &value->second : nullptr;
    });
}

struct Candidate {
    std::string context;
    std::vector<std::string> sources;
};

std::string rewordAt(const std::string& text, const MessageCatalog& from, const MessageCatalog& to,
                     int depth) {
    if (depth > kDeepest || text.empty()) {
        return text;
    }
    // Every message either language knows, by its English.
    std::map<std::pair<std::string, std::string>, Candidate> candidates;
    const auto gather = [&candidates](const std::string& context,
                                      const std::vector<std::string>& sources,
                                      const std::vector<std::string>&) {
        candidates[{context, sources.front()}] = Candidate{context, sources};
    };
    from.forEachMessage(gather);
    to.forEachMessage(gather);

    // The message that reads like the text with the most letters of its own: "{file}:
    // {reason}" would fit nearly anything, "Could not read {file}: {reason}." only what it
    // says.
    const Candidate* best = nullptr;
    Values bestValues;
    std::size_t bestLength = kFewestLetters - 1;
    for (const auto& entry : candidates) {
        const Candidate& candidate = entry.second;
        std::vector<std::string> written;
        if (candidate.sources.size() > 1) {
            // A plural message in any of its forms.
            for (unsigned long long count : {0ull, 1ull, 2ull, 3ull, 5ull, 11ull, 21ull, 101ull}) {
                const std::string* form = from.findPlural(candidate.sources.front(), count);
                written.push_back(form != nullptr ? *form
                                                  : candidate.sources.at(count == 1 ? 0 : 1));
            }
        } else {
            const std::string* form = from.find(candidate.context, candidate.sources.front());
            written.push_back(form != nullptr ? *form : candidate.sources.front());
        }
        for (const std::string& form : written) {
            const std::vector<std::string> parts = pieces(form);
            const std::size_t length = ownLetters(parts);
            Values values;
            if (length > bestLength && matches(parts, 0, text, 0, values)) {
                best = &candidate;
                bestValues = std::move(values);
                bestLength = length;
            }
        }
    }
    if (best == nullptr) {
        return text;
    }
    for (auto& value : bestValues) {
        if (value.first != "count") {
            value.second = rewordAt(value.second, from, to, depth + 1);
        }
    }
    const std::string& source = best->sources.front();
    if (best->sources.size() > 1) {
        const unsigned long long count = std::strtoull(bestValues["count"].c_str(), nullptr, 10);
        const std::string* form = to.findPlural(source, count);
        return filled(form != nullptr ? *form : best->sources.at(count == 1 ? 0 : 1), bestValues);
    }
    const std::string* form = to.find(best->context, source);
    return filled(form != nullptr ? *form : source, bestValues);
}

}  // namespace

std::string reword(const std::string& text, const MessageCatalog& from, const MessageCatalog& to) {
    return rewordAt(text, from, to, 0);
}

}  // namespace lang
