#include "standin/dx6/device.h"

#include <cstring>

#include "standin/dx6/call.h"
#include "standin/dx6/draw.h"
#include "standin/dx6/save_target.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"
#include "standin/dx6/viewport.h"

namespace standin::dx6 {

struct Device::DeviceInterface final : IDirect3DDevice3 {
    explicit DeviceInterface(Device& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirect3DDevice3::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirect3DDevice3::AddRef", this, [&] { return self.AddRef(); }, [&] { return self.Count(); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirect3DDevice3::Release", this, [&] { return self.Release(); }, [&] { return self.Count(); });
    }
    HRESULT AddViewport(IDirect3DViewport3* viewport) override
    {
        return Dispatch("IDirect3DDevice3::AddViewport", this, [&] { return self.AddViewport(viewport); });
    }
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override
    {
        return Dispatch("IDirect3DDevice3::EnumTextureFormats", this,
                        [&] { return self.EnumTextureFormats(callback, context); });
    }
    HRESULT BeginScene() override
    {
        return Dispatch("IDirect3DDevice3::BeginScene", this, [&] { return self.BeginScene(); });
    }
    HRESULT EndScene() override
    {
        return Dispatch("IDirect3DDevice3::EndScene", this, [&] { return self.EndScene(); });
    }
    HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) override
    {
        return Dispatch("IDirect3DDevice3::SetCurrentViewport", this,
                        [&] { return self.SetCurrentViewport(viewport); });
    }
    HRESULT SetRenderTarget(IDirectDrawSurface4* surface, DWORD flags) override
    {
        return Dispatch("IDirect3DDevice3::SetRenderTarget", this,
                        [&] { return self.SetRenderTarget(surface, flags); });
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override
    {
        return Dispatch("IDirect3DDevice3::GetRenderState", this,
                        [&] { return self.GetRenderState(state, value); });
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override
    {
        return Dispatch("IDirect3DDevice3::SetRenderState", this,
                        [&] { return self.SetRenderState(state, value); });
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count, DWORD flags) override
    {
        return Dispatch("IDirect3DDevice3::DrawPrimitive", this,
                        [&] { return self.DrawPrimitive(type, fvf, vertices, count, flags); });
    }
    HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture) override
    {
        return Dispatch("IDirect3DDevice3::SetTexture", this,
                        [&] { return self.SetTexture(stage, texture); });
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) override
    {
        return Dispatch("IDirect3DDevice3::GetTextureStageState", this,
                        [&] { return self.GetTextureStageState(stage, state, value); });
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override
    {
        return Dispatch("IDirect3DDevice3::SetTextureStageState", this,
                        [&] { return self.SetTextureStageState(stage, state, value); });
    }

    Device& self;
};

Device::Device(Surface& target)
    : device3_(std::make_unique<DeviceInterface>(*this)),
      target_(&target),
      renderStates_(DefaultRenderStates(target.AttachedZBuffer() != nullptr))
{
    target_->AddRefSurface();
    for (DWORD stage = 0; stage < runtime::kTextureStageCount; ++stage)
        stageStates_[stage] = DefaultStageStates(stage);
}

Device::~Device() = default;

Device* Device::Create(Surface& target)
{
    auto* device = new Device(target);
    device->AddRef();
    return device;
}

Device* Device::From(IDirect3DDevice3* device)
{
    return device ? &static_cast<DeviceInterface*>(device)->self : nullptr;
}

IDirect3DDevice3* Device::AsDevice3() { return device3_.get(); }

HRESULT Device::QueryInterface(REFIID riid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDirect3DDevice3) return E_NOINTERFACE;
    AddRef();
    *object = AsDevice3();
    return S_OK;
}

ULONG Device::AddRef() { return ++refs_; }

ULONG Device::Release()
{
    if (refs_ == 0) return 0;
    ULONG count = --refs_;
    if (count == 0) Destroy();
    return count;
}

void Device::Destroy()
{
    for (Surface*& texture : textures_) {
        if (texture) texture->LetGo();
        texture = nullptr;
    }
    if (current_) current_->Release();
    current_ = nullptr;
    std::vector<Viewport*> viewports = std::move(viewports_);
    viewports_.clear();
    for (Viewport* viewport : viewports) {
        viewport->SetActiveDevice(nullptr);
        viewport->Release();
    }
    Surface* target = target_;
    delete this;
    target->ReleaseSurface();
}

HRESULT Device::AddViewport(IDirect3DViewport3* viewport)
{
    Viewport* added = Viewport::From(viewport);
    if (!added || added->ActiveDevice()) return DDERR_INVALIDPARAMS;
    added->AddRef();
    added->SetActiveDevice(this);
    viewports_.push_back(added);
    return D3D_OK;
}

HRESULT Device::SetCurrentViewport(IDirect3DViewport3* viewport)
{
    Viewport* chosen = Viewport::From(viewport);
    if (!chosen) return DDERR_INVALIDPARAMS;
    if (chosen == current_) return D3D_OK;
    if (chosen->ActiveDevice() != this) return DDERR_INVALIDPARAMS;
    chosen->AddRef();
    if (current_) current_->Release();
    current_ = chosen;
    return D3D_OK;
}

HRESULT Device::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DDPIXELFORMAT& offered : OfferedTextureFormats()) {
        DDPIXELFORMAT format = offered;  // the callback may scribble on its copy
        if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT Device::BeginScene()
{
    if (inScene_) return D3DERR_SCENE_IN_SCENE;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    if (!inScene_) return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    SceneEnded(*target_);
    return D3D_OK;
}

// The new target brings its own attached Z-buffer; ZENABLE stays as the
// program set it.
HRESULT Device::SetRenderTarget(IDirectDrawSurface4* surface, DWORD /*flags*/)
{
    Surface* target = Surface::From(surface);
    if (!target) return DDERR_INVALIDPARAMS;
    if (!(target->Shape().caps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
    if (target == target_) return D3D_OK;
    target->AddRefSurface();
    target_->ReleaseSurface();
    target_ = target;
    return D3D_OK;
}

namespace {

bool ValidRenderState(D3DRENDERSTATETYPE state)
{
    return state > 0 && static_cast<DWORD>(state) < runtime::kRenderStateCount;
}

bool ValidStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state)
{
    return stage < runtime::kTextureStageCount && state > 0 &&
           static_cast<DWORD>(state) < runtime::kStageStateCount;
}

}  // namespace

// Reading a state the device does not know succeeds and reads nothing,
// while setting one is refused; Direct3D on Wine answers the same.
HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value) return DDERR_INVALIDPARAMS;
    if (ValidRenderState(state)) *value = renderStates_[state];
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (!ValidRenderState(state)) return DDERR_INVALIDPARAMS;
    renderStates_[state] = value;
    return D3D_OK;
}

// A stage or stage state beyond the eight stages is passed over without
// complaint, as Direct3D on Wine does.
HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value)
{
    if (!value) return DDERR_INVALIDPARAMS;
    if (ValidStageState(stage, state)) *value = stageStates_[stage][state];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value)
{
    if (ValidStageState(stage, state)) stageStates_[stage][state] = value;
    return D3D_OK;
}

// The device keeps its stage textures alive without a COM reference.
HRESULT Device::SetTexture(DWORD stage, IDirect3DTexture2* texture)
{
    if (stage >= runtime::kTextureStageCount) return D3D_OK;
    Surface* surface = Surface::From(texture);
    if (surface) surface->Hold();
    if (textures_[stage]) textures_[stage]->LetGo();
    textures_[stage] = surface;
    return D3D_OK;
}

}  // namespace standin::dx6
