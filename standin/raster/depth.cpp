// The depth test: fragment depth quantised to the Z-buffer's precision and
// compared with what the buffer holds.
#include <cassert>
#include <cstring>

#include "standin/raster/pipeline.h"
#include "standin/raster/rounding.h"

namespace standin::raster {
namespace {

uint32_t WordBytes(const DepthSurface& depth) { return depth.bitDepth <= 16 ? 2 : 4; }

uint32_t MaskShift(uint32_t mask)
{
    uint32_t shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    return shift;
}

uint8_t* WordAddress(const DepthSurface& depth, uint32_t x, uint32_t y)
{
    return depth.bits + static_cast<size_t>(y) * static_cast<size_t>(depth.pitch) +
           static_cast<size_t>(x) * WordBytes(depth);
}

uint32_t LoadDepthWord(const DepthSurface& depth, uint32_t x, uint32_t y)
{
    return LoadWord(WordAddress(depth, x, y), WordBytes(depth));
}

void StoreDepthWord(DepthSurface& depth, uint32_t x, uint32_t y, uint32_t value)
{
    StoreWord(WordAddress(depth, x, y), WordBytes(depth), value);
}

}  // namespace

bool Compare(uint32_t func, uint32_t a, uint32_t b)
{
    switch (func) {
        case D3DCMP_NEVER:
            return false;
        case D3DCMP_LESS:
            return a < b;
        case D3DCMP_EQUAL:
            return a == b;
        case D3DCMP_LESSEQUAL:
            return a <= b;
        case D3DCMP_GREATER:
            return a > b;
        case D3DCMP_NOTEQUAL:
            return a != b;
        case D3DCMP_GREATEREQUAL:
            return a >= b;
        case D3DCMP_ALWAYS:
            return true;
        default:
            assert(!"comparison not validated");
            return false;
    }
}

bool DepthIsUsable(const DepthSurface& d)
{
    if (d.bits == nullptr || d.width == 0 || d.height == 0 || d.zMask == 0 || d.pitch <= 0) {
        return false;
    }
    if (d.bitDepth != 16 && d.bitDepth != 24 && d.bitDepth != 32) {
        return false;
    }
    const uint32_t max = d.zMask >> MaskShift(d.zMask);
    const bool contiguous = (max & (max + 1)) == 0;
    const bool fits = WordBytes(d) == 4 || d.zMask <= 0xFFFF;
    return contiguous && fits &&
           static_cast<uint64_t>(d.pitch) >= static_cast<uint64_t>(d.width) * WordBytes(d);
}

uint32_t PackDepth(const DepthSurface& depth, float z)
{
    if (depth.zMask == 0) {
        return 0;
    }
    const uint32_t shift = MaskShift(depth.zMask);
    return RoundToUnorm(z, depth.zMask >> shift) << shift;
}

bool DepthTest(const DeviceState& state, DepthSurface& depth, uint32_t x, uint32_t y, float z, bool clipZ)
{
    // Pre-transformed vertices are clipped to the depth range unless the
    // caller promised they need no clipping; NaN lies outside every range.
    if (clipZ && !(z >= 0.0f && z <= 1.0f)) {
        return false;
    }
    const uint32_t word = LoadDepthWord(depth, x, y);
    const uint32_t fragment = PackDepth(depth, z);
    if (!Compare(state.render[D3DRENDERSTATE_ZFUNC], fragment, word & depth.zMask)) {
        return false;
    }
    if (state.render[D3DRENDERSTATE_ZWRITEENABLE] != FALSE) {
        StoreDepthWord(depth, x, y, (word & ~depth.zMask) | fragment);
    }
    return true;
}

}  // namespace standin::raster
