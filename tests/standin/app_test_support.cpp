#include "app_test_support.h"

#include <algorithm>

#include "app_alloc_counter.h"

namespace apptest {

// ---- the test application

void TestApp::Log(const char* text)
{
    lines.emplace_back(text);
    CDX6App::Log(text);
}

HRESULT TestApp::Called(const char* hook, const std::function<HRESULT()>& script)
{
    std::string call = hook;
    if (active) call += " active";
    if (quitRequested) call += " quit";
    if (deviceReady) call += " ready";
    if (errorRaised) call += " error";
    hooks.push_back(call);
    return script ? script() : S_OK;
}

HRESULT TestApp::InitScene()
{
    ShowCursor(FALSE);
    return Called("InitScene", initScene);
}

HRESULT TestApp::InitDeviceObjects() { return Called("InitDeviceObjects", initDeviceObjects); }
HRESULT TestApp::RestoreDeviceObjects() { return Called("RestoreDeviceObjects", restoreDeviceObjects); }
HRESULT TestApp::DeleteDeviceObjects() { return Called("DeleteDeviceObjects", deleteDeviceObjects); }

HRESULT TestApp::CloseScene()
{
    ShowCursor(TRUE);
    return Called("CloseScene", closeScene);
}

HRESULT TestApp::ProcessFrame()
{
    const int frame = ++frames;
    return Called("ProcessFrame", [&]() -> HRESULT {
        if (processFrame) return processFrame(frame);
        quitRequested = true;
        return S_OK;
    });
}

LRESULT TestApp::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    messages.push_back(message);
    if (onMessage) onMessage(message);
    if (throwOnMessage != 0 && message == throwOnMessage) throw ScriptedThrow();
    return CDX6App::HandleMessage(window, message, wParam, lParam);
}

// ---- readers

std::vector<std::string> WithoutWindowEvents(const std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (line.empty() || line[0] != '(') kept.push_back(line);
    return kept;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

unsigned HeldInterfaces(const CDX6App& app)
{
    unsigned held = 0;
    if (app.viewport) held |= kViewport;
    if (app.device) held |= kDevice;
    if (app.zBuffer) held |= kZBuffer;
    if (app.backBuffer) held |= kBackBuffer;
    if (app.primarySurface) held |= kPrimary;
    if (app.direct3D) held |= kDirect3D;
    if (app.directDraw4) held |= kDirectDraw4;
    if (app.directDraw) held |= kDirectDraw;
    return held;
}

std::vector<std::pair<std::string, const void*>> ExpectedReleases(const CDX6App& app)
{
    std::vector<std::pair<std::string, const void*>> releases;
    auto add = [&](const char* operation, const void* object) {
        if (object) releases.emplace_back(operation, object);
    };
    add("IDirect3DViewport3::Release", app.viewport);
    add("IDirect3DDevice3::Release", app.device);
    add("IDirectDrawSurface4::Release", app.zBuffer);
    add("IDirectDrawSurface4::Release", app.backBuffer);
    add("IDirectDrawSurface4::Release", app.primarySurface);
    add("IDirect3D3::Release", app.direct3D);
    add("IDirectDraw4::Release", app.directDraw4);
    add("IDirectDraw::Release", app.directDraw);
    return releases;
}

std::vector<std::pair<std::string, const void*>> JournalReleases()
{
    std::vector<std::pair<std::string, const void*>> releases;
    const std::string suffix = "::Release";
    for (const runtime::Call& call : runtime::Journal()) {
        const std::string& op = call.operation;
        if (op.size() > suffix.size() && op.compare(op.size() - suffix.size(), suffix.size(), suffix) == 0)
            releases.emplace_back(op, call.object);
    }
    return releases;
}

size_t CallsOf(const std::string& operation)
{
    const std::vector<std::string> operations = runtime::JournalOperations();
    return static_cast<size_t>(std::count(operations.begin(), operations.end(), operation));
}

bool ReachedDefaultProcedure(HWND hWnd, UINT message)
{
    for (const desktop::MessageRecord& call : desktop::DefaultProcedureLog())
        if (call.hWnd == hWnd && call.message == message) return true;
    return false;
}

// ---- fixture

void AppFixture::SetUp()
{
    desktop::Reset();
    runtime::Reset();
    waitSteps.clear();
    mainWaits = 0;
    console = Console{};
    consoleAction = nullptr;
    desktop::OnHang([] {
        ADD_FAILURE() << "the program waited for a message that the test never sent";
        throw ScriptedThrow();
    });
    desktop::OnWait([this](HWND filter) { OnWait(filter); });
    MakeApp();
}

void AppFixture::TearDown()
{
    // The object releases nothing itself; the resets forget what it left.
    app.reset();
    desktop::Reset();
    runtime::Reset();
}

void AppFixture::MakeApp() { app = std::make_unique<TestApp>(); }

HINSTANCE AppFixture::Instance() { return GetModuleHandleA(nullptr); }

void AppFixture::RegisterMainClass()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = Instance();
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    wc.lpszClassName = "DX6APP";
    ASSERT_NE(RegisterClassA(&wc), 0);
}

HRESULT AppFixture::InitDevice(bool fullscreen)
{
    app->hInstance = Instance();
    app->fullscreen = fullscreen;
    return app->InitDevice();
}

void AppFixture::OnWait(HWND filter)
{
    // What the test's own reading of the console allocates is not the
    // program's doing.
    PauseAllocationCount pause;
    HWND consoleWindow = desktop::FindWindowByClass("CONSOLEWND");
    if (consoleWindow && filter == consoleWindow) {
        ++console.waits;
        console.shown = true;
        for (HWND window : desktop::Windows()) {
            const desktop::WindowInfo info = desktop::Inspect(window);
            if (info.className == "Edit" && info.parent == consoleWindow) console.editText = info.title;
        }
        if (consoleAction)
            consoleAction(consoleWindow, console.waits);
        else
            desktop::PressKey(consoleWindow, VK_ESCAPE);
        return;
    }
    ++mainWaits;
    if (waitSteps.empty()) return;  // the hang handler reports it
    std::function<void()> step = std::move(waitSteps.front());
    waitSteps.pop_front();
    step();
}

}  // namespace apptest
