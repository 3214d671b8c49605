// The test control of the stand-in DirectX runtime.
#include "standin/control/runtime.h"
#include "standin/dx6/draw.h"
#include "standin/dx6/formats.h"
#include "standin/dx6/object.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"

namespace standin::runtime {

using dx6::State;
using dx6::Surface;

void Reset()
{
    // Objects are freed without their Destroy step: nothing is handed back,
    // since everything they could hand it to goes too.
    std::set<dx6::Object*> objects = std::move(State().objects);
    State().objects.clear();
    for (dx6::Object* object : objects) delete object;
    State() = dx6::Runtime{};
    State().zBufferFormats = dx6::DefaultZBufferList();
    State().textureFormats = dx6::DefaultTextureList();
}

void FailCall(const std::string& operation, int nth, HRESULT result)
{
    long long call = State().callCounts[operation] + nth;
    State().faults[operation].push_back(dx6::PlannedFault{call, result, false});
}

void ThrowOnCall(const std::string& operation, int nth)
{
    long long call = State().callCounts[operation] + nth;
    State().faults[operation].push_back(dx6::PlannedFault{call, DDERR_EXCEPTION, true});
}

void ClearFaults() { State().faults.clear(); }

const std::vector<Call>& Journal() { return State().journal; }

std::vector<std::string> JournalOperations()
{
    std::vector<std::string> names;
    for (const Call& call : State().journal) names.push_back(call.operation);
    return names;
}

void ClearJournal() { State().journal.clear(); }

int LiveObjects() { return static_cast<int>(State().objects.size()); }

std::vector<DDPIXELFORMAT> DefaultZBufferFormats() { return dx6::DefaultZBufferList(); }
std::vector<DDPIXELFORMAT> DefaultTextureFormats() { return dx6::DefaultTextureList(); }
void SetZBufferFormats(const std::vector<DDPIXELFORMAT>& formats) { State().zBufferFormats = formats; }
void SetTextureFormats(const std::vector<DDPIXELFORMAT>& formats) { State().textureFormats = formats; }
void OfferRgbaTextureFormat(bool offer) { State().offerRgba = offer; }

DisplayMode CurrentDisplayMode() { return State().mode; }
DWORD CooperativeLevel() { return State().cooperativeLevel; }

void LoseAllSurfaces()
{
    for (dx6::Object* object : State().objects) {
        if (auto* surface = dynamic_cast<Surface*>(object)) surface->Lose();
    }
}

SurfaceInfo Inspect(IDirectDrawSurface4* surface)
{
    Surface* s = Surface::From(surface);
    SurfaceInfo info;
    info.width = s->Shape().width;
    info.height = s->Shape().height;
    info.caps = s->Shape().caps;
    info.caps2 = s->Shape().caps2;
    info.pitch = s->Pitch();
    info.format = s->Shape().format;
    info.lost = s->Lost();
    info.locked = s->Locked();
    info.attachments = s->AttachmentCount();
    return info;
}

IDirectDrawSurface4* Attached(IDirectDrawSurface4* surface, DWORD caps)
{
    Surface* found = Surface::From(surface)->FindAttached(caps);
    return found ? found->AsSurface4() : nullptr;
}

uint32_t ReadPixel(IDirectDrawSurface4* surface, int x, int y)
{
    Surface* s = Surface::From(surface);
    return dx6::LoadPixel(s->PixelAt(static_cast<DWORD>(x), static_cast<DWORD>(y)), s->BytesPerPixel());
}

std::vector<BlitRecord> PrimaryBlits() { return State().primaryBlits; }
int FlipCount() { return State().flipCount; }
const std::vector<DrawRecord>& Draws() { return State().draws; }

}  // namespace standin::runtime
