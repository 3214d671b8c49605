// Every call of the probe's frame that can fail, failing: the lines it
// leaves (innermost first), the result Run gets, the flags, and whether the
// verdict was touched.
#include <ostream>

#include "tests/standin/probe_fixture.h"

namespace probetest {
namespace {

const char kRunsLine[] = "ERROR: error while processing frame";

struct FrameFailure {
    const char* id;
    const char* operation;
    int nth;      // the call of the operation in the frame that fails
    Lines lines;  // what the frame logs, Run's line after it
    int locks;    // Lock calls the frame made on "target01"
    LONG verdict;
};

// Calls are counted from the start of the frame: the texture pass sets its
// render target and viewport, clears and begins and ends its scene first,
// then the back-buffer target and scene follow, with the lock inside. The
// first pixel holds alpha 0x24 once the texture pass is done, so a verdict
// read before a later failure is 0.
const FrameFailure kFrameFailures[] = {
    {"TextureRenderTarget",
     "IDirect3DDevice3::SetRenderTarget",
     1,
     {"ERROR: can't set rendertarget", "ERROR: while setting texture target", kRunsLine},
     0,
     1},
    {"TextureViewport",
     "IDirect3DViewport3::SetViewport2",
     1,
     {"ERROR: can't set viewport (Viewport)", "ERROR: while setting texture target", kRunsLine},
     0,
     1},
    {"TextureClear", "IDirect3DViewport3::Clear2", 1, {"ERROR: can't clear viewport", kRunsLine}, 0, 1},
    {"TextureBeginScene",
     "IDirect3DDevice3::BeginScene",
     1,
     {"ERROR: can't start scene drawing", kRunsLine},
     0,
     1},
    {"TextureEndScene",
     "IDirect3DDevice3::EndScene",
     1,
     {"ERROR: can't end scene redrawing", kRunsLine},
     0,
     1},
    {"BackBufferRenderTarget",
     "IDirect3DDevice3::SetRenderTarget",
     2,
     {"ERROR: can't set rendertarget", "ERROR: while setting back buffer target", kRunsLine},
     0,
     1},
    {"BackBufferViewport",
     "IDirect3DViewport3::SetViewport2",
     2,
     {"ERROR: can't set viewport (Viewport)", "ERROR: while setting back buffer target", kRunsLine},
     0,
     1},
    {"BackBufferClear", "IDirect3DViewport3::Clear2", 2, {"ERROR: can't clear viewport", kRunsLine}, 0, 1},
    {"BackBufferBeginScene",
     "IDirect3DDevice3::BeginScene",
     2,
     {"ERROR: can't start scene drawing", kRunsLine},
     0,
     1},
    {"Lock", "IDirectDrawSurface4::Lock", 1, {"ERROR: can't lock texture", kRunsLine}, 1, 1},
    {"Unlock", "IDirectDrawSurface4::Unlock", 1, {"ERROR: can't unlock texture", kRunsLine}, 1, 0},
    {"BackBufferEndScene",
     "IDirect3DDevice3::EndScene",
     2,
     {"ERROR: can't end scene redrawing", kRunsLine},
     1,
     0},
};

void PrintTo(const FrameFailure& c, std::ostream* out) { *out << c.operation << " #" << c.nth; }

class FrameFailureTest : public ProbeFixture, public ::testing::WithParamInterface<FrameFailure> {};

TEST_P(FrameFailureTest, LogsInnermostFirstRaisesTheErrorAndLeavesTheVerdictAsRead)
{
    const FrameFailure& c = GetParam();
    probe->beforeFrame = [&c](TestProbe&) {
        runtime::ClearJournal();
        runtime::FailCall(c.operation, c.nth, kFault);
    };

    RunProbe();

    EXPECT_EQ(probe->frames, 1);
    EXPECT_EQ(probe->frameResult, kFault);
    EXPECT_TRUE(probe->errorRaisedByFrame);
    EXPECT_FALSE(probe->quitRequested);
    EXPECT_EQ(probe->FrameLines(), c.lines);
    int locks = 0;
    for (const runtime::Call& call : runtime::Journal())
        if (call.operation == "IDirectDrawSurface4::Lock" && call.object == probe->target01) ++locks;
    EXPECT_EQ(locks, c.locks);
    EXPECT_EQ(probe->verdict, c.verdict);
    // Run tears down as usual and shows the whole log in the console.
    EXPECT_TRUE(console.shown);
    EXPECT_EQ(console.editText, apptest::Joined(probe->console.lines));
    EXPECT_EQ(runtime::LiveObjects(), 0);
    EXPECT_EQ(desktop::CursorShowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FrameFailureTest, ::testing::ValuesIn(kFrameFailures),
                         [](const ::testing::TestParamInfo<FrameFailure>& info) { return info.param.id; });

}  // namespace
}  // namespace probetest
