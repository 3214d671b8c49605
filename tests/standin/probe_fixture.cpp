#include "tests/standin/probe_fixture.h"

#include <algorithm>
#include <cstring>

#include "tests/standin/app_alloc_counter.h"

namespace probetest {

// ---- the probe with its watch points

HRESULT TestProbe::InitScene()
{
    const HRESULT hr = CBlendProbeApp::InitScene();
    cursorShowCounts.emplace_back("InitScene", desktop::CursorShowCount());
    return hr;
}

HRESULT TestProbe::InitDeviceObjects()
{
    if (beforeDeviceObjects) beforeDeviceObjects(*this);
    const HRESULT hr = CBlendProbeApp::InitDeviceObjects();
    if (FAILED(hr)) return hr;
    target01 = textures.Get("target01")->GetSurface();
    if (afterDeviceObjects) afterDeviceObjects(*this);
    return hr;
}

HRESULT TestProbe::DeleteDeviceObjects()
{
    cursorShowCounts.emplace_back("DeleteDeviceObjects", desktop::CursorShowCount());
    for (const TextureEntry& entry : textures.entries) registeredAtDelete.push_back(entry.name);
    return CBlendProbeApp::DeleteDeviceObjects();
}

HRESULT TestProbe::CloseScene()
{
    const HRESULT hr = CBlendProbeApp::CloseScene();
    cursorShowCounts.emplace_back("CloseScene", desktop::CursorShowCount());
    return hr;
}

HRESULT TestProbe::ProcessFrame()
{
    ++frames;
    cursorShowCounts.emplace_back("ProcessFrame", desktop::CursorShowCount());
    if (beforeFrame) beforeFrame(*this);
    frameResult = CBlendProbeApp::ProcessFrame();
    errorRaisedByFrame = errorRaised;
    return frameResult;
}

Lines TestProbe::FrameLines() const
{
    const Lines& lines = console.lines;
    auto begin = std::find(lines.begin(), lines.end(), kCycle);
    auto end = std::find(lines.begin(), lines.end(), kClosing);
    if (begin == lines.end() || end < begin) return {};
    return Lines(begin + 1, end);
}

// ---- reading what was drawn

standin::raster::PixelFormat RasterFormat(const DDPIXELFORMAT& format)
{
    const uint32_t alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    return {format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, alpha};
}

// ---- fixture

void ProbeFixture::SetUp()
{
    AppFixture::SetUp();
    drawn.clear();
    probe = std::make_unique<TestProbe>();
}

void ProbeFixture::TearDown()
{
    standin::dx6::SetRasterizer(nullptr);
    probe.reset();
    AppFixture::TearDown();
}

void ProbeFixture::WatchDraws()
{
    standin::dx6::SetRasterizer(
        [this](const runtime::DrawRecord& draw, const standin::dx6::DrawTarget& target) {
            const HRESULT hr = standin::dx6::RenderWithReferenceRasterizer(draw, target);
            apptest::PauseAllocationCount pause;
            DrawnTarget copy;
            copy.renderTarget = draw.renderTarget;
            copy.fvf = draw.fvf;
            copy.result = hr;
            copy.width = target.color.width;
            copy.height = target.color.height;
            EXPECT_EQ(target.color.format.dwRGBBitCount, 32u) << "the watch reads 32-bit targets only";
            if (target.color.format.dwRGBBitCount == 32) {
                copy.pixels.resize(static_cast<size_t>(copy.width) * copy.height);
                for (DWORD y = 0; y < copy.height; ++y) {
                    std::memcpy(&copy.pixels[static_cast<size_t>(y) * copy.width],
                                target.color.bits + static_cast<ptrdiff_t>(y) * target.color.pitch,
                                copy.width * 4);
                }
            }
            drawn.push_back(std::move(copy));
            return hr;
        });
}

}  // namespace probetest
