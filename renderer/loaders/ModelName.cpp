#include "renderer/loaders/ModelName.h"

#include <optional>
#include <vector>

namespace renderer {

namespace {

constexpr std::string_view kDefaultDirectory = "models";

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c | 0x20) - 'a' + 10;
}

// Characters a URL string may carry literally (unreserved and reserved sets); anything else,
// spaces and non-ASCII bytes included, must be percent-encoded.
bool isUrlCharacter(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("-._~!$&'()*+,;=:@/?#").find(c) != std::string_view::npos;
}

// The path of `name` read as a relative URL string, or nothing when it is not one.
std::optional<std::string_view> urlPath(std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    int fragments = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '%') {
            if (i + 2 >= name.size() || !isHexDigit(name[i + 1]) || !isHexDigit(name[i + 2])) {
                return std::nullopt;
            }
            i += 2;
        } else if (!isUrlCharacter(c)) {
            return std::nullopt;
        } else if (c == '#' && ++fragments > 1) {
            return std::nullopt;
        }
    }
    // The query and the fragment are not part of the path.
    return name.substr(0, name.find_first_of("?#"));
}

std::string percentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

ModelName ModelName::split(std::string_view name) {
    const std::optional<std::string_view> path = urlPath(name);
    if (!path) {
        return {"", std::string(kDefaultDirectory)};
    }
    // Path components as a URL sees them: empty and "." components say nothing.
    std::vector<std::string_view> components;
    std::size_t start = 0;
    while (start <= path->size()) {
        std::size_t end = path->find('/', start);
        if (end == std::string_view::npos) {
            end = path->size();
        }
        const std::string_view component = path->substr(start, end - start);
        if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    if (components.empty()) {
        return {"", std::string(kDefaultDirectory)};
    }
    ModelName result;
    result.filename = percentDecode(components.back());
    components.pop_back();
    if (path->front() == '/') {
        result.path = "/";
    }
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) {
            result.path += '/';
        }
        result.path += percentDecode(components[i]);
    }
    if (result.path.empty()) {
        result.path = kDefaultDirectory;
    }
    return result;
}

} // namespace renderer
