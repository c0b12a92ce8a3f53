// Meshes generated instead of loaded: a torus and a box.
#pragma once

#include <d3dx8mesh.h>

// A ring around the z axis: outerRadius from the centre to the middle of the
// tube, innerRadius the tube's own radius. FLT_MAX and 0xFFFFFFFF stand for
// the defaults 1, 2, 8 sides and 15 rings.
HRESULT D3DXCreateTorus(LPDIRECT3DDEVICE8 pDevice, FLOAT InnerRadius, FLOAT OuterRadius, UINT Sides,
                        UINT Rings, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);

// A box centred on the origin; FLT_MAX stands for the default side of 1.
HRESULT D3DXCreateBox(LPDIRECT3DDEVICE8 pDevice, FLOAT Width, FLOAT Height, FLOAT Depth,
                      LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);
