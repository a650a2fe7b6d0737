#pragma once

#include <functional>
#include <unordered_map>
#include <utility>

#include "engine/Errors.h"
#include "engine/timers/TimerParams.h"

namespace engine::timers {

// A scene's timers by key, all advanced at once from the frame time. Scenes key it by their
// own timer enumeration (std::hash of an enum class is provided by the standard library).
//
// iterate() allocates nothing; only add() may.
template <typename Key, typename Hash = std::hash<Key>> class TimersMap {
  public:
    TimersMap() = default;

    // Registers a repeating timer at phase 0; replaces any timer under the same key.
    void add(const Key& key, float period) { add(key, period, true); }

    // Registers a timer at phase 0 that wraps (rotating) or stops at 1; replaces any timer
    // under the same key.
    void add(const Key& key, float period, bool rotating) {
        timers_.insert_or_assign(key, TimerParams(0.0F, period, rotating));
    }

    // The phase of the timer under key; GeneralError "Timer not found" when there is none.
    float get(const Key& key) const { return find(key).timer; }

    // Overwrites the phase of the timer under key, keeping its period and mode;
    // GeneralError "Timer not found" (and nothing changed) when there is none.
    void set(const Key& key, float value) { find(key).timer = value; }

    // Advances every timer by the time since the previous call. There is no first-call
    // special case: the first call advances by timeNow itself, since lastTime starts at 0.
    void iterate(double timeNow) {
        const double elapsed = timeNow - lastTime_;
        for (auto& entry : timers_) {
            entry.second.advance(elapsed);
        }
        lastTime_ = timeNow;
    }

    // Frame time of the previous iterate(), 0 before the first.
    double lastTime() const noexcept { return lastTime_; }

    bool contains(const Key& key) const { return timers_.find(key) != timers_.end(); }

  private:
    const TimerParams& find(const Key& key) const {
        const auto it = timers_.find(key);
        if (it == timers_.end()) {
            throw GeneralError("Timer not found");
        }
        return it->second;
    }

    TimerParams& find(const Key& key) {
        return const_cast<TimerParams&>(std::as_const(*this).find(key));
    }

    std::unordered_map<Key, TimerParams, Hash> timers_;
    double lastTime_ = 0.0;
};

} // namespace engine::timers
