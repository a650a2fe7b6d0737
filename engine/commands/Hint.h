#pragma once

#include <memory>
#include <vector>

#include "engine/commands/ShadingRate.h"

namespace engine::commands {

// An optional per-draw hint to the renderer, which may ignore it.
class Hint {
  public:
    virtual ~Hint();

  protected:
    Hint() = default;
};

// Variable-rate shading for a draw.
class VrsHint : public Hint {
  public:
    explicit VrsHint(ShadingRate rate) noexcept : shadingRate_(rate) {}

    ShadingRate shadingRate() const noexcept { return shadingRate_; }

  private:
    ShadingRate shadingRate_;
};

using HintPtr = std::shared_ptr<Hint>;
using HintList = std::vector<HintPtr>;
using HintListPtr = std::shared_ptr<HintList>;

// The shared shading-rate hints, created on first use and never modified.
const std::shared_ptr<VrsHint>& HINT_VRS_NONE(); // 1x1: full rate
const std::shared_ptr<VrsHint>& HINT_VRS_1X2();
const std::shared_ptr<VrsHint>& HINT_VRS_2X1();
const std::shared_ptr<VrsHint>& HINT_VRS_2X2();
const std::shared_ptr<VrsHint>& HINT_VRS_4X2();
const std::shared_ptr<VrsHint>& HINT_VRS_4X4();

} // namespace engine::commands
