#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/VertexFormat.h"

namespace engine {

// One vertex attribute: the slot the vertex shader reads, its format and its byte offset
// within a vertex. An immutable value type.
struct VertexAttribute {
    std::int32_t index = 0;
    VertexFormat format = VertexFormat::UBYTE;
    std::int32_t offset = 0;

    VertexAttribute(std::int32_t i, VertexFormat f, std::int32_t o)
        : index(i), format(f), offset(o) {}

    friend bool operator==(const VertexAttribute&, const VertexAttribute&) = default;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

// A whole vertex layout: the attributes in slot order and the bytes from one vertex to the next.
struct VertexAttributesDescriptor {
    std::vector<VertexAttribute> attributes;
    std::int32_t stride = 0;

    VertexAttributesDescriptor(std::vector<VertexAttribute> a, std::int32_t s)
        : attributes(std::move(a)), stride(s) {}

    friend bool operator==(const VertexAttributesDescriptor&,
                           const VertexAttributesDescriptor&) = default;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

std::ostream& operator<<(std::ostream& out, const VertexAttribute& a);
std::ostream& operator<<(std::ostream& out, const VertexAttributesDescriptor& d);

} // namespace engine

template <> struct std::hash<engine::VertexAttribute> {
    std::size_t operator()(const engine::VertexAttribute& a) const noexcept { return a.hash(); }
};
template <> struct std::hash<engine::VertexAttributesDescriptor> {
    std::size_t operator()(const engine::VertexAttributesDescriptor& d) const noexcept {
        return d.hash();
    }
};
