#include "app/dx6app.h"
#include "device/release.h"

HRESULT CDX6App::DeleteDevice()
{
    Log("> Device deleting...");

    // The application drops its own objects while the device still exists.
    if (deviceReady) {
        try {
            DeleteDeviceObjects();
        } catch (...) {
            Log("EXCEPTION WHILE DEVICE OBJECTS DELETING");
        }
    } else {
        Log("WARNING: Device not initialized. Trying to delete.");
    }

    // The display goes back to the desktop in window mode too; neither
    // failure stops the teardown.
    if (directDraw) {
        if (FAILED(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
            Log("WARNING: can't set normal cooperative level");
        if (FAILED(directDraw->RestoreDisplayMode())) Log("WARNING: can't restore display mode");
    }

    ReleaseInterfaces();
    DestroyWindow(hWnd);
    deviceReady = false;
    Log("> Device deleting... done");
    return S_OK;
}

// Users before what they use. The Z-buffer goes while still attached to the
// back buffer, which holds a reference of its own.
void CDX6App::ReleaseInterfaces()
{
    ReleaseInterface(viewport);
    ReleaseInterface(device);
    ReleaseInterface(zBuffer);
    ReleaseInterface(backBuffer);
    ReleaseInterface(primarySurface);
    ReleaseInterface(direct3D);
    ReleaseInterface(directDraw4);
    ReleaseInterface(directDraw);
}

// The back buffer has no Restore of its own: in full screen it comes back
// with the primary's flipping chain.
HRESULT CDX6App::RestoreDevice()
{
    Log("> Device restoring...");
    if (FAILED(primarySurface->Restore())) Log("WARNING: can't restore Primary surface");
    if (FAILED(zBuffer->Restore())) Log("WARNING: can't restore Z-Buffer surface");
    Log("> Device restoring... done");

    HRESULT hr;
    try {
        hr = RestoreDeviceObjects();
    } catch (...) {
        Log("EXCEPTION WHILE DEVICE OBJECTS RESTORING");
        hr = E_OUTOFMEMORY;
    }
    timerStarted = false;
    return hr;
}
