// Scan conversion and the per-pixel pipeline: every pixel centre a triangle
// owns is interpolated, shaded through the texture stages, tested and blended.
#include <cmath>

#include "standin/raster/pipeline.h"
#include "standin/raster/rounding.h"

namespace standin::raster {
namespace {

// The weights of the three vertices at one pixel centre, with their change
// per pixel step, linear (for z) and in perspective (for everything else).
struct Weights {
    double screen[3];  // barycentric, linear on screen
    double dx[3], dy[3];
    double persp[3];  // barycentric corrected by the vertices' rhw
};

Weights WeightsAt(const TriangleSetup& s, const EdgeValue edge[3])
{
    Weights w;
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        const int a = (i + 1) % 3;
        const int b = (i + 2) % 3;
        const double area = static_cast<double>(s.area);
        w.screen[i] = static_cast<double>(edge[i]) / area;
        w.dx[i] = -static_cast<double>(s.y[b] - s.y[a]) * kSubpixelOne / area;
        w.dy[i] = static_cast<double>(s.x[b] - s.x[a]) * kSubpixelOne / area;
        w.persp[i] = w.screen[i] * s.w[i];
        sum += w.persp[i];
    }
    // Inside the triangle the weights are >= 0 and sum to 1, and every
    // perspective weight is > 0, so sum > 0.
    for (double& p : w.persp) {
        p /= sum;
    }
    return w;
}

float Mix(const Weights& w, float a0, float a1, float a2)
{
    return static_cast<float>(w.persp[0] * a0 + w.persp[1] * a1 + w.persp[2] * a2);
}

Color MixColor(const Weights& w, const Color& c0, const Color& c1, const Color& c2)
{
    return {Mix(w, c0.r, c1.r, c2.r), Mix(w, c0.g, c1.g, c2.g), Mix(w, c0.b, c1.b, c2.b),
            Mix(w, c0.a, c1.a, c2.a)};
}

// How far a texture coordinate moves in texels for one pixel step, the
// larger of the steps across and down: above 1 the texture is minified.
// For the perspective quotient u = N / D, du = (dN * D - N * dD) / D^2.
float Footprint(const TriangleSetup& s, const Weights& w, uint32_t set, const Surface& texture)
{
    double n[2] = {0, 0}, d = 0;
    double ndx[2] = {0, 0}, ddx = 0, ndy[2] = {0, 0}, ddy = 0;
    for (int i = 0; i < 3; ++i) {
        const double weight = w.screen[i] * s.w[i];
        const double stepX = w.dx[i] * s.w[i];
        const double stepY = w.dy[i] * s.w[i];
        for (int c = 0; c < 2; ++c) {
            const double value = s.V(i).tex[set][c];
            n[c] += weight * value;
            ndx[c] += stepX * value;
            ndy[c] += stepY * value;
        }
        d += weight;
        ddx += stepX;
        ddy += stepY;
    }
    const double size[2] = {static_cast<double>(texture.width), static_cast<double>(texture.height)};
    double across = 0, down = 0;
    for (int c = 0; c < 2; ++c) {
        const double ux = (ndx[c] * d - n[c] * ddx) / (d * d) * size[c];
        const double uy = (ndy[c] * d - n[c] * ddy) / (d * d) * size[c];
        across += ux * ux;
        down += uy * uy;
    }
    return static_cast<float>(std::sqrt(std::fmax(across, down)));
}

StageInputs ShadeInputs(const DrawContext& ctx, const TriangleSetup& s, const Weights& w)
{
    StageInputs in{};
    const Vertex& v0 = s.V(0);
    const Vertex& v1 = s.V(1);
    const Vertex& v2 = s.V(2);
    in.diffuse = MixColor(w, v0.diffuse, v1.diffuse, v2.diffuse);
    in.specular = MixColor(w, v0.specular, v1.specular, v2.specular);
    if (ctx.state.render[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT) {
        // Flat shading holds the first vertex's colours across the face;
        // only the specular alpha (the fog factor) still varies.
        const Vertex& flat = s.source->v[s.source->flat];
        in.diffuse = flat.diffuse;
        in.specular = {flat.specular.r, flat.specular.g, flat.specular.b, in.specular.a};
    }
    in.factor = ColorFromArgb(ctx.state.render[D3DRENDERSTATE_TEXTUREFACTOR]);
    for (uint32_t stage = 0; stage < ctx.stageCount; ++stage) {
        if (!ctx.samples[stage]) {
            continue;
        }
        const uint32_t* states = ctx.state.stage[stage];
        const uint32_t set = states[D3DTSS_TEXCOORDINDEX];
        const Surface& texture = *ctx.state.texture[stage];
        const float u = Mix(w, v0.tex[set][0], v1.tex[set][0], v2.tex[set][0]);
        const float v = Mix(w, v0.tex[set][1], v1.tex[set][1], v2.tex[set][1]);
        in.texel[stage] = SampleTexture(texture, states, u, v, Footprint(s, w, set, texture));
    }
    return in;
}

Color Shade(const DrawContext& ctx, const TriangleSetup& s, const Weights& w)
{
    const StageInputs in = ShadeInputs(ctx, s, w);
    Color c = Combine(ctx.state, ctx.stageCount, in);
    if (ctx.state.render[D3DRENDERSTATE_SPECULARENABLE] != FALSE) {
        c.r = std::fmin(c.r + in.specular.r, 1.0f);
        c.g = std::fmin(c.g + in.specular.g, 1.0f);
        c.b = std::fmin(c.b + in.specular.b, 1.0f);
    }
    return c;
}

bool AlphaTestPasses(const DeviceState& state, float alpha)
{
    if (state.render[D3DRENDERSTATE_ALPHATESTENABLE] == FALSE) {
        return true;
    }
    return Compare(state.render[D3DRENDERSTATE_ALPHAFUNC], RoundToByte(alpha),
                   state.render[D3DRENDERSTATE_ALPHAREF] & 0xFF);
}

void DrawPixel(const DrawContext& ctx, const TriangleSetup& s, const Weights& w, uint32_t x, uint32_t y)
{
    Color color = Shade(ctx, s, w);
    if (!AlphaTestPasses(ctx.state, color.a)) {
        return;
    }
    if (ctx.depth != nullptr) {
        // Depth is interpolated linearly on screen: it was divided by w
        // before the vertices were handed over.
        const float z =
            static_cast<float>(w.screen[0] * s.V(0).z + w.screen[1] * s.V(1).z + w.screen[2] * s.V(2).z);
        if (!DepthTest(ctx.state, *ctx.depth, x, y, z, ctx.clipZ)) {
            return;
        }
    }
    if (ctx.state.render[D3DRENDERSTATE_ALPHABLENDENABLE] != FALSE) {
        color = Blend(ctx.state, color, ReadPixel(ctx.target, x, y));
    }
    WritePixel(ctx.target, x, y, color);
}

}  // namespace

void RasterizeTriangle(const DrawContext& ctx, const TriangleSetup& s)
{
    for (int64_t y = s.minY; y <= s.maxY; ++y) {
        for (int64_t x = s.minX; x <= s.maxX; ++x) {
            const int64_t px = x * kSubpixelOne;
            const int64_t py = y * kSubpixelOne;
            EdgeValue edge[3];
            bool inside = true;
            for (int i = 0; i < 3; ++i) {
                edge[i] = s.Edge(i, px, py);
                inside = inside && edge[i] + s.bias[i] >= 0;
            }
            if (inside) {
                DrawPixel(ctx, s, WeightsAt(s, edge), static_cast<uint32_t>(x), static_cast<uint32_t>(y));
            }
        }
    }
}

}  // namespace standin::raster
