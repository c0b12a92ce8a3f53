#include "FrameReadback.h"

#include <png.h>

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

bool writePng(const Frame& frame, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(frame.width) * 3);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            uint32_t p = frame.at(x, y);
            row[x * 3 + 0] = static_cast<uint8_t>(p >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}
