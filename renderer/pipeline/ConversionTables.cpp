#include "renderer/pipeline/ConversionTables.h"

#include <string_view>
#include <unordered_map>

#include "renderer/Fatal.h"

namespace renderer {

namespace {

template <typename E, typename V>
const V& lookup(const std::unordered_map<std::string_view, V>& table, E constant) {
    const std::string_view name = engine::common::name(constant);
    const auto it = table.find(name);
    if (it == table.end()) {
        fatal("No GL value for ", name);
    }
    return it->second;
}

// The GL reading of a vertex format follows from its name: the element type prefix, the
// component count digit (none: one component) and the _NORMALIZED suffix.
VertexFormatGl fromName(std::string_view name) {
    VertexFormatGl f;
    if (name == "INT_1010102_NORMALIZED" || name == "UINT_1010102_NORMALIZED") {
        f.components = 4;
        f.type = name[0] == 'I' ? GL_INT_2_10_10_10_REV : GL_UNSIGNED_INT_2_10_10_10_REV;
        f.normalized = true;
        f.bytes = 4;
        return f;
    }
    constexpr std::string_view suffix = "_NORMALIZED";
    f.normalized = name.ends_with(suffix);
    if (f.normalized) {
        name.remove_suffix(suffix.size());
    }
    f.components = 1;
    if (!name.empty() && name.back() >= '2' && name.back() <= '4') {
        f.components = name.back() - '0';
        name.remove_suffix(1);
    }
    struct Element {
        std::string_view prefix;
        GLenum type;
        std::int32_t bytes;
        bool isFloat;
    };
    constexpr Element elements[] = {
        {"UBYTE", GL_UNSIGNED_BYTE, 1, false},   {"BYTE", GL_BYTE, 1, false},
        {"USHORT", GL_UNSIGNED_SHORT, 2, false}, {"SHORT", GL_SHORT, 2, false},
        {"HALF", GL_HALF_FLOAT, 2, true},        {"FLOAT", GL_FLOAT, 4, true},
        {"UINT", GL_UNSIGNED_INT, 4, false},     {"INT", GL_INT, 4, false},
    };
    for (const Element& e : elements) {
        if (name == e.prefix) {
            f.type = e.type;
            f.bytes = e.bytes * f.components;
            f.integer = !e.isFloat && !f.normalized;
            return f;
        }
    }
    return VertexFormatGl{};
}

} // namespace

GLenum blendFactorTable(engine::BlendingFactor factor) {
    static const std::unordered_map<std::string_view, GLenum> table{
        {"ZERO", GL_ZERO},
        {"ONE", GL_ONE},
        {"SRC_COLOR", GL_SRC_COLOR},
        {"ONE_MINUS_SRC_COLOR", GL_ONE_MINUS_SRC_COLOR},
        {"DST_COLOR", GL_DST_COLOR},
        {"ONE_MINUS_DST_COLOR", GL_ONE_MINUS_DST_COLOR},
        {"SRC_ALPHA", GL_SRC_ALPHA},
        {"ONE_MINUS_SRC_ALPHA", GL_ONE_MINUS_SRC_ALPHA},
        {"DST_ALPHA", GL_DST_ALPHA},
        {"ONE_MINUS_DST_ALPHA", GL_ONE_MINUS_DST_ALPHA},
        {"CONSTANT_COLOR", GL_CONSTANT_COLOR},
        {"ONE_MINUS_CONSTANT_COLOR", GL_ONE_MINUS_CONSTANT_COLOR},
        {"CONSTANT_ALPHA", GL_CONSTANT_ALPHA},
        {"ONE_MINUS_CONSTANT_ALPHA", GL_ONE_MINUS_CONSTANT_ALPHA},
        {"SRC_ALPHA_SATURATE", GL_SRC_ALPHA_SATURATE},
    };
    return lookup(table, factor);
}

GLenum blendEquationTable(engine::BlendingEquation equation) {
    static const std::unordered_map<std::string_view, GLenum> table{
        {"ADD", GL_FUNC_ADD},
        {"SUBTRACT", GL_FUNC_SUBTRACT},
        {"REVERSE_SUBTRACT", GL_FUNC_REVERSE_SUBTRACT},
    };
    return lookup(table, equation);
}

gl::CullMode cullModeTable(engine::CullFace culling) {
    static const std::unordered_map<std::string_view, gl::CullMode> table{
        {"DISABLED", GL_NONE},
        {"FRONT", GL_FRONT},
        {"BACK", GL_BACK},
    };
    return lookup(table, culling);
}

GLenum textureFilterTable(engine::TextureFiltering filter) {
    static const std::unordered_map<std::string_view, GLenum> table{
        {"NEAREST", GL_NEAREST},
        {"NEAREST_MIPMAP_NEAREST", GL_NEAREST},
        {"NEAREST_MIPMAP_LINEAR", GL_NEAREST},
        {"LINEAR", GL_LINEAR},
        {"LINEAR_MIPMAP_NEAREST", GL_LINEAR},
        {"LINEAR_MIPMAP_LINEAR", GL_LINEAR},
    };
    return lookup(table, filter);
}

GLenum textureWrappingTable(engine::TextureWrapping wrapping) {
    static const std::unordered_map<std::string_view, GLenum> table{
        {"REPEAT", GL_REPEAT},
        {"CLAMP_TO_EDGE", GL_CLAMP_TO_EDGE},
        {"MIRRORED_REPEAT", GL_MIRRORED_REPEAT},
    };
    return lookup(table, wrapping);
}

VertexFormatGl vertexFormatTable(engine::VertexFormat format) {
    static const std::unordered_map<std::string_view, VertexFormatGl> table = [] {
        std::unordered_map<std::string_view, VertexFormatGl> t;
        for (const engine::VertexFormat f : engine::common::values<engine::VertexFormat>()) {
            const std::string_view name = engine::common::name(f);
            t.emplace(name, fromName(name));
        }
        return t;
    }();
    return lookup(table, format);
}

} // namespace renderer
