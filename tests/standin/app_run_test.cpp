// Run: the order of the hooks and the flags they see, the log, the console
// after a failed run, and when the loop runs frames.
#include <algorithm>
#include <ostream>

#include "app_test_support.h"

namespace apptest {
namespace {

const char kCycle[] = "> ========= Application rendering cycle ==========";
const char kClosing[] = "> =============Closing application ===============";

using Lines = std::vector<std::string>;

// The window is created visible, so the program is activated while the
// device comes up, and deactivated when DeleteDevice destroys the window.
const Lines kDeviceUp = {"> Device initializing...", "(Application activated)", "> Device initializing... done"};
const Lines kDeviceDown = {"> Device deleting...", "(Application disactivated)", "> Device deleting... done"};

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const UINT kThrowingMessage = WM_USER + 7;

struct RunCase {
    const char* id;
    const char* name;
    std::function<void(TestApp&)> plan;
    Lines hooks;
    Lines log;
    bool consoleShown;
    size_t framesPresented;  // Blt calls of FinalizeFrame
};

HRESULT Throw() { throw ScriptedThrow(); }

const RunCase kRunCases[] = {
    {"QuitFromFrame", "a frame that requests the quit ends the run quietly",
     [](TestApp&) {},
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active quit ready", "CloseScene quit"},
     Concat({kDeviceUp, {kCycle, kClosing}, kDeviceDown}),
     false, 1},
    {"InitSceneFails", "InitScene fails: no device, no DeleteDevice",
     [](TestApp& app) { app.initScene = [] { return kFault; }; },
     {"InitScene", "CloseScene error"},
     {"ERROR: while one time scene initializing", kClosing},
     true, 0},
    {"InitDeviceFails", "InitDevice fails: DeleteDevice still runs",
     [](TestApp&) { runtime::FailCall("DirectDrawCreate", 1, kFault); },
     {"InitScene", "CloseScene error"},
     {"> Device initializing...", "ERROR: can't create Direct Draw object",
      "ERROR: while device initializing process", kClosing, "> Device deleting...",
      "WARNING: Device not initialized. Trying to delete.", "> Device deleting... done"},
     true, 0},
    {"InitDeviceObjectsFails", "only InitDeviceObjects fails: the device objects are deleted",
     [](TestApp& app) { app.initDeviceObjects = [] { return kFault; }; },
     {"InitScene", "InitDeviceObjects active ready", "DeleteDeviceObjects active ready error", "CloseScene error"},
     Concat({kDeviceUp, {"ERROR: while device initializing process", kClosing}, kDeviceDown}),
     true, 0},
    {"ProcessFrameThrows", "ProcessFrame throws: no FinalizeFrame, normal teardown",
     [](TestApp& app) { app.processFrame = [](int) { return Throw(); }; },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active ready error", "CloseScene error"},
     Concat({kDeviceUp, {kCycle, "EXCEPTION WHILE FRAME PROCESSING", kClosing}, kDeviceDown}),
     true, 0},
    {"SurfaceLost", "DDERR_SURFACELOST restores the device and the loop goes on",
     [](TestApp& app) {
         app.processFrame = [&app](int frame) {
             if (frame == 1) return DDERR_SURFACELOST;
             app.quitRequested = true;
             return S_OK;
         };
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready", "RestoreDeviceObjects active ready",
      "ProcessFrame active ready", "DeleteDeviceObjects active quit ready", "CloseScene quit"},
     Concat({kDeviceUp, {kCycle, "> Device restoring...", "> Device restoring... done", kClosing}, kDeviceDown}),
     false, 2},
    {"SurfaceBusy", "DDERR_SURFACEBUSY is passed over",
     [](TestApp& app) {
         app.processFrame = [&app](int frame) {
             if (frame == 1) return DDERR_SURFACEBUSY;
             app.quitRequested = true;
             return S_OK;
         };
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active quit ready", "CloseScene quit"},
     Concat({kDeviceUp, {kCycle, kClosing}, kDeviceDown}),
     false, 2},
    {"FrameFails", "any other failing frame ends the run with an error",
     [](TestApp& app) { app.processFrame = [](int) { return kFault; }; },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active ready error", "CloseScene error"},
     Concat({kDeviceUp, {kCycle, "ERROR: error while processing frame", kClosing}, kDeviceDown}),
     true, 1},
    {"FinalizeFrameFails", "FinalizeFrame fails: the quit is requested",
     [](TestApp& app) {
         app.processFrame = [](int) { return S_OK; };
         runtime::FailCall("IDirectDrawSurface4::Blt", 1, kFault);
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active quit ready error", "CloseScene quit error"},
     Concat({kDeviceUp, {kCycle, "ERROR: can't blit surfaces", "ERROR: while frame final processing", kClosing},
             kDeviceDown}),
     true, 1},
    {"FinalizeAndFrameFail", "FinalizeFrame fails: the frame's own result is still examined",
     [](TestApp& app) {
         app.processFrame = [](int) { return kFault; };
         runtime::FailCall("IDirectDrawSurface4::Blt", 1, kFault);
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active quit ready error", "CloseScene quit error"},
     Concat({kDeviceUp,
             {kCycle, "ERROR: can't blit surfaces", "ERROR: while frame final processing",
              "ERROR: error while processing frame", kClosing},
             kDeviceDown}),
     true, 1},
    {"FinalizeFrameThrows", "FinalizeFrame throws: the frame's result is not examined",
     [](TestApp& app) {
         app.processFrame = [](int) { return kFault; };
         runtime::ThrowOnCall("IDirectDrawSurface4::Blt", 1);
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
      "DeleteDeviceObjects active ready error", "CloseScene error"},
     Concat({kDeviceUp, {kCycle, "EXCEPTION WHILE FRAME FINALIZING", kClosing}, kDeviceDown}),
     true, 1},
    {"InitSceneThrows", "InitScene throws: neither DeleteDevice nor CloseScene",
     [](TestApp& app) { app.initScene = Throw; },
     {"InitScene"},
     {"EXCEPTION WHILE APPLICATION RUN"},
     true, 0},
    {"InitDeviceThrows", "InitDevice throws: neither DeleteDevice nor CloseScene",
     [](TestApp&) { runtime::ThrowOnCall("IDirectDraw4::CreateSurface", 1); },
     {"InitScene"},
     {"> Device initializing...", "(Application activated)", "(Application disactivated)",
      "EXCEPTION WHILE APPLICATION RUN"},
     true, 0},
    {"WindowProcedureThrows", "a window procedure throws during the loop: neither DeleteDevice nor CloseScene",
     [](TestApp& app) {
         app.throwOnMessage = kThrowingMessage;
         app.processFrame = [&app](int) {
             PostMessageA(app.hWnd, kThrowingMessage, 0, 0);
             return S_OK;
         };
     },
     {"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready"},
     Concat({kDeviceUp, {kCycle, "(Application disactivated)", "EXCEPTION WHILE APPLICATION RUN"}}),
     true, 1},
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

class RunTest : public AppFixture {
protected:
    void Run()
    {
        app->fullscreen = false;
        app->Run(Instance());
    }
};

class RunPathTest : public RunTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunPathTest, HooksLogAndConsole)
{
    const RunCase& c = GetParam();
    c.plan(*app);

    Run();

    EXPECT_EQ(app->hooks, c.hooks);
    EXPECT_EQ(app->lines, c.log);
    EXPECT_EQ(CallsOf("IDirectDrawSurface4::Blt"), c.framesPresented);
    EXPECT_EQ(console.shown, c.consoleShown);
    if (c.consoleShown) {
        EXPECT_EQ(console.editText, Joined(app->lines));
    }
    // Every path leaves no window and no class behind, and shows the
    // cursor the application hid.
    EXPECT_FALSE(desktop::WindowExists(app->hWnd));
    EXPECT_TRUE(desktop::Windows().empty());
    EXPECT_FALSE(desktop::ClassRegistered("DX6APP"));
    EXPECT_EQ(desktop::CursorShowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryPath, RunPathTest, ::testing::ValuesIn(kRunCases),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.id); });

TEST_F(RunTest, TeardownReleasesEveryInterfaceAndTheClassBrush)
{
    Run();
    ASSERT_FALSE(app->errorRaised);
    EXPECT_EQ(runtime::LiveObjects(), 0);
    EXPECT_EQ(HeldInterfaces(*app), 0u);
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
}

TEST_F(RunTest, MainClassIsRegisteredAsTheWindowNeedsIt)
{
    app->initScene = [] {
        const WNDCLASSA wc = desktop::ClassInfo("DX6APP");
        EXPECT_EQ(wc.style, 0u);
        EXPECT_EQ(wc.lpfnWndProc, &MainWndProc);
        EXPECT_EQ(wc.cbClsExtra, 0);
        EXPECT_EQ(wc.cbWndExtra, 0);
        EXPECT_EQ(wc.hInstance, Instance());
        EXPECT_EQ(wc.hIcon, nullptr);
        EXPECT_EQ(wc.hCursor, nullptr);
        COLORREF color = 0xFFFFFFFF;
        EXPECT_TRUE(desktop::BrushExists(wc.hbrBackground, &color));
        EXPECT_EQ(color, RGB(0, 0, 0));
        return kFault;
    };
    Run();
    ASSERT_EQ(app->hooks.size(), 2u);
    EXPECT_EQ(app->hInstance, Instance());
}

// Validating the window from InitDeviceObjects leaves the loop nothing to
// fetch, so its first GetMessageA has to wait.
void LeaveNothingToFetch(TestApp& app)
{
    app.initDeviceObjects = [&app] {
        SendMessageA(app.hWnd, WM_PAINT, 0, 0);
        return S_OK;
    };
}

TEST_F(RunTest, NoFrameBeforeAMessageWasFetchedAndDispatched)
{
    LeaveNothingToFetch(*app);
    waitSteps.push_back([this] {
        EXPECT_EQ(app->frames, 0) << "a frame ran before the loop fetched a message";
        PostMessageA(app->hWnd, WM_USER, 0, 0);
    });
    app->processFrame = [this](int) {
        EXPECT_NE(std::find(app->messages.begin(), app->messages.end(), static_cast<UINT>(WM_USER)),
                  app->messages.end())
            << "the frame ran before the fetched message was dispatched";
        app->quitRequested = true;
        return S_OK;
    };

    Run();

    EXPECT_EQ(mainWaits, 1);
    EXPECT_EQ(app->frames, 1);
}

TEST_F(RunTest, NoFramesWhileInactiveActivationResumesThem)
{
    LeaveNothingToFetch(*app);
    waitSteps.push_back([this] { PostMessageA(app->hWnd, WM_USER, 0, 0); });
    // Frame 1 sends the program to the background.
    app->processFrame = [this](int frame) {
        if (frame == 1) {
            desktop::SetApplicationActive(false);
            return S_OK;
        }
        app->quitRequested = true;
        return S_OK;
    };
    // Inactive: a message is fetched and dispatched, yet no frame runs.
    waitSteps.push_back([this] {
        EXPECT_FALSE(app->active);
        PostMessageA(app->hWnd, WM_USER + 1, 0, 0);
    });
    waitSteps.push_back([this] {
        EXPECT_EQ(app->frames, 1) << "a frame ran while the program was inactive";
        EXPECT_EQ(app->messages.back(), static_cast<UINT>(WM_USER + 1));
        desktop::SetApplicationActive(true);
        PostMessageA(app->hWnd, WM_USER + 2, 0, 0);
    });

    Run();

    EXPECT_EQ(mainWaits, 3);
    EXPECT_EQ(app->hooks, (Lines{"InitScene", "InitDeviceObjects active ready", "ProcessFrame active ready",
                                 "ProcessFrame active ready", "DeleteDeviceObjects active quit ready",
                                 "CloseScene quit"}));
    EXPECT_FALSE(console.shown);
}

// While a key-down is handled, the character that TranslateMessage makes
// of it is not queued yet: the loop dispatches first and translates second.
TEST_F(RunTest, MessageIsDispatchedBeforeItIsTranslated)
{
    LeaveNothingToFetch(*app);
    bool characterQueuedAtKeyDown = true;
    app->onMessage = [&](UINT message) {
        if (message != WM_KEYDOWN) return;
        MSG queued{};
        characterQueuedAtKeyDown = PeekMessageA(&queued, app->hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) != FALSE;
    };
    waitSteps.push_back([this] { desktop::PressKey(app->hWnd, 'A'); });

    Run();

    EXPECT_FALSE(characterQueuedAtKeyDown);
    EXPECT_NE(std::find(app->messages.begin(), app->messages.end(), static_cast<UINT>(WM_CHAR)), app->messages.end());
}

// A quit requested by a frame still lets FinalizeFrame present that frame,
// and no further message is fetched.
TEST_F(RunTest, QuitFromAFrameStillPresentsItAndFetchesNothingMore)
{
    LeaveNothingToFetch(*app);
    waitSteps.push_back([this] { PostMessageA(app->hWnd, WM_USER, 0, 0); });
    app->processFrame = [this](int) {
        PostMessageA(app->hWnd, WM_USER + 1, 0, 0);
        app->quitRequested = true;
        return S_OK;
    };

    Run();

    EXPECT_EQ(app->frames, 1);
    EXPECT_EQ(runtime::PrimaryBlits().size(), 1u);
    EXPECT_EQ(std::count(app->messages.begin(), app->messages.end(), static_cast<UINT>(WM_USER + 1)), 0);
}

}  // namespace
}  // namespace apptest
