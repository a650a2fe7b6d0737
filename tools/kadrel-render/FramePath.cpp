#include "tools/kadrel-render/FramePath.h"

#include <string>

namespace kadrel_render {

namespace {

// Walks the pattern once; with `out`, writes the expansion for `index` into it.
FramePath::Kind scan(std::string_view pattern, int index, std::string* out) {
    bool numbered = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%') {
            if (out) {
                out->push_back(c);
            }
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            if (out) {
                out->push_back('%');
            }
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        int width = 0;
        if (j < pattern.size() && pattern[j] == '0') {
            ++j;
            if (j >= pattern.size() || pattern[j] < '1' || pattern[j] > '9') {
                return FramePath::Kind::Invalid;
            }
            width = pattern[j] - '0';
            ++j;
        }
        if (j >= pattern.size() || pattern[j] != 'd' || numbered) {
            return FramePath::Kind::Invalid;
        }
        numbered = true;
        if (out) {
            std::string digits = std::to_string(index);
            if (digits.size() < static_cast<std::size_t>(width)) {
                digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
            }
            *out += digits;
        }
        i = j;
    }
    return numbered ? FramePath::Kind::Numbered : FramePath::Kind::Plain;
}

} // namespace

FramePath::Kind FramePath::classify(std::string_view pattern) {
    if (pattern.empty()) {
        return Kind::Invalid;
    }
    return scan(pattern, 0, nullptr);
}

std::optional<std::string> FramePath::format(std::string_view pattern, int index) {
    if (classify(pattern) == Kind::Invalid) {
        return std::nullopt;
    }
    std::string out;
    scan(pattern, index, &out);
    return out;
}

} // namespace kadrel_render
