// The main window's procedure and the base HandleMessage: what each message
// changes in the application object, what it answers, and whether it goes
// on to the default procedure.
#include "app_test_support.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

class WndProcTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        RegisterMainClass();
    }

    // The main window as InitDevice creates it in window mode, with the
    // given creation parameter.
    HWND CreateMainWindow(void* param)
    {
        return CreateWindowExA(0, "DX6APP", "DirectX6 Application", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 20, 20,
                               800, 600, nullptr, nullptr, Instance(), param);
    }

    // A device brought up, then the log and the default-procedure record
    // emptied, so that a test sees only what its own message did.
    void DeviceUp(bool fullscreen)
    {
        ASSERT_EQ(InitDevice(fullscreen), S_OK);
        app->lines.clear();
        app->hooks.clear();
        desktop::ClearDefaultProcedureLog();
    }
};

TEST_F(WndProcTest, MessagesBeforeCreateGoToTheDefaultProcedureOnly)
{
    HWND hWnd = CreateMainWindow(app.get());
    ASSERT_NE(hWnd, nullptr);

    EXPECT_TRUE(ReachedDefaultProcedure(hWnd, WM_NCCREATE));
    ASSERT_FALSE(app->messages.empty());
    EXPECT_EQ(app->messages.front(), static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(GetPropA(hWnd, "DX6APPPTR"), static_cast<HANDLE>(static_cast<CDX6App*>(app.get())));
}

TEST_F(WndProcTest, WindowWithoutTheObjectIsLeftToTheDefaultProcedure)
{
    HWND hWnd = CreateMainWindow(nullptr);
    ASSERT_NE(hWnd, nullptr);

    SendMessageA(hWnd, WM_MOVE, 0, MAKELPARAM(5, 6));
    EXPECT_TRUE(ReachedDefaultProcedure(hWnd, WM_MOVE));
    // The default answer to WM_CLOSE destroys the window.
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop::WindowExists(hWnd));

    EXPECT_TRUE(app->messages.empty());
    EXPECT_TRUE(app->lines.empty());
    EXPECT_FALSE(app->quitRequested);
    EXPECT_EQ(app->windowRect.left, 0);
}

struct PositionCase {
    UINT message;
    int x, y;
};

const PositionCase kPositionCases[] = {
    {WM_MOVE, 20, 20},      {WM_MOVE, -30, -40},      {WM_MOVE, -32768, 32767},
    {WM_MOUSEMOVE, 100, 50}, {WM_MOUSEMOVE, -5, -7},   {WM_MOUSEMOVE, 32767, -32768},
};

// The rectangle takes its size from the back buffer (width, height), not
// from the window.
TEST_F(WndProcTest, MoveAndMouseMoveKeepSignedPositionsAndReachTheDefaultProcedure)
{
    HWND hWnd = CreateMainWindow(app.get());
    app->width = 640;
    app->height = 480;
    for (const PositionCase& c : kPositionCases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message << " at " << c.x << ", " << c.y);
        desktop::ClearDefaultProcedureLog();

        EXPECT_EQ(SendMessageA(hWnd, c.message, 0, MAKELPARAM(c.x, c.y)), 0);

        EXPECT_TRUE(ReachedDefaultProcedure(hWnd, c.message));
        if (c.message == WM_MOVE) {
            EXPECT_EQ(app->windowRect.left, c.x);
            EXPECT_EQ(app->windowRect.top, c.y);
            EXPECT_EQ(app->windowRect.right, c.x + 640);
            EXPECT_EQ(app->windowRect.bottom, c.y + 480);
        } else {
            EXPECT_EQ(app->mouseX, c.x);
            EXPECT_EQ(app->mouseY, c.y);
        }
    }
}

TEST_F(WndProcTest, OtherMessagesOnlyReachTheDefaultProcedure)
{
    HWND hWnd = CreateMainWindow(app.get());
    app->lines.clear();
    const RECT before = app->windowRect;

    SendMessageA(hWnd, WM_USER, 1, 2);

    EXPECT_TRUE(ReachedDefaultProcedure(hWnd, WM_USER));
    EXPECT_TRUE(app->lines.empty());
    EXPECT_EQ(app->windowRect.left, before.left);
    EXPECT_FALSE(app->quitRequested);
}

