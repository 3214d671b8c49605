// Kernel calls: the program's module, its resources and the clocks.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

const HMODULE kProgramModule = reinterpret_cast<HMODULE>(uintptr_t{0x400000});

struct Resource {
    const unsigned char* bytes = nullptr;
    size_t size = 0;
    std::vector<unsigned char> owned;  // the copy a test handed over
    uintptr_t handle = 0;
};

uintptr_t NextResourceHandle()
{
    static uintptr_t next = 0x30010;
    uintptr_t handle = next;
    next += 4;
    return handle;
}

// "#101" names the id 101, as on Windows.
bool IsNumberedName(LPCSTR name)
{
    if (name[0] != '#' || !name[1]) return false;
    for (const char* c = name + 1; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
    return std::strlen(name) <= 6;
}

// Windows keeps resource names in upper case and compares them so.
std::string NameKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    if (IsNumberedName(name)) return "#" + std::to_string(std::atoi(name + 1));
    std::string key = name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

std::string ResourceKey(LPCSTR type, WORD id) { return NameKey(type) + "/" + NameKey(MAKEINTRESOURCEA(id)); }

// The build's own resources, registered by static objects before main.
std::map<std::string, Resource>& ModuleTable()
{
    static std::map<std::string, Resource> table;
    return table;
}

// What tests changed: an entry adds or replaces a resource, an empty one
// hides a resource of the module.
std::map<std::string, std::optional<Resource>>& TestOverlay()
{
    static std::map<std::string, std::optional<Resource>> overlay;
    return overlay;
}

const Resource* Find(const std::string& key)
{
    auto changed = TestOverlay().find(key);
    if (changed != TestOverlay().end()) return changed->second ? &*changed->second : nullptr;
    auto found = ModuleTable().find(key);
    return found == ModuleTable().end() ? nullptr : &found->second;
}

const Resource* FindByHandle(HRSRC handle)
{
    for (const auto& entry : TestOverlay())
        if (entry.second && entry.second->handle == reinterpret_cast<uintptr_t>(handle))
            return &*entry.second;
    for (const auto& entry : ModuleTable())
        if (entry.second.handle == reinterpret_cast<uintptr_t>(handle) && Find(entry.first) == &entry.second)
            return &entry.second;
    return nullptr;
}

bool IsProgramModule(HMODULE module) { return !module || module == kProgramModule; }

// A name that starts with '#' must be a number.
bool IsValidName(LPCSTR name) { return IS_INTRESOURCE(name) || name[0] != '#' || IsNumberedName(name); }

}  // namespace

void ResetResources() { TestOverlay().clear(); }

}  // namespace standin::win32

namespace standin::desktop {

using namespace standin::win32;

void AddResource(const std::string& type, WORD id, std::vector<unsigned char> bytes)
{
    Resource resource;
    resource.owned = std::move(bytes);
    resource.size = resource.owned.size();
    resource.handle = NextResourceHandle();
    auto& slot = TestOverlay()[ResourceKey(type.c_str(), id)];
    slot = std::move(resource);
    slot->bytes = slot->owned.data();
}

void RemoveResource(const std::string& type, WORD id)
{
    TestOverlay()[ResourceKey(type.c_str(), id)] = std::nullopt;
}

ModuleResource::ModuleResource(const char* type, WORD id, const unsigned char* bytes, size_t size)
{
    Resource resource;
    resource.bytes = bytes;
    resource.size = size;
    resource.handle = NextResourceHandle();
    ModuleTable()[ResourceKey(type, id)] = std::move(resource);
}

}  // namespace standin::desktop

using namespace standin::win32;

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) { return moduleName ? nullptr : kProgramModule; }

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    if (!IsProgramModule(module) || !name || !type) return nullptr;
    if (!IsValidName(name) || !IsValidName(type)) return nullptr;
    const Resource* resource = Find(NameKey(type) + "/" + NameKey(name));
    return resource ? reinterpret_cast<HRSRC>(resource->handle) : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    if (!IsProgramModule(module)) return 0;
    const Resource* found = FindByHandle(resource);
    return found ? static_cast<DWORD>(found->size) : 0;
}

// As on Win32, the loaded resource is simply the address of its bytes.
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    if (!IsProgramModule(module)) return nullptr;
    const Resource* found = FindByHandle(resource);
    return found ? const_cast<unsigned char*>(found->bytes) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL resource) { return resource; }

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency) return FALSE;
    frequency->QuadPart = TheDesktop().counterFrequency;
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

// A machine without a performance counter has no counter to read either.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter)
{
    if (!counter) return FALSE;
    const Desktop& desktop = TheDesktop();
    counter->QuadPart = desktop.counterFrequency != 0 ? desktop.counter : 0;
    return desktop.counterFrequency != 0 ? TRUE : FALSE;
}

DWORD WINAPI GetTickCount() { return TheDesktop().tickCount; }
