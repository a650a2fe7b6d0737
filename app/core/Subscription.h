#pragma once

#include <functional>

namespace app {

// Keeps an observation alive: destroying (or resetting) the token ends it. Move-only, so
// that exactly one owner decides when the observation ends. Safe to outlive what it observes.
class [[nodiscard]] Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel);
    ~Subscription();

    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    // Ends the observation now; later calls do nothing.
    void reset();
    bool isActive() const { return static_cast<bool>(cancel_); }

  private:
    std::function<void()> cancel_;
};

} // namespace app
