// DeleteDevice and RestoreDevice on a device that came up: the order of
// their calls, their warnings, and what the hooks cost when they fail.
#include "app_test_support.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class TeardownTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        RegisterMainClass();
        desktopMode = runtime::CurrentDisplayMode();
    }

    // A device brought up, with the journal, the log and the hook record
    // emptied so that a test sees only what follows.
    void DeviceUp(bool fullscreen)
    {
        ASSERT_EQ(InitDevice(fullscreen), S_OK);
        runtime::ClearJournal();
        app->lines.clear();
        app->hooks.clear();
    }

    void ExpectDesktopMode()
    {
        const runtime::DisplayMode mode = runtime::CurrentDisplayMode();
        EXPECT_EQ(mode.width, desktopMode.width);
        EXPECT_EQ(mode.height, desktopMode.height);
        EXPECT_EQ(mode.bitsPerPixel, desktopMode.bitsPerPixel);
    }

    runtime::DisplayMode desktopMode{};
};

// The hook runs first, while every interface is still there; then the
// display goes back to the desktop and the interfaces go in their order.
TEST_F(TeardownTest, DeleteDeviceReleasesEverythingInOrderAfterTheHook)
{
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen ? "full screen" : "window");
        StartOver();
        DeviceUp(fullscreen);
        const auto releases = ExpectedReleases(*app);
        const void* directDraw = app->directDraw;
        HWND window = app->hWnd;
        app->deleteDeviceObjects = [this] {
            EXPECT_EQ(HeldInterfaces(*app), static_cast<unsigned>(kAllHeld));
            EXPECT_TRUE(runtime::Journal().empty());
            return kFault;  // not examined
        };

        EXPECT_EQ(app->DeleteDevice(), S_OK);

        EXPECT_EQ(app->hooks, Lines{"DeleteDeviceObjects active ready"});
        EXPECT_EQ(WithoutWindowEvents(app->lines), (Lines{"> Device deleting...", "> Device deleting... done"}));
        const std::vector<runtime::Call>& journal = runtime::Journal();
        ASSERT_EQ(journal.size(), 2 + releases.size());
        EXPECT_EQ(journal[0].operation, "IDirectDraw::SetCooperativeLevel");
        EXPECT_EQ(journal[0].object, directDraw);
        EXPECT_EQ(journal[1].operation, "IDirectDraw::RestoreDisplayMode");
        EXPECT_EQ(journal[1].object, directDraw);
        EXPECT_EQ(JournalReleases(), releases);
        EXPECT_EQ(runtime::LiveObjects(), 0);
        EXPECT_EQ(HeldInterfaces(*app), 0u);
        EXPECT_FALSE(app->deviceReady);
        EXPECT_FALSE(desktop::WindowExists(window));
        EXPECT_EQ(app->hWnd, window);
        ExpectDesktopMode();
    }
}

TEST_F(TeardownTest, SecondDeleteDeviceOnlyWarns)
{
    DeviceUp(true);
    app->DeleteDevice();
    runtime::ClearJournal();
    app->lines.clear();
    app->hooks.clear();

    EXPECT_EQ(app->DeleteDevice(), S_OK);

    EXPECT_EQ(app->lines, (Lines{"> Device deleting...", "WARNING: Device not initialized. Trying to delete.",
                                 "> Device deleting... done"}));
    EXPECT_TRUE(app->hooks.empty());
    EXPECT_TRUE(runtime::Journal().empty());
}

TEST_F(TeardownTest, ThrowingDeleteDeviceObjectsCostsOneLine)
{
    DeviceUp(true);
    app->deleteDeviceObjects = []() -> HRESULT { throw ScriptedThrow(); };

    EXPECT_EQ(app->DeleteDevice(), S_OK);

    EXPECT_EQ(WithoutWindowEvents(app->lines),
              (Lines{"> Device deleting...", "EXCEPTION WHILE DEVICE OBJECTS DELETING", "> Device deleting... done"}));
    EXPECT_FALSE(app->errorRaised);
    EXPECT_EQ(runtime::LiveObjects(), 0);
    ExpectDesktopMode();
}

struct DeleteWarningCase {
    const char* name;
    std::vector<const char*> failing;
    Lines warnings;
};

