// Pixel formats as the stand-in driver describes them, and the conversion
// of pixel values between them.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/dx6/api.h"
#include "standin/raster/raster.h"

namespace standin::dx6 {

DDPIXELFORMAT RgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha);
DDPIXELFORMAT ZFormat(DWORD bits, DWORD zMask, DWORD stencilBits, DWORD stencilMask);

// The primary surface's format in a display mode of this depth.
DDPIXELFORMAT DisplayFormat(DWORD bitsPerPixel);
// A8B8G8R8: red in the lowest byte, as some drivers offer it.
DDPIXELFORMAT RgbaFormat();

std::vector<DDPIXELFORMAT> DefaultZBufferList();
std::vector<DDPIXELFORMAT> DefaultTextureList();

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b);
// Bits per pixel of an RGB or Z format; 0 for anything the stand-in cannot hold.
DWORD BitsPerPixel(const DDPIXELFORMAT& format);

// Pixels of 1 to 4 bytes, little-endian.
uint32_t LoadPixel(const uint8_t* at, DWORD bytes);
void StorePixel(uint8_t* at, DWORD bytes, uint32_t value);

// The rasterizer's view of an RGB format: a format without DDPF_ALPHAPIXELS has no alpha.
raster::PixelFormat RasterFormatOf(const DDPIXELFORMAT& format);
// An A8R8G8B8 colour in the given RGB format, and back; a format without alpha reads as opaque.
uint32_t PackColor(const DDPIXELFORMAT& format, D3DCOLOR argb);
D3DCOLOR UnpackColor(const DDPIXELFORMAT& format, uint32_t pixel);
// A depth in [0, 1] (clamped) and a stencil value in the given Z format.
uint32_t PackDepth(const DDPIXELFORMAT& format, float z, DWORD stencil, bool writeDepth, bool writeStencil,
                   uint32_t previous);

}  // namespace standin::dx6
