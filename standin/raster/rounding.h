// The one rounding rule of the rasterizer: a value in [0, 1] becomes the
// nearest step of an n-step integer channel (colour bytes, 5- and 6-bit
// channels, depth), halves rounding up, out-of-range values clamped.
// Every stage converts through here so that a value rounds the same way
// wherever it is written.
#pragma once

#include <cstdint>

namespace standin::raster {

// v * max + 0.5, truncated, with v clamped to [0, 1]. NaN counts as 0, so
// garbage never reaches an integer conversion.
inline uint32_t RoundToUnorm(double v, uint32_t max)
{
    if (!(v > 0.0)) {
        return 0;
    }
    if (v >= 1.0) {
        return max;
    }
    // Below 1 the sum stays under max + 0.5, so the conversion is in range.
    return static_cast<uint32_t>(v * max + 0.5);
}

inline uint8_t RoundToByte(double v) { return static_cast<uint8_t>(RoundToUnorm(v, 255)); }

}  // namespace standin::raster
