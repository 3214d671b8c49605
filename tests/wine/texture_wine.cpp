// Textures on Wine's real device: the program loads both test images from
// its own resources through the texture manager, as the probe does, and
// reads them back by Lock. Exit code 0 when every check holds, 1 otherwise;
// each check and the log go to standard output so a failed run shows why.
#include <cstdio>
#include <cstring>

#include "app/dx6app.h"
#include "texture/devil.h"
#include "texture/texmanager.h"

namespace {

const DWORD kTarget01 = 101;
const DWORD kEmpty = 102;
const DWORD kMip4x4 = 200;  // the test's own: 4 x 4 red, 2 x 2 green, 1 x 1 blue

struct Texel {
    BYTE red, green, blue, alpha;
};

class CTextureWineApp : public CDX6App {
public:
    CTexManager textures;
    int failures = 0;
    bool checked = false;

    HRESULT InitScene() override
    {
        ilInit();
        fullscreen = false;
        return S_OK;
    }

    HRESULT InitDeviceObjects() override
    {
        HRESULT hr = textures.LoadTexture("empty", directDraw4, device, kEmpty, 0, this);
        if (FAILED(hr)) return hr;
        hr = textures.LoadTexture("target01", directDraw4, device, kTarget01, TEXTURE_RENDERTARGET, this);
        if (FAILED(hr)) return hr;
        return textures.Get("target01")->CreateZBuffer(directDraw4, zBuffer);
    }

    HRESULT DeleteDeviceObjects() override
    {
        textures.DeleteAll();
        return S_OK;
    }

    HRESULT ProcessFrame() override
    {
        quitRequested = true;
        CheckEmpty(textures.Get("empty"));
        CheckTarget(textures.Get("target01"));
        CheckMipmapped();
        CheckLevelLoopStops();
        checked = true;
        return S_OK;
    }

private:
    void Expect(bool holds, const char* what)
    {
        std::printf("%s: %s\n", holds ? "ok" : "FAILED", what);
        if (!holds) ++failures;
    }

    static DDSURFACEDESC2 EmptyDesc()
    {
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        return desc;
    }

    // The texel at (x, y) of a locked 32-bit surface, its bytes placed by
    // the format's masks.
    static Texel TexelAt(const DDSURFACEDESC2& desc, DWORD x, DWORD y)
    {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
        DWORD value;
        std::memcpy(&value, row + 4 * x, sizeof value);
        const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
        auto channel = [value](DWORD mask) -> BYTE {
            if (!mask) return 0;
            DWORD shifted = value & mask;
            while (!(mask & 1)) {
                mask >>= 1;
                shifted >>= 1;
            }
            return static_cast<BYTE>(shifted);
        };
        return Texel{channel(f.dwRBitMask), channel(f.dwGBitMask), channel(f.dwBBitMask),
                     channel(f.dwRGBAlphaBitMask)};
    }

    void CheckEmpty(CTexture6* texture)
    {
        DDSURFACEDESC2 desc = EmptyDesc();
        HRESULT hr = texture->GetSurface()->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
        Expect(SUCCEEDED(hr), "\"empty\" locks");
        if (FAILED(hr)) return;
        const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
        std::printf(
            "\"empty\": %lu x %lu, pitch %ld, format flags 0x%lx, %lu bits, masks R 0x%08lx G 0x%08lx "
            "B 0x%08lx A 0x%08lx\n",
            static_cast<unsigned long>(desc.dwWidth), static_cast<unsigned long>(desc.dwHeight),
            static_cast<long>(desc.lPitch), static_cast<unsigned long>(f.dwFlags),
            static_cast<unsigned long>(f.dwRGBBitCount), static_cast<unsigned long>(f.dwRBitMask),
            static_cast<unsigned long>(f.dwGBitMask), static_cast<unsigned long>(f.dwBBitMask),
            static_cast<unsigned long>(f.dwRGBAlphaBitMask));
        Expect(desc.dwWidth == 128 && desc.dwHeight == 128, "\"empty\" is 128 x 128");
        Expect(f.dwRGBBitCount == 32 && (f.dwFlags & DDPF_ALPHAPIXELS),
               "\"empty\" has a 32-bit format with alpha");
        const Texel first = TexelAt(desc, 0, 0);
        const Texel second = TexelAt(desc, 16, 0);
        std::printf("texel (0, 0): %02x %02x %02x %02x, texel (16, 0): %02x %02x %02x %02x (R G B A)\n",
                    first.red, first.green, first.blue, first.alpha, second.red, second.green, second.blue,
                    second.alpha);
        Expect(first.red == 0xFF && first.green == 0 && first.blue == 0, "texel (0, 0) is red");
        Expect(second.red == 0 && second.green == 0xFF && second.blue == 0, "texel (16, 0) is green");
        Expect(first.alpha == 0xFF && second.alpha == 0xFF, "alpha is 0xFF");
        texture->GetSurface()->Unlock(nullptr);
    }

    // The checkerboard with mip levels: Wine builds the chain, and each level
    // holds the image scaled down, its squares half as wide at each step.
    void CheckMipmapped()
    {
        CTexture6 texture;
        HRESULT hr = texture.LoadFromResource(directDraw4, device, kEmpty, "JPG", TEXTURE_MIPMAP, this);
        Expect(SUCCEEDED(hr), "the checkerboard loads with mip levels");
        if (FAILED(hr)) return;
        IDirectDrawSurface4* level = texture.GetSurface();
        level->AddRef();
        for (DWORD n = 1; n <= 4; ++n) {
            DDSCAPS2 caps = {};
            caps.dwCaps = DDSCAPS_MIPMAP;
            IDirectDrawSurface4* next = nullptr;
            hr = level->GetAttachedSurface(&caps, &next);
            level->Release();
            level = next;
            if (n == 4) {
                Expect(FAILED(hr), "there are four levels, no fifth");
                break;
            }
            Expect(SUCCEEDED(hr), "the next mip level is attached");
            if (FAILED(hr)) return;
            CheckLevel(level, n);
        }
        if (level) level->Release();
    }

