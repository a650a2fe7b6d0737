#include "engine/commands/AffineTranformation.h"

#include "engine/common/Format.h"

namespace engine::commands {

std::uint32_t AffineTranformation::hash() const noexcept {
    using common::hashCombine;
    return hashCombine(hashCombine(translation.hash(), rotation.hash()), scale.hash());
}

std::string AffineTranformation::toString() const {
    std::string out = "AffineTranformation(translation=";
    out += translation.toString();
    out += ", rotation=";
    out += rotation.toString();
    out += ", scale=";
    out += scale.toString();
    out += ')';
    return out;
}

std::ostream& operator<<(std::ostream& out, const AffineTranformation& t) {
    return out << t.toString();
}

} // namespace engine::commands
