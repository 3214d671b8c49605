// The stand-in DirectX runtime's process-wide state: what the driver
// offers, the display, the fault plan, the journal and every object alive.
// One thread owns it, as one thread owns the program.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "standin/control/runtime.h"

namespace standin::dx6 {

class Object;
class DirectDraw;

struct PlannedFault {
    long long call = 0;  // the operation's call number that fails
    HRESULT result = S_OK;
    bool throws = false;
};

struct Runtime {
    // fault plan and journal
    std::map<std::string, long long> callCounts;  // calls per operation since Reset
    std::map<std::string, std::vector<PlannedFault>> faults;
    std::vector<runtime::Call> journal;

    // every object alive; Reset frees them
    std::set<Object*> objects;

    // the driver
    std::vector<DDPIXELFORMAT> zBufferFormats;
    std::vector<DDPIXELFORMAT> textureFormats;
    bool offerRgba = false;

    // the display
    runtime::DisplayMode mode{1024, 768, 32};
    DWORD cooperativeLevel = 0;
    DirectDraw* exclusiveOwner = nullptr;

    // what reached the screen, and what was drawn
    std::vector<runtime::BlitRecord> primaryBlits;
    int flipCount = 0;
    std::vector<runtime::DrawRecord> draws;
    int scenesEnded = 0;  // EndScene calls that ended a scene
};

Runtime& State();

// The texture formats the driver offers now, in its order.
std::vector<DDPIXELFORMAT> OfferedTextureFormats();

// The desktop's own mode, which RestoreDisplayMode returns to.
constexpr runtime::DisplayMode kDesktopMode{1024, 768, 32};

}  // namespace standin::dx6
