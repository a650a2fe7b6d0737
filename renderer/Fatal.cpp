#include "renderer/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace renderer {

void fatal(std::string_view message) {
    fatal(message, {});
}

void fatal(std::string_view prefix, std::string_view detail) {
    for (const std::string_view part : {prefix, detail}) {
        if (!part.empty()) { // an empty view may have no data pointer at all
            std::fwrite(part.data(), 1, part.size(), stderr);
        }
    }
    std::fputc('\n', stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace renderer
