// How a draw's uniform values reach the GPU.
#include <algorithm>

#include "engine/math/HalfFloat.h"
#include "renderer/Fatal.h"
#include "renderer/SceneRenderer.h"

namespace renderer {

using engine::math::floatToHalf;

namespace {

// The uniform's slot within its stage, checked against the slots the stages have.
unsigned slotOf(const Uniform& uniform) {
    if (uniform.index < 0 || uniform.index >= static_cast<std::int64_t>(gl::SLOTS_PER_STAGE)) {
        fatal("Uniform slot out of range");
    }
    return static_cast<unsigned>(uniform.index);
}

} // namespace

unsigned SceneRenderer::bufferBinding(const Uniform& uniform) const {
    const unsigned slot = slotOf(uniform);
    if (uniform.type == UniformType::FRAGMENT) {
        return gl::FIRST_FRAGMENT_BUFFER_BINDING + slot;
    }
    if (slot == 0) {
        fatal("Vertex buffer slot 0 holds the vertex data, not uniforms");
    }
    return slot;
}

void SceneRenderer::applyUniforms(const engine::commands::DrawMeshCommand& command) {
    const std::string& shaderName = command.state->shader->name;
    const auto entry = shadersUniforms.find(shaderName);
    if (entry == shadersUniforms.end()) {
        fatal("No uniforms for shader ", shaderName);
    }
    const std::vector<Uniform>& list = entry->second;
    if (command.uniforms.size() > list.size()) {
        fatal("More uniform values than shader takes: ", shaderName);
    }
    for (std::size_t i = 0; i < command.uniforms.size(); ++i) {
        const engine::UniformValue* value = command.uniforms[i].get();
        const Uniform& uniform = list[i];
        if (value == nullptr) {
            continue;
        }
        switch (value->kind()) {
        case engine::UniformValue::Kind::Float: {
            const std::vector<float>& v =
                static_cast<const engine::UniformFloatValue*>(value)->value;
            if (v.size() > valueFp32.size()) {
                fatal("Uniform value with more than 128 elements for shader ", shaderName);
            }
            if (uniform.dataType == UniformDataType::FP32) {
                std::copy(v.begin(), v.end(), valueFp32.begin());
                uniformStream.stage(bufferBinding(uniform), valueFp32.data(), v.size() * 4);
            } else {
                std::transform(v.begin(), v.end(), valueFp16.begin(), floatToHalf);
                uniformStream.stage(bufferBinding(uniform), valueFp16.data(), v.size() * 2);
            }
            break;
        }
        case engine::UniformValue::Kind::Int: {
            const std::vector<std::int32_t>& v =
                static_cast<const engine::UniformIntValue*>(value)->value;
            if (v.size() > valueInt32.size()) {
                fatal("Uniform value with more than 128 elements for shader ", shaderName);
            }
            if (uniform.dataType == UniformDataType::INT32) {
                std::copy(v.begin(), v.end(), valueInt32.begin());
                uniformStream.stage(bufferBinding(uniform), valueInt32.data(), v.size() * 4);
            } else {
                for (std::size_t k = 0; k < v.size(); ++k) {
                    if (v[k] < -32768 || v[k] > 32767) {
                        fatal("Uniform value outside the 16-bit range for shader ", shaderName);
                    }
                    valueInt16[k] = static_cast<std::int16_t>(v[k]);
                }
                uniformStream.stage(bufferBinding(uniform), valueInt16.data(), v.size() * 2);
            }
            break;
        }
        case engine::UniformValue::Kind::Texture: {
            const engine::TexturePtr& texture =
                static_cast<const engine::UniformTextureValue*>(value)->value;
            if (!texture || texture->id < 0 ||
                static_cast<std::size_t>(texture->id) >= textures.size()) {
                fatal("Texture not loaded for shader ", shaderName);
            }
            const auto t = static_cast<std::size_t>(texture->id);
            const unsigned slot = slotOf(uniform);
            if (uniform.type == UniformType::FRAGMENT) {
                glState.bindSampler(slot, samplers[t].id());
                glState.bindTexture(slot, GL_TEXTURE_2D, textures[t].id());
            } else {
                // The vertex stage gets no sampler: the texture's own parameters apply.
                const unsigned unit = gl::FIRST_VERTEX_TEXTURE_UNIT + slot;
                glState.bindSampler(unit, 0);
                glState.bindTexture(unit, GL_TEXTURE_2D, textures[t].id());
            }
            break;
        }
        }
    }
}

} // namespace renderer
