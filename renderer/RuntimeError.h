#pragma once

#include <string>
#include <utility>
#include <variant>

namespace renderer {

// The one error value of the renderer's loaders: a message and nothing else. Callers decide
// whether it is fatal and with which message of their own.
struct RuntimeError {
    std::string message;
};

// Either a value or a RuntimeError. value() on an error throws std::bad_variant_access.
template <class T> class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(RuntimeError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const RuntimeError& error() const { return std::get<1>(state_); }

  private:
    std::variant<T, RuntimeError> state_;
};

// Success with nothing to return, or a RuntimeError.
template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(RuntimeError error) : error_(std::move(error)), failed_(true) {}

    bool ok() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return ok(); }
    const RuntimeError& error() const { return error_; }

  private:
    RuntimeError error_;
    bool failed_ = false;
};

} // namespace renderer
