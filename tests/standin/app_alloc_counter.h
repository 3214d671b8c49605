// Counting the program's heap allocations: the test executables replace the
// global operator new, and a counter sees every allocation made while it
// lives, with its size.
#pragma once

#include <cstddef>

namespace apptest {

class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;

    size_t Total() const;
    size_t OfSize(size_t bytes) const;
};

// Allocations the test makes for itself while a counter runs are left out.
class PauseAllocationCount {
public:
    PauseAllocationCount();
    ~PauseAllocationCount();
    PauseAllocationCount(const PauseAllocationCount&) = delete;
    PauseAllocationCount& operator=(const PauseAllocationCount&) = delete;

private:
    bool wasCounting_;
};

}  // namespace apptest
