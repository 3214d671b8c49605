#include "standin/dx6/state.h"

#include <algorithm>

#include "standin/dx6/call.h"
#include "standin/dx6/formats.h"
#include "standin/dx6/object.h"

namespace standin::dx6 {

namespace {

Runtime MakeRuntime()
{
    Runtime runtime;
    runtime.zBufferFormats = DefaultZBufferList();
    runtime.textureFormats = DefaultTextureList();
    return runtime;
}

}  // namespace

Runtime& State()
{
    static Runtime runtime = MakeRuntime();
    return runtime;
}

std::vector<DDPIXELFORMAT> OfferedTextureFormats()
{
    // The red-first format goes ahead of the first 32-bit format with alpha.
    std::vector<DDPIXELFORMAT> formats = State().textureFormats;
    if (!State().offerRgba) return formats;
    auto firstAlpha32 = std::find_if(formats.begin(), formats.end(), [](const DDPIXELFORMAT& f) {
        return f.dwRGBBitCount == 32 && (f.dwFlags & DDPF_ALPHAPIXELS);
    });
    formats.insert(firstAlpha32, RgbaFormat());
    return formats;
}

Object::Object() { State().objects.insert(this); }

Object::~Object() { State().objects.erase(this); }

std::optional<PlannedFault> BeginCall(const char* operation, const void* object, size_t* entry)
{
    Runtime& state = State();
    long long call = ++state.callCounts[operation];
    *entry = state.journal.size();
    state.journal.push_back(runtime::Call{operation, object, S_OK});

    auto planned = state.faults.find(operation);
    if (planned == state.faults.end()) return std::nullopt;
    std::vector<PlannedFault>& list = planned->second;
    auto match =
        std::find_if(list.begin(), list.end(), [&](const PlannedFault& f) { return f.call == call; });
    if (match == list.end()) return std::nullopt;
    PlannedFault fault = *match;
    list.erase(match);
    return fault;
}

void EndCall(size_t entry, HRESULT result)
{
    // A test may have cleared the journal from inside a callback.
    std::vector<runtime::Call>& journal = State().journal;
    if (entry < journal.size()) journal[entry].result = result;
}

void ThrowPlanned(const char* operation, size_t entry)
{
    std::vector<runtime::Call>& journal = State().journal;
    if (entry < journal.size()) {
        journal[entry].result = DDERR_EXCEPTION;
        journal[entry].threw = true;
    }
    throw std::runtime_error(std::string("planned fault in ") + operation);
}

}  // namespace standin::dx6
