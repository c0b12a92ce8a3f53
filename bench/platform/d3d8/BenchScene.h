// The device every benchmark of this folder draws with: an 800 x 600 window, a device with a
// depth buffer and two 256 x 256 noise textures, and a way to wait for the rasteriser.
#pragma once

#include <d3d8.h>
#include <windows.h>

#include <benchmark/benchmark.h>

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

// Waits for the rasteriser by reading a pixel of the back buffer back.
inline void waitForFrame(IDirect3DDevice8* device) {
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
        // Windowed, flipped, with a D24S8 depth buffer; the rest left to the device.
        D3DPRESENT_PARAMETERS params{WIDTH,
                                     HEIGHT,
                                     D3DFMT_X8R8G8B8,
                                     0,
                                     D3DMULTISAMPLE_NONE,
                                     D3DSWAPEFFECT_FLIP,
                                     nullptr,
                                     TRUE,
                                     TRUE,
                                     D3DFMT_D24S8,
                                     0,
                                     0,
                                     0};
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

    // The device, or null with the benchmark marked skipped when there is none.
    IDirect3DDevice8* openOrSkip(benchmark::State& state) {
        if (!open()) {
            state.SkipWithError("no device");
            return nullptr;
        }
        return device;
    }

    // Waits for the rasteriser, as a frame's end would.
    void finish() { waitForFrame(device); }

    // Runs a benchmark's frames: frame(n) draws the n-th from 0, then the scene presents it
    // and waits for it. The first two compile the shaders and the rasteriser's code: untimed.
    template <class Frame> void runFrames(benchmark::State& state, Frame frame) {
        int n = 0;
        auto one = [&] {
            frame(n++);
            device->Present(nullptr, nullptr, nullptr, nullptr);
            finish();
        };
        one();
        one();
        for (auto _ : state) {
            one();
        }
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
