#include "engine/Uniforms.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "engine/Errors.h"

namespace engine {

namespace {

template <typename T> struct KindOf;
template <> struct KindOf<float> {
    using Value = UniformFloatValue;
    static constexpr UniformValue::Kind kind = UniformValue::Kind::Float;
};
template <> struct KindOf<std::int32_t> {
    using Value = UniformIntValue;
    static constexpr UniformValue::Kind kind = UniformValue::Kind::Int;
};

template <typename T> std::vector<T>& arrayOf(UniformValue* uniform) {
    if (uniform == nullptr) {
        throw MissingValueError("uniform is missing");
    }
    if (uniform->kind() != KindOf<T>::kind) {
        throw TypeMismatchError("uniform is of another kind");
    }
    return static_cast<typename KindOf<T>::Value*>(uniform)->value;
}

template <typename T>
void writeComponents(UniformValue* uniform, std::initializer_list<T> components) {
    auto& array = arrayOf<T>(uniform);
    std::size_t i = 0;
    for (T c : components) {
        if (i >= array.size()) {
            throwIndexOutOfRange(static_cast<std::int64_t>(i), array.size());
        }
        array[i++] = c;
    }
}

template <typename T> void writeArray(UniformValue* uniform, std::span<const T> values) {
    auto& array = arrayOf<T>(uniform);
    if (values.size() > array.size()) {
        throw OutOfRangeError("array of length " + std::to_string(values.size()) +
                              " does not fit a uniform of length " + std::to_string(array.size()));
    }
    std::copy(values.begin(), values.end(), array.begin());
}

} // namespace

void setUniform(UniformValue* u, float x) {
    writeComponents(u, {x});
}
void setUniform(UniformValue* u, float x, float y) {
    writeComponents(u, {x, y});
}
void setUniform(UniformValue* u, float x, float y, float z) {
    writeComponents(u, {x, y, z});
}
void setUniform(UniformValue* u, float x, float y, float z, float w) {
    writeComponents(u, {x, y, z, w});
}
void setUniform(UniformValue* u, std::span<const float> values) {
    writeArray(u, values);
}
void setUniform(UniformValue* u, std::int32_t x) {
    writeComponents(u, {x});
}
void setUniform(UniformValue* u, std::int32_t x, std::int32_t y) {
    writeComponents(u, {x, y});
}
void setUniform(UniformValue* u, std::int32_t x, std::int32_t y, std::int32_t z) {
    writeComponents(u, {x, y, z});
}
void setUniform(UniformValue* u, std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w) {
    writeComponents(u, {x, y, z, w});
}
void setUniform(UniformValue* u, std::span<const std::int32_t> values) {
    writeArray(u, values);
}

} // namespace engine
