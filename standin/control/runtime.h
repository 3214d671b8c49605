// Test control of the stand-in DirectX runtime: plan faults, read the call
// journal, count live objects, choose what the driver offers, lose surfaces
// and read their pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "standin/dx6/api.h"

namespace standin::runtime {

// Forget every object, fault and journal entry; the driver offers its
// default format lists again and the display is in the desktop mode.
void Reset();

// ---- fault plan. An operation is named "Interface::Method", such as
// "IDirectDraw4::CreateSurface", or "DirectDrawCreate". The nth call (1 for
// the first, counted from now) fails with the result given, or throws.
void FailCall(const std::string& operation, int nth, HRESULT result);
void ThrowOnCall(const std::string& operation, int nth);
void ClearFaults();

// ---- journal: every call of an operation, in order, with its object and result
struct Call {
    std::string operation;
    const void* object;      // the interface pointer the call was made on (null for DirectDrawCreate)
    HRESULT result;          // for AddRef and Release: the new reference count
    bool threw = false;      // the fault plan made this call throw
};
const std::vector<Call>& Journal();
std::vector<std::string> JournalOperations();   // just the names, in order
void ClearJournal();

// Objects (DirectDraw, surfaces, Direct3D, devices, viewports) still alive.
int LiveObjects();

// ---- the driver
std::vector<DDPIXELFORMAT> DefaultZBufferFormats();
std::vector<DDPIXELFORMAT> DefaultTextureFormats();
void SetZBufferFormats(const std::vector<DDPIXELFORMAT>& formats);
void SetTextureFormats(const std::vector<DDPIXELFORMAT>& formats);
// Offer a 32-bit texture format with alpha whose red mask is 0x000000FF
// (R, G, B, A in memory) ahead of the usual one.
void OfferRgbaTextureFormat(bool offer);

struct DisplayMode {
    DWORD width, height, bitsPerPixel;
};
DisplayMode CurrentDisplayMode();
DWORD CooperativeLevel();

// Every surface loses its memory, as when another program took the display.
void LoseAllSurfaces();

// ---- surfaces
struct SurfaceInfo {
    DWORD width = 0, height = 0, caps = 0, caps2 = 0;
    LONG pitch = 0;
    DDPIXELFORMAT format{};
    bool lost = false, locked = false;
    int attachments = 0;
};
SurfaceInfo Inspect(IDirectDrawSurface4* surface);
// The surface attached to this one with the given caps (no reference is added), or null.
IDirectDrawSurface4* Attached(IDirectDrawSurface4* surface, DWORD caps);
// One pixel's raw value, read from the surface memory at (x, y).
uint32_t ReadPixel(IDirectDrawSurface4* surface, int x, int y);
// The number of Blt calls that reached the primary surface, and the last one's rectangles.
struct BlitRecord {
    RECT dst, src;
    const void* source;
};
std::vector<BlitRecord> PrimaryBlits();
int FlipCount();

// ---- drawing: every DrawPrimitive that drew at least one primitive, with
// the device state it was drawn with. Pointers are the interfaces as they
// were at the call; the record holds no reference on them.
constexpr DWORD kRenderStateCount = 256;     // render states are numbered below this
constexpr DWORD kTextureStageCount = 8;
constexpr DWORD kStageStateCount = 24;       // stage states are numbered below this
struct DrawRecord {
    const void* device = nullptr;            // the IDirect3DDevice3
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    DWORD fvf = 0;
    std::vector<unsigned char> vertices;     // a copy of vertexCount vertices of the format's size
    DWORD vertexCount = 0;
    DWORD flags = 0;
    bool inScene = false;
    IDirectDrawSurface4* renderTarget = nullptr;
    IDirectDrawSurface4* zBuffer = nullptr;  // attached to the render target, or null
    D3DVIEWPORT2 viewport{};                 // of the current viewport
    std::array<DWORD, kRenderStateCount> renderStates{};
    std::array<std::array<DWORD, kStageStateCount>, kTextureStageCount> stageStates{};
    std::array<IDirect3DTexture2*, kTextureStageCount> textures{};
};
const std::vector<DrawRecord>& Draws();

}  // namespace standin::runtime
