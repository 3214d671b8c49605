// What the rasterizer's stages share. Not part of the API: DrawPrimitive
// goes through raster.h only.
#pragma once

#include <cstdint>

#include "standin/raster/raster.h"

namespace standin::raster {

// A colour in [0, 1] per channel, kept in float from the vertex to the
// final write so that rounding happens once, on output.
struct Color {
    float r, g, b, a;
};

Color ColorFromArgb(uint32_t argb);

// ---------------------------------------------------------------- pixels.cpp

bool FormatIsSupported(const PixelFormat& format);
bool SurfaceIsUsable(const Surface& surface);
Color ReadPixel(const Surface& surface, uint32_t x, uint32_t y);
void WritePixel(Surface& surface, uint32_t x, uint32_t y, const Color& color);
bool HasAlpha(const PixelFormat& format);
// Little-endian words of 2 or 4 bytes, at any alignment.
uint32_t LoadWord(const uint8_t* at, uint32_t bytes);
void StoreWord(uint8_t* at, uint32_t bytes, uint32_t value);

// ---------------------------------------------------------------- setup.cpp

// One vertex as the stages see it, whatever the vertex format held.
struct Vertex {
    float x, y, z, rhw;
    Color diffuse, specular;
    float tex[kStageCount][2];
};

bool VertexFormatIsModelled(DWORD fvf);
Vertex FetchVertex(const void* vertices, DWORD fvf, uint32_t index);

// Three vertices of a primitive in drawing order, and the one whose colours
// a flat-shaded triangle takes.
struct Triangle {
    Vertex v[3];
    uint32_t flat;  // index into v
};

constexpr int kSubpixelBits = 8;
constexpr int64_t kSubpixelOne = int64_t{1} << kSubpixelBits;

// Edge functions multiply two coordinate differences of up to 49 bits, so
// they need 128-bit integers to stay exact.
using EdgeValue = __int128;

// A triangle ready to scan: vertices snapped to the subpixel grid and
// ordered clockwise on screen, edge i running opposite vertex i.
struct TriangleSetup {
    const Triangle* source;
    uint32_t order[3];  // setup vertex i is source->v[order[i]]
    int64_t x[3], y[3];
    EdgeValue area;                  // twice the area in subpixel units, > 0
    int64_t bias[3];                 // 0 where edge i owns the pixels on it, -1 where not
    double w[3];                     // perspective weights
    int64_t minX, minY, maxX, maxY;  // candidate pixels inside the target

    const Vertex& V(int i) const { return source->v[order[i]]; }
    // Edge function of edge i at a subpixel point: > 0 inside.
    EdgeValue Edge(int i, int64_t px, int64_t py) const;
};

// False when the triangle draws nothing: culled, degenerate, not finite, or
// wholly outside the width x height target.
bool SetupTriangle(const DeviceState& state, const Triangle& triangle, uint32_t width, uint32_t height,
                   TriangleSetup* setup);

// ---------------------------------------------------------------- raster.cpp

struct DrawContext {
    const DeviceState& state;
    Surface& target;
    DepthSurface* depth;  // null when the depth test is off
    bool clipZ;
    uint32_t stageCount;
    bool samples[kStageCount];  // stage s reads its texture
};

void RasterizeTriangle(const DrawContext& context, const TriangleSetup& setup);

// ---------------------------------------------------------------- state.cpp

// Every enum-valued state that the draw reads holds a value the stages model.
bool StatesAreModelled(const DeviceState& state);

// The stages that take part: those before the first whose colour operation
// is DISABLE.
uint32_t ActiveStageCount(const DeviceState& state);

// ---------------------------------------------------------------- sample.cpp

// The filtered texel of texture at coordinates (u, v) for a stage's states.
// footprint is how many texels one pixel step spans: above 1 the texture
// is minified and MINFILTER applies, otherwise MAGFILTER.
Color SampleTexture(const Surface& texture, const uint32_t* stageStates, float u, float v, float footprint);

// ---------------------------------------------------------------- combine.cpp

// The inputs of the texture-stage cascade at one pixel.
struct StageInputs {
    Color diffuse;
    Color specular;
    Color factor;
    Color texel[kStageCount];  // for stages without a texture: unused
};

// Whether stage s of the cascade reads its texture (so the caller samples
// it): a texture is set and an operation it performs needs the texel.
bool StageReadsTexture(const DeviceState& state, uint32_t s);

Color Combine(const DeviceState& state, uint32_t stageCount, const StageInputs& in);

// ---------------------------------------------------------------- depth.cpp

// a <func> b for a D3DCMPFUNC, as the depth and alpha tests compare.
bool Compare(uint32_t func, uint32_t a, uint32_t b);

// The depth test at (x, y) for fragment depth z: false when the fragment is
// rejected (outside [0, 1] while clipping, or failing ZFUNC); a passing
// fragment writes its depth when ZWRITEENABLE is on.
bool DepthTest(const DeviceState& state, DepthSurface& depth, uint32_t x, uint32_t y, float z, bool clipZ);

bool DepthIsUsable(const DepthSurface& depth);

// ---------------------------------------------------------------- blend.cpp

// src blended over dst with SRCBLEND and DESTBLEND.
Color Blend(const DeviceState& state, const Color& src, const Color& dst);

}  // namespace standin::raster
