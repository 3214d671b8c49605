// The Direct3D device (IDirect3DDevice3): render and texture-stage states,
// scenes, the render target with its attached Z-buffer, stage textures and
// viewports. It holds a reference on its render target, each stage texture,
// each viewport added and the current viewport.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "standin/control/runtime.h"
#include "standin/dx6/draw.h"
#include "standin/dx6/object.h"

namespace standin::dx6 {

class Surface;
class Viewport;

class Device final : public Object {
public:
    static Device* Create(Surface& target);  // with one reference
    ~Device() override;

    static Device* From(IDirect3DDevice3* device);
    IDirect3DDevice3* AsDevice3();

    HRESULT QueryInterface(REFIID riid, void** object);
    ULONG AddRef();
    ULONG Release();
    ULONG Count() const { return refs_; }

    HRESULT AddViewport(IDirect3DViewport3* viewport);
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context);
    HRESULT BeginScene();
    HRESULT EndScene();
    HRESULT SetCurrentViewport(IDirect3DViewport3* viewport);
    HRESULT SetRenderTarget(IDirectDrawSurface4* surface, DWORD flags);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD vertexCount, DWORD flags);
    HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value);
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);

    Surface& RenderTarget() { return *target_; }
    bool InScene() const { return inScene_; }

private:
    explicit Device(Surface& target);
    void Destroy();
    DrawTarget Target();
    runtime::DrawRecord Record(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount,
                               DWORD flags);

    struct DeviceInterface;
    std::unique_ptr<DeviceInterface> device3_;
    ULONG refs_ = 0;
    Surface* target_;
    std::vector<Viewport*> viewports_;
    Viewport* current_ = nullptr;
    std::array<Surface*, runtime::kTextureStageCount> textures_{};
    std::array<DWORD, runtime::kRenderStateCount> renderStates_{};
    std::array<std::array<DWORD, runtime::kStageStateCount>, runtime::kTextureStageCount> stageStates_{};
    bool inScene_ = false;
};

// The states a new device starts with; ZENABLE depends on whether its render
// target has a Z-buffer.
std::array<DWORD, runtime::kRenderStateCount> DefaultRenderStates(bool hasZBuffer);
std::array<DWORD, runtime::kStageStateCount> DefaultStageStates(DWORD stage);

}  // namespace standin::dx6
