// Blt and Flip: the two ways pixels reach the screen.
#include <algorithm>
#include <cstring>
#include <vector>

#include "standin/dx6/directdraw.h"
#include "standin/dx6/formats.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"

namespace standin::dx6 {

namespace {

bool ValidRect(const RECT& rect, const SurfaceShape& shape)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           static_cast<DWORD>(rect.right) <= shape.width && static_cast<DWORD>(rect.bottom) <= shape.height;
}

RECT Whole(const SurfaceShape& shape)
{
    return RECT{0, 0, static_cast<LONG>(shape.width), static_cast<LONG>(shape.height)};
}

bool IsColor(const DDPIXELFORMAT& format) { return (format.dwFlags & DDPF_RGB) != 0; }

// The source pixels a blit reads, taken before any is written, so that a
// blit within one surface reads what was there before.
struct SourceCopy {
    std::vector<uint32_t> pixels;
    LONG width = 0, height = 0;
    uint32_t At(LONG x, LONG y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

SourceCopy ReadRect(Surface& surface, const RECT& rect)
{
    SourceCopy copy;
    copy.width = rect.right - rect.left;
    copy.height = rect.bottom - rect.top;
    copy.pixels.reserve(static_cast<size_t>(copy.width) * copy.height);
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            copy.pixels.push_back(LoadPixel(surface.PixelAt(x, y), surface.BytesPerPixel()));
        }
    }
    return copy;
}

}  // namespace

HRESULT Surface::Blt(RECT* dstRect, IDirectDrawSurface4* source, RECT* srcRect, DWORD flags, DDBLTFX* fx)
{
    // The stand-in models plain copies and colour fills, nothing else.
    if (flags & ~(DDBLT_WAIT | DDBLT_COLORFILL)) return DDERR_INVALIDPARAMS;
    RECT dst = dstRect ? *dstRect : Whole(shape_);
    if (!ValidRect(dst, shape_)) return DDERR_INVALIDRECT;

    if (flags & DDBLT_COLORFILL) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        if (lost_) return DDERR_SURFACELOST;
        if (locked_) return DDERR_SURFACEBUSY;
        for (LONG y = dst.top; y < dst.bottom; ++y) {
            for (LONG x = dst.left; x < dst.right; ++x)
                StorePixel(PixelAt(x, y), bytesPerPixel_, fx->dwFillColor);
        }
        return DD_OK;
    }

    Surface* src = From(source);
    if (!src) return DDERR_INVALIDPARAMS;
    RECT from = srcRect ? *srcRect : Whole(src->shape_);
    if (!ValidRect(from, src->shape_)) return DDERR_INVALIDRECT;
    if (lost_ || src->lost_) return DDERR_SURFACELOST;
    if (locked_ || src->locked_) return DDERR_SURFACEBUSY;
    bool same = SameFormat(shape_.format, src->shape_.format);
    if (!same && !(IsColor(shape_.format) && IsColor(src->shape_.format))) return DDERR_INVALIDPIXELFORMAT;

    // Stretching takes the nearest source pixel to each destination pixel's centre.
    SourceCopy pixels = ReadRect(*src, from);
    LONG width = dst.right - dst.left, height = dst.bottom - dst.top;
    for (LONG y = 0; y < height; ++y) {
        LONG sy = static_cast<LONG>((2 * y + 1) * static_cast<long long>(pixels.height) / (2 * height));
        for (LONG x = 0; x < width; ++x) {
            LONG sx = static_cast<LONG>((2 * x + 1) * static_cast<long long>(pixels.width) / (2 * width));
            uint32_t value = pixels.At(sx, sy);
            if (!same) value = PackColor(shape_.format, UnpackColor(src->shape_.format, value));
            StorePixel(PixelAt(dst.left + x, dst.top + y), bytesPerPixel_, value);
        }
    }
    if (shape_.caps & DDSCAPS_PRIMARYSURFACE) RecordPrimaryBlit(dst, from, source);
    return DD_OK;
}

void Surface::RecordPrimaryBlit(const RECT& dst, const RECT& src, const void* source)
{
    State().primaryBlits.push_back(runtime::BlitRecord{dst, src, source});
}

std::vector<Surface*> Surface::FlipChain()
{
    std::vector<Surface*> chain{this};
    for (Surface* s = this; !s->complexChildren_.empty();) {
        s = s->complexChildren_.front();
        chain.push_back(s);
    }
    return chain;
}

// Flipping passes the memory round the chain: the front buffer shows what
// the first back buffer held, and the last back buffer gets the old front.
HRESULT Surface::Flip(IDirectDrawSurface4* overrideSurface, DWORD /*flags*/)
{
    if (!(shape_.caps & DDSCAPS_FLIP) || !(shape_.caps & DDSCAPS_FRONTBUFFER)) return DDERR_NOTFLIPPABLE;
    if ((shape_.caps & DDSCAPS_PRIMARYSURFACE) && !(owner_.CooperativeLevel() & DDSCL_EXCLUSIVE))
        return DDERR_NOEXCLUSIVEMODE;
    std::vector<Surface*> chain = FlipChain();
    Surface* target = From(overrideSurface);
    if (target && (target == this || std::find(chain.begin(), chain.end(), target) == chain.end()))
        return DDERR_INVALIDPARAMS;
    for (Surface* s : chain) {
        if (s->lost_) return DDERR_SURFACELOST;
        if (s->locked_) return DDERR_SURFACEBUSY;
    }
    if (target) {
        memory_.swap(target->memory_);
    } else {
        for (size_t i = 1; i < chain.size(); ++i) chain[i - 1]->memory_.swap(chain[i]->memory_);
    }
    ++State().flipCount;
    return DD_OK;
}

}  // namespace standin::dx6
