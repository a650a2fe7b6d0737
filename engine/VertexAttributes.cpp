#include "engine/VertexAttributes.h"

#include "engine/common/Format.h"

namespace engine {

using common::hashCombine;

std::uint32_t VertexAttribute::hash() const noexcept {
    std::uint32_t h = static_cast<std::uint32_t>(index);
    h = hashCombine(h, static_cast<std::uint32_t>(common::ordinal(format)));
    return hashCombine(h, static_cast<std::uint32_t>(offset));
}

std::string VertexAttribute::toString() const {
    std::string out = "VertexAttribute(index=";
    out += std::to_string(index);
    out += ", format=";
    out += common::name(format);
    out += ", offset=";
    out += std::to_string(offset);
    out += ')';
    return out;
}

std::uint32_t VertexAttributesDescriptor::hash() const noexcept {
    std::uint32_t listHash = 1;
    for (const auto& a : attributes) {
        listHash = hashCombine(listHash, a.hash());
    }
    return hashCombine(listHash, static_cast<std::uint32_t>(stride));
}

std::string VertexAttributesDescriptor::toString() const {
    std::string out = "VertexAttributesDescriptor(attributes=[";
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        out += attributes[i].toString();
    }
    out += "], stride=";
    out += std::to_string(stride);
    out += ')';
    return out;
}

std::ostream& operator<<(std::ostream& out, const VertexAttribute& a) {
    return out << a.toString();
}
std::ostream& operator<<(std::ostream& out, const VertexAttributesDescriptor& d) {
    return out << d.toString();
}

} // namespace engine
