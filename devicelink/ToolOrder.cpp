#include "devicelink/ToolOrder.h"

#include <algorithm>
#include <string>

namespace devicelink::platform {

namespace {

// People read "alpha, Beta, Zeta" as ordered; byte order puts every capital first. Only
// ASCII letters are folded, so the order does not depend on the locale.
std::string folded(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

bool comesBefore(const ToolRecord& a, const ToolRecord& b) {
    const std::string foldedA = folded(a.name);
    const std::string foldedB = folded(b.name);
    return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
}

}  // namespace

void sortToolsByName(std::vector<ToolRecord>& tools) {
    std::sort(tools.begin(), tools.end(), comesBefore);
}

}  // namespace devicelink::platform