TEST_F(WndProcTest, CloseRequestsTheQuitAndLeavesTheWindow)
{
    HWND hWnd = CreateMainWindow(app.get());
    app->lines.clear();
    desktop::ClearDefaultProcedureLog();

    EXPECT_EQ(SendMessageA(hWnd, WM_CLOSE, 0, 0), 0);

    EXPECT_EQ(app->lines, Lines{"(Closing window. Probably Alt+F4)"});
    EXPECT_TRUE(app->quitRequested);
    EXPECT_FALSE(app->errorRaised);
    EXPECT_TRUE(desktop::WindowExists(hWnd));
    EXPECT_FALSE(ReachedDefaultProcedure(hWnd, WM_CLOSE));
}

// Alt+F4 arrives as the close command, which the default procedure turns
// into WM_CLOSE.
TEST_F(WndProcTest, CloseCommandRequestsTheQuitAndLeavesTheWindow)
{
    HWND hWnd = CreateMainWindow(app.get());
    desktop::PressCloseCommand(hWnd);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, hWnd, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);

    EXPECT_TRUE(app->quitRequested);
    EXPECT_TRUE(desktop::WindowExists(hWnd));
}

struct ActivationCase {
    const char* name;
    WPARAM wParam;
    bool fullscreen;
    bool deviceReady;
    bool restores;
};

const ActivationCase kActivationCases[] = {
    {"activated in full screen with the device ready", 1, true, true, true},
    {"activated in full screen before the device is ready", 1, true, false, false},
    {"activated in a window with the device ready", 1, false, true, false},
    {"activated in a window before the device is ready", 1, false, false, false},
    {"deactivated in full screen with the device ready", 0, true, true, false},
    {"deactivated in a window", 0, false, true, false},
};

TEST_F(WndProcTest, ActivationRestoresOnlyAReadyFullScreenDevice)
{
    for (const ActivationCase& c : kActivationCases) {
        SCOPED_TRACE(c.name);
        StartOver();
        DeviceUp(c.fullscreen);
        app->deviceReady = c.deviceReady;
        app->active = c.wParam == 0;
        app->timerStarted = true;

        EXPECT_EQ(SendMessageA(app->hWnd, WM_ACTIVATEAPP, c.wParam, 0), 0);

        Lines expected = {c.wParam ? "(Application activated)" : "(Application disactivated)"};
        if (c.restores) {
            expected.push_back("> Device restoring...");
            expected.push_back("> Device restoring... done");
        }
        EXPECT_EQ(app->lines, expected);
        EXPECT_EQ(app->hooks, c.restores ? Lines{"RestoreDeviceObjects active ready"} : Lines{});
        EXPECT_EQ(app->active, c.wParam != 0);
        // Deactivation and the restore both make the timer start afresh.
        EXPECT_EQ(app->timerStarted, c.wParam != 0 && !c.restores);
        EXPECT_FALSE(app->errorRaised);
        EXPECT_FALSE(ReachedDefaultProcedure(app->hWnd, WM_ACTIVATEAPP));
    }
}

struct FailedRestoreCase {
    const char* name;
    std::function<HRESULT()> hook;
    Lines lines;
};

TEST_F(WndProcTest, FailedRestoreOnActivationRaisesTheError)
{
    const FailedRestoreCase cases[] = {
        {"the hook fails",
         [] { return kFault; },
         {"(Application activated)", "> Device restoring...", "> Device restoring... done",
          "ERROR: while device restoring"}},
        {"the hook throws",
         []() -> HRESULT { throw ScriptedThrow(); },
         {"(Application activated)", "> Device restoring...", "> Device restoring... done",
          "EXCEPTION WHILE DEVICE OBJECTS RESTORING", "ERROR: while device restoring"}},
    };
    for (const FailedRestoreCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        DeviceUp(true);
        app->restoreDeviceObjects = c.hook;

        EXPECT_EQ(SendMessageA(app->hWnd, WM_ACTIVATEAPP, 1, 0), 0);

        EXPECT_EQ(app->lines, c.lines);
        EXPECT_TRUE(app->errorRaised);
        EXPECT_TRUE(app->active);
    }
}

}  // namespace
}  // namespace apptest
