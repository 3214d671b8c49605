// The texture-stage cascade: each stage combines two arguments into the
// colour and the alpha that the next stage reads as CURRENT.
#include <algorithm>
#include <cassert>

#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

float Saturate(float v) { return std::clamp(v, 0.0f, 1.0f); }

Color Saturate(const Color& c) { return {Saturate(c.r), Saturate(c.g), Saturate(c.b), Saturate(c.a)}; }

struct StageContext {
    const StageInputs& in;
    Color current;  // the previous stage's result; diffuse for stage 0
    Color texel;
};

Color Argument(uint32_t arg, const StageContext& ctx)
{
    Color c;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
            c = ctx.in.diffuse;
            break;
        case D3DTA_CURRENT:
            c = ctx.current;
            break;
        case D3DTA_TEXTURE:
            c = ctx.texel;
            break;
        case D3DTA_TFACTOR:
            c = ctx.in.factor;
            break;
        case D3DTA_SPECULAR:
            c = ctx.in.specular;
            break;
        default:
            assert(!"argument not validated");
            c = {0, 0, 0, 0};
    }
    if (arg & D3DTA_COMPLEMENT) {  // 1 - x, every channel
        c = {1 - c.r, 1 - c.g, 1 - c.b, 1 - c.a};
    }
    if (arg & D3DTA_ALPHAREPLICATE) {  // alpha into every channel
        c = {c.a, c.a, c.a, c.a};
    }
    return c;
}

// The blend weight of the BLEND*ALPHA operations.
float BlendAlpha(uint32_t op, const StageContext& ctx)
{
    switch (op) {
        case D3DTOP_BLENDDIFFUSEALPHA:
            return ctx.in.diffuse.a;
        case D3DTOP_BLENDTEXTUREALPHA:
            return ctx.texel.a;
        case D3DTOP_BLENDFACTORALPHA:
            return ctx.in.factor.a;
        case D3DTOP_BLENDCURRENTALPHA:
            return ctx.current.a;
        default:
            assert(!"not a blending operation");
            return 0;
    }
}

// One channel of the operations that treat every channel alike; a1 and a2
// are that channel of the arguments, alpha the blend weight where one applies.
float ChannelOp(uint32_t op, float a1, float a2, float alpha, float texelAlpha)
{
    switch (op) {
        case D3DTOP_SELECTARG1:
            return a1;
        case D3DTOP_SELECTARG2:
            return a2;
        case D3DTOP_MODULATE:  // a1 * a2
            return a1 * a2;
        case D3DTOP_MODULATE2X:  // 2 * a1 * a2
            return 2 * a1 * a2;
        case D3DTOP_MODULATE4X:  // 4 * a1 * a2
            return 4 * a1 * a2;
        case D3DTOP_ADD:  // a1 + a2
            return a1 + a2;
        case D3DTOP_ADDSIGNED:  // a1 + a2 - 0.5
            return a1 + a2 - 0.5f;
        case D3DTOP_ADDSIGNED2X:  // 2 * (a1 + a2 - 0.5)
            return 2 * (a1 + a2 - 0.5f);
        case D3DTOP_SUBTRACT:  // a1 - a2
            return a1 - a2;
        case D3DTOP_ADDSMOOTH:  // a1 + a2 - a1 * a2
            return a1 + a2 - a1 * a2;
        case D3DTOP_BLENDDIFFUSEALPHA:  // a1 * alpha + a2 * (1 - alpha)
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDFACTORALPHA:
        case D3DTOP_BLENDCURRENTALPHA:
            return a1 * alpha + a2 * (1 - alpha);
        case D3DTOP_BLENDTEXTUREALPHAPM:  // a1 + a2 * (1 - texture alpha)
            return a1 + a2 * (1 - texelAlpha);
        default:
            assert(!"operation not validated");
            return 0;
    }
}

bool IsBlend(uint32_t op)
{
    return op == D3DTOP_BLENDDIFFUSEALPHA || op == D3DTOP_BLENDTEXTUREALPHA ||
           op == D3DTOP_BLENDFACTORALPHA || op == D3DTOP_BLENDCURRENTALPHA;
}

