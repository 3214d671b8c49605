// The probe's frame, and then what it left in "target01": a test program,
// built on every platform, that runs the probe's own first frame and then
// writes the 256 x 256 pixels of its render target to the file named by the
// environment variable RENDER_DUMP_FILE, so that two platforms' renderings
// can be compared. (The probe itself never writes a file; this program does
// only because a test asks it to.)
//
// The file is a PAM image (P7, RGB_ALPHA, 8 bits a channel): each pixel is
// the 32-bit A8R8G8B8 value read through Lock, row by row with the
// surface's pitch, written as red, green, blue, alpha. Standard output gets
// the first pixel, the verdict and the run's log. Exit code 0 when the file
// was written after a run without errors, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "probe/blendprobe.h"

namespace {

const DWORD kSide = 256;

class CRenderDumpApp : public CBlendProbeApp {
public:
    explicit CRenderDumpApp(const char* path) : path(path) {}

    // The probe's whole frame, verdict included, then the dump.
    HRESULT ProcessFrame() override
    {
        HRESULT hr = CBlendProbeApp::ProcessFrame();
        if (FAILED(hr)) return hr;
        written = Dump(textures.Get("target01")->GetSurface());
        return S_OK;
    }

    bool written = false;

private:
    bool Dump(IDirectDrawSurface4* surface)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        const HRESULT hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
        if (FAILED(hr)) {
            std::printf("render_dump: Lock of target01 failed: 0x%08lx\n", static_cast<unsigned long>(hr));
            return false;
        }
        const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
        const bool argb = f.dwRGBBitCount == 32 && f.dwRGBAlphaBitMask == 0xFF000000 &&
                          f.dwRBitMask == 0x00FF0000 && f.dwGBitMask == 0x0000FF00 &&
                          f.dwBBitMask == 0x000000FF;
        std::vector<unsigned char> rgba;
        if (!argb || desc.dwWidth != kSide || desc.dwHeight != kSide) {
            std::printf(
                "render_dump: target01 is %lu x %lu, %lu bits, masks A %08lx R %08lx G %08lx B %08lx; "
                "expected 256 x 256 A8R8G8B8\n",
                static_cast<unsigned long>(desc.dwWidth), static_cast<unsigned long>(desc.dwHeight),
                static_cast<unsigned long>(f.dwRGBBitCount), static_cast<unsigned long>(f.dwRGBAlphaBitMask),
                static_cast<unsigned long>(f.dwRBitMask), static_cast<unsigned long>(f.dwGBitMask),
                static_cast<unsigned long>(f.dwBBitMask));
        } else {
            rgba.reserve(kSide * kSide * 4);
            for (DWORD y = 0; y < kSide; ++y) {
                const BYTE* row =
                    static_cast<const BYTE*>(desc.lpSurface) + static_cast<LONG>(y) * desc.lPitch;
                for (DWORD x = 0; x < kSide; ++x) {
                    const DWORD pixel = reinterpret_cast<const DWORD*>(row)[x];
                    rgba.push_back(static_cast<unsigned char>(pixel >> 16));
                    rgba.push_back(static_cast<unsigned char>(pixel >> 8));
                    rgba.push_back(static_cast<unsigned char>(pixel));
                    rgba.push_back(static_cast<unsigned char>(pixel >> 24));
                }
            }
        }
        surface->Unlock(nullptr);
        if (rgba.empty()) return false;

        std::printf(
            "render_dump: pixel (0, 0): alpha 0x%02x, red 0x%02x, green 0x%02x, blue 0x%02x; verdict %ld\n",
            rgba[3], rgba[0], rgba[1], rgba[2], static_cast<long>(verdict));
        return Write(rgba);
    }

    bool Write(const std::vector<unsigned char>& rgba)
    {
        std::FILE* file = std::fopen(path, "wb");
        if (!file) {
            std::printf("render_dump: cannot open %s for writing\n", path);
            return false;
        }
        std::fprintf(file, "P7\nWIDTH %lu\nHEIGHT %lu\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                     static_cast<unsigned long>(kSide), static_cast<unsigned long>(kSide));
        const bool complete = std::fwrite(rgba.data(), 1, rgba.size(), file) == rgba.size();
        const bool closed = std::fclose(file) == 0;
        if (!complete || !closed) std::printf("render_dump: writing %s failed\n", path);
        return complete && closed;
    }

    const char* path;
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const char* path = std::getenv("RENDER_DUMP_FILE");
    if (!path || !*path) {
        std::printf("render_dump: set RENDER_DUMP_FILE to the file to write\n");
        return 1;
    }
    CRenderDumpApp app(path);
    app.Run(hInstance);
    for (const std::string& line : app.console.lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return app.written && !app.errorRaised ? 0 : 1;
}
