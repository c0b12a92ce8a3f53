// The device every benchmark of this folder draws with: an 800 x 600 window, a device with a
// depth buffer and two 256 x 256 noise textures, and a way to wait for the rasteriser.
#pragma once

#include <d3d8.h>
#include <windows.h>

#include <cstdint>

namespace bench {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

inline LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND benchWindow() {
    static HWND window = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = windowProc;
        windowClass.lpszClassName = "d3d8bench";
        RegisterClassExA(&windowClass);
        return CreateWindowExA(0, "d3d8bench", "", WS_POPUP, 0, 0, WIDTH, HEIGHT, nullptr, nullptr,
                               nullptr, nullptr);
    }();
    return window;
}

// A device with a 256 x 256 texture of noise, as a scene's would be.
struct Scene {
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DTexture8* textures[2] = {};

    bool open() {
        direct3d = Direct3DCreate8(D3D_SDK_VERSION);
        if (direct3d == nullptr) {
            return false;
        }
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = WIDTH;
        params.BackBufferHeight = HEIGHT;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = D3DSWAPEFFECT_FLIP;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, benchWindow(),
                                          D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device))) {
            return false;
        }
        uint32_t seed = 1;
        for (auto& texture : textures) {
            device->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
            D3DLOCKED_RECT locked{};
            texture->LockRect(0, &locked, nullptr, 0);
            for (int y = 0; y < 256; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) +
                                                        y * locked.Pitch);
                for (int x = 0; x < 256; ++x) {
                    seed = seed * 214013 + 2531011;
                    row[x] = 0xFF000000 | (seed >> 8);
                }
            }
            texture->UnlockRect(0);
        }
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetVertexShader(FVF);
        return true;
    }

    // Waits for the rasteriser by reading a pixel back, as a frame's end would.
    void finish() {
        IDirect3DSurface8* target = nullptr;
        IDirect3DSurface8* image = nullptr;
        device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &target);
        device->CreateImageSurface(1, 1, D3DFMT_A8R8G8B8, &image);
        RECT rect{0, 0, 1, 1};
        POINT origin{0, 0};
        device->CopyRects(target, &rect, 1, image, &origin);
        image->Release();
        target->Release();
    }

    void close() {
        for (auto* texture : textures) {
            if (texture != nullptr) {
                texture->Release();
            }
        }
        if (device != nullptr) {
            device->Release();
        }
        if (direct3d != nullptr) {
            direct3d->Release();
        }
    }
};

} // namespace bench
