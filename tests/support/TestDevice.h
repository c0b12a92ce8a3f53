// The devices the tests make on the real Direct3D object: windowed, an X8R8G8B8 back buffer,
// and a D24S8 depth buffer unless a test draws without one.
#pragma once

#include <d3d8.h>

D3DPRESENT_PARAMETERS windowedParameters(UINT width, UINT height, bool depth = true,
                                         D3DSWAPEFFECT swapEffect = D3DSWAPEFFECT_DISCARD);

// CreateDevice on the default adapter into window; its result.
HRESULT createTestDevice(IDirect3D8* direct3d, HWND window, D3DPRESENT_PARAMETERS params,
                         IDirect3DDevice8** device,
                         DWORD behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING);
