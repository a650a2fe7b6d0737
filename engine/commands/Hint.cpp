#include "engine/commands/Hint.h"

namespace engine::commands {

Hint::~Hint() = default;

namespace {
std::shared_ptr<VrsHint> makeHint(ShadingRate rate) {
    return std::make_shared<VrsHint>(rate);
}
} // namespace

const std::shared_ptr<VrsHint>& HINT_VRS_NONE() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_1X1);
    return instance;
}

const std::shared_ptr<VrsHint>& HINT_VRS_1X2() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_1X2);
    return instance;
}

const std::shared_ptr<VrsHint>& HINT_VRS_2X1() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_2X1);
    return instance;
}

const std::shared_ptr<VrsHint>& HINT_VRS_2X2() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_2X2);
    return instance;
}

const std::shared_ptr<VrsHint>& HINT_VRS_4X2() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_4X2);
    return instance;
}

const std::shared_ptr<VrsHint>& HINT_VRS_4X4() {
    static const auto instance = makeHint(ShadingRate::SHADING_RATE_4X4);
    return instance;
}

} // namespace engine::commands
