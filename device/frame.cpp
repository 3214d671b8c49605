#include <charconv>

#include "app/dx6app.h"

HRESULT CDX6App::PrepareFrame()
{
    if (counterFrequency == 0) return PrepareFrameByTicks();
    return PrepareFrameByCounter();
}

// Unsigned 32-bit arithmetic keeps the gathered time right across the wrap
// of the tick count, although frameTime goes negative for that one frame.
HRESULT CDX6App::PrepareFrameByTicks()
{
    const DWORD now = GetTickCount();
    currentTime = static_cast<double>(now);
    if (!timerStarted) {
        lastTick = now;
        timerStarted = true;
    }
    frameTime = static_cast<double>(now) - static_cast<double>(lastTick);
    accumulatedMs += now - lastTick;
    lastTick = now;
    ++frameCount;
    if (accumulatedMs < 1000) return S_OK;
    accumulatedMs -= 1000;
    WriteFpsText();
    frameCount = 0;
    return S_OK;
}

// A counter that went backwards counts from zero for this frame.
HRESULT CDX6App::PrepareFrameByCounter()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const LONGLONG now = counter.QuadPart;
    if (!timerStarted) {
        lastCounter = now;
        timerStarted = true;
    }
    const double frequency = static_cast<double>(counterFrequency);
    currentTime = static_cast<double>(now) * 1000.0 / frequency;
    const LONGLONG delta = now >= lastCounter ? now - lastCounter : now;
    accumulatedCounts += delta;
    frameTime = static_cast<double>(delta) * 1000.0 / frequency;
    lastCounter = now;
    ++frameCount;
    if (accumulatedCounts < counterFrequency) return S_OK;
    accumulatedCounts -= counterFrequency;
    WriteFpsText();
    frameCount = 0;
    return S_OK;
}

// Written in place: the frame timer allocates nothing.
void CDX6App::WriteFpsText()
{
    const std::to_chars_result written = std::to_chars(fpsText, fpsText + sizeof(fpsText) - 1, frameCount);
    *written.ptr = '\0';
}

HRESULT CDX6App::FinalizeFrame()
{
    if (fullscreen) {
        HRESULT hr = primarySurface->Flip(nullptr, DDFLIP_WAIT);
        if (FAILED(hr)) {
            Log("ERROR: can't flip surfaces");
            errorRaised = true;
            return hr;
        }
        return S_OK;
    }
    // No clipper: the copy lands on the window's screen rectangle whatever covers it.
    RECT source = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    HRESULT hr = primarySurface->Blt(&windowRect, backBuffer, &source, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        Log("ERROR: can't blit surfaces");
        errorRaised = true;
        return hr;
    }
    return S_OK;
}
