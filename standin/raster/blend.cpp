// Alpha blending: result = src * srcFactor + dst * destFactor, per channel.
#include <algorithm>
#include <cassert>

#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

Color Splat(float v) { return {v, v, v, v}; }

Color Inverse(const Color& c) { return {1 - c.r, 1 - c.g, 1 - c.b, 1 - c.a}; }

Color Factor(uint32_t blend, const Color& src, const Color& dst)
{
    switch (blend) {
        case D3DBLEND_ZERO:
            return Splat(0);
        case D3DBLEND_ONE:
            return Splat(1);
        case D3DBLEND_SRCCOLOR:  // (Rs, Gs, Bs, As)
            return src;
        case D3DBLEND_INVSRCCOLOR:  // 1 - (Rs, Gs, Bs, As)
            return Inverse(src);
        case D3DBLEND_SRCALPHA:  // As
        case D3DBLEND_BOTHSRCALPHA:
            return Splat(src.a);
        case D3DBLEND_INVSRCALPHA:  // 1 - As
        case D3DBLEND_BOTHINVSRCALPHA:
            return Splat(1 - src.a);
        case D3DBLEND_DESTALPHA:  // Ad
            return Splat(dst.a);
        case D3DBLEND_INVDESTALPHA:  // 1 - Ad
            return Splat(1 - dst.a);
        case D3DBLEND_DESTCOLOR:  // (Rd, Gd, Bd, Ad)
            return dst;
        case D3DBLEND_INVDESTCOLOR:  // 1 - (Rd, Gd, Bd, Ad)
            return Inverse(dst);
        case D3DBLEND_SRCALPHASAT: {  // min(As, 1 - Ad) for colour, 1 for alpha
            const float f = std::min(src.a, 1 - dst.a);
            return {f, f, f, 1};
        }
        default:
            assert(!"blend factor not validated");
            return Splat(0);
    }
}

float Mix(float s, float fs, float d, float fd) { return std::clamp(s * fs + d * fd, 0.0f, 1.0f); }

}  // namespace

Color Blend(const DeviceState& state, const Color& src, const Color& dst)
{
    const uint32_t srcBlend = state.render[D3DRENDERSTATE_SRCBLEND];
    uint32_t destBlend = state.render[D3DRENDERSTATE_DESTBLEND];
    // The BOTH factors set the destination factor too, whatever DESTBLEND says.
    if (srcBlend == D3DBLEND_BOTHSRCALPHA) {
        destBlend = D3DBLEND_INVSRCALPHA;
    } else if (srcBlend == D3DBLEND_BOTHINVSRCALPHA) {
        destBlend = D3DBLEND_SRCALPHA;
    }
    const Color fs = Factor(srcBlend, src, dst);
    const Color fd = Factor(destBlend, src, dst);
    return {Mix(src.r, fs.r, dst.r, fd.r), Mix(src.g, fs.g, dst.g, fd.g), Mix(src.b, fs.b, dst.b, fd.b),
            Mix(src.a, fs.a, dst.a, fd.a)};
}

}  // namespace standin::raster
