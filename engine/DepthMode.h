#pragma once

#include <memory>

namespace engine {

// Depth state of a draw: compare against the depth buffer, write depth.
struct DepthMode {
    bool depthTest = false;
    bool depthWrite = false;

    DepthMode(bool test, bool write) : depthTest(test), depthWrite(write) {}
};

using DepthModePtr = std::shared_ptr<DepthMode>;

// Shared ready-made depth states, created on first use. Never modify them.
const DepthModePtr& DEPTH_NONE();         // no test, no write
const DepthModePtr& DEPTH_NO_READ();      // no test, write
const DepthModePtr& DEPTH_NO_WRITE();     // test, no write
const DepthModePtr& DEPTH_TEST_ENABLED(); // test, write

} // namespace engine
