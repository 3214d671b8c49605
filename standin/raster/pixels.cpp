// Pixel formats: reading and writing 16- and 32-bit pixels by their masks.
#include <cstring>

#include "standin/raster/pipeline.h"
#include "standin/raster/rounding.h"

namespace standin::raster {
namespace {

// A channel mask as a shift and a maximum; a missing channel has max 0.
struct Channel {
    uint32_t shift;
    uint32_t max;
};

Channel ChannelOf(uint32_t mask)
{
    if (mask == 0) {
        return {0, 0};
    }
    uint32_t shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    return {shift, mask >> shift};
}

bool IsContiguous(uint32_t mask)
{
    Channel c = ChannelOf(mask);
    return (c.max & (c.max + 1)) == 0;
}

float ReadChannel(uint32_t pixel, uint32_t mask)
{
    Channel c = ChannelOf(mask);
    if (c.max == 0) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>((pixel & mask) >> c.shift) / c.max);
}

uint32_t WriteChannel(float v, uint32_t mask)
{
    Channel c = ChannelOf(mask);
    return RoundToUnorm(v, c.max) << c.shift;
}

uint32_t BytesPerPixel(const PixelFormat& format) { return format.bitCount / 8; }

uint8_t* PixelAddress(const Surface& surface, uint32_t x, uint32_t y)
{
    return surface.bits + static_cast<size_t>(y) * static_cast<size_t>(surface.pitch) +
           static_cast<size_t>(x) * BytesPerPixel(surface.format);
}

uint32_t LoadPixel(const Surface& surface, uint32_t x, uint32_t y)
{
    return LoadWord(PixelAddress(surface, x, y), BytesPerPixel(surface.format));
}

void StorePixel(Surface& surface, uint32_t x, uint32_t y, uint32_t value)
{
    StoreWord(PixelAddress(surface, x, y), BytesPerPixel(surface.format), value);
}

uint32_t AllMasks(const PixelFormat& f) { return f.rMask | f.gMask | f.bMask | f.aMask; }

Color Unpack(const PixelFormat& f, uint32_t pixel)
{
    return {ReadChannel(pixel, f.rMask), ReadChannel(pixel, f.gMask), ReadChannel(pixel, f.bMask),
            f.aMask != 0 ? ReadChannel(pixel, f.aMask) : 1.0f};
}

uint32_t Pack(const PixelFormat& f, const Color& c)
{
    uint32_t pixel = WriteChannel(c.r, f.rMask) | WriteChannel(c.g, f.gMask) | WriteChannel(c.b, f.bMask);
    if (f.aMask != 0) {
        pixel |= WriteChannel(c.a, f.aMask);
    }
    return pixel;
}

const PixelFormat kArgb8888 = {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

}  // namespace

uint32_t LoadWord(const uint8_t* at, uint32_t bytes)
{
    if (bytes == 2) {
        uint16_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

void StoreWord(uint8_t* at, uint32_t bytes, uint32_t value)
{
    if (bytes == 2) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(at, &v, sizeof v);
        return;
    }
    std::memcpy(at, &value, sizeof value);
}

Color ColorFromArgb(uint32_t argb) { return Unpack(kArgb8888, argb); }

bool FormatIsSupported(const PixelFormat& f)
{
    if (f.bitCount != 16 && f.bitCount != 32) {
        return false;
    }
    const uint32_t masks[] = {f.rMask, f.gMask, f.bMask, f.aMask};
    uint32_t seen = 0;
    for (uint32_t m : masks) {
        if ((m & seen) != 0 || !IsContiguous(m)) {
            return false;
        }
        seen |= m;
    }
    const uint32_t fits = f.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    return f.rMask != 0 && f.gMask != 0 && f.bMask != 0 && (seen & ~fits) == 0;
}

bool SurfaceIsUsable(const Surface& s)
{
    return s.bits != nullptr && s.width > 0 && s.height > 0 && FormatIsSupported(s.format) && s.pitch > 0 &&
           static_cast<uint64_t>(s.pitch) >= static_cast<uint64_t>(s.width) * BytesPerPixel(s.format);
}

bool HasAlpha(const PixelFormat& format) { return format.aMask != 0; }

Color ReadPixel(const Surface& surface, uint32_t x, uint32_t y)
{
    return Unpack(surface.format, LoadPixel(surface, x, y));
}

void WritePixel(Surface& surface, uint32_t x, uint32_t y, const Color& color)
{
    // Bits outside every mask (the X of X8R8G8B8, and alpha where there is
    // none) keep what they held.
    const uint32_t keep = LoadPixel(surface, x, y) & ~AllMasks(surface.format);
    StorePixel(surface, x, y, keep | Pack(surface.format, color));
}

uint32_t PackColor(const PixelFormat& format, D3DCOLOR color) { return Pack(format, ColorFromArgb(color)); }

D3DCOLOR UnpackColor(const PixelFormat& format, uint32_t pixel)
{
    return Pack(kArgb8888, Unpack(format, pixel));
}

D3DCOLOR ReadColor(const Surface& surface, uint32_t x, uint32_t y)
{
    return UnpackColor(surface.format, LoadPixel(surface, x, y));
}

}  // namespace standin::raster
