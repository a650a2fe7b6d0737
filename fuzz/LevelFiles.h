#pragma once

// How the texture file targets read their input: byte 0 bit 0 picks one file or a two-level
// chain; for a chain, bytes 1-2 give where the first file ends. The rest is the file or files.

#include <cstddef>
#include <cstdint>
#include <span>

namespace fuzzinput {

struct LevelFiles {
    bool chain = false;
    std::span<const std::uint8_t> first;  // the single file, or level 0
    std::span<const std::uint8_t> second; // level 1 of a chain
};

// Nothing to read in an empty input: a single empty file.
inline LevelFiles levelFiles(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (size < 3 || (data[0] & 1) == 0) {
        return {false, size < 1 ? input : input.subspan(1), {}};
    }
    const std::span<const std::uint8_t> files = input.subspan(3);
    const std::size_t split =
        (static_cast<std::size_t>(data[1]) | (data[2] << 8)) % (files.size() + 1);
    return {true, files.first(split), files.subspan(split)};
}

} // namespace fuzzinput