// The colour half of a stage. DOTPRODUCT3 also gives the alpha.
Color ColorOp(uint32_t op, const Color& a1, const Color& a2, const StageContext& ctx)
{
    switch (op) {
        case D3DTOP_MODULATEALPHA_ADDCOLOR:  // a1 + a1.alpha * a2
            return {a1.r + a1.a * a2.r, a1.g + a1.a * a2.g, a1.b + a1.a * a2.b, 0};
        case D3DTOP_MODULATECOLOR_ADDALPHA:  // a1 * a2 + a1.alpha
            return {a1.r * a2.r + a1.a, a1.g * a2.g + a1.a, a1.b * a2.b + a1.a, 0};
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR:  // (1 - a1.alpha) * a2 + a1
            return {(1 - a1.a) * a2.r + a1.r, (1 - a1.a) * a2.g + a1.g, (1 - a1.a) * a2.b + a1.b, 0};
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA:  // (1 - a1) * a2 + a1.alpha
            return {(1 - a1.r) * a2.r + a1.a, (1 - a1.g) * a2.g + a1.a, (1 - a1.b) * a2.b + a1.a, 0};
        case D3DTOP_DOTPRODUCT3: {  // 4 * sum((a1 - 0.5) * (a2 - 0.5)), in every channel
            const float d = 4 * ((a1.r - 0.5f) * (a2.r - 0.5f) + (a1.g - 0.5f) * (a2.g - 0.5f) +
                                 (a1.b - 0.5f) * (a2.b - 0.5f));
            return {d, d, d, d};
        }
        default: {
            const float alpha = IsBlend(op) ? BlendAlpha(op, ctx) : 0;
            return {ChannelOp(op, a1.r, a2.r, alpha, ctx.texel.a),
                    ChannelOp(op, a1.g, a2.g, alpha, ctx.texel.a),
                    ChannelOp(op, a1.b, a2.b, alpha, ctx.texel.a), 0};
        }
    }
}

float AlphaOp(uint32_t op, float a1, float a2, const StageContext& ctx)
{
    const float alpha = IsBlend(op) ? BlendAlpha(op, ctx) : 0;
    return ChannelOp(op, a1, a2, alpha, ctx.texel.a);
}

// An operation that needs a texture of a stage that has none passes CURRENT
// through, as drivers do: the stage then neither darkens nor replaces what
// came before it. An operation that ignores the argument naming the texture
// (SELECTARG1 with the texture as argument 2) is carried out.
bool NeedsMissingTexture(uint32_t op, uint32_t arg1, uint32_t arg2)
{
    const bool first = (arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE && op != D3DTOP_SELECTARG2;
    const bool second = (arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE && op != D3DTOP_SELECTARG1;
    return first || second;
}

bool ReadsTexture(uint32_t op, uint32_t arg1, uint32_t arg2)
{
    return NeedsMissingTexture(op, arg1, arg2) || op == D3DTOP_BLENDTEXTUREALPHA ||
           op == D3DTOP_BLENDTEXTUREALPHAPM;
}

Color RunStage(const uint32_t* s, bool hasTexture, const StageContext& ctx)
{
    const uint32_t cop = s[D3DTSS_COLOROP];
    const uint32_t aop = s[D3DTSS_ALPHAOP];
    Color out = ctx.current;
    if (hasTexture || !NeedsMissingTexture(cop, s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2])) {
        const Color c =
            ColorOp(cop, Argument(s[D3DTSS_COLORARG1], ctx), Argument(s[D3DTSS_COLORARG2], ctx), ctx);
        out = {c.r, c.g, c.b, cop == D3DTOP_DOTPRODUCT3 ? c.a : out.a};
    }
    // A disabled alpha operation under an enabled colour one keeps the
    // current alpha, as does one that needs a missing texture.
    const bool alphaRuns =
        aop != D3DTOP_DISABLE && cop != D3DTOP_DOTPRODUCT3 &&
        (hasTexture || !NeedsMissingTexture(aop, s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2]));
    if (alphaRuns) {
        out.a = AlphaOp(aop, Argument(s[D3DTSS_ALPHAARG1], ctx).a, Argument(s[D3DTSS_ALPHAARG2], ctx).a, ctx);
    }
    return Saturate(out);
}

}  // namespace

bool StageReadsTexture(const DeviceState& state, uint32_t s)
{
    const uint32_t* st = state.stage[s];
    if (state.texture[s] == nullptr) {
        return false;
    }
    return ReadsTexture(st[D3DTSS_COLOROP], st[D3DTSS_COLORARG1], st[D3DTSS_COLORARG2]) ||
           ReadsTexture(st[D3DTSS_ALPHAOP], st[D3DTSS_ALPHAARG1], st[D3DTSS_ALPHAARG2]);
}

Color Combine(const DeviceState& state, uint32_t stageCount, const StageInputs& in)
{
    // A stage without a texture that still reads its texture alpha
    // (BLENDTEXTUREALPHA) sees an opaque texel.
    const Color noTexel = {0, 0, 0, 1};
    Color current = in.diffuse;
    for (uint32_t s = 0; s < stageCount; ++s) {
        const bool hasTexture = state.texture[s] != nullptr;
        const StageContext ctx{in, current, hasTexture ? in.texel[s] : noTexel};
        current = RunStage(state.stage[s], hasTexture, ctx);
    }
    return current;
}

}  // namespace standin::raster
