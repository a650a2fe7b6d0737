#include "app/core/Subscription.h"

#include <utility>

namespace app {

Subscription::Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}

Subscription::~Subscription() {
    reset();
}

Subscription::Subscription(Subscription&& other) noexcept
    : cancel_(std::exchange(other.cancel_, nullptr)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        cancel_ = std::exchange(other.cancel_, nullptr);
    }
    return *this;
}

void Subscription::reset() {
    // Cleared before the call, so that a cancel that ends up here again does nothing.
    if (auto cancel = std::exchange(cancel_, nullptr))
        cancel();
}

} // namespace app
