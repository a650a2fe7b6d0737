#include "renderer/loaders/BufferUpload.h"

#include "renderer/loaders/GlCheck.h"

namespace renderer {

Result<gl::Buffer> uploadBuffer(std::span<const std::uint8_t> bytes, const std::string& label) {
    GLint previous = 0;
    glGetIntegerv(GL_COPY_WRITE_BUFFER_BINDING, &previous);
    gl::Buffer buffer = gl::Buffer::create();
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.id());
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(bytes.size()), bytes.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, static_cast<GLuint>(previous));
    if (Result<void> made = checkGlErrors("buffer " + label); !made) {
        return made.error();
    }
    buffer.setStorage(gl::Memory::Buffers, bytes.size());
    gl::label(GL_BUFFER, buffer.id(), label.c_str());
    return buffer;
}

} // namespace renderer
