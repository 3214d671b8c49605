// The stand-in's reference rasterizer: draws DirectX 6 pre-transformed
// (D3DFVF_XYZRHW) triangles into memory the caller owns, the way a Direct3D
// device's DrawPrimitive does. It keeps no state of its own and knows nothing
// of COM: the device passes its surfaces' memory and its current states.
#pragma once

#include <cstdint>

#include "standin/dx6/api.h"

namespace standin::raster {

// A pixel layout as DDPIXELFORMAT gives it: 16 or 32 bits a pixel, each
// channel a contiguous bit mask. Red, green and blue are required; aMask is 0
// for a format without alpha.
struct PixelFormat {
    uint32_t bitCount;
    uint32_t rMask, gMask, bMask, aMask;
};

// A colour surface. pitch is in bytes and may be wider than a row's pixels.
struct Surface {
    uint8_t* bits;
    int32_t pitch;
    uint32_t width, height;
    PixelFormat format;
};

// A Z-buffer. bitDepth is DDPIXELFORMAT's dwZBufferBitDepth: 16-bit depths
// are stored in 16-bit words, 24- and 32-bit depths in 32-bit words. zMask
// names the bits that hold Z; the others (stencil, padding) are left alone.
struct DepthSurface {
    uint8_t* bits;
    int32_t pitch;
    uint32_t width, height;
    uint32_t bitDepth;
    uint32_t zMask;
};

constexpr uint32_t kRenderStateCount = 256;
constexpr uint32_t kStageCount = 8;
constexpr uint32_t kStageStateCount = 32;

// A device's states, indexed by the D3DRENDERSTATE_* and D3DTSS_* values.
// texture[s] is the surface set on stage s, or null.
struct DeviceState {
    uint32_t render[kRenderStateCount];
    uint32_t stage[kStageCount][kStageStateCount];
    const Surface* texture[kStageCount];
};

// The states a DirectX 6 device has right after CreateDevice. ZENABLE is on
// only when a Z-buffer is attached to the render target.
DeviceState DefaultDeviceState(bool zBufferAttached);

// Sets one texture-stage state as SetTextureStageState does: D3DTSS_ADDRESS
// sets ADDRESSU and ADDRESSV too, which are the ones the rasterizer reads.
void SetStageState(DeviceState& state, uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value);

// Draws a triangle list, strip or fan of pre-transformed vertices in the
// flexible vertex format fvf into target, testing against and writing depth
// when ZENABLE is on and depth is given and at least as large as target.
// flags: D3DDP_DONOTCLIP keeps fragments whose z lies outside [0, 1].
//
// Returns D3D_OK when the call was understood, whatever was drawn (culled,
// degenerate or non-finite triangles draw nothing). Errors, with nothing
// drawn: D3DERR_INVALIDPRIMITIVETYPE for points, lines and unknown types;
// D3DERR_INVALIDVERTEXFORMAT for a format without XYZRHW or with bits this
// vertex layout cannot have; DDERR_INVALIDPIXELFORMAT for a target or a
// texture the draw reads in a layout it cannot handle; DDERR_INVALIDPARAMS
// for missing memory, a pitch narrower than a row, an unusable Z-buffer
// layout, or a state the draw reads holding a value it does not model (an
// unknown enum value, the bump-mapping and premodulate operations).
//
// Modelled: flat and Gouraud shading, perspective-correct colours and
// texture coordinates, the texture-stage cascade, point and bilinear
// sampling of each texture's top level, the alpha test, the depth test,
// alpha blending and specular addition. Not modelled, as if off: fog,
// dithering, stencil, colour keys, mipmaps, wireframe and point fill, and
// clipping to a viewport smaller than the target.
HRESULT Draw(const DeviceState& state, Surface& target, DepthSurface* depth, D3DPRIMITIVETYPE type, DWORD fvf,
             const void* vertices, DWORD vertexCount, DWORD flags);

// The pixel a D3DCOLOR (ARGB, 8 bits a channel) becomes in format, rounded
// as the rasterizer rounds; what Clear and colour fills should write.
uint32_t PackColor(const PixelFormat& format, D3DCOLOR color);

// The D3DCOLOR a pixel of format holds; alpha is 0xFF without an alpha mask.
D3DCOLOR UnpackColor(const PixelFormat& format, uint32_t pixel);

// The Z bits (already shifted into zMask) that depth z in [0, 1] is stored
// as; z outside that range is clamped.
uint32_t PackDepth(const DepthSurface& depth, float z);

// Reads the pixel at (x, y) of a surface as a D3DCOLOR; the caller keeps x
// and y inside the surface.
D3DCOLOR ReadColor(const Surface& surface, uint32_t x, uint32_t y);

}  // namespace standin::raster
