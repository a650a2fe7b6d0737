#include "engine/Blending.h"
#include "engine/DepthMode.h"

namespace engine {

const BlendingPtr& BLENDING_NONE() {
    static const BlendingPtr instance = [] {
        auto b = std::make_shared<Blending>();
        b->enabled = false;
        return b;
    }();
    return instance;
}

const DepthModePtr& DEPTH_NONE() {
    static const DepthModePtr instance = std::make_shared<DepthMode>(false, false);
    return instance;
}

const DepthModePtr& DEPTH_NO_READ() {
    static const DepthModePtr instance = std::make_shared<DepthMode>(false, true);
    return instance;
}

const DepthModePtr& DEPTH_NO_WRITE() {
    static const DepthModePtr instance = std::make_shared<DepthMode>(true, false);
    return instance;
}

const DepthModePtr& DEPTH_TEST_ENABLED() {
    static const DepthModePtr instance = std::make_shared<DepthMode>(true, true);
    return instance;
}

} // namespace engine
