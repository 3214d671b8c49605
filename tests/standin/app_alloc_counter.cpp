#include "app_alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

// Sizes are kept in a fixed table: recording them must not allocate.
constexpr size_t kRecorded = 4096;
bool counting = false;
size_t total = 0;
size_t sizes[kRecorded];

void* Allocate(size_t bytes) noexcept
{
    if (counting) {
        if (total < kRecorded) sizes[total] = bytes;
        ++total;
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* AllocateOrThrow(size_t bytes)
{
    void* memory = Allocate(bytes);
    if (!memory) throw std::bad_alloc();
    return memory;
}

}  // namespace

void* operator new(size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new[](size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace apptest {

AllocationCount::AllocationCount()
{
    total = 0;
    counting = true;
}

AllocationCount::~AllocationCount() { counting = false; }

size_t AllocationCount::Total() const { return total; }

size_t AllocationCount::OfSize(size_t bytes) const
{
    size_t found = 0;
    for (size_t i = 0; i < total && i < kRecorded; ++i)
        if (sizes[i] == bytes) ++found;
    return found;
}

PauseAllocationCount::PauseAllocationCount() : wasCounting_(counting) { counting = false; }
PauseAllocationCount::~PauseAllocationCount() { counting = wasCounting_; }

}  // namespace apptest
