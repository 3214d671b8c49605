#include "app/dx6app.h"

namespace {

const char kMainClass[] = "DX6APP";
const char kClosingLine[] = "> =============Closing application ===============";

LONGLONG ReadCounterFrequency()
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return 0;
    return frequency.QuadPart;
}

}  // namespace

CDX6App::CDX6App()
    : hInstance(nullptr),
      hWnd(nullptr),
      active(false),
      quitRequested(false),
      deviceReady(false),
      errorRaised(false),
      fullscreen(true),
      directDraw(nullptr),
      directDraw4(nullptr),
      primarySurface(nullptr),
      backBuffer(nullptr),
      zBuffer(nullptr),
      direct3D(nullptr),
      device(nullptr),
      viewport(nullptr),
      mouseX(0),
      mouseY(0),
      width(800),
      height(600),
      bitsPerPixel(32),
      stencilDepth(0),
      windowRect{0, 0, 0, 0},
      timerStarted(false),
      counterFrequency(ReadCounterFrequency()),
      lastTick(0),
      lastCounter(0),
      accumulatedMs(0),
      accumulatedCounts(0),
      frameCount(0),
      fpsText("---"),
      currentTime(0.0),
      frameTime(0.0)
{
}

// The interfaces and the window are gone by now: DeleteDevice released
// them during Run. Only the log goes with the object.
CDX6App::~CDX6App() {}

void CDX6App::Log(const char* text) { console.AddLine(text); }
HRESULT CDX6App::InitScene() { return S_OK; }
HRESULT CDX6App::InitDeviceObjects() { return S_OK; }
HRESULT CDX6App::RestoreDeviceObjects() { return S_OK; }
HRESULT CDX6App::DeleteDeviceObjects() { return S_OK; }
HRESULT CDX6App::CloseScene() { return S_OK; }
HRESULT CDX6App::ProcessFrame() { return S_OK; }

HRESULT CDX6App::Run(HINSTANCE instance)
{
    try {
        hInstance = instance;
        RegisterMainClass();
        if (FAILED(InitScene())) {
            errorRaised = true;
            Log("ERROR: while one time scene initializing");
            Log(kClosingLine);
        } else {
            if (FAILED(InitDevice())) {
                errorRaised = true;
                Log("ERROR: while device initializing process");
            } else {
                Log("> ========= Application rendering cycle ==========");
                RunLoop();
            }
            Log(kClosingLine);
            DeleteDevice();
        }
        CloseScene();
        DestroyWindow(hWnd);
        UnregisterClassA(kMainClass, hInstance);
    } catch (...) {
        TearDownAfterException();
    }
    if (errorRaised) console.Show(hInstance);
    return errorRaised ? E_FAIL : S_OK;
}

void CDX6App::RegisterMainClass()
{
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = hInstance;
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    wc.lpszClassName = kMainClass;
    RegisterClassA(&wc);
}

// Neither DeleteDevice nor CloseScene runs after an exception: the state
// they would work on is unknown. The cursor the application may have hidden
// is shown again here instead.
void CDX6App::TearDownAfterException()
{
    DestroyWindow(hWnd);
    UnregisterClassA(kMainClass, hInstance);
    errorRaised = true;
    Log("EXCEPTION WHILE APPLICATION RUN");
    ShowCursor(TRUE);
}

// Messages are dispatched before they are translated.
void CDX6App::RunLoop()
{
    MSG msg = {};
    while (!quitRequested && !errorRaised) {
        GetMessageA(&msg, hWnd, 0, 0);
        DispatchMessageA(&msg);
        TranslateMessage(&msg);
        RunIdleTurn(msg);
    }
}

// Frames run back to back while the application is active and no message
// for the main window is waiting.
void CDX6App::RunIdleTurn(MSG& msg)
{
    for (;;) {
        if (!active) return;
        if (quitRequested) return;
        if (errorRaised) return;
        if (PeekMessageA(&msg, hWnd, 0, 0, PM_NOREMOVE)) return;
        RunFrame();
    }
}

void CDX6App::RunFrame()
{
    if (FAILED(PrepareFrame())) {
        quitRequested = true;
        Log("ERROR: while frame preparing");
    }

    HRESULT processed;
    try {
        processed = ProcessFrame();
    } catch (...) {
        Log("EXCEPTION WHILE FRAME PROCESSING");
        errorRaised = true;
        return;
    }

    HRESULT finalized;
    try {
        finalized = FinalizeFrame();
    } catch (...) {
        Log("EXCEPTION WHILE FRAME FINALIZING");
        errorRaised = true;
        return;
    }
    if (FAILED(finalized)) {
        quitRequested = true;
        Log("ERROR: while frame final processing");
    }

    ExamineFrameResult(processed);
}

void CDX6App::ExamineFrameResult(HRESULT processed)
{
    if (SUCCEEDED(processed)) return;
    if (processed == DDERR_SURFACELOST) {
        RestoreDevice();
        return;
    }
    if (processed == DDERR_SURFACEBUSY) return;
    errorRaised = true;
    Log("ERROR: error while processing frame");
}