    // Wine makes the four levels asked for even of a 4 x 4 image; the level
    // loop fills 2 x 2 and 1 x 1 from the image's own levels and stops
    // there, before it would ask the image for a level it does not have.
    void CheckLevelLoopStops()
    {
        const size_t linesBefore = console.lines.size();
        CTexture6 texture;
        HRESULT hr = texture.LoadFromResource(directDraw4, device, kMip4x4, "JPG", TEXTURE_MIPMAP, this);
        Expect(SUCCEEDED(hr), "the 4 x 4 image loads with mip levels");
        if (FAILED(hr)) return;
        Expect(console.lines.size() == linesBefore, "loading it writes no line");
        bool filled = true;
        IDirectDrawSurface4* level = texture.GetSurface();
        level->AddRef();
        for (DWORD n = 1; n <= 2 && level; ++n) {
            DDSCAPS2 caps = {};
            caps.dwCaps = DDSCAPS_MIPMAP;
            IDirectDrawSurface4* next = nullptr;
            level->GetAttachedSurface(&caps, &next);
            level->Release();
            level = next;
            filled = filled && level &&
                     LevelIsSolid(level, 4 >> n, n == 1 ? Texel{0, 0xFF, 0, 0xFF} : Texel{0, 0, 0xFF, 0xFF});
        }
        if (level) level->Release();
        Expect(filled, "the 4 x 4 image's own levels fill 2 x 2 and 1 x 1");
    }

    bool LevelIsSolid(IDirectDrawSurface4* level, DWORD size, Texel colour)
    {
        DDSURFACEDESC2 desc = EmptyDesc();
        if (FAILED(level->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return false;
        bool solid = desc.dwWidth == size && desc.dwHeight == size;
        for (DWORD y = 0; y < size && solid; ++y) {
            for (DWORD x = 0; x < size && solid; ++x) {
                const Texel t = TexelAt(desc, x, y);
                solid = t.red == colour.red && t.green == colour.green && t.blue == colour.blue &&
                        t.alpha == colour.alpha;
            }
        }
        std::printf("level of %lu x %lu: %s\n", static_cast<unsigned long>(desc.dwWidth),
                    static_cast<unsigned long>(desc.dwHeight), solid ? "as expected" : "not as expected");
        level->Unlock(nullptr);
        return solid;
    }

    void CheckLevel(IDirectDrawSurface4* level, DWORD n)
    {
        DDSURFACEDESC2 desc = EmptyDesc();
        if (FAILED(level->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
            Expect(false, "the mip level locks");
            return;
        }
        const DWORD size = 128 >> n, square = 16 >> n;
        const Texel first = TexelAt(desc, 0, 0);
        const Texel second = TexelAt(desc, square, 0);
        std::printf(
            "level %lu: %lu x %lu, texel (0, 0): %02x %02x %02x %02x, texel (%lu, 0): %02x %02x %02x %02x\n",
            static_cast<unsigned long>(n), static_cast<unsigned long>(desc.dwWidth),
            static_cast<unsigned long>(desc.dwHeight), first.red, first.green, first.blue, first.alpha,
            static_cast<unsigned long>(square), second.red, second.green, second.blue, second.alpha);
        Expect(desc.dwWidth == size && desc.dwHeight == size, "the level is half the size of the one before");
        Expect(first.red == 0xFF && first.green == 0 && first.alpha == 0xFF, "its first texel is red");
        Expect(second.red == 0 && second.green == 0xFF && second.alpha == 0xFF, "its next square is green");
        level->Unlock(nullptr);
    }

    void CheckTarget(CTexture6* texture)
    {
        Expect(texture->GetWidth() == 256 && texture->GetHeight() == 256, "\"target01\" is 256 x 256");
        DDSURFACEDESC2 desc = EmptyDesc();
        texture->GetSurface()->GetSurfaceDesc(&desc);
        Expect(desc.dwWidth == 256 && desc.dwHeight == 256, "its surface is 256 x 256");
        Expect((desc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE) != 0, "its surface is a render target");
        Expect(texture->GetD3DTexture() != nullptr, "it has its IDirect3DTexture2");

        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_ZBUFFER;
        IDirectDrawSurface4* attached = nullptr;
        HRESULT hr = texture->GetSurface()->GetAttachedSurface(&caps, &attached);
        Expect(SUCCEEDED(hr) && attached == texture->zSurface, "its own Z-buffer is attached");
        if (attached) attached->Release();

        DDSURFACEDESC2 z = EmptyDesc();
        DDSURFACEDESC2 appZ = EmptyDesc();
        texture->zSurface->GetSurfaceDesc(&z);
        zBuffer->GetSurfaceDesc(&appZ);
        Expect(z.dwWidth == 256 && z.dwHeight == 256, "the Z-buffer is 256 x 256");
        Expect(z.ddpfPixelFormat.dwZBufferBitDepth == appZ.ddpfPixelFormat.dwZBufferBitDepth &&
                   z.ddpfPixelFormat.dwZBitMask == appZ.ddpfPixelFormat.dwZBitMask,
               "the Z-buffer has the application's depth format");
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CTextureWineApp app;
    app.Run(hInstance);
    for (const std::string& line : app.console.lines) std::printf("log: %s\n", line.c_str());
    const bool passed = app.checked && app.failures == 0 && !app.errorRaised;
    std::printf("checked: %d, failures: %d, error raised: %d\n", app.checked, app.failures, app.errorRaised);
    return passed ? 0 : 1;
}
