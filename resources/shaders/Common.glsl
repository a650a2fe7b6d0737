// Helpers shared by every program of the library; inserted after each file's #version line.

// 16-bit float uniforms arrive as their bit patterns, two to a 32-bit word, the first value
// in the low half (they are uploaded little-endian).
float halfToFloat(uint bits) {
    uint sign = (bits & 0x8000u) << 16;
    uint exponent = (bits >> 10) & 0x1Fu;
    uint mantissa = bits & 0x3FFu;
    if (exponent == 0u) {
        float magnitude = float(mantissa) * exp2(-24.0); // zero or subnormal
        return sign != 0u ? -magnitude : magnitude;
    }
    if (exponent == 31u) {
        return uintBitsToFloat(sign | 0x7F800000u | (mantissa << 13));
    }
    return uintBitsToFloat(sign | ((exponent + 112u) << 23) | (mantissa << 13));
}

vec2 unpackHalf2(uint word) {
    return vec2(halfToFloat(word & 0xFFFFu), halfToFloat(word >> 16));
}

// Four 16-bit floats (r, g, b, a) as uploaded in 8 bytes.
vec4 unpackHalf4(uvec2 words) {
    return vec4(unpackHalf2(words.x), unpackHalf2(words.y));
}

// The full-screen quad's texture coordinate runs downwards (v = 0 at the top), but GL keeps
// the first row of a rendered image at the bottom. Turning v round makes every quad pass copy
// images the right way up.
vec2 imageCoordinate(vec2 quadTexCoord) {
    return vec2(quadTexCoord.x, 1.0 - quadTexCoord.y);
}

// One step of a separable Gaussian blur over `radius` texels on each side of the centre
// (the kernel size), along `direction` ((1, 0) or (0, 1)), scaled by brightness.
vec4 gaussianBlur(sampler2D image, vec2 coordinate, vec2 direction, float brightness,
                  int radius) {
    vec2 texel = direction / vec2(textureSize(image, 0));
    float sigma = float(radius) * 0.5;
    vec4 sum = texture(image, coordinate);
    float total = 1.0;
    for (int i = 1; i <= radius; ++i) {
        float weight = exp(-float(i * i) / (2.0 * sigma * sigma));
        vec2 offset = texel * float(i);
        sum += weight * (texture(image, coordinate + offset) + texture(image, coordinate - offset));
        total += 2.0 * weight;
    }
    return sum / total * brightness;
}
