#pragma once

#include <string>
#include <string_view>

namespace renderer {

// Where a model's files live: "room1" is ("room1", "models"), "models/vignette-round-vntao"
// is ("vignette-round-vntao", "models"), "Alpaca/Eating/animal" is ("animal", "Alpaca/Eating").
// The name is read as a relative URL: one that is not a valid URL string (a space, say) gives
// the empty filename in "models", which no lookup finds.
struct ModelName {
    std::string filename;
    std::string path;

    static ModelName split(std::string_view name);

    friend bool operator==(const ModelName&, const ModelName&) = default;
};

} // namespace renderer
