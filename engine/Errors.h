#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace engine {

// The engine's failures. Each kind is its own type so that a caller (or a test) can tell
// them apart; all of them derive from EngineError, so a host that wants to stop on any
// engine failure catches one type. The message is part of the interface.
class EngineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failure with a message of its own ("Timer not found", "position is not set").
class GeneralError : public EngineError {
  public:
    using EngineError::EngineError;
};

// An argument that makes the result undefined ("left == right" and its kin).
class InvalidArgumentError : public EngineError {
  public:
    using EngineError::EngineError;
};

// An index, offset or length outside the array or list it addresses.
class OutOfRangeError : public EngineError {
  public:
    using EngineError::EngineError;
};

// A value of another kind than the operation needs (a float written into an integer uniform).
class TypeMismatchError : public EngineError {
  public:
    using EngineError::EngineError;
};

// A required value that is absent (no uniform where one is expected).
class MissingValueError : public EngineError {
  public:
    using EngineError::EngineError;
};

// An integer division or remainder by zero.
class DivisionByZeroError : public EngineError {
  public:
    using EngineError::EngineError;
};

// The one wording of a bad index into a list or array of `length` elements.
[[noreturn]] inline void throwIndexOutOfRange(std::int64_t index, std::size_t length) {
    throw OutOfRangeError("index " + std::to_string(index) + " out of bounds for length " +
                          std::to_string(length));
}

} // namespace engine
