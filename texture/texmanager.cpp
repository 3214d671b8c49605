#include "texture/texmanager.h"

#include "app/dx6app.h"

namespace {

const char kResourceType[] = "JPG";

}  // namespace

CTexManager::CTexManager() {}

// Entries go, textures stay: only DeleteAll destroys what the manager loaded.
CTexManager::~CTexManager() { Clear(); }

void CTexManager::Add(const char* name, CTexture6* texture)
{
    entries.push_back(TextureEntry{name, texture});
}

// A name nobody registered falls back to the first texture, so a caller
// always gets a texture to work with while there is one.
CTexture6* CTexManager::Get(const char* name)
{
    if (entries.empty()) return nullptr;
    auto found = Find(name);
    return found != entries.end() ? found->texture : entries.front().texture;
}

bool CTexManager::Remove(const char* name)
{
    auto found = Find(name);
    if (found == entries.end()) return false;
    entries.erase(found);
    return true;
}

void CTexManager::Clear()
{
    // swap gives the storage back; clear alone would keep it.
    std::vector<TextureEntry>().swap(entries);
}

HRESULT CTexManager::LoadTexture(const char* name, IDirectDraw4* directDraw4, IDirect3DDevice3* device,
                                 DWORD resourceId, DWORD creationFlags, CDX6App* log)
{
    CTexture6* texture = new CTexture6();
    HRESULT result =
        texture->LoadFromResource(directDraw4, device, resourceId, kResourceType, creationFlags, log);
    if (FAILED(result)) {
        log->Log("ERROR (CTexManager): can't load texture");
        delete texture;
        return result;
    }
    Add(name, texture);
    return S_OK;
}

// The failing texture has logged its own lines; the ones behind it are left
// as they are.
void CTexManager::RestoreAll(IDirect3DDevice3* device)
{
    for (TextureEntry& entry : entries) {
        if (FAILED(entry.texture->Restore(device))) return;
    }
}

void CTexManager::DeleteAll()
{
    for (TextureEntry& entry : entries) {
        entry.texture->Unload();
        delete entry.texture;
    }
    Clear();
}

std::vector<TextureEntry>::iterator CTexManager::Find(const char* name)
{
    const std::string wanted(name);
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->name == wanted) return it;
    }
    return entries.end();
}
