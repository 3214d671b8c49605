// The application framework: one object owns the log, the main window, every
// DirectDraw and Direct3D interface and the run loop, and calls the concrete
// application through its hooks.
#pragma once

#include "app/logconsole.h"
#include "device/dx6.h"

class CDX6App {
public:
    CDX6App();
    virtual ~CDX6App();

    // Hooks, in slot order.
    virtual void Log(const char* text);
    virtual HRESULT InitScene();
    virtual HRESULT InitDeviceObjects();
    virtual HRESULT RestoreDeviceObjects();
    virtual HRESULT DeleteDeviceObjects();
    virtual HRESULT CloseScene();
    virtual HRESULT ProcessFrame();
    virtual LRESULT HandleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HRESULT Run(HINSTANCE hInstance);

    // Device layer.
    HRESULT InitDevice();
    HRESULT DeleteDevice();
    HRESULT RestoreDevice();
    HRESULT PrepareFrame();
    HRESULT FinalizeFrame();

    HINSTANCE hInstance;
    HWND hWnd;
    CLogConsole console;
    bool active;
    bool quitRequested;
    bool deviceReady;
    bool errorRaised;
    bool fullscreen;
    IDirectDraw* directDraw;
    IDirectDraw4* directDraw4;
    IDirectDrawSurface4* primarySurface;
    IDirectDrawSurface4* backBuffer;
    IDirectDrawSurface4* zBuffer;
    IDirect3D3* direct3D;
    IDirect3DDevice3* device;
    IDirect3DViewport3* viewport;
    LONG mouseX;
    LONG mouseY;
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;
    DWORD stencilDepth;
    RECT windowRect;
    bool timerStarted;
    LONGLONG counterFrequency;
    DWORD lastTick;
    LONGLONG lastCounter;
    DWORD accumulatedMs;
    LONGLONG accumulatedCounts;
    LONG frameCount;
    char fpsText[12];
    double currentTime;
    double frameTime;

private:
    void RegisterMainClass();
    void RunLoop();
    void RunIdleTurn(MSG& msg);
    void RunFrame();
    void ExamineFrameResult(HRESULT processed);
    void TearDownAfterException();

    HRESULT FailInit(const char* line, HRESULT hr);
    HRESULT SetUpFullscreenWindow();
    HRESULT SetUpWindow();
    HRESULT CreateBackBuffer();
    HRESULT CreateZBuffer();
    HRESULT CreateMainViewport();
    HRESULT InitDeviceObjectsGuarded();
    void ReleaseInterfaces();
    void WriteFpsText();
    HRESULT PrepareFrameByTicks();
    HRESULT PrepareFrameByCounter();
};

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
HRESULT CALLBACK ZBufferFormatCallback(DDPIXELFORMAT* candidate, void* request);
