// IDirectDraw4::CreateSurface: the descriptor is checked the way DirectDraw
// checks it, then the surface and the rest of its structure (back buffers,
// mip levels) are made.
#include <algorithm>

#include "standin/dx6/directdraw.h"
#include "standin/dx6/formats.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"

namespace standin::dx6 {

namespace {

constexpr DWORD kMaxDimension = 8192;

struct Request {
    SurfaceShape shape;
    DWORD backBuffers = 0;
    DWORD mipLevels = 1;
};

DWORD LevelsDownToOne(DWORD size)
{
    DWORD levels = 1;
    for (; size > 1; size /= 2) ++levels;
    return levels;
}

HRESULT CheckCaps(const DirectDraw& directDraw, const DDSURFACEDESC2& desc, DWORD caps, DWORD caps2)
{
    const DWORD memory = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
    if ((caps & memory) == memory) return DDERR_INVALIDCAPS;
    if ((caps2 & DDSCAPS2_TEXTUREMANAGE) && (!(caps & DDSCAPS_TEXTURE) || (caps & memory)))
        return DDERR_INVALIDCAPS;
    if (caps & DDSCAPS_FLIP) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || !desc.dwBackBufferCount)
            return DDERR_INVALIDCAPS;
        if ((caps & DDSCAPS_PRIMARYSURFACE) && !(directDraw.CooperativeLevel() & DDSCL_EXCLUSIVE))
            return DDERR_NOEXCLUSIVEMODE;
    }
    if ((caps & DDSCAPS_MIPMAP) && !(caps & DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
    return DD_OK;
}

bool Offered(const std::vector<DDPIXELFORMAT>& list, const DDPIXELFORMAT& format)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const DDPIXELFORMAT& f) { return SameFormat(f, format); });
}

// A Z-buffer names its format in full, or (the older way) only its depth.
HRESULT ChooseZFormat(const DDSURFACEDESC2& desc, DDPIXELFORMAT* format)
{
    const std::vector<DDPIXELFORMAT>& offered = State().zBufferFormats;
    if (desc.dwFlags & DDSD_PIXELFORMAT) {
        if (!(desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) || !Offered(offered, desc.ddpfPixelFormat))
            return DDERR_INVALIDPIXELFORMAT;
        *format = desc.ddpfPixelFormat;
        return DD_OK;
    }
    if (desc.dwFlags & DDSD_ZBUFFERBITDEPTH) {
        for (const DDPIXELFORMAT& candidate : offered) {
            if (candidate.dwZBufferBitDepth == desc.dwMipMapCount /* shares dwZBufferBitDepth's place */ &&
                !(candidate.dwFlags & DDPF_STENCILBUFFER)) {
                *format = candidate;
                return DD_OK;
            }
        }
    }
    return DDERR_INVALIDPIXELFORMAT;
}

HRESULT ChooseColorFormat(const DDSURFACEDESC2& desc, DWORD caps, DDPIXELFORMAT* format)
{
    DDPIXELFORMAT display = DisplayFormat(State().mode.bitsPerPixel);
    if (!(desc.dwFlags & DDSD_PIXELFORMAT)) {
        *format = display;
        return DD_OK;
    }
    const DDPIXELFORMAT& wanted = desc.ddpfPixelFormat;
    if (BitsPerPixel(wanted) == 0 || !(wanted.dwFlags & DDPF_RGB)) return DDERR_INVALIDPIXELFORMAT;
    if ((caps & DDSCAPS_TEXTURE) && !Offered(OfferedTextureFormats(), wanted) && !SameFormat(wanted, display))
        return DDERR_INVALIDPIXELFORMAT;
    *format = wanted;
    format->dwSize = sizeof(DDPIXELFORMAT);
    return DD_OK;
}

