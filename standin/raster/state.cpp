// Device states: DirectX 6's defaults, and which values the stages model.
#include <cstring>

#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

bool InRange(uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; }

bool ArgumentIsModelled(uint32_t arg)
{
    const uint32_t modifiers = D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE;
    return (arg & ~(D3DTA_SELECTMASK | modifiers)) == 0 && (arg & D3DTA_SELECTMASK) <= D3DTA_SPECULAR;
}

bool ColorOpIsModelled(uint32_t op)
{
    // Bump mapping and premodulation need state across stages this
    // rasterizer does not keep.
    return InRange(op, D3DTOP_DISABLE, D3DTOP_DOTPRODUCT3) && op != D3DTOP_PREMODULATE &&
           op != D3DTOP_BUMPENVMAP && op != D3DTOP_BUMPENVMAPLUMINANCE;
}

bool AlphaOpIsModelled(uint32_t op)
{
    // The operations that mix colour and alpha exist for colour only.
    return InRange(op, D3DTOP_DISABLE, D3DTOP_BLENDCURRENTALPHA) && op != D3DTOP_PREMODULATE;
}

bool StageIsModelled(const uint32_t* s)
{
    return ColorOpIsModelled(s[D3DTSS_COLOROP]) && AlphaOpIsModelled(s[D3DTSS_ALPHAOP]) &&
           ArgumentIsModelled(s[D3DTSS_COLORARG1]) && ArgumentIsModelled(s[D3DTSS_COLORARG2]) &&
           ArgumentIsModelled(s[D3DTSS_ALPHAARG1]) && ArgumentIsModelled(s[D3DTSS_ALPHAARG2]) &&
           s[D3DTSS_TEXCOORDINDEX] < kStageCount &&
           InRange(s[D3DTSS_ADDRESSU], D3DTADDRESS_WRAP, D3DTADDRESS_BORDER) &&
           InRange(s[D3DTSS_ADDRESSV], D3DTADDRESS_WRAP, D3DTADDRESS_BORDER) &&
           InRange(s[D3DTSS_MAGFILTER], D3DTFG_POINT, D3DTFG_ANISOTROPIC) &&
           InRange(s[D3DTSS_MINFILTER], D3DTFN_POINT, D3DTFN_ANISOTROPIC);
}

}  // namespace

DeviceState DefaultDeviceState(bool zBufferAttached)
{
    DeviceState state;
    std::memset(&state, 0, sizeof state);
    uint32_t* r = state.render;
    r[D3DRENDERSTATE_ZENABLE] = zBufferAttached ? D3DZB_TRUE : D3DZB_FALSE;
    r[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    r[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    r[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    r[D3DRENDERSTATE_LASTPIXEL] = TRUE;
    r[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    r[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    r[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    r[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    r[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    r[D3DRENDERSTATE_STENCILFUNC] = D3DCMP_ALWAYS;
    r[D3DRENDERSTATE_STENCILFAIL] = 1;  // D3DSTENCILOP_KEEP
    r[D3DRENDERSTATE_STENCILZFAIL] = 1;
    r[D3DRENDERSTATE_STENCILPASS] = 1;
    r[D3DRENDERSTATE_STENCILMASK] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_STENCILWRITEMASK] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_CLIPPING] = TRUE;
    // As Wine (OpenGL renderer) reads them back: TEXTUREPERSPECTIVE 0, and
    // these three with all bits set rather than TRUE.
    r[D3DRENDERSTATE_LIGHTING] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_LOCALVIEWER] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_NORMALIZENORMALS] = 0xFFFFFFFF;
    r[D3DRENDERSTATE_COLORVERTEX] = TRUE;
    r[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = 1;   // D3DMCS_COLOR1
    r[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = 2;  // D3DMCS_COLOR2
    // SPECULARENABLE stays off: only Direct3D 2 devices start with it on.

    for (uint32_t s = 0; s < kStageCount; ++s) {
        uint32_t* t = state.stage[s];
        t[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        t[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t[D3DTSS_TEXCOORDINDEX] = s;
        t[D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
        t[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        t[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        t[D3DTSS_MAGFILTER] = D3DTFG_POINT;
        t[D3DTSS_MINFILTER] = D3DTFN_POINT;
        t[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        t[D3DTSS_MAXANISOTROPY] = 1;
    }
    return state;
}

void SetStageState(DeviceState& state, uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    if (stage >= kStageCount || static_cast<uint32_t>(type) >= kStageStateCount) {
        return;
    }
    state.stage[stage][type] = value;
    if (type == D3DTSS_ADDRESS) {
        state.stage[stage][D3DTSS_ADDRESSU] = value;
        state.stage[stage][D3DTSS_ADDRESSV] = value;
    }
}

uint32_t ActiveStageCount(const DeviceState& state)
{
    uint32_t n = 0;
    while (n < kStageCount && state.stage[n][D3DTSS_COLOROP] != D3DTOP_DISABLE) {
        ++n;
    }
    return n;
}

bool StatesAreModelled(const DeviceState& state)
{
    const uint32_t* r = state.render;
    // Stage states past the first disabled stage are never read, so any
    // value there is fine, as on a real device.
    const uint32_t stages = ActiveStageCount(state);
    for (uint32_t s = 0; s < stages; ++s) {
        if (!StageIsModelled(state.stage[s])) {
            return false;
        }
    }
    if (r[D3DRENDERSTATE_ALPHABLENDENABLE] != FALSE &&
        (!InRange(r[D3DRENDERSTATE_SRCBLEND], D3DBLEND_ZERO, D3DBLEND_BOTHINVSRCALPHA) ||
         !InRange(r[D3DRENDERSTATE_DESTBLEND], D3DBLEND_ZERO, D3DBLEND_BOTHINVSRCALPHA))) {
        return false;
    }
    if (r[D3DRENDERSTATE_ALPHATESTENABLE] != FALSE &&
        !InRange(r[D3DRENDERSTATE_ALPHAFUNC], D3DCMP_NEVER, D3DCMP_ALWAYS)) {
        return false;
    }
    return InRange(r[D3DRENDERSTATE_CULLMODE], D3DCULL_NONE, D3DCULL_CCW) &&
           InRange(r[D3DRENDERSTATE_SHADEMODE], D3DSHADE_FLAT, D3DSHADE_PHONG) &&
           InRange(r[D3DRENDERSTATE_ZFUNC], D3DCMP_NEVER, D3DCMP_ALWAYS);
}

}  // namespace standin::raster
