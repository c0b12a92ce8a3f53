#include "TestDevice.h"

D3DPRESENT_PARAMETERS windowedParameters(UINT width, UINT height, bool depth,
                                         D3DSWAPEFFECT swapEffect) {
    return D3DPRESENT_PARAMETERS{.BackBufferWidth = width,
                                 .BackBufferHeight = height,
                                 .BackBufferFormat = D3DFMT_X8R8G8B8,
                                 .BackBufferCount = 0,
                                 .MultiSampleType = D3DMULTISAMPLE_NONE,
                                 .SwapEffect = swapEffect,
                                 .hDeviceWindow = nullptr,
                                 .Windowed = TRUE,
                                 .EnableAutoDepthStencil = depth ? TRUE : FALSE,
                                 .AutoDepthStencilFormat = D3DFMT_D24S8,
                                 .Flags = 0,
                                 .FullScreen_RefreshRateInHz = 0,
                                 .FullScreen_PresentationInterval = 0};
}

HRESULT createTestDevice(IDirect3D8* direct3d, HWND window, D3DPRESENT_PARAMETERS params,
                         IDirect3DDevice8** device, DWORD behavior) {
    return direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behavior, &params,
                                  device);
}