TEST_F(TeardownTest, FailingDisplayCallsWarnAndTheTeardownGoesOn)
{
    const DeleteWarningCase cases[] = {
        {"cooperative level", {"IDirectDraw::SetCooperativeLevel"}, {"WARNING: can't set normal cooperative level"}},
        {"display mode", {"IDirectDraw::RestoreDisplayMode"}, {"WARNING: can't restore display mode"}},
        {"both",
         {"IDirectDraw::SetCooperativeLevel", "IDirectDraw::RestoreDisplayMode"},
         {"WARNING: can't set normal cooperative level", "WARNING: can't restore display mode"}},
    };
    for (const DeleteWarningCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        DeviceUp(true);
        for (const char* operation : c.failing) runtime::FailCall(operation, 1, kFault);

        EXPECT_EQ(app->DeleteDevice(), S_OK);

        Lines expected = {"> Device deleting..."};
        expected.insert(expected.end(), c.warnings.begin(), c.warnings.end());
        expected.push_back("> Device deleting... done");
        EXPECT_EQ(WithoutWindowEvents(app->lines), expected);
        EXPECT_EQ(runtime::LiveObjects(), 0);
        EXPECT_FALSE(app->errorRaised);
    }
}

struct RestoreWarningCase {
    const char* name;
    std::vector<int> failingRestores;  // 1: the primary's, 2: the Z-buffer's
    Lines warnings;
};

// Only the primary surface and the Z-buffer are restored: the back buffer
// comes back with the primary.
TEST_F(TeardownTest, RestoreDeviceRestoresPrimaryAndZBufferAndWarns)
{
    const RestoreWarningCase cases[] = {
        {"both succeed", {}, {}},
        {"the primary fails", {1}, {"WARNING: can't restore Primary surface"}},
        {"the Z-buffer fails", {2}, {"WARNING: can't restore Z-Buffer surface"}},
        {"both fail", {1, 2}, {"WARNING: can't restore Primary surface", "WARNING: can't restore Z-Buffer surface"}},
    };
    for (const RestoreWarningCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        DeviceUp(true);
        for (int nth : c.failingRestores) runtime::FailCall("IDirectDrawSurface4::Restore", nth, kFault);
        app->timerStarted = true;

        EXPECT_EQ(app->RestoreDevice(), S_OK);

        Lines expected = {"> Device restoring..."};
        expected.insert(expected.end(), c.warnings.begin(), c.warnings.end());
        expected.push_back("> Device restoring... done");
        EXPECT_EQ(app->lines, expected);
        EXPECT_EQ(app->hooks, Lines{"RestoreDeviceObjects active ready"});
        const std::vector<runtime::Call>& journal = runtime::Journal();
        ASSERT_EQ(journal.size(), 2u);
        EXPECT_EQ(journal[0].operation, "IDirectDrawSurface4::Restore");
        EXPECT_EQ(journal[0].object, app->primarySurface);
        EXPECT_EQ(journal[1].operation, "IDirectDrawSurface4::Restore");
        EXPECT_EQ(journal[1].object, app->zBuffer);
        EXPECT_FALSE(app->timerStarted);
        EXPECT_TRUE(app->deviceReady);
        EXPECT_FALSE(app->errorRaised);
    }
}

TEST_F(TeardownTest, RestoreDeviceBringsBackLostSurfaces)
{
    DeviceUp(true);
    runtime::LoseAllSurfaces();

    EXPECT_EQ(app->RestoreDevice(), S_OK);

    EXPECT_FALSE(runtime::Inspect(app->primarySurface).lost);
    EXPECT_FALSE(runtime::Inspect(app->backBuffer).lost);
    EXPECT_FALSE(runtime::Inspect(app->zBuffer).lost);
}

struct RestoreHookCase {
    const char* name;
    std::function<HRESULT()> hook;
    HRESULT result;
    Lines lines;
};

TEST_F(TeardownTest, RestoreDeviceObjectsResultIsTheResult)
{
    const RestoreHookCase cases[] = {
        {"the hook fails", [] { return kFault; }, kFault, {"> Device restoring...", "> Device restoring... done"}},
        {"the hook throws",
         []() -> HRESULT { throw ScriptedThrow(); },
         E_OUTOFMEMORY,
         {"> Device restoring...", "> Device restoring... done", "EXCEPTION WHILE DEVICE OBJECTS RESTORING"}},
    };
    for (const RestoreHookCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        DeviceUp(false);
        app->restoreDeviceObjects = c.hook;
        app->timerStarted = true;

        EXPECT_EQ(app->RestoreDevice(), c.result);

        EXPECT_EQ(app->lines, c.lines);
        EXPECT_FALSE(app->timerStarted);
        EXPECT_FALSE(app->errorRaised);
        EXPECT_TRUE(app->deviceReady);
    }
}

}  // namespace
}  // namespace apptest
