// PrepareFrame's timer on either clock, and FinalizeFrame's presentation in
// either mode.
#include <cstdint>

#include "app_alloc_counter.h"
#include "app_test_support.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class TimerTest : public AppFixture {
protected:
    // The object reads the counter frequency once, when it is made: a
    // machine without a performance counter gets the tick-count path.
    void UseTickCount()
    {
        desktop::SetCounterFrequency(0);
        MakeApp();
        ASSERT_EQ(app->counterFrequency, 0);
    }

    void FrameAtTick(DWORD ticks)
    {
        desktop::SetTickCount(ticks);
        ASSERT_EQ(app->PrepareFrame(), S_OK);
    }

    void FrameAtCount(int64_t counts)
    {
        desktop::SetCounter(counts);
        ASSERT_EQ(app->PrepareFrame(), S_OK);
    }
};

TEST_F(TimerTest, TickCountFourFramesFourHundredMillisecondsApart)
{
    UseTickCount();
    std::vector<double> frameTimes;
    frameTimes.reserve(4);
    size_t allocations;
    {
        AllocationCount count;
        for (DWORD ticks : {1000u, 1400u, 1800u}) {
            FrameAtTick(ticks);
            frameTimes.push_back(app->frameTime);
        }
        EXPECT_STREQ(app->fpsText, "---");
        EXPECT_EQ(app->accumulatedMs, 800u);
        EXPECT_EQ(app->frameCount, 3);
        FrameAtTick(2200);
        frameTimes.push_back(app->frameTime);
        allocations = count.Total();
    }

    EXPECT_EQ(frameTimes, (std::vector<double>{0.0, 400.0, 400.0, 400.0}));
    EXPECT_STREQ(app->fpsText, "4");
    EXPECT_EQ(app->accumulatedMs, 200u);
    EXPECT_EQ(app->frameCount, 0);
    EXPECT_EQ(app->currentTime, 2200.0);
    EXPECT_EQ(app->lastTick, 2200u);
    EXPECT_TRUE(app->timerStarted);
    EXPECT_EQ(allocations, 0u);
    // The counter path's fields stay untouched.
    EXPECT_EQ(app->lastCounter, 0);
    EXPECT_EQ(app->accumulatedCounts, 0);
}

// Only one second is taken off per frame; the rest carries over.
TEST_F(TimerTest, TickCountLongFrameRebuildsTheTextOnTwoFrames)
{
    UseTickCount();
    FrameAtTick(5000);
    FrameAtTick(7500);
    EXPECT_EQ(app->frameTime, 2500.0);
    EXPECT_STREQ(app->fpsText, "2");
    EXPECT_EQ(app->accumulatedMs, 1500u);
    EXPECT_EQ(app->frameCount, 0);

    FrameAtTick(7510);
    EXPECT_STREQ(app->fpsText, "1");
    EXPECT_EQ(app->accumulatedMs, 510u);
    EXPECT_EQ(app->frameCount, 0);
}

TEST_F(TimerTest, TickCountWrapKeepsTheGatheredTimeRight)
{
    UseTickCount();
    const DWORD beforeWrap = 0xFFFFFFFFu - 295u;  // 296 ms before the count wraps
    FrameAtTick(beforeWrap);
    FrameAtTick(200);

    EXPECT_EQ(app->frameTime, 200.0 - static_cast<double>(beforeWrap));
    EXPECT_LT(app->frameTime, -4.0e9);
    EXPECT_EQ(app->accumulatedMs, 496u);
    EXPECT_EQ(app->lastTick, 200u);
    EXPECT_EQ(app->currentTime, 200.0);
}

// A sixtieth of a second at one million counts per second; the 61st frame
// gathers a full second plus 20 counts, which carry over.
TEST_F(TimerTest, CounterPathAtOneMegahertz)
{
    desktop::SetCounterFrequency(1000000);
    MakeApp();
    ASSERT_EQ(app->counterFrequency, 1000000);
    desktop::SetTickCount(123456);
    const int64_t start = 5000000;
    size_t allocations;
    {
        AllocationCount count;
        FrameAtCount(start);
        EXPECT_EQ(app->frameTime, 0.0);
        for (int frame = 1; frame <= 59; ++frame) FrameAtCount(start + 16667 * frame);
        EXPECT_NEAR(app->frameTime, 16.667, 1e-9);
        EXPECT_STREQ(app->fpsText, "---");
        EXPECT_EQ(app->frameCount, 60);
        FrameAtCount(start + 16667 * 60);
        allocations = count.Total();
    }

    EXPECT_STREQ(app->fpsText, "61");
    EXPECT_EQ(app->accumulatedCounts, 20);
    EXPECT_EQ(app->frameCount, 0);
    EXPECT_NEAR(app->currentTime, (start + 16667 * 60) / 1000.0, 1e-6);
    EXPECT_EQ(allocations, 0u);
    // The tick-count path's fields stay untouched.
    EXPECT_EQ(app->lastTick, 0u);
    EXPECT_EQ(app->accumulatedMs, 0u);
}

