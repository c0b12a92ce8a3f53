// Recording the device state, and bringing GL up to date with it at the next draw.
#include "Device.h"

#include "Direct3D8.h"
#include "Formats.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "IndexBuffer.h"
#include "VertexFormat.h"

#include <cmath>
#include <cstring>

namespace {

inline DWORD floatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

inline float bitsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

const D3DMATRIX IDENTITY = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

GLenum compareFunc(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum blendFactor(DWORD blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum stencilOp(DWORD op) {
    switch (op) {
    case D3DSTENCILOP_ZERO:
        return GL_ZERO;
    case D3DSTENCILOP_REPLACE:
        return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT:
        return GL_INCR;
    case D3DSTENCILOP_DECRSAT:
        return GL_DECR;
    case D3DSTENCILOP_INVERT:
        return GL_INVERT;
    case D3DSTENCILOP_INCR:
        return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR:
        return GL_DECR_WRAP;
    default:
        return GL_KEEP;
    }
}

GLenum addressMode(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE:
        return GL_MIRRORED_REPEAT;
    default:
        return GL_REPEAT;
    }
}

bool validRenderState(D3DRENDERSTATETYPE state) {
    // The states Direct3D 8 defines; others are refused.
    switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_FILLMODE:
    case D3DRS_SHADEMODE:
    case D3DRS_LINEPATTERN:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_LASTPIXEL:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_CULLMODE:
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAREF:
    case D3DRS_ALPHAFUNC:
    case D3DRS_DITHERENABLE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_FOGENABLE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_ZVISIBLE:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_EDGEANTIALIAS:
    case D3DRS_ZBIAS:
    case D3DRS_RANGEFOGENABLE:
    case D3DRS_STENCILENABLE:
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
    case D3DRS_STENCILFUNC:
    case D3DRS_STENCILREF:
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_WRAP0:
    case D3DRS_WRAP1:
    case D3DRS_WRAP2:
    case D3DRS_WRAP3:
    case D3DRS_WRAP4:
    case D3DRS_WRAP5:
    case D3DRS_WRAP6:
    case D3DRS_WRAP7:
    case D3DRS_CLIPPING:
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_FOGVERTEXMODE:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_VERTEXBLEND:
    case D3DRS_CLIPPLANEENABLE:
    case D3DRS_SOFTWAREVERTEXPROCESSING:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
    case D3DRS_MULTISAMPLEANTIALIAS:
    case D3DRS_MULTISAMPLEMASK:
    case D3DRS_PATCHEDGESTYLE:
    case D3DRS_PATCHSEGMENTS:
    case D3DRS_DEBUGMONITORTOKEN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_INDEXEDVERTEXBLENDENABLE:
    case D3DRS_COLORWRITEENABLE:
    case D3DRS_TWEENFACTOR:
    case D3DRS_BLENDOP:
    case D3DRS_POSITIONORDER:
    case D3DRS_NORMALORDER:
        return true;
    default:
        return false;
    }
}

// Whether a value is one the state accepts (enumerated states only).
bool validRenderStateValue(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
    case D3DRS_ZENABLE:
        return value <= D3DZB_USEW;
    case D3DRS_FILLMODE:
        return value >= D3DFILL_POINT && value <= D3DFILL_SOLID;
    case D3DRS_SHADEMODE:
        return value >= D3DSHADE_FLAT && value <= D3DSHADE_PHONG;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        return value >= D3DBLEND_ZERO && value <= D3DBLEND_BOTHINVSRCALPHA;
    case D3DRS_CULLMODE:
        return value >= D3DCULL_NONE && value <= D3DCULL_CCW;
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
    case D3DRS_STENCILFUNC:
        return value >= D3DCMP_NEVER && value <= D3DCMP_ALWAYS;
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
        return value >= D3DSTENCILOP_KEEP && value <= D3DSTENCILOP_DECR;
    case D3DRS_BLENDOP:
        return value >= D3DBLENDOP_ADD && value <= D3DBLENDOP_MAX;
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
        return value <= D3DMCS_COLOR2;
    default:
        return true;
    }
}

bool validStageValue(D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP:
        return value >= D3DTOP_DISABLE && value <= D3DTOP_LERP;
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
        return (value & D3DTA_SELECTMASK) <= D3DTA_TEMP &&
               (value & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0;
    case D3DTSS_RESULTARG:
        return value == D3DTA_CURRENT || value == D3DTA_TEMP;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
        return value >= D3DTADDRESS_WRAP && value <= D3DTADDRESS_MIRRORONCE;
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
        return value <= D3DTEXF_GAUSSIANCUBIC;
    default:
        return true;
    }
}

// Whether a colour operation reads its arguments 1, 2 and 0.
void usedArguments(DWORD op, bool& arg1, bool& arg2, bool& arg0) {
    arg1 = op != D3DTOP_SELECTARG2;
    arg2 = op != D3DTOP_SELECTARG1 && op != D3DTOP_PREMODULATE && op != D3DTOP_BUMPENVMAP &&
           op != D3DTOP_BUMPENVMAPLUMINANCE;
    arg0 = op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP;
}

} // namespace

