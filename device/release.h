// Release-if-set-then-null for the COM interfaces the system holds.
#pragma once

template <typename Interface>
void ReleaseInterface(Interface*& pointer)
{
    if (pointer) {
        pointer->Release();
        pointer = nullptr;
    }
}
