// What the framework and device tests share: an application that records
// its hooks and can be told what each of them does, a fixture that gives
// every test a fresh stand-in desktop and runtime, and small readers of what
// the platform saw.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/dx6app.h"
#include "standin/control/desktop.h"
#include "standin/control/runtime.h"

namespace apptest {

namespace desktop = standin::desktop;
namespace runtime = standin::runtime;

// A failure code that no platform call produces by itself, so a test can
// tell that the code it sees is the one it planted.
const HRESULT kFault = static_cast<HRESULT>(0x8876F00D);

// What a scripted hook or window procedure throws.
struct ScriptedThrow : std::runtime_error {
    ScriptedThrow() : std::runtime_error("thrown by the test") {}
};

// An application whose hooks record each call, with the flags as they were
// at that moment, and then do what the test told them (succeed when told
// nothing). Its log lines are recorded too and still reach the base Log.
class TestApp : public CDX6App {
public:
    std::function<HRESULT()> initScene;
    std::function<HRESULT()> initDeviceObjects;
    std::function<HRESULT()> restoreDeviceObjects;
    std::function<HRESULT()> deleteDeviceObjects;
    std::function<HRESULT()> closeScene;
    // Called with the frame's number, 1 for the first. Without a script the
    // first frame requests the quit and succeeds.
    std::function<HRESULT(int frame)> processFrame;
    // Runs for every message of the main window before the base handling.
    std::function<void(UINT message)> onMessage;
    // A message that makes the window procedure throw; 0 for none.
    UINT throwOnMessage = 0;

    // "Hook flag flag ..." for every hook call, in order; the flags named
    // are those set: active, quit, ready (deviceReady), error.
    std::vector<std::string> hooks;
    std::vector<std::string> lines;
    std::vector<UINT> messages;
    int frames = 0;

    void Log(const char* text) override;
    HRESULT InitScene() override;  // hides the cursor, as a real application would
    HRESULT InitDeviceObjects() override;
    HRESULT RestoreDeviceObjects() override;
    HRESULT DeleteDeviceObjects() override;
    HRESULT CloseScene() override;  // shows the cursor again
    HRESULT ProcessFrame() override;
    LRESULT HandleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HRESULT Called(const char* hook, const std::function<HRESULT()>& script);
};

// ---- readers

// The log without the window events, the lines in parentheses.
std::vector<std::string> WithoutWindowEvents(const std::vector<std::string>& lines);
// The lines as the console shows them: each followed by CR LF.
std::string Joined(const std::vector<std::string>& lines);

// The interface fields of the application object, one bit each, in the
// order in which DeleteDevice releases them.
enum Held : unsigned {
    kViewport = 1u << 0,
    kDevice = 1u << 1,
    kZBuffer = 1u << 2,
    kBackBuffer = 1u << 3,
    kPrimary = 1u << 4,
    kDirect3D = 1u << 5,
    kDirectDraw4 = 1u << 6,
    kDirectDraw = 1u << 7,
    kAllHeld = 0xFFu,
};
unsigned HeldInterfaces(const CDX6App& app);
// The Release calls DeleteDevice must make for what the object holds now,
// in their order: operation and interface pointer.
std::vector<std::pair<std::string, const void*>> ExpectedReleases(const CDX6App& app);
std::vector<std::pair<std::string, const void*>> JournalReleases();
size_t CallsOf(const std::string& operation);

// Whether the program passed this message of this window to DefWindowProcA
// since the desktop's default-procedure log was last cleared.
bool ReachedDefaultProcedure(HWND hWnd, UINT message);

// ---- fixture

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new application object; its constructor reads the counter frequency,
    // so tests that choose the clock call this again after choosing it.
    void MakeApp();
    static HINSTANCE Instance();
    // A fresh desktop, runtime and application, for a table of cases that
    // each need one.
    void StartOver()
    {
        TearDown();
        SetUp();
    }

    // The main window class as Run registers it, for tests that call the
    // device operations without Run.
    void RegisterMainClass();
    HRESULT InitDevice(bool fullscreen);

    std::unique_ptr<TestApp> app;

    // What the main loop does each time it finds no message, one step per
    // wait. Running out of steps is a hang, and the test fails.
    std::deque<std::function<void()>> waitSteps;
    int mainWaits = 0;

    // What the test saw of the log console while it waited.
    struct Console {
        int waits = 0;
        bool shown = false;
        std::string editText;
    } console;
    // What the user does at each wait of the console; by default Esc.
    std::function<void(HWND console, int wait)> consoleAction;

private:
    void OnWait(HWND filter);
};

}  // namespace apptest