void Device::setDefaultStates() {
    std::memset(renderStates, 0, sizeof(renderStates));
    renderStates[D3DRS_ZENABLE] = presentParams.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
    renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    renderStates[D3DRS_LINEPATTERN] = 0;
    renderStates[D3DRS_ZWRITEENABLE] = TRUE;
    renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
    renderStates[D3DRS_LASTPIXEL] = TRUE;
    renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    renderStates[D3DRS_ALPHAREF] = 0;
    renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRS_DITHERENABLE] = FALSE;
    renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
    renderStates[D3DRS_FOGENABLE] = FALSE;
    renderStates[D3DRS_SPECULARENABLE] = FALSE;
    renderStates[D3DRS_FOGSTART] = floatBits(0.0f);
    renderStates[D3DRS_FOGEND] = floatBits(1.0f);
    renderStates[D3DRS_FOGDENSITY] = floatBits(1.0f);
    renderStates[D3DRS_STENCILENABLE] = FALSE;
    renderStates[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    renderStates[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    renderStates[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    renderStates[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRS_STENCILREF] = 0;
    renderStates[D3DRS_STENCILMASK] = 0xFFFFFFFF;
    renderStates[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    renderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    renderStates[D3DRS_CLIPPING] = TRUE;
    renderStates[D3DRS_LIGHTING] = TRUE;
    renderStates[D3DRS_AMBIENT] = 0;
    renderStates[D3DRS_COLORVERTEX] = TRUE;
    renderStates[D3DRS_LOCALVIEWER] = TRUE;
    renderStates[D3DRS_NORMALIZENORMALS] = FALSE;
    renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    renderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    renderStates[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates[D3DRS_SOFTWAREVERTEXPROCESSING] =
        (behaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) ? TRUE : FALSE;
    renderStates[D3DRS_POINTSIZE] = floatBits(1.0f);
    renderStates[D3DRS_POINTSIZE_MIN] = floatBits(0.0f);
    renderStates[D3DRS_POINTSPRITEENABLE] = FALSE;
    renderStates[D3DRS_POINTSCALEENABLE] = FALSE;
    renderStates[D3DRS_POINTSCALE_A] = floatBits(1.0f);
    renderStates[D3DRS_POINTSCALE_B] = floatBits(0.0f);
    renderStates[D3DRS_POINTSCALE_C] = floatBits(0.0f);
    renderStates[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    renderStates[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
    renderStates[D3DRS_PATCHSEGMENTS] = floatBits(1.0f);
    renderStates[D3DRS_POINTSIZE_MAX] = floatBits(Direct3D8::MAX_POINT_SIZE);
    renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
    renderStates[D3DRS_TWEENFACTOR] = floatBits(0.0f);
    renderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    renderStates[D3DRS_POSITIONORDER] = D3DORDER_CUBIC;
    renderStates[D3DRS_NORMALORDER] = D3DORDER_LINEAR;

    for (int stage = 0; stage < MAX_STAGES; ++stage) {
        DWORD* s = stageStates[stage];
        std::memset(s, 0, sizeof(stageStates[stage]));
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(stage);
        s[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        s[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        s[D3DTSS_BORDERCOLOR] = 0;
        s[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        s[D3DTSS_MIPMAPLODBIAS] = floatBits(0.0f);
        s[D3DTSS_MAXMIPLEVEL] = 0;
        s[D3DTSS_MAXANISOTROPY] = 1;
        s[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        s[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        s[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    world = view = projection = IDENTITY;
    for (auto& m : textureTransforms) {
        m = IDENTITY;
    }
    std::memset(&material, 0, sizeof(material));
    lights.clear();
    lightEnabled.clear();
    vertexShader = 0;
    framebufferDirty = fixedStateDirty = shaderKeyDirty = true;
    samplerDirtyMask = 0xff;
    textureDirtyMask = 0xff;
    ++uniformVersion;
}

void Device::markRenderStateDirty(D3DRENDERSTATETYPE state) {
    switch (state) {
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC:
    case D3DRS_SPECULARENABLE:
    case D3DRS_SHADEMODE:
    case D3DRS_LIGHTING:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_COLORVERTEX:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
        shaderKeyDirty = true;
        break;
    case D3DRS_FILLMODE:
        shaderKeyDirty = true;
        fixedStateDirty = true;
        break;
    case D3DRS_ALPHAREF:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
        ++uniformVersion;
        break;
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_BLENDOP:
    case D3DRS_CULLMODE:
    case D3DRS_STENCILENABLE:
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
    case D3DRS_STENCILFUNC:
    case D3DRS_STENCILREF:
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
    case D3DRS_COLORWRITEENABLE:
        fixedStateDirty = true;
        break;
    default:
        break; // dithering, fog, clipping and the rest change nothing drawn here
    }
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    if (!validRenderState(State) || !validRenderStateValue(State, Value)) {
        return D3DERR_INVALIDCALL;
    }
    if (renderStates[State] != Value) {
        renderStates[State] = Value;
        markRenderStateDirty(State);
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    if (pValue == nullptr || !validRenderState(State)) {
        return D3DERR_INVALIDCALL;
    }
    *pValue = renderStates[State];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    if (Stage >= MAX_STAGES || Type < D3DTSS_COLOROP || Type > D3DTSS_RESULTARG || Type == 12 ||
        !validStageValue(Type, Value)) {
        return D3DERR_INVALIDCALL;
    }
    if (stageStates[Stage][Type] == Value) {
        return D3D_OK;
    }
    stageStates[Stage][Type] = Value;
    switch (Type) {
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_MAXMIPLEVEL:
    case D3DTSS_MAXANISOTROPY:
        samplerDirtyMask |= 1u << Stage;
        break;
    default:
        shaderKeyDirty = true;
        break;
    }
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
    if (pValue == nullptr || Stage >= MAX_STAGES || Type < D3DTSS_COLOROP ||
        Type > D3DTSS_RESULTARG) {
        return D3DERR_INVALIDCALL;
    }
    *pValue = stageStates[Stage][Type];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) {
    if (Stage >= MAX_STAGES) {
        return D3DERR_INVALIDCALL;
    }
    // Only 2D textures exist here; every texture handed out is one.
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture8*>(pTexture));
    if (texture != nullptr && texture->GetType() != D3DRTYPE_TEXTURE) {
        return D3DERR_INVALIDCALL;
    }
    Texture* old = textures[Stage];
    if (old == texture) {
        return D3D_OK;
    }
    if (texture != nullptr) {
        texture->AddRef();
    }
    textures[Stage] = texture;
    if ((old == nullptr) != (texture == nullptr)) {
        shaderKeyDirty = true;
    }
    textureDirtyMask |= 1u << Stage;
    if (old != nullptr) {
        old->Release();
    }
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) {
    if (ppTexture == nullptr || Stage >= MAX_STAGES) {
        return D3DERR_INVALIDCALL;
    }
    *ppTexture = textures[Stage];
    if (textures[Stage] != nullptr) {
        textures[Stage]->AddRef();
    }
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    if (pMatrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (State == D3DTS_WORLD) {
        world = *pMatrix;
    } else if (State == D3DTS_VIEW) {
        view = *pMatrix;
    } else if (State == D3DTS_PROJECTION) {
        projection = *pMatrix;
    } else if (State >= D3DTS_TEXTURE0 && State <= D3DTS_TEXTURE7) {
        textureTransforms[State - D3DTS_TEXTURE0] = *pMatrix;
    } else if (static_cast<DWORD>(State) > 256 && static_cast<DWORD>(State) < 512) {
        return D3D_OK; // blend matrices: vertex blending is not drawn by this device
    } else {
        return D3DERR_INVALIDCALL;
    }
    ++uniformVersion;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    if (pMatrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (State == D3DTS_WORLD) {
        *pMatrix = world;
    } else if (State == D3DTS_VIEW) {
        *pMatrix = view;
    } else if (State == D3DTS_PROJECTION) {
        *pMatrix = projection;
    } else if (State >= D3DTS_TEXTURE0 && State <= D3DTS_TEXTURE7) {
        *pMatrix = textureTransforms[State - D3DTS_TEXTURE0];
    } else if (static_cast<DWORD>(State) > 256 && static_cast<DWORD>(State) < 512) {
        *pMatrix = IDENTITY;
    } else {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    D3DMATRIX current;
    if (pMatrix == nullptr || FAILED(GetTransform(State, &current))) {
        return D3DERR_INVALIDCALL;
    }
    D3DMATRIX product = multiply(*pMatrix, current);
    return SetTransform(State, &product);
}

HRESULT Device::SetViewport(CONST D3DVIEWPORT8* pViewport) {
    if (pViewport == nullptr || renderTarget == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const D3DVIEWPORT8& v = *pViewport;
    // The viewport must lie inside the render target, with depths in [0, 1].
    if (v.Width == 0 || v.Height == 0 ||
        static_cast<uint64_t>(v.X) + v.Width > renderTarget->width() ||
        static_cast<uint64_t>(v.Y) + v.Height > renderTarget->height() || !(v.MinZ >= 0.0f) ||
        !(v.MaxZ <= 1.0f) || !(v.MinZ <= v.MaxZ)) {
        return D3DERR_INVALIDCALL;
    }
    viewport = v;
    fixedStateDirty = true;
    ++uniformVersion;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* pViewport) {
    if (pViewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *pViewport = viewport;
    return D3D_OK;
}

void Device::resetViewportToTarget() {
    viewport = D3DVIEWPORT8{0, 0, renderTarget->width(), renderTarget->height(), 0.0f, 1.0f};
    fixedStateDirty = true;
    ++uniformVersion;
}

HRESULT Device::SetMaterial(CONST D3DMATERIAL8* pMaterial) {
    if (pMaterial == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    material = *pMaterial;
    ++uniformVersion;
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* pMaterial) {
    if (pMaterial == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *pMaterial = material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD Index, CONST D3DLIGHT8* pLight) {
    if (pLight == nullptr || pLight->Type < D3DLIGHT_POINT || pLight->Type > D3DLIGHT_DIRECTIONAL ||
        Index > 0xffff) {
        return D3DERR_INVALIDCALL;
    }
    if (Index >= lights.size()) {
        D3DLIGHT8 none{};
        none.Type = D3DLIGHT_DIRECTIONAL;
        none.Diffuse = {1, 1, 1, 0};
        none.Direction = {0, 0, 1};
        lights.resize(Index + 1, none);
        lightEnabled.resize(Index + 1, 0);
    }
    if (lights[Index].Type != pLight->Type && lightEnabled[Index]) {
        shaderKeyDirty = true;
    }
    lights[Index] = *pLight;
    ++uniformVersion;
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT8* pLight) {
    if (pLight == nullptr || Index >= lights.size()) {
        return D3DERR_INVALIDCALL;
    }
    *pLight = lights[Index];
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable) {
    if (Index > 0xffff) {
        return D3DERR_INVALIDCALL;
    }
    if (Index >= lights.size()) {
        // Enabling a light never set gives the default white directional light.
        D3DLIGHT8 none{};
        none.Type = D3DLIGHT_DIRECTIONAL;
        none.Diffuse = {1, 1, 1, 0};
        none.Direction = {0, 0, 1};
        lights.resize(Index + 1, none);
        lightEnabled.resize(Index + 1, 0);
    }
    uint8_t value = Enable ? 1 : 0;
    if (lightEnabled[Index] != value) {
        lightEnabled[Index] = value;
        shaderKeyDirty = true;
        ++uniformVersion;
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable) {
    if (pEnable == nullptr || Index >= lights.size()) {
        return D3DERR_INVALIDCALL;
    }
    *pEnable = lightEnabled[Index] ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetClipPlane(DWORD, CONST float*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetClipPlane(DWORD, float*) {
    return D3DERR_INVALIDCALL;
}

HRESULT Device::SetVertexShader(DWORD Handle) {
    // Only flexible vertex formats: programmable shaders are not offered (caps say 0.0).
    if (fvfVertexSize(Handle) == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (vertexShader != Handle) {
        vertexShader = Handle;
        shaderKeyDirty = true;
    }
    return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* pHandle) {
    if (pHandle == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *pHandle = vertexShader;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                                UINT Stride) {
    if (StreamNumber != 0 || (pStreamData != nullptr && Stride == 0)) {
        return D3DERR_INVALIDCALL;
    }
    auto* buffer = static_cast<VertexBuffer*>(pStreamData);
    if (buffer != nullptr) {
        buffer->AddRef();
    }
    if (streamSource != nullptr) {
        streamSource->Release();
    }
    streamSource = buffer;
    streamStride = Stride;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData,
                                UINT* pStride) {
    if (StreamNumber != 0 || ppStreamData == nullptr || pStride == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppStreamData = streamSource;
    *pStride = streamStride;
    if (streamSource != nullptr) {
        streamSource->AddRef();
    }
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) {
    auto* buffer = static_cast<IndexBuffer*>(pIndexData);
    if (buffer != nullptr) {
        buffer->AddRef();
    }
    if (indexBuffer != nullptr) {
        indexBuffer->Release();
    }
    indexBuffer = buffer;
    baseVertexIndex = BaseVertexIndex;
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) {
    if (ppIndexData == nullptr || pBaseVertexIndex == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppIndexData = indexBuffer;
    *pBaseVertexIndex = baseVertexIndex;
    if (indexBuffer != nullptr) {
        indexBuffer->AddRef();
    }
    return D3D_OK;
}

// State blocks, clip status, palettes and programmable shaders are not offered by this
// device (its caps say so); the calls answer as a device without them does.
HRESULT Device::BeginStateBlock() {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::EndStateBlock(DWORD*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::ApplyStateBlock(DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::CaptureStateBlock(DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::DeleteStateBlock(DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE, DWORD*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetClipStatus(CONST D3DCLIPSTATUS8*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetClipStatus(D3DCLIPSTATUS8*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetPaletteEntries(UINT, CONST struct tagPALETTEENTRY*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetPaletteEntries(UINT, struct tagPALETTEENTRY*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetCurrentTexturePalette(UINT) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetCurrentTexturePalette(UINT*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::CreateVertexShader(CONST DWORD*, CONST DWORD*, DWORD*, DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::DeleteVertexShader(DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetVertexShaderConstant(DWORD, CONST void*, DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetVertexShaderConstant(DWORD, void*, DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetVertexShaderDeclaration(DWORD, void*, DWORD*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetVertexShaderFunction(DWORD, void*, DWORD*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::CreatePixelShader(CONST DWORD*, DWORD*) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetPixelShader(DWORD Handle) {
    return Handle == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}
HRESULT Device::GetPixelShader(DWORD* pHandle) {
    if (pHandle == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *pHandle = 0;
    return D3D_OK;
}
HRESULT Device::DeletePixelShader(DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::SetPixelShaderConstant(DWORD, CONST void*, DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetPixelShaderConstant(DWORD, void*, DWORD) {
    return D3DERR_INVALIDCALL;
}
HRESULT Device::GetPixelShaderFunction(DWORD, void*, DWORD*) {
    return D3DERR_INVALIDCALL;
}

// ---- Applying the recorded state at a draw ----

GLuint Device::framebufferFor(GLuint colorTexture, GLuint level, GLuint depth) {
    auto key = std::make_tuple(colorTexture, level, depth);
    auto found = framebuffers.find(key);
    if (found != framebuffers.end()) {
        return found->second;
    }
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    boundFramebuffer = framebuffer;
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture,
                           static_cast<GLint>(level));
    if (depth != 0) {
        GLint stencilBits = 0;
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_STENCIL_SIZE, &stencilBits);
        glFramebufferRenderbuffer(
            GL_FRAMEBUFFER, stencilBits > 0 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
            GL_RENDERBUFFER, depth);
    }
    framebuffers.emplace(key, framebuffer);
    return framebuffer;
}

void Device::applyFramebuffer() {
    GLuint color = renderTarget->glTexture();
    GLuint depth = depthStencil != nullptr ? depthStencil->glRenderbuffer() : 0;
    GLuint framebuffer = framebufferFor(color, renderTarget->level(), depth);
    if (boundFramebuffer != framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        boundFramebuffer = framebuffer;
    }
    glViewport(0, 0, static_cast<GLsizei>(renderTarget->width()),
               static_cast<GLsizei>(renderTarget->height()));
    framebufferDirty = false;
}

void Device::setEnabled(GLenum cap, bool enable, int slot) {
    int8_t value = enable ? 1 : 0;
    if (enabledCaps[slot] == value) {
        return;
    }
    enabledCaps[slot] = value;
    if (enable) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

void Device::applyFixedState() {
    const DWORD* rs = renderStates;
    // Drawing is confined to the viewport.
    setEnabled(GL_SCISSOR_TEST, true, 0);
    glScissor(static_cast<GLint>(viewport.X), static_cast<GLint>(viewport.Y),
              static_cast<GLsizei>(viewport.Width), static_cast<GLsizei>(viewport.Height));

    bool depth = rs[D3DRS_ZENABLE] != D3DZB_FALSE && depthStencil != nullptr;
    setEnabled(GL_DEPTH_TEST, depth, 1);
    if (depth) {
        glDepthFunc(compareFunc(rs[D3DRS_ZFUNC]));
        glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    }

    bool blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    setEnabled(GL_BLEND, blend, 2);
    if (blend) {
        GLenum source = blendFactor(rs[D3DRS_SRCBLEND]);
        GLenum destination = blendFactor(rs[D3DRS_DESTBLEND]);
        if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) {
            source = GL_SRC_ALPHA;
            destination = GL_ONE_MINUS_SRC_ALPHA;
        } else if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) {
            source = GL_ONE_MINUS_SRC_ALPHA;
            destination = GL_SRC_ALPHA;
        }
        glBlendFunc(source, destination);
        GLenum op = GL_FUNC_ADD;
        switch (rs[D3DRS_BLENDOP]) {
        case D3DBLENDOP_SUBTRACT:
            op = GL_FUNC_SUBTRACT;
            break;
        case D3DBLENDOP_REVSUBTRACT:
            op = GL_FUNC_REVERSE_SUBTRACT;
            break;
        case D3DBLENDOP_MIN:
            op = GL_MIN;
            break;
        case D3DBLENDOP_MAX:
            op = GL_MAX;
            break;
        default:
            break;
        }
        glBlendEquation(op);
    }

    // Targets are drawn with y down, which mirrors the winding GL sees: a triangle clockwise
    // on screen is counter-clockwise to GL, its front face.
    DWORD cull = rs[D3DRS_CULLMODE];
    setEnabled(GL_CULL_FACE, cull != D3DCULL_NONE, 3);
    if (cull != D3DCULL_NONE) {
        glCullFace(cull == D3DCULL_CCW ? GL_BACK : GL_FRONT);
    }
    GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? GL_POINT
                  : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                            : GL_FILL;
    glPolygonMode(GL_FRONT_AND_BACK, fill);

    bool stencil = rs[D3DRS_STENCILENABLE] != FALSE && depthStencil != nullptr;
    setEnabled(GL_STENCIL_TEST, stencil, 4);
    if (stencil) {
        glStencilFunc(compareFunc(rs[D3DRS_STENCILFUNC]),
                      static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xff), rs[D3DRS_STENCILMASK]);
        glStencilOp(stencilOp(rs[D3DRS_STENCILFAIL]), stencilOp(rs[D3DRS_STENCILZFAIL]),
                    stencilOp(rs[D3DRS_STENCILPASS]));
        glStencilMask(rs[D3DRS_STENCILWRITEMASK]);
    }

    DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    // A target without alpha keeps alpha 1: nothing ever writes it.
    bool alpha = (mask & D3DCOLORWRITEENABLE_ALPHA) && formatHasAlpha(renderTarget->format());
    glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                (mask & D3DCOLORWRITEENABLE_BLUE) != 0, alpha);
    fixedStateDirty = false;
}

void Device::applySamplers() {
    // Binding a texture is cheap; sampler parameters are set only when a stage state changed.
    for (int stage = 0; stage < MAX_STAGES; ++stage) {
        if (textureDirtyMask & (1u << stage)) {
            Texture* texture = textures[stage];
            GLuint name = texture != nullptr ? texture->glTexture() : 0;
            if (boundTextures[stage] != name) {
                glActiveTexture(GL_TEXTURE0 + stage);
                glBindTexture(GL_TEXTURE_2D, name);
                boundTextures[stage] = name;
            }
        }
        if (!(samplerDirtyMask & (1u << stage))) {
            continue;
        }
        const DWORD* s = stageStates[stage];
        GLuint sampler = samplers[stage];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSU])));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSV])));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSW])));
        bool magLinear = s[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR;
        bool minLinear = s[D3DTSS_MINFILTER] >= D3DTEXF_LINEAR;
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
        GLenum minFilter;
        switch (s[D3DTSS_MIPFILTER]) {
        case D3DTEXF_NONE:
            // Level 0 only, whatever the texture holds.
            minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
            break;
        case D3DTEXF_POINT:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            break;
        default:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            break;
        }
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
        DWORD border = s[D3DTSS_BORDERCOLOR];
        GLfloat color[4] = {((border >> 16) & 0xff) / 255.0f, ((border >> 8) & 0xff) / 255.0f,
                            (border & 0xff) / 255.0f, ((border >> 24) & 0xff) / 255.0f};
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, color);
        glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bitsFloat(s[D3DTSS_MIPMAPLODBIAS]));
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(s[D3DTSS_MAXMIPLEVEL]));
    }
    samplerDirtyMask = 0;
    textureDirtyMask = 0;
}

ShaderKey Device::buildShaderKey(D3DPRIMITIVETYPE type) const {
    ShaderKey key;
    std::memset(&key, 0, sizeof(key));
    const DWORD* rs = renderStates;
    key.fvf = vertexShader;
    bool rhw = (vertexShader & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    key.alphaFunc = rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS
                        ? static_cast<uint8_t>(rs[D3DRS_ALPHAFUNC])
                        : 0;
    key.specularAdd = rs[D3DRS_SPECULARENABLE] ? 1 : 0;
    key.points = type == D3DPT_POINTLIST || rs[D3DRS_FILLMODE] == D3DFILL_POINT;
    key.pointSprite = key.points && rs[D3DRS_POINTSPRITEENABLE];
    key.pointScale = key.points && rs[D3DRS_POINTSCALEENABLE] && !rhw;
    key.lighting = rs[D3DRS_LIGHTING] && !rhw;
    if (key.lighting) {
        key.localViewer = rs[D3DRS_LOCALVIEWER] ? 1 : 0;
        key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] ? 1 : 0;
        key.colorVertex = rs[D3DRS_COLORVERTEX] ? 1 : 0;
        key.diffuseSource = static_cast<uint8_t>(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        key.specularSource = static_cast<uint8_t>(rs[D3DRS_SPECULARMATERIALSOURCE]);
        key.ambientSource = static_cast<uint8_t>(rs[D3DRS_AMBIENTMATERIALSOURCE]);
        key.emissiveSource = static_cast<uint8_t>(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
        int used = 0;
        for (size_t i = 0; i < lights.size() && used < MAX_LIGHTS; ++i) {
            if (lightEnabled[i]) {
                key.lights[used++].type = static_cast<uint8_t>(lights[i].Type);
            }
        }
    }
    int count = 0;
    for (int i = 0; i < MAX_STAGES; ++i) {
        const DWORD* s = stageStates[i];
        DWORD colorOp = s[D3DTSS_COLOROP];
        if (colorOp == D3DTOP_DISABLE) {
            break;
        }
        bool hasTexture = textures[i] != nullptr;
        if (!hasTexture) {
            // A colour operation reading a texture that is not there ends the cascade: the
            // colour and alpha that entered the stage come out.
            bool arg1, arg2, arg0;
            usedArguments(colorOp, arg1, arg2, arg0);
            if ((arg1 && (s[D3DTSS_COLORARG1] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
                (arg2 && (s[D3DTSS_COLORARG2] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
                (arg0 && (s[D3DTSS_COLORARG0] & D3DTA_SELECTMASK) == D3DTA_TEXTURE)) {
                break;
            }
        }
        StageKey& st = key.stages[i];
        st.colorOp = static_cast<uint8_t>(colorOp);
        st.colorArg0 = static_cast<uint8_t>(s[D3DTSS_COLORARG0]);
        st.colorArg1 = static_cast<uint8_t>(s[D3DTSS_COLORARG1]);
        st.colorArg2 = static_cast<uint8_t>(s[D3DTSS_COLORARG2]);
        st.alphaOp = static_cast<uint8_t>(s[D3DTSS_ALPHAOP]);
        st.alphaArg0 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG0]);
        st.alphaArg1 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG1]);
        st.alphaArg2 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG2]);
        st.resultTemp = s[D3DTSS_RESULTARG] == D3DTA_TEMP;
        st.texCoordIndex = static_cast<uint8_t>(s[D3DTSS_TEXCOORDINDEX] & 0xffff);
        st.hasTexture = hasTexture;
        ++count;
    }
    key.stageCount = static_cast<uint8_t>(count);
    return key;
}

void Device::applyUniforms(ShaderProgram& p) {
    const float targetWidth = static_cast<float>(renderTarget->width());
    const float targetHeight = static_cast<float>(renderTarget->height());
    // Direct3D samples pixel centres at integers, GL at half-integers; a shift just under
    // half a pixel also keeps the top-left fill rule.
    const float shift = 0.5f - 1.0f / 128.0f;
    glUniform4f(p.screen, 2.0f / targetWidth, 2.0f / targetHeight, shift, 0.0f);
    const float vx = static_cast<float>(viewport.X), vy = static_cast<float>(viewport.Y);
    const float vw = static_cast<float>(viewport.Width), vh = static_cast<float>(viewport.Height);
    glUniform4f(p.clipScale, vw / targetWidth, -vh / targetHeight,
                2.0f * (viewport.MaxZ - viewport.MinZ), 0.0f);
    glUniform4f(p.clipOffset, (2.0f * (vx + shift) + vw) / targetWidth - 1.0f,
                (2.0f * (vy + shift) + vh) / targetHeight - 1.0f, 2.0f * viewport.MinZ - 1.0f,
                0.0f);
    D3DMATRIX worldView = multiply(world, view);
    glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView._11);
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, &projection._11);
    DWORD tf = renderStates[D3DRS_TEXTUREFACTOR];
    glUniform4f(p.textureFactor, ((tf >> 16) & 0xff) / 255.0f, ((tf >> 8) & 0xff) / 255.0f,
                (tf & 0xff) / 255.0f, ((tf >> 24) & 0xff) / 255.0f);
    glUniform1f(p.alphaRef, static_cast<float>(renderStates[D3DRS_ALPHAREF] & 0xff));
    float maxSize =
        std::min(bitsFloat(renderStates[D3DRS_POINTSIZE_MAX]), Direct3D8::MAX_POINT_SIZE);
    glUniform4f(p.pointParams, bitsFloat(renderStates[D3DRS_POINTSIZE]),
                bitsFloat(renderStates[D3DRS_POINTSIZE_MIN]), maxSize, vh);
    glUniform3f(p.pointScale, bitsFloat(renderStates[D3DRS_POINTSCALE_A]),
                bitsFloat(renderStates[D3DRS_POINTSCALE_B]),
                bitsFloat(renderStates[D3DRS_POINTSCALE_C]));
    if (p.materialDiffuse >= 0 || p.globalAmbient >= 0) {
        // Normals go through the inverse transpose of the upper 3 x 3 of world x view.
        const auto& m = worldView.m;
        float a = m[0][0], b = m[0][1], c = m[0][2], d = m[1][0], e = m[1][1], f = m[1][2],
              g = m[2][0], h = m[2][1], k = m[2][2];
        float det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
        float inv = det != 0.0f ? 1.0f / det : 0.0f;
        // The cofactors over the determinant, row by row: the inverse transpose N. GL reads
        // the array column by column, so the shader's N^T * n is the row-vector n x N.
        float normal[9] = {(e * k - f * h) * inv,  -(d * k - f * g) * inv, (d * h - e * g) * inv,
                           -(b * k - c * h) * inv, (a * k - c * g) * inv,  -(a * h - b * g) * inv,
                           (b * f - c * e) * inv,  -(a * f - c * d) * inv, (a * e - b * d) * inv};
        glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normal);
        auto color = [](const D3DCOLORVALUE& v) {
            return std::array<float, 4>{v.r, v.g, v.b, v.a};
        };
        auto set4 = [](GLint location, const std::array<float, 4>& v) {
            glUniform4f(location, v[0], v[1], v[2], v[3]);
        };
        set4(p.materialDiffuse, color(material.Diffuse));
        set4(p.materialAmbient, color(material.Ambient));
        set4(p.materialSpecular, color(material.Specular));
        set4(p.materialEmissive, color(material.Emissive));
        glUniform1f(p.materialPower, material.Power);
        DWORD ga = renderStates[D3DRS_AMBIENT];
        glUniform4f(p.globalAmbient, ((ga >> 16) & 0xff) / 255.0f, ((ga >> 8) & 0xff) / 255.0f,
                    (ga & 0xff) / 255.0f, ((ga >> 24) & 0xff) / 255.0f);
        float diffuse[MAX_LIGHTS * 4] = {}, specular[MAX_LIGHTS * 4] = {},
                                   ambient[MAX_LIGHTS * 4] = {}, position[MAX_LIGHTS * 4] = {},
                                   direction[MAX_LIGHTS * 4] = {}, attenuation[MAX_LIGHTS * 4] = {},
                                   spot[MAX_LIGHTS * 4] = {};
        int used = 0;
        for (size_t i = 0; i < lights.size() && used < MAX_LIGHTS; ++i) {
            if (!lightEnabled[i]) {
                continue;
            }
            const D3DLIGHT8& l = lights[i];
            float* o = nullptr;
            o = diffuse + used * 4;
            o[0] = l.Diffuse.r, o[1] = l.Diffuse.g, o[2] = l.Diffuse.b, o[3] = l.Diffuse.a;
            o = specular + used * 4;
            o[0] = l.Specular.r, o[1] = l.Specular.g, o[2] = l.Specular.b, o[3] = l.Specular.a;
            o = ambient + used * 4;
            o[0] = l.Ambient.r, o[1] = l.Ambient.g, o[2] = l.Ambient.b, o[3] = l.Ambient.a;
            // Position and direction in camera space.
            const auto& v = view.m;
            const D3DVECTOR& P = l.Position;
            o = position + used * 4;
            for (int j = 0; j < 3; ++j) {
                o[j] = P.x * v[0][j] + P.y * v[1][j] + P.z * v[2][j] + v[3][j];
            }
            const D3DVECTOR& D = l.Direction;
            float dir[3];
            for (int j = 0; j < 3; ++j) {
                dir[j] = D.x * v[0][j] + D.y * v[1][j] + D.z * v[2][j];
            }
            float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
            o = direction + used * 4;
            for (int j = 0; j < 3; ++j) {
                o[j] = length > 0.0f ? dir[j] / length : 0.0f;
            }
            o = attenuation + used * 4;
            o[0] = l.Attenuation0, o[1] = l.Attenuation1, o[2] = l.Attenuation2, o[3] = l.Range;
            o = spot + used * 4;
            o[0] = std::cos(l.Theta * 0.5f), o[1] = std::cos(l.Phi * 0.5f), o[2] = l.Falloff;
            ++used;
        }
        glUniform4fv(p.lightDiffuse, MAX_LIGHTS, diffuse);
        glUniform4fv(p.lightSpecular, MAX_LIGHTS, specular);
        glUniform4fv(p.lightAmbient, MAX_LIGHTS, ambient);
        glUniform4fv(p.lightPosition, MAX_LIGHTS, position);
        glUniform4fv(p.lightDirection, MAX_LIGHTS, direction);
        glUniform4fv(p.lightAttenuation, MAX_LIGHTS, attenuation);
        glUniform4fv(p.lightSpot, MAX_LIGHTS, spot);
    }
    p.appliedVersion = uniformVersion;
}

bool Device::applyDrawState(D3DPRIMITIVETYPE type) {
    if (framebufferDirty) {
        applyFramebuffer();
    }
    if (fixedStateDirty) {
        applyFixedState();
    }
    if ((samplerDirtyMask | textureDirtyMask) != 0) {
        applySamplers();
    }
    bool points = type == D3DPT_POINTLIST || renderStates[D3DRS_FILLMODE] == D3DFILL_POINT;
    if (shaderKeyDirty || currentProgram == nullptr || points != (currentKey.points != 0)) {
        currentKey = buildShaderKey(type);
        currentProgram = shaders.get(currentKey);
        shaderKeyDirty = false;
    }
    if (currentProgram == nullptr) {
        return false;
    }
    if (boundProgram != currentProgram->program) {
        glUseProgram(currentProgram->program);
        boundProgram = currentProgram->program;
    }
    if (currentProgram->appliedVersion != uniformVersion) {
        applyUniforms(*currentProgram);
    }
    return true;
}

void Device::invalidateGlCache() {
    boundFramebuffer = ~0u;
    boundProgram = ~0u;
    for (auto& cap : enabledCaps) {
        cap = -1;
    }
    framebufferDirty = fixedStateDirty = true;
}
