// Every call a program makes into the stand-in DirectX passes through here:
// it is written to the journal, and the fault plan may answer it in place of
// the real operation, which then has no effect at all. Calls the stand-in
// makes on itself (a device releasing its render target) bypass this, so the
// journal holds only what the program did.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "standin/dx6/state.h"

namespace standin::dx6 {

// Counts the call, opens its journal entry and hands back the fault planned
// for this call, if any.
std::optional<PlannedFault> BeginCall(const char* operation, const void* object, size_t* entry);
void EndCall(size_t entry, HRESULT result);
// Closes the entry of a call the plan makes throw, and throws.
[[noreturn]] void ThrowPlanned(const char* operation, size_t entry);

template <typename Body>
HRESULT Dispatch(const char* operation, const void* object, Body&& body)
{
    size_t entry = 0;
    if (std::optional<PlannedFault> fault = BeginCall(operation, object, &entry)) {
        if (fault->throws) ThrowPlanned(operation, entry);
        EndCall(entry, fault->result);
        return fault->result;
    }
    HRESULT result = body();
    EndCall(entry, result);
    return result;
}

// AddRef and Release return a count, not a result: the journal records the
// new count as the result. A planned failure leaves the count alone and
// returns it unchanged (the journal then shows the planned result).
template <typename Body, typename Current>
ULONG DispatchCount(const char* operation, const void* object, Body&& body, Current&& current)
{
    size_t entry = 0;
    if (std::optional<PlannedFault> fault = BeginCall(operation, object, &entry)) {
        if (fault->throws) ThrowPlanned(operation, entry);
        EndCall(entry, fault->result);
        return current();
    }
    ULONG count = body();
    EndCall(entry, static_cast<HRESULT>(count));
    return count;
}

}  // namespace standin::dx6
