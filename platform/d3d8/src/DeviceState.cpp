// Recording the device state: the Set and Get calls, the light table, state blocks and the
// shader handles. DeviceApply.cpp brings GL up to date with it at the next draw.
#include "Device.h"

#include "Direct3D8.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "IndexBuffer.h"
#include "VertexFormat.h"
#include "StateValues.h"

#include <cmath>
#include <cstring>

namespace {

const D3DMATRIX IDENTITY = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

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

void Device::growLights(DWORD index) {
    if (index < lights.size()) {
        return;
    }
    // A light never set is the default: white, directional, shining along +z.
    D3DLIGHT8 none{};
    none.Type = D3DLIGHT_DIRECTIONAL;
    none.Diffuse = {1, 1, 1, 0};
    none.Direction = {0, 0, 1};
    lights.resize(index + 1, none);
    lightEnabled.resize(index + 1, 0);
}

HRESULT Device::SetLight(DWORD Index, CONST D3DLIGHT8* pLight) {
    if (pLight == nullptr || pLight->Type < D3DLIGHT_POINT || pLight->Type > D3DLIGHT_DIRECTIONAL ||
        Index > 0xffff) {
        return D3DERR_INVALIDCALL;
    }
    growLights(Index);
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
    growLights(Index);
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
