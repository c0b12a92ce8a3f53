#include "gfx/SceneStates.h"

void setLitMeshStates(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_AMBIENT, 0x00333333);
}

void setAlphaFadeStates(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}

void setGreyDirectionalLight(IDirect3DDevice8* device, D3DLIGHT8& light) {
    light = D3DLIGHT8{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.3f, 0.3f, 0.3f, 0.0f};
    light.Specular = {0.3f, 0.3f, 0.3f, 0.0f};
    light.Ambient = {0.2f, 0.2f, 0.2f, 0.0f};
    light.Direction = {1.0f, -1.0f, -1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
}
