#include "gfx/GraphicsDevice.h"
#include "common/ReleaseInterface.h"

#include "gfx/WindowPlacement.h"

#include <cstring>

namespace {
// The SDK version of Direct3D 8.0, which this program was written against.
const UINT DIRECT3D_8_0_SDK_VERSION = 120;
const char* const MAG_FILTER_FAILED = "テクスチャの拡大フィルタを設定することができませんでした。";
const char* const MIN_FILTER_FAILED = "テクスチャの縮小フィルタを設定することができませんでした。";
} // namespace

GraphicsDevice::GraphicsDevice()
    : width(0), height(0), direct3d(nullptr), device(nullptr), displayMode{},
      window(nullptr), presentParameters{} {}

GraphicsDevice::~GraphicsDevice() {
    releaseInterface(direct3d);
    releaseInterface(device);
}

int GraphicsDevice::create(HWND window, int width, int height) {
    this->width = width;
    this->height = height;
    this->window = window;
    direct3d = Direct3DCreate8(DIRECT3D_8_0_SDK_VERSION);
    if (direct3d == nullptr) {
        // No Direct3D at all: fail the same way as when no device can be made.
        MessageBoxA(nullptr, "Failed Initting", "Error", MB_OK);
        return 1;
    }

    std::memset(&presentParameters, 0, sizeof presentParameters);
    direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode);
    describeBackBuffer(displayMode.Format, TRUE);

    const struct {
        D3DDEVTYPE type;
        DWORD behavior;
    } attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    bool created = false;
    for (const auto& attempt : attempts) {
        if (direct3d->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window, attempt.behavior,
                                   &presentParameters, &device) >= 0) {
            created = true;
            break;
        }
    }
    if (!created) {
        MessageBoxA(nullptr, "Failed Initting", "Error", MB_OK);
        direct3d->Release();
        direct3d = nullptr;
        device = nullptr;
        return 1;
    }

    setDefaultFilters();
    device->SetRenderState(D3DRS_DITHERENABLE, TRUE);
    return 0;
}

void GraphicsDevice::setDefaultFilters() {
    if (device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR) < 0) {
        MessageBoxA(nullptr, MAG_FILTER_FAILED, "Error", MB_OK);
    }
    if (device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR) < 0) {
        MessageBoxA(nullptr, MIN_FILTER_FAILED, "Error", MB_OK);
    }
}

IDirect3DDevice8* GraphicsDevice::getDevice() {
    return device;
}

D3DPRESENT_PARAMETERS* GraphicsDevice::getPresentParameters(D3DPRESENT_PARAMETERS* destination) {
    *destination = presentParameters;
    return destination;
}

int GraphicsDevice::setWindowed(int windowed) {
    if (device == nullptr) {
        return 0; // nothing to switch before a successful create
    }
    if (windowed != 0) {
        describeBackBuffer(displayMode.Format, TRUE);
        device->Reset(&presentParameters);
        setDefaultFilters();

        WindowPlacement placement = centredWindowPlacement(width, height);
        return SetWindowPos(window, nullptr, placement.x, placement.y, placement.outerWidth,
                            placement.outerHeight, SWP_SHOWWINDOW);
    }

    describeBackBuffer(D3DFMT_X8R8G8B8, FALSE);
    presentParameters.BackBufferCount = 1;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_SHOWWINDOW);
    device->Reset(&presentParameters);
    setDefaultFilters();
    return 0;
}

// What both modes share: a width x height back buffer, flipped, with a D24S8 depth buffer.
void GraphicsDevice::describeBackBuffer(D3DFORMAT format, BOOL windowed) {
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    presentParameters.BackBufferFormat = format;
    presentParameters.SwapEffect = D3DSWAPEFFECT_FLIP;
    presentParameters.Windowed = windowed;
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = D3DFMT_D24S8;
}

int GraphicsDevice::getWidth() {
    return width;
}

int GraphicsDevice::getHeight() {
    return height;
}
