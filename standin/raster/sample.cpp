// Texture sampling: point and bilinear filtering with wrap, mirror, clamp and
// border addressing. Texture coordinate 0 is the left (top) edge of texel 0
// and 1 the right (bottom) edge of the last, so texel i's centre lies at
// (i + 0.5) / size.
#include <cassert>
#include <cmath>

#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

enum class Filter { Point, Linear };

Filter MagnificationFilter(uint32_t value)
{
    switch (value) {
        case D3DTFG_POINT:
            return Filter::Point;
        case D3DTFG_LINEAR:
        case D3DTFG_FLATCUBIC:      // the cubic and anisotropic filters of a
        case D3DTFG_GAUSSIANCUBIC:  // single-level texture seen head on are
        case D3DTFG_ANISOTROPIC:    // bilinear at this precision
            return Filter::Linear;
        default:
            assert(!"magnification filter not validated");
            return Filter::Point;
    }
}

Filter MinificationFilter(uint32_t value)
{
    switch (value) {
        case D3DTFN_POINT:
            return Filter::Point;
        case D3DTFN_LINEAR:
        case D3DTFN_ANISOTROPIC:
            return Filter::Linear;
        default:
            assert(!"minification filter not validated");
            return Filter::Point;
    }
}

// A texel index as a small integer that addresses, with the one after it,
// exactly as the (possibly huge) index itself would, so that no far-off
// coordinate reaches an integer conversion.
int64_t Reduce(double index, uint32_t size, uint32_t mode)
{
    switch (mode) {
        case D3DTADDRESS_WRAP:
            return static_cast<int64_t>(std::fmod(index, size));
        case D3DTADDRESS_MIRROR:
            return static_cast<int64_t>(std::fmod(index, 2.0 * size));
        case D3DTADDRESS_CLAMP:
        case D3DTADDRESS_BORDER:
            return static_cast<int64_t>(std::fmin(std::fmax(index, -2.0), static_cast<double>(size)));
        default:
            assert(!"address mode not validated");
            return 0;
    }
}

// The texel an index addresses, or -1 for the border colour.
int64_t Address(int64_t i, uint32_t size, uint32_t mode)
{
    const int64_t n = size;
    switch (mode) {
        case D3DTADDRESS_WRAP:  // repeat: i mod size
            return ((i % n) + n) % n;
        case D3DTADDRESS_MIRROR: {  // every other repetition runs backwards
            const int64_t m = ((i % (2 * n)) + 2 * n) % (2 * n);
            return m < n ? m : 2 * n - 1 - m;
        }
        case D3DTADDRESS_CLAMP:  // the edge texel repeats outwards
            return i < 0 ? 0 : (i >= n ? n - 1 : i);
        case D3DTADDRESS_BORDER:  // outside the texture: the border colour
            return i >= 0 && i < n ? i : -1;
        default:
            assert(!"address mode not validated");
            return 0;
    }
}

// A coordinate scaled to texels; a coordinate that is not a number samples
// as 0 rather than poisoning the index arithmetic.
double Scaled(float coordinate, uint32_t size)
{
    return std::isfinite(coordinate) ? static_cast<double>(coordinate) * size : 0.0;
}

struct Texels {
    const Surface& texture;
    uint32_t modeU, modeV;
    Color border;

    Color At(int64_t i, int64_t j) const
    {
        const int64_t x = Address(i, texture.width, modeU);
        const int64_t y = Address(j, texture.height, modeV);
        if (x < 0 || y < 0) {
            return border;
        }
        return ReadPixel(texture, static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    }
};

Color Lerp(const Color& a, const Color& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The texel whose square holds the coordinate: floor(u * size).
Color SamplePoint(const Texels& t, double s, double v)
{
    const int64_t i = Reduce(std::floor(s), t.texture.width, t.modeU);
    const int64_t j = Reduce(std::floor(v), t.texture.height, t.modeV);
    return t.At(i, j);
}

// The four texels whose centres surround the coordinate, weighted by
// distance: centres sit at half-texel offsets, hence the -0.5.
Color SampleLinear(const Texels& t, double s, double v)
{
    s -= 0.5;
    v -= 0.5;
    const double fs = std::floor(s);
    const double fv = std::floor(v);
    const float wu = static_cast<float>(s - fs);
    const float wv = static_cast<float>(v - fv);
    const int64_t i = Reduce(fs, t.texture.width, t.modeU);
    const int64_t j = Reduce(fv, t.texture.height, t.modeV);
    const Color top = Lerp(t.At(i, j), t.At(i + 1, j), wu);
    const Color bottom = Lerp(t.At(i, j + 1), t.At(i + 1, j + 1), wu);
    return Lerp(top, bottom, wv);
}

}  // namespace

Color SampleTexture(const Surface& texture, const uint32_t* stageStates, float u, float v, float footprint)
{
    const Texels texels{texture, stageStates[D3DTSS_ADDRESSU], stageStates[D3DTSS_ADDRESSV],
                        ColorFromArgb(stageStates[D3DTSS_BORDERCOLOR])};
    const Filter filter = footprint > 1.0f ? MinificationFilter(stageStates[D3DTSS_MINFILTER])
                                           : MagnificationFilter(stageStates[D3DTSS_MAGFILTER]);
    const double s = Scaled(u, texture.width);
    const double t = Scaled(v, texture.height);
    switch (filter) {
        case Filter::Point:
            return SamplePoint(texels, s, t);
        case Filter::Linear:
            return SampleLinear(texels, s, t);
    }
    assert(!"unknown filter");
    return {0, 0, 0, 1};
}

}  // namespace standin::raster
