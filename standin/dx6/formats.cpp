#include "standin/dx6/formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace standin::dx6 {

namespace {

int LowestBit(DWORD mask)
{
    int shift = 0;
    while (shift < 32 && !(mask & (1u << shift))) ++shift;
    return shift;
}

int BitCount(DWORD mask)
{
    int count = 0;
    for (; mask; mask &= mask - 1) ++count;
    return count;
}

}  // namespace

DDPIXELFORMAT RgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha)
{
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

DDPIXELFORMAT ZFormat(DWORD bits, DWORD zMask, DWORD stencilBits, DWORD stencilMask)
{
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_ZBUFFER | (stencilBits ? DDPF_STENCILBUFFER : 0);
    format.dwZBufferBitDepth = bits;
    format.dwStencilBitDepth = stencilBits;
    format.dwZBitMask = zMask;
    format.dwStencilBitMask = stencilMask;
    return format;
}

DDPIXELFORMAT DisplayFormat(DWORD bitsPerPixel)
{
    if (bitsPerPixel == 16) return RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    return RgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

DDPIXELFORMAT RgbaFormat() { return RgbFormat(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000); }

std::vector<DDPIXELFORMAT> DefaultZBufferList()
{
    // Wine's order on an OpenGL renderer: D16, X8D24 (as 32 bits), D24S8,
    // then X8D24 again as 24 bits, which some programs look for.
    return {
        ZFormat(16, 0x0000FFFF, 0, 0),
        ZFormat(32, 0x00FFFFFF, 0, 0),
        ZFormat(32, 0x00FFFFFF, 8, 0xFF000000),
        ZFormat(24, 0x00FFFFFF, 0, 0),
    };
}

DDPIXELFORMAT FourCCFormat(DWORD fourCC)
{
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_FOURCC;
    format.dwFourCC = fourCC;
    return format;
}

DDPIXELFORMAT BumpFormat(DWORD flags, DWORD bits, DWORD du, DWORD dv, DWORD luminance)
{
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = flags;
    format.dwBumpBitCount = bits;
    format.dwBumpDuBitMask = du;
    format.dwBumpDvBitMask = dv;
    format.dwBumpLuminanceBitMask = luminance;
    return format;
}

std::vector<DDPIXELFORMAT> DefaultTextureList()
{
    // Wine's order on an OpenGL renderer: the 16-bit RGB formats, the 32-bit
    // ones without alpha before with, the compressed ones, the bump maps.
    return {
        RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0),
        RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
        RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
        RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0),
        RgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0),
        RgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000),
        FourCCFormat(0x31545844),  // DXT1
        FourCCFormat(0x32545844),
        FourCCFormat(0x33545844),
        FourCCFormat(0x34545844),
        FourCCFormat(0x35545844),  // DXT5
        BumpFormat(DDPF_BUMPDUDV, 16, 0x00FF, 0xFF00, 0),
        BumpFormat(DDPF_BUMPDUDV | DDPF_BUMPLUMINANCE, 16, 0x001F, 0x03E0, 0xFC00),
        BumpFormat(DDPF_BUMPDUDV | DDPF_BUMPLUMINANCE, 32, 0x000000FF, 0x0000FF00, 0x00FF0000),
    };
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b)
{
    const DWORD kindFlags = DDPF_RGB | DDPF_ALPHAPIXELS | DDPF_ZBUFFER | DDPF_STENCILBUFFER;
    return (a.dwFlags & kindFlags) == (b.dwFlags & kindFlags) && a.dwRGBBitCount == b.dwRGBBitCount &&
           a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

DWORD BitsPerPixel(const DDPIXELFORMAT& format)
{
    DWORD bits = format.dwRGBBitCount;  // shares its place with dwZBufferBitDepth
    if (!(format.dwFlags & (DDPF_RGB | DDPF_ZBUFFER))) return 0;
    if (bits != 16 && bits != 24 && bits != 32) return 0;
    return bits;
}

uint32_t LoadPixel(const uint8_t* at, DWORD bytes)
{
    uint32_t value = 0;
    for (DWORD i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return value;
}

void StorePixel(uint8_t* at, DWORD bytes, uint32_t value)
{
    for (DWORD i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

raster::PixelFormat RasterFormatOf(const DDPIXELFORMAT& format)
{
    const DWORD alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    return {format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, alpha};
}

// Colours convert and round exactly as the rasterizer's pixels do.
uint32_t PackColor(const DDPIXELFORMAT& format, D3DCOLOR argb)
{
    return raster::PackColor(RasterFormatOf(format), argb);
}

D3DCOLOR UnpackColor(const DDPIXELFORMAT& format, uint32_t pixel)
{
    return raster::UnpackColor(RasterFormatOf(format), pixel);
}

uint32_t PackDepth(const DDPIXELFORMAT& format, float z, DWORD stencil, bool writeDepth, bool writeStencil,
                   uint32_t previous)
{
    uint32_t out = previous;
    if (writeDepth) {
        DWORD mask = format.dwZBitMask;
        int width = BitCount(mask);
        double max = static_cast<double>((1ull << width) - 1);
        double clamped = std::isnan(z) ? 0.0 : std::clamp(static_cast<double>(z), 0.0, 1.0);
        uint32_t value = static_cast<uint32_t>(std::lround(clamped * max));
        out = (out & ~mask) | ((value << LowestBit(mask)) & mask);
    }
    if (writeStencil && (format.dwFlags & DDPF_STENCILBUFFER)) {
        DWORD mask = format.dwStencilBitMask;
        out = (out & ~mask) | ((stencil << LowestBit(mask)) & mask);
    }
    return out;
}

}  // namespace standin::dx6
