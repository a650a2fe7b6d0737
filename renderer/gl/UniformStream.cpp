#include "renderer/gl/UniformStream.h"

#include <cstring>

#include "renderer/Fatal.h"

namespace renderer::gl {

namespace {
std::size_t roundUp(std::size_t value, std::size_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}
} // namespace

UniformStream::UniformStream(State& state)
    : state_(state), buffer_(Buffer::create()), staging_(CAPACITY) {
    GLint alignment = 0;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    alignment_ = alignment > 16 ? static_cast<std::size_t>(alignment) : 16;
    state_.bindUniformBufferTarget(buffer_.id());
    state_.orphanBuffer(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(CAPACITY));
    buffer_.setStorage(Memory::Buffers, CAPACITY);
    label(GL_BUFFER, buffer_.id(), "Uniform stream");
}

void UniformStream::stage(unsigned binding, const void* data, std::size_t bytes) {
    if (pendingCount_ == MAX_STAGED) {
        fatal("Too many uniform values in one draw");
    }
    if (bytes > MAX_VALUE_BYTES) {
        fatal("Uniform value larger than 512 bytes");
    }
    // std140 blocks occupy whole 16-byte rows; the padding is zeroed so the GPU reads
    // nothing left over from an earlier draw.
    const std::size_t size = roundUp(bytes == 0 ? 1 : bytes, 16);
    std::size_t offset = roundUp(cursor_, alignment_);
    if (offset + size > CAPACITY) {
        wrap();
        offset = roundUp(cursor_, alignment_);
    }
    std::memcpy(staging_.data() + offset, data, bytes);
    std::memset(staging_.data() + offset + bytes, 0, size - bytes);
    pending_[pendingCount_++] = Pending{binding, offset, bytes};
    cursor_ = offset + size;
}

void UniformStream::wrap() {
    // Keep what this draw staged already: move it to the front of the fresh storage.
    const std::size_t used = cursor_ - drawStart_;
    if (used > 0) { // drawStart_ is aligned, so the moved offsets stay aligned
        std::memmove(staging_.data(), staging_.data() + drawStart_, used);
    }
    for (std::size_t i = 0; i < pendingCount_; ++i) {
        pending_[i].offset -= drawStart_;
    }
    state_.bindUniformBufferTarget(buffer_.id());
    state_.orphanBuffer(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(CAPACITY));
    uploaded_.fill(Uploaded{}); // the fresh storage holds nothing yet
    drawStart_ = 0;
    cursor_ = used;
}

bool UniformStream::alreadyUploaded(const Pending& value) const {
    if (value.binding >= uploaded_.size()) {
        return false;
    }
    const Uploaded& last = uploaded_[value.binding];
    return last.valid && last.bytes == value.bytes &&
           std::memcmp(staging_.data() + last.offset, staging_.data() + value.offset,
                       value.bytes) == 0;
}

void UniformStream::commit() {
    if (pendingCount_ == 0) {
        return;
    }
    // The staging copy of earlier ranges is what the buffer holds: nothing overwrites either
    // before wrap() gives the buffer fresh storage.
    bool anyNew = false;
    for (std::size_t i = 0; i < pendingCount_; ++i) {
        Pending& p = pending_[i];
        if (alreadyUploaded(p)) {
            p.offset = uploaded_[p.binding].offset;
        } else {
            anyNew = true;
            if (p.binding < uploaded_.size()) {
                uploaded_[p.binding] = Uploaded{p.offset, p.bytes, true};
            }
        }
    }
    if (anyNew) {
        state_.bindUniformBufferTarget(buffer_.id());
        state_.bufferSubData(GL_UNIFORM_BUFFER, static_cast<GLintptr>(drawStart_),
                             static_cast<GLsizeiptr>(cursor_ - drawStart_),
                             staging_.data() + drawStart_);
    } else {
        cursor_ = drawStart_; // all of it was there already: the space is free again
    }
    for (std::size_t i = 0; i < pendingCount_; ++i) {
        const Pending& p = pending_[i];
        state_.bindUniformBuffer(p.binding, buffer_.id(), static_cast<GLintptr>(p.offset),
                                 static_cast<GLsizeiptr>(roundUp(p.bytes == 0 ? 1 : p.bytes, 16)));
    }
    committed_ = pending_;
    committedCount_ = pendingCount_;
    pendingCount_ = 0;
    cursor_ = roundUp(cursor_, alignment_);
    drawStart_ = cursor_;
}

} // namespace renderer::gl
