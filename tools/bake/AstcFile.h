#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bake {

struct AstcBlock {
    int width = 6;
    int height = 6;
};

// Compresses 8-bit RGBA texels (rows from the top) to ASTC LDR blocks with libastcenc and
// returns the file: the 16-byte container header followed by the blocks.
std::vector<std::uint8_t> encodeAstc(const std::vector<std::uint8_t>& rgba, int width, int height,
                                     AstcBlock block, int threads, float quality);

// Decodes a file made by encodeAstc back to 8-bit RGBA (for previews and tests).
std::vector<std::uint8_t> decodeAstc(const std::vector<std::uint8_t>& file, int& width,
                                     int& height);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);

} // namespace bake
