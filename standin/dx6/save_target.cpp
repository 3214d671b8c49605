#include "standin/dx6/save_target.h"

#include <IL/il.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"
#include "standin/raster/raster.h"

namespace standin::dx6 {

namespace {

const char kDirectoryVariable[] = "STANDIN_SAVE_TARGETS";

// The target's pixels as R, G, B, A bytes, top row first; empty for a
// layout the rasterizer does not read.
std::vector<uint8_t> RgbaPixels(Surface& target)
{
    const SurfaceShape& shape = target.Shape();
    const DDPIXELFORMAT& format = shape.format;
    if (!(format.dwFlags & DDPF_RGB) || (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32)) return {};
    const uint32_t alphaMask = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    const raster::Surface view{
        target.Bits(),
        target.Pitch(),
        shape.width,
        shape.height,
        {format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, alphaMask}};
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(shape.width) * shape.height * 4);
    for (DWORD y = 0; y < shape.height; ++y) {
        for (DWORD x = 0; x < shape.width; ++x) {
            const D3DCOLOR color = raster::ReadColor(view, x, y);
            rgba.push_back(static_cast<uint8_t>(color >> 16));
            rgba.push_back(static_cast<uint8_t>(color >> 8));
            rgba.push_back(static_cast<uint8_t>(color));
            rgba.push_back(static_cast<uint8_t>(color >> 24));
        }
    }
    return rgba;
}

// Saves through an image of its own and leaves the library as it found it:
// the program's bound image stays bound, and overwriting stays as it was.
bool SavePng(const std::string& path, DWORD width, DWORD height, std::vector<uint8_t>& rgba)
{
    ilInit();  // does nothing once the library is initialised
    const ILint bound = ilGetInteger(IL_CUR_IMAGE);
    const ILboolean overwrite = ilIsEnabled(IL_FILE_OVERWRITE);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool saved = ilTexImage(width, height, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, rgba.data()) == IL_TRUE;
    if (saved) {
        // The rows were given top row first; without this the file is upside down.
        ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
        ilEnable(IL_FILE_OVERWRITE);
        saved = ilSave(IL_PNG, path.c_str()) == IL_TRUE;
        if (!overwrite) ilDisable(IL_FILE_OVERWRITE);
    }
    ilDeleteImages(1, &image);
    ilBindImage(static_cast<ILuint>(bound));
    return saved;
}

}  // namespace

void SceneEnded(Surface& renderTarget)
{
    const int scene = ++State().scenesEnded;
    const char* directory = std::getenv(kDirectoryVariable);
    if (!directory || !*directory || renderTarget.Lost()) return;

    const SurfaceShape& shape = renderTarget.Shape();
    const std::string path = std::string(directory) + "/scene" + std::to_string(scene) + "-" +
                             std::to_string(shape.width) + "x" + std::to_string(shape.height) + ".png";
    std::vector<uint8_t> rgba = RgbaPixels(renderTarget);
    if (rgba.empty() || !SavePng(path, shape.width, shape.height, rgba))
        std::fprintf(stderr, "stand-in: could not save the render target as %s\n", path.c_str());
}

}  // namespace standin::dx6
