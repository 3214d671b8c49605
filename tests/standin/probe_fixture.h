// What the probe's tests share: the real probe application with a few
// watch points a test can use, the framework fixture's desktop (console
// scripting, the default window procedure's record), and a rasterizer that
// renders with the reference rasterizer and keeps a copy of the target
// after each draw.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "probe/blendprobe.h"
#include "standin/dx6/draw.h"
#include "standin/raster/raster.h"
#include "tests/standin/app_test_support.h"

namespace probetest {

namespace desktop = standin::desktop;
namespace runtime = standin::runtime;
using Lines = std::vector<std::string>;
using apptest::kFault;

const char kCycle[] = "> ========= Application rendering cycle ==========";
const char kClosing[] = "> =============Closing application ===============";

// The probe itself; every hook runs the probe's own code unchanged. Around
// them the test can act at fixed points and read what the probe did.
class TestProbe : public CBlendProbeApp {
public:
    // Before the probe's InitDeviceObjects: faults planned here count their
    // calls from the start of the texture loading.
    std::function<void(TestProbe&)> beforeDeviceObjects;
    // After the probe's InitDeviceObjects succeeded: device states for the
    // frame, or input that waits in the queue when the loop starts.
    std::function<void(TestProbe&)> afterDeviceObjects;
    // Before the probe's ProcessFrame: faults planned here count their calls
    // from the start of the frame.
    std::function<void(TestProbe&)> beforeFrame;

    const void* target01 = nullptr;  // the surface of "target01" once it is loaded
    int frames = 0;
    HRESULT frameResult = S_OK;  // what the probe's ProcessFrame handed to Run
    bool errorRaisedByFrame = false;
    Lines registeredAtDelete;  // the texture names when DeleteDeviceObjects began
    // The cursor's show count after InitScene, during the frame, when the
    // device objects go and after CloseScene.
    std::vector<std::pair<std::string, int>> cursorShowCounts;

    HRESULT InitScene() override;
    HRESULT InitDeviceObjects() override;
    HRESULT DeleteDeviceObjects() override;
    HRESULT CloseScene() override;
    HRESULT ProcessFrame() override;

    // The log lines between the rendering cycle's line and the closing line.
    Lines FrameLines() const;
};

// A render target as a draw left it: its pixels in the device's raw 32-bit
// values, row by row.
struct DrawnTarget {
    const void* renderTarget = nullptr;
    DWORD fvf = 0;
    HRESULT result = S_OK;
    DWORD width = 0, height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(DWORD x, DWORD y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The raster::PixelFormat of a surface's DDPIXELFORMAT.
standin::raster::PixelFormat RasterFormat(const DDPIXELFORMAT& format);

class ProbeFixture : public apptest::AppFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    void RunProbe() { probe->Run(Instance()); }
    // Renders with the reference rasterizer and records the target after
    // every draw into drawn.
    void WatchDraws();
    std::unique_ptr<TestProbe> probe;
    std::vector<DrawnTarget> drawn;
};

}  // namespace probetest
