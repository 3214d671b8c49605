#include "tests/standin/texture_fixture.h"

#include <algorithm>
#include <cstring>

#include "texture/devil.h"

namespace {

// DevIL hands out names from 1 and reuses freed ones; no test comes near
// this many at once.
const ILuint kNameRange = 4096;

void PutLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutBgr(std::vector<unsigned char>& out, D3DCOLOR colour)
{
    out.push_back(static_cast<unsigned char>(colour));
    out.push_back(static_cast<unsigned char>(colour >> 8));
    out.push_back(static_cast<unsigned char>(colour >> 16));
}

}  // namespace

int LiveImages()
{
    int live = 0;
    for (ILuint name = 1; name < kNameRange; ++name) live += ilIsImage(name) ? 1 : 0;
    return live;
}

std::vector<unsigned char> SolidDds(DWORD width, DWORD height, const std::vector<D3DCOLOR>& levelColours)
{
    const DWORD levels = static_cast<DWORD>(levelColours.size());
    const bool mipmapped = levels > 1;
    std::vector<unsigned char> dds = {'D', 'D', 'S', ' '};
    PutLittleEndian(dds, 124, 4);
    PutLittleEndian(dds, 0x00081007 | (mipmapped ? 0x20000 : 0), 4);  // with DDSD_MIPMAPCOUNT
    PutLittleEndian(dds, height, 4);
    PutLittleEndian(dds, width, 4);
    PutLittleEndian(dds, width * height * 3, 4);
    PutLittleEndian(dds, 0, 4);
    PutLittleEndian(dds, mipmapped ? levels : 0, 4);
    for (int i = 0; i < 11; ++i) PutLittleEndian(dds, 0, 4);
    for (uint32_t word : {32u, 0x40u, 0u, 24u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0u}) {
        PutLittleEndian(dds, word, 4);
    }
    PutLittleEndian(dds, 0x1000 | (mipmapped ? 0x400008 : 0), 4);  // TEXTURE, and MIPMAP | COMPLEX
    for (int i = 0; i < 4; ++i) PutLittleEndian(dds, 0, 4);
    for (DWORD level = 0; level < levels; ++level) {
        const DWORD w = std::max<DWORD>(1, width >> level), h = std::max<DWORD>(1, height >> level);
        for (DWORD texel = 0; texel < w * h; ++texel) PutBgr(dds, levelColours[level]);
    }
    return dds;
}

std::vector<unsigned char> Bmp24(const std::vector<std::vector<D3DCOLOR>>& rowsTopDown)
{
    const DWORD height = static_cast<DWORD>(rowsTopDown.size());
    const DWORD width = static_cast<DWORD>(rowsTopDown.front().size());
    const DWORD rowBytes = (width * 3 + 3) & ~3u;
    const DWORD offset = 54;
    std::vector<unsigned char> bmp = {'B', 'M'};
    PutLittleEndian(bmp, offset + rowBytes * height, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, offset, 4);
    for (uint32_t word : {40u, width, height}) PutLittleEndian(bmp, word, 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(bmp, 0, 4);
    for (DWORD y = height; y-- > 0;) {
        for (D3DCOLOR colour : rowsTopDown[y]) PutBgr(bmp, colour);
        for (DWORD pad = width * 3; pad < rowBytes; ++pad) bmp.push_back(0);
    }
    return bmp;
}

std::vector<uint32_t> ReadTexels(IDirectDrawSurface4* surface)
{
    const standin::runtime::SurfaceInfo info = standin::runtime::Inspect(surface);
    std::vector<uint32_t> texels;
    for (DWORD y = 0; y < info.height; ++y) {
        for (DWORD x = 0; x < info.width; ++x) {
            texels.push_back(standin::runtime::ReadPixel(surface, static_cast<int>(x), static_cast<int>(y)));
        }
    }
    return texels;
}

void Scribble(IDirectDrawSurface4* surface, unsigned char value)
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::memset(desc.lpSurface, value, static_cast<size_t>(desc.lPitch) * desc.dwHeight);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

void TextureDeviceTest::SetUpTestSuite() { ilInit(); }

void TextureDeviceTest::SetUp()
{
    standin::desktop::Reset();
    standin::runtime::Reset();
    // Run registers the main window class before it brings up the device.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.lpszClassName = "DX6APP";
    ASSERT_NE(RegisterClassA(&wc), 0);
    app.fullscreen = false;
    ASSERT_EQ(app.InitDevice(), DD_OK);
    app.lines.clear();
    standin::runtime::ClearJournal();
    imagesBefore = LiveImages();
}

void TextureDeviceTest::TearDown()
{
    EXPECT_EQ(LiveImages(), imagesBefore) << "an image name outlived its texture call";
    standin::runtime::ClearFaults();
    app.DeleteDevice();
}
