// The application's textures under text names, in the order of registration.
#pragma once

#include <string>
#include <vector>

#include "device/dx6.h"
#include "texture/texture6.h"

class CDX6App;

struct TextureEntry {
    std::string name;
    CTexture6* texture;
};

class CTexManager {
public:
    CTexManager();

    virtual void Add(const char* name, CTexture6* texture);
    virtual CTexture6* Get(const char* name);
    virtual bool Remove(const char* name);
    virtual void Clear();
    virtual ~CTexManager();

    HRESULT LoadTexture(const char* name, IDirectDraw4* directDraw4, IDirect3DDevice3* device,
                        DWORD resourceId, DWORD creationFlags, CDX6App* log);
    void RestoreAll(IDirect3DDevice3* device);
    void DeleteAll();

    std::vector<TextureEntry> entries;

private:
    CTexManager(const CTexManager&) = delete;
    CTexManager& operator=(const CTexManager&) = delete;

    std::vector<TextureEntry>::iterator Find(const char* name);
};
