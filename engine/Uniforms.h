#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/Texture.h"

namespace engine {

// A value a draw command hands to its shader: the i-th uniform of a draw is the shader's
// i-th uniform. Float and integer arrays are sized once by whoever creates the uniform and
// then overwritten in place every frame; their length never changes.
class UniformValue {
  public:
    enum class Kind { Float, Int, Texture };

    virtual ~UniformValue() = default;
    Kind kind() const noexcept { return kind_; }

  protected:
    explicit UniformValue(Kind kind) : kind_(kind) {}

  private:
    Kind kind_;
};

class UniformFloatValue final : public UniformValue {
  public:
    explicit UniformFloatValue(std::vector<float> v)
        : UniformValue(Kind::Float), value(std::move(v)) {}
    std::vector<float> value;
};

class UniformIntValue final : public UniformValue {
  public:
    explicit UniformIntValue(std::vector<std::int32_t> v)
        : UniformValue(Kind::Int), value(std::move(v)) {}
    std::vector<std::int32_t> value;
};

class UniformTextureValue final : public UniformValue {
  public:
    explicit UniformTextureValue(TexturePtr t) : UniformValue(Kind::Texture), value(std::move(t)) {}
    TexturePtr value;
};

using UniformValuePtr = std::shared_ptr<UniformValue>;

// Writers into an existing uniform, from element 0 upwards. Each fails with
// MissingValueError for a null uniform and TypeMismatchError for the other kind, writing
// nothing. A component form writes the components that fit and then fails with
// OutOfRangeError at the first that does not; an array form longer than the uniform fails
// before writing anything. Shorter arrays leave the remaining elements as they were.
void setUniform(UniformValue* uniform, float x);
void setUniform(UniformValue* uniform, float x, float y);
void setUniform(UniformValue* uniform, float x, float y, float z);
void setUniform(UniformValue* uniform, float x, float y, float z, float w);
void setUniform(UniformValue* uniform, std::span<const float> values);
void setUniform(UniformValue* uniform, std::int32_t x);
void setUniform(UniformValue* uniform, std::int32_t x, std::int32_t y);
void setUniform(UniformValue* uniform, std::int32_t x, std::int32_t y, std::int32_t z);
void setUniform(UniformValue* uniform, std::int32_t x, std::int32_t y, std::int32_t z,
                std::int32_t w);
void setUniform(UniformValue* uniform, std::span<const std::int32_t> values);

// The same on a shared uniform, as commands and scenes hold them.
template <typename... Args> void setUniform(const UniformValuePtr& uniform, Args&&... args) {
    setUniform(uniform.get(), std::forward<Args>(args)...);
}

} // namespace engine
