#pragma once

#include <cstddef>

namespace testsupport {

// Counts calls of the global operator new (every form) made while an instance is alive, on
// any thread. Used to prove that warm per-frame paths allocate nothing.
class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // Allocations since construction.
    std::size_t count() const;

  private:
    std::size_t start_;
};

} // namespace testsupport
