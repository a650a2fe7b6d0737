#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kadrel_render {

// Output names for frame sequences, printf style: one "%d" or "%0Nd" (N from 1 to 9) takes
// the frame number, "%%" is a literal percent sign. Anything else after a '%' is refused, so
// a stray '%' in a file name cannot turn into a format nobody asked for.
struct FramePath {
    // Whether the pattern is usable, and whether it numbers its frames.
    enum class Kind { Invalid, Plain, Numbered };
    static Kind classify(std::string_view pattern);

    // The file name of frame `index`; for a plain name, the name itself (with "%%" undone).
    // Nothing for an invalid pattern.
    static std::optional<std::string> format(std::string_view pattern, int index);
};

} // namespace kadrel_render