HRESULT ReadRequest(const DirectDraw& directDraw, const DDSURFACEDESC2& desc, Request* request)
{
    DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : 0;
    DWORD caps2 = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps2 : 0;
    if (HRESULT hr = CheckCaps(directDraw, desc, caps, caps2); FAILED(hr)) return hr;

    SurfaceShape& shape = request->shape;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        // A size asked of the primary is ignored: it is the screen's.
        if (directDraw.Primary()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        shape.width = State().mode.width;
        shape.height = State().mode.height;
        shape.format = DisplayFormat(State().mode.bitsPerPixel);
        caps |= DDSCAPS_VISIBLE;
    } else {
        if (!(desc.dwFlags & DDSD_WIDTH) || !(desc.dwFlags & DDSD_HEIGHT) || !desc.dwWidth ||
            !desc.dwHeight || desc.dwWidth > kMaxDimension || desc.dwHeight > kMaxDimension)
            return DDERR_INVALIDPARAMS;
        shape.width = desc.dwWidth;
        shape.height = desc.dwHeight;
        HRESULT hr = (caps & DDSCAPS_ZBUFFER) ? ChooseZFormat(desc, &shape.format)
                                              : ChooseColorFormat(desc, caps, &shape.format);
        if (FAILED(hr)) return hr;
    }

    // What names no memory lives in video memory; the runtime keeps what it
    // manages in system memory and copies it to the card itself.
    if (caps2 & DDSCAPS2_TEXTUREMANAGE) {
        caps |= DDSCAPS_SYSTEMMEMORY;
    } else if (!(caps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY))) {
        caps |= DDSCAPS_VIDEOMEMORY;
    }
    if (caps & DDSCAPS_VIDEOMEMORY) caps |= DDSCAPS_LOCALVIDMEM;
    shape.caps = caps;
    shape.caps2 = caps2;

    if (caps & DDSCAPS_FLIP) {
        request->backBuffers = desc.dwBackBufferCount;
        shape.caps |= DDSCAPS_FRONTBUFFER;
    }
    if ((caps & DDSCAPS_MIPMAP) && (caps & DDSCAPS_COMPLEX)) {
        // Unasked, the chain ends where the smaller side reaches 1. Asked,
        // any count but 0 is taken, as Wine 8 takes it: sides stop at 1.
        if (!(desc.dwFlags & DDSD_MIPMAPCOUNT)) {
            request->mipLevels = LevelsDownToOne(std::min(shape.width, shape.height));
        } else if (desc.dwMipMapCount == 0) {
            return DDERR_INVALIDPARAMS;
        } else {
            request->mipLevels = desc.dwMipMapCount;
        }
    }
    return DD_OK;
}

void AddBackBuffers(DirectDraw& directDraw, Surface& front, DWORD count)
{
    SurfaceShape shape = front.Shape();
    shape.caps &= ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE);
    Surface* parent = &front;
    for (DWORD i = 0; i < count; ++i) {
        // Only the first back buffer answers to DDSCAPS_BACKBUFFER.
        SurfaceShape backShape = shape;
        if (i == 0) backShape.caps |= DDSCAPS_BACKBUFFER;
        auto* back = new Surface(directDraw, backShape);
        back->SetBackBufferCount(count);
        parent->AddComplexChild(back);
        parent = back;
    }
    front.SetBackBufferCount(count);
}

void AddMipLevels(DirectDraw& directDraw, Surface& top, DWORD levels)
{
    SurfaceShape shape = top.Shape();
    shape.caps2 |= DDSCAPS2_MIPMAPSUBLEVEL;
    Surface* parent = &top;
    top.SetMipMapCount(levels);
    for (DWORD level = 1; level < levels; ++level) {
        shape.width = std::max<DWORD>(1, shape.width / 2);
        shape.height = std::max<DWORD>(1, shape.height / 2);
        auto* next = new Surface(directDraw, shape);
        next->SetMipMapCount(levels - level);
        parent->AddComplexChild(next);
        parent = next;
    }
}

}  // namespace

HRESULT DirectDraw::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface, IUnknown* outer)
{
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!desc || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (!(level_ & (DDSCL_NORMAL | DDSCL_EXCLUSIVE))) return DDERR_NOCOOPERATIVELEVELSET;

    Request request;
    if (HRESULT hr = ReadRequest(*this, *desc, &request); FAILED(hr)) return hr;
    auto* root = new Surface(*this, request.shape);
    if (request.backBuffers) AddBackBuffers(*this, *root, request.backBuffers);
    if (request.mipLevels > 1) AddMipLevels(*this, *root, request.mipLevels);
    if (request.shape.caps & DDSCAPS_PRIMARYSURFACE) primary_ = root;
    root->AddRefSurface();
    *surface = root->AsSurface4();
    return DD_OK;
}

}  // namespace standin::dx6
