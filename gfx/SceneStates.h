// Device set-ups that several scenes make alike, written once so that they stay alike.
#pragma once

#include <d3d8.h>

// Lighting on, depth testing, both faces drawn, specular highlights, Gouraud
// shading and a dim grey ambient: how the lit mesh scenes start.
void setLitMeshStates(IDirect3DDevice8* device);

// Blending by the source's alpha, with texture stage 0 multiplying the texture by
// the vertex colour in colour and alpha alike, so a quad's alpha fades it.
void setAlphaFadeStates(IDirect3DDevice8* device);

// Fills `light` with the grey directional light that shines down and away from
// the upper left front, sets it as light 0 and switches it on.
void setGreyDirectionalLight(IDirect3DDevice8* device, D3DLIGHT8& light);
