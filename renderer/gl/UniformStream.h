#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"

namespace renderer::gl {

// Small constant data for draws ("inline" uniform data: matrices, colours, blur direction)
// goes through one GL uniform buffer that is written front to back and bound by range, so
// no draw makes a GL object of its own.
//
// A draw stages its values (copied at once, so the caller may reuse its scratch arrays),
// then commit() uploads everything the draw staged with one glBufferSubData and binds each
// range to its uniform block binding. A value equal to the one its binding got last (the
// view-projection matrix of every untransformed mesh in a frame) is not sent again: the
// binding keeps the range already uploaded, and a draw with nothing new uploads nothing. When the
// buffer is full its storage is orphaned and writing starts again at the front; the GPU keeps
// reading the old storage for draws already issued.
class UniformStream {
  public:
    static constexpr std::size_t CAPACITY = 64 * 1024;
    // More values than this in one draw is a broken uniform table.
    static constexpr std::size_t MAX_STAGED = 32;
    static constexpr std::size_t MAX_VALUE_BYTES = 512;

    explicit UniformStream(State& state);

    void stage(unsigned binding, const void* data, std::size_t bytes);
    void commit();

    // One value of a draw: the uniform block binding, where it lies in the stream, and the
    // bytes the caller gave (the range bound is that rounded up to 16).
    struct Staged {
        unsigned binding = 0;
        std::size_t offset = 0;
        std::size_t bytes = 0;
    };
    // Where the values of the last commit() lie, for checks of the packing.
    std::span<const Staged> lastCommitted() const noexcept {
        return std::span<const Staged>(committed_.data(), committedCount_);
    }
    std::span<const std::byte> bytesOf(const Staged& value) const noexcept {
        return std::span<const std::byte>(staging_).subspan(value.offset, value.bytes);
    }

  private:
    using Pending = Staged;

    void wrap();

    // The range each binding last got in the current storage; it stays valid until wrap().
    struct Uploaded {
        std::size_t offset = 0;
        std::size_t bytes = 0;
        bool valid = false;
    };
    bool alreadyUploaded(const Pending& value) const;

    State& state_;
    Buffer buffer_;
    std::array<Uploaded, BUFFER_BINDINGS> uploaded_{};
    std::size_t alignment_ = 256;
    std::vector<std::byte> staging_;
    std::size_t cursor_ = 0;
    std::size_t drawStart_ = 0;
    std::array<Pending, MAX_STAGED> pending_{};
    std::size_t pendingCount_ = 0;
    std::array<Staged, MAX_STAGED> committed_{};
    std::size_t committedCount_ = 0;
};

} // namespace renderer::gl
