#include "FrameReadback.h"

#include "common/PngFile.h"

#include <cstdio>
#include <cstring>

bool readFrontBuffer(IDirect3DDevice8* device, int width, int height, Frame* frame) {
    IDirect3DSurface8* surface = nullptr;
    if (device->CreateImageSurface(width, height, D3DFMT_A8R8G8B8, &surface) < 0) {
        return false;
    }
    bool ok = false;
    if (device->GetFrontBuffer(surface) >= 0) {
        D3DLOCKED_RECT locked;
        if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) >= 0) {
            frame->width = width;
            frame->height = height;
            frame->pixels.resize(static_cast<size_t>(width) * height);
            for (int y = 0; y < height; ++y) {
                std::memcpy(&frame->pixels[static_cast<size_t>(y) * width],
                            static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch,
                            static_cast<size_t>(width) * 4);
            }
            surface->UnlockRect();
            ok = true;
        }
    }
    surface->Release();
    return ok;
}

bool presentAndRead(IDirect3DDevice8* device, Frame* frame) {
    device->EndScene();
    if (device->Present(nullptr, nullptr, nullptr, nullptr) != D3D_OK) {
        return false;
    }
    return readFrontBuffer(device, 800, 600, frame);
}

bool writePng(const Frame& frame, const std::string& path) {
    auto fillRow = [&frame](uint32_t y, uint8_t* row) {
        for (int x = 0; x < frame.width; ++x) {
            uint32_t p = frame.at(x, static_cast<int>(y));
            row[x * 3 + 0] = static_cast<uint8_t>(p >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p);
        }
    };
    return writePngFile(path, frame.width, frame.height, fillRow);
}
