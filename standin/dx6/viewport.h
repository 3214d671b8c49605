// A Direct3D viewport (IDirect3DViewport3): the rectangle of the render
// target that clears and draws use. It works only once added to a device.
#pragma once

#include <memory>

#include "standin/dx6/api.h"
#include "standin/dx6/object.h"

namespace standin::dx6 {

class Device;

class Viewport final : public Object {
public:
    static Viewport* Create();  // with one reference
    ~Viewport() override;

    static Viewport* From(IDirect3DViewport3* viewport);
    IDirect3DViewport3* AsViewport3();

    HRESULT QueryInterface(REFIID riid, void** object);
    ULONG AddRef();
    ULONG Release();
    ULONG Count() const { return refs_; }

    HRESULT SetViewport2(D3DVIEWPORT2* data);
    HRESULT Clear2(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD stencil);

    Device* ActiveDevice() const { return device_; }
    void SetActiveDevice(Device* device) { device_ = device; }
    const D3DVIEWPORT2& Data() const { return data_; }

private:
    Viewport();

    struct ViewportInterface;
    std::unique_ptr<ViewportInterface> viewport3_;
    ULONG refs_ = 0;
    Device* device_ = nullptr;  // the device it was added to; no reference
    D3DVIEWPORT2 data_{};
    bool dataSet_ = false;
};

}  // namespace standin::dx6