TEST_F(TimerTest, CounterGoingBackwardsCountsFromZero)
{
    FrameAtCount(5000000);
    FrameAtCount(300);

    EXPECT_EQ(app->accumulatedCounts, 300);
    EXPECT_NEAR(app->frameTime, 0.3, 1e-12);
    EXPECT_EQ(app->lastCounter, 300);
}

struct RestartCase {
    const char* name;
    std::function<void(TestApp&)> restart;
};

// What was gathered stays; only the first sample is taken afresh.
TEST_F(TimerTest, TimerStartsAfreshAfterRestoreAndDeactivation)
{
    const RestartCase cases[] = {
        {"RestoreDevice", [](TestApp& app) { app.RestoreDevice(); }},
        {"deactivation", [](TestApp& app) { SendMessageA(app.hWnd, WM_ACTIVATEAPP, 0, 0); }},
    };
    for (const RestartCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        UseTickCount();
        RegisterMainClass();
        ASSERT_EQ(InitDevice(false), S_OK);
        FrameAtTick(1000);
        FrameAtTick(1400);

        c.restart(*app);
        EXPECT_FALSE(app->timerStarted);
        FrameAtTick(5000);

        EXPECT_EQ(app->frameTime, 0.0);
        EXPECT_EQ(app->accumulatedMs, 400u);
        EXPECT_EQ(app->frameCount, 3);
        EXPECT_TRUE(app->timerStarted);
    }
}

class PresentTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        RegisterMainClass();
    }
};

TEST_F(PresentTest, WindowBlitsTheBackBufferOntoTheClientArea)
{
    ASSERT_EQ(InitDevice(false), S_OK);

    EXPECT_EQ(app->FinalizeFrame(), S_OK);

    const std::vector<runtime::BlitRecord> blits = runtime::PrimaryBlits();
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].dst.left, 20);
    EXPECT_EQ(blits[0].dst.top, 20);
    EXPECT_EQ(blits[0].dst.right, 820);
    EXPECT_EQ(blits[0].dst.bottom, 620);
    EXPECT_EQ(blits[0].src.left, 0);
    EXPECT_EQ(blits[0].src.top, 0);
    EXPECT_EQ(blits[0].src.right, 800);
    EXPECT_EQ(blits[0].src.bottom, 600);
    EXPECT_EQ(blits[0].source, app->backBuffer);
    EXPECT_EQ(runtime::FlipCount(), 0);
}

TEST_F(PresentTest, FullScreenFlips)
{
    ASSERT_EQ(InitDevice(true), S_OK);

    EXPECT_EQ(app->FinalizeFrame(), S_OK);
    EXPECT_EQ(app->FinalizeFrame(), S_OK);

    EXPECT_EQ(runtime::FlipCount(), 2);
    EXPECT_TRUE(runtime::PrimaryBlits().empty());
}

struct PresentFailureCase {
    const char* name;
    bool fullscreen;
    const char* operation;
    const char* line;
};

TEST_F(PresentTest, FailedPresentationRaisesTheErrorAndReturnsItsCode)
{
    const PresentFailureCase cases[] = {
        {"window", false, "IDirectDrawSurface4::Blt", "ERROR: can't blit surfaces"},
        {"full screen", true, "IDirectDrawSurface4::Flip", "ERROR: can't flip surfaces"},
    };
    for (const PresentFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        ASSERT_EQ(InitDevice(c.fullscreen), S_OK);
        app->lines.clear();
        runtime::FailCall(c.operation, 1, kFault);

        EXPECT_EQ(app->FinalizeFrame(), kFault);

        EXPECT_EQ(app->lines, Lines{c.line});
        EXPECT_TRUE(app->errorRaised);
        EXPECT_FALSE(app->quitRequested);
    }
}

}  // namespace
}  // namespace apptest
