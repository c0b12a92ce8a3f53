#include <Formats.h>
#include <d3dx8.h>

#include <algorithm>
#include <bit>
#include <new>

#include "d3dx/BitmapReader.h"
#include "d3dx/TexelImage.h"
#include "d3dx/WindowsError.h"
#include <winbase.h>

namespace {

bool isBumpFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_V8U8:
    case D3DFMT_L6V5U5:
    case D3DFMT_X8L8V8U8:
    case D3DFMT_Q8W8V8U8:
    case D3DFMT_V16U16:
    case D3DFMT_W11V11U10:
        return true;
    default:
        return false;
    }
}

bool isBlockCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 ||
           format == D3DFMT_DXT4 || format == D3DFMT_DXT5;
}

bool hasAlpha(D3DFORMAT format) {
    // Those the device stores, and the palette, luminance and compressed ones with alpha.
    return formatHasAlpha(format) || format == D3DFMT_A8P8 || format == D3DFMT_A4L4 ||
           format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

// A format with room for the colour key's transparency, for a format without alpha.
D3DFORMAT widenedForKey(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
        return D3DFMT_A8R8G8B8;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_R3G3B2:
    case D3DFMT_X4R4G4B4:
        return D3DFMT_A1R5G5B5;
    case D3DFMT_L8:
        return D3DFMT_A8L8;
    default:
        return format;
    }
}

bool isPowerOfTwo(UINT v) {
    return v != 0 && (v & (v - 1)) == 0;
}

// The device's verdict on a texture format, and whether we can write it.
bool acceptable(IDirect3DDevice8* device, DWORD usage, D3DFORMAT format) {
    if (TexelImage::bytesPerTexel(format) == 0) {
        return false;
    }
    IDirect3D8* d3d = nullptr;
    if (FAILED(device->GetDirect3D(&d3d)) || d3d == nullptr) {
        return false;
    }
    D3DDEVICE_CREATION_PARAMETERS params{};
    D3DDISPLAYMODE mode{};
    bool ok = SUCCEEDED(device->GetCreationParameters(&params)) &&
              SUCCEEDED(device->GetDisplayMode(&mode)) &&
              SUCCEEDED(d3d->CheckDeviceFormat(params.AdapterOrdinal, params.DeviceType,
                                               mode.Format, usage, D3DRTYPE_TEXTURE, format));
    d3d->Release();
    return ok;
}

// The format itself when accepted, else the nearest by channel layout, else UNKNOWN.
D3DFORMAT fitFormat(IDirect3DDevice8* device, DWORD usage, D3DFORMAT format) {
    if (acceptable(device, usage, format)) {
        return format;
    }
    static constexpr D3DFORMAT WITH_ALPHA[] = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5};
    static constexpr D3DFORMAT LUMINANCE[] = {D3DFMT_A8L8, D3DFMT_L8, D3DFMT_X8R8G8B8,
                                              D3DFMT_A8R8G8B8};
    static constexpr D3DFORMAT OPAQUE[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5,
                                           D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};
    const D3DFORMAT* begin;
    const D3DFORMAT* end;
    if (format == D3DFMT_L8 || format == D3DFMT_A8L8 || format == D3DFMT_A4L4) {
        begin = std::begin(LUMINANCE), end = std::end(LUMINANCE);
    } else if (hasAlpha(format) || format == D3DFMT_P8) {
        begin = std::begin(WITH_ALPHA), end = std::end(WITH_ALPHA);
    } else {
        begin = std::begin(OPAQUE), end = std::end(OPAQUE);
    }
    for (const D3DFORMAT* f = begin; f != end; ++f) {
        if (acceptable(device, usage, *f)) {
            return *f;
        }
    }
    return D3DFMT_UNKNOWN;
}

// Does an n-bit-per-channel texel equal the key, channel by channel, both read
// as fractions of their full scale? Channels absent from the image read as 1 for
// alpha; texels hold each channel widened to 8 bits.
bool matchesKey(uint32_t texel, const std::array<uint8_t, 4>& bits, D3DCOLOR key) {
    for (int c = 0; c < 4; ++c) {
        int shift = 24 - 8 * c;
        uint32_t k = (key >> shift) & 0xFF;
        int n = bits[c];
        if (n == 0) {
            if (k != 255) {
                return false;
            }
            continue;
        }
        uint32_t v = ((texel >> shift) & 0xFF) >> (8 - std::min(n, 8));
        if (uint64_t(v) * 255 != uint64_t(k) * ((1u << std::min(n, 8)) - 1)) {
            return false;
        }
    }
    return true;
}

bool validFilter(DWORD filter) {
    DWORD kind = filter & 0xFFFF;
    return kind >= D3DX_FILTER_NONE && kind <= D3DX_FILTER_BOX &&
           (filter & ~(0xFFFFu | D3DX_FILTER_MIRROR | D3DX_FILTER_DITHER)) == 0;
}

// Fills every level of a texture: the top from the image, the rest as the filters say.
HRESULT fill(IDirect3DTexture8* texture, const TexelImage& source, DWORD filter, DWORD mipFilter) {
    DWORD levels = texture->GetLevelCount();
    DWORD kind = filter & 0xFFFF, mipKind = mipFilter & 0xFFFF;
    TexelImage level, top;
    for (DWORD i = 0; i < levels; ++i) {
        D3DSURFACE_DESC desc{};
        HRESULT hr = texture->GetLevelDesc(i, &desc);
        if (FAILED(hr)) {
            return hr;
        }
        try {
            if (i == 0) {
                if (kind == D3DX_FILTER_NONE) {
                    // No scaling: the image at the top left, transparent black around it.
                    std::vector<uint32_t> texels(size_t(desc.Width) * desc.Height, 0);
                    for (uint32_t y = 0; y < std::min(desc.Height, source.height()); ++y) {
                        for (uint32_t x = 0; x < std::min(desc.Width, source.width()); ++x) {
                            texels[size_t(y) * desc.Width + x] = source.at(x, y);
                        }
                    }
                    level = TexelImage(desc.Width, desc.Height, std::move(texels));
                } else {
                    level = source.resized(desc.Width, desc.Height, kind == D3DX_FILTER_POINT);
                }
            } else if (mipKind == D3DX_FILTER_BOX) {
                // Each level the 2 x 2 average of the one above it.
                level = level.halved();
                if (level.width() != desc.Width || level.height() != desc.Height) {
                    level = level.resized(desc.Width, desc.Height, false);
                }
            } else {
                // Point: from the level above; otherwise from the top level when the
                // image was not scaled, else from the image itself.
                const TexelImage& base = mipKind == D3DX_FILTER_POINT ? level
                                         : kind == D3DX_FILTER_NONE   ? top
                                                                      : source;
                level = base.resized(desc.Width, desc.Height,
                                     mipKind == D3DX_FILTER_POINT || mipKind == D3DX_FILTER_NONE);
            }
            if (i == 0) {
                top = level;
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        D3DLOCKED_RECT locked{};
        hr = texture->LockRect(i, &locked, nullptr, 0);
        if (FAILED(hr)) {
            return hr;
        }
        bool written = level.write(desc.Format, static_cast<uint8_t*>(locked.pBits), locked.Pitch);
        texture->UnlockRect(i);
        if (!written) {
            return D3DERR_NOTAVAILABLE;
        }
    }
    return S_OK;
}

HRESULT createFromMemory(LPDIRECT3DDEVICE8 device, const uint8_t* data, size_t size, UINT width,
                         UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                         DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                         LPDIRECT3DTEXTURE8* out) {
    if (device == nullptr || data == nullptr || size == 0 || out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    BitmapImage image;
    if (!BitmapReader::read(data, size, image)) {
        return D3DXERR_INVALIDDATA;
    }
    if (srcInfo != nullptr) {
        *srcInfo = {image.width, image.height, 1, 1, image.format};
    }

    if (width == 0 || width == D3DX_DEFAULT) {
        width = image.width;
    }
    if (height == 0 || height == D3DX_DEFAULT) {
        height = image.height;
    }
    if (format == D3DFMT_UNKNOWN) {
        format = image.format == D3DFMT_R8G8B8 ? D3DFMT_X8R8G8B8 : image.format;
        if (colorKey != 0) {
            format = widenedForKey(image.format);
        }
    }
    if (filter == D3DX_DEFAULT) {
        filter = isBumpFormat(format) ? (D3DX_FILTER_POINT | D3DX_FILTER_DITHER)
                                      : (D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER);
    }
    if (mipFilter == D3DX_DEFAULT) {
        mipFilter = isBumpFormat(format) ? D3DX_FILTER_POINT : D3DX_FILTER_BOX;
    }
    if (!validFilter(filter) || !validFilter(mipFilter)) {
        return D3DERR_INVALIDCALL;
    }

    // The key turns matching palette entries, or matching texels, transparent black.
    std::vector<uint32_t> texels;
    try {
        if (image.palettised()) {
            bool alpha = false;
            for (uint32_t i = 0; i < 256; ++i) {
                if (colorKey != 0 && image.palette[i] == colorKey) {
                    image.palette[i] = 0;
                }
                if (i < image.paletteCount && (image.palette[i] >> 24) != 0xFF) {
                    alpha = true;
                }
            }
            if (format == D3DFMT_P8) {
                format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
            }
            texels.resize(image.indices.size());
            for (size_t i = 0; i < texels.size(); ++i) {
                texels[i] = image.palette[image.indices[i]];
            }
        } else {
            texels = std::move(image.texels);
            if (colorKey != 0) {
                for (uint32_t& t : texels) {
                    if (matchesKey(t, image.channelBits, colorKey)) {
                        t = 0;
                    }
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    TexelImage source(image.width, image.height, std::move(texels));

    // Fit the device: usage, size, mip chain, format.
    if (usage == D3DX_DEFAULT) {
        usage = 0;
    }
    if ((usage & ~DWORD(D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    D3DCAPS8 caps{};
    HRESULT hr = device->GetDeviceCaps(&caps);
    if (FAILED(hr)) {
        return hr;
    }
    if (caps.MaxTextureWidth != 0) {
        width = std::min<UINT>(width, caps.MaxTextureWidth);
    }
    if (caps.MaxTextureHeight != 0) {
        height = std::min<UINT>(height, caps.MaxTextureHeight);
    }
    UINT ratio = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) ? 1 : caps.MaxTextureAspectRatio;
    if (ratio != 0) {
        // Too long and thin: the short side grows.
        if (width / ratio > height) {
            height = (width + ratio - 1) / ratio;
        } else if (height / ratio > width) {
            width = (height + ratio - 1) / ratio;
        }
    }
    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        width = std::bit_ceil(std::max<UINT>(width, 1));
        height = std::bit_ceil(std::max<UINT>(height, 1));
    }
    if (isBlockCompressed(format)) {
        width = (width + 3) & ~3u;
        height = (height + 3) & ~3u;
    }
    UINT levels = 1;
    if ((caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) && isPowerOfTwo(width) &&
        isPowerOfTwo(height)) {
        // 1 + log2 of the larger side, both sides being powers of two.
        UINT full = static_cast<UINT>(std::bit_width(std::max(width, height)));
        levels =
            (mipLevels == 0 || mipLevels == D3DX_DEFAULT || mipLevels > full) ? full : mipLevels;
    }
    format = fitFormat(device, usage, format);
    if (format == D3DFMT_UNKNOWN) {
        return D3DERR_NOTAVAILABLE;
    }

    // Create and fill; the default pool is filled through a system-memory copy.
    IDirect3DTexture8* texture = nullptr;
    IDirect3DTexture8* staging = nullptr;
    if (pool == D3DPOOL_DEFAULT) {
        hr = device->CreateTexture(width, height, levels, 0, format, D3DPOOL_SYSTEMMEM, &staging);
        if (SUCCEEDED(hr)) {
            hr = fill(staging, source, filter, mipFilter);
        }
        if (SUCCEEDED(hr)) {
            hr = device->CreateTexture(width, height, levels, usage, format, pool, &texture);
        }
        if (SUCCEEDED(hr)) {
            hr = device->UpdateTexture(staging, texture);
        }
    } else {
        hr = device->CreateTexture(width, height, levels, usage, format, pool, &texture);
        if (SUCCEEDED(hr)) {
            hr = fill(texture, source, filter, mipFilter);
        }
    }
    if (staging != nullptr) {
        staging->Release();
    }
    if (FAILED(hr)) {
        if (texture != nullptr) {
            texture->Release();
        }
        return hr;
    }
    *out = texture;
    return S_OK;
}

} // namespace

HRESULT D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                   LPDIRECT3DTEXTURE8* ppTexture) {
    return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                        0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                        D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width,
                                     UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                     D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                     D3DXIMAGE_INFO* pSrcInfo,
                                     struct tagPALETTEENTRY* /*pPalette: no palettised textures*/,
                                     LPDIRECT3DTEXTURE8* ppTexture) {
    if (pSrcFile == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    HANDLE file = CreateFileA(pSrcFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return hresultFromWindowsError(GetLastError());
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        HRESULT hr = hresultFromWindowsError(GetLastError());
        CloseHandle(file);
        return hr;
    }
    if (high != 0) {
        CloseHandle(file);
        return D3DXERR_INVALIDDATA; // no bitmap is 4 GB or more
    }
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    HRESULT hr = S_OK;
    // An empty file cannot be mapped; it goes on as no data, which the checks refuse.
    if (size > 0) {
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping == nullptr) {
            hr = hresultFromWindowsError(GetLastError());
        } else {
            view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            if (view == nullptr) {
                hr = hresultFromWindowsError(GetLastError());
            }
        }
    }
    if (SUCCEEDED(hr)) {
        hr = createFromMemory(pDevice, static_cast<const uint8_t*>(view), size, Width, Height,
                              MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                              ppTexture);
    }
    if (view != nullptr) {
        UnmapViewOfFile(view);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    CloseHandle(file);
    return hr;
}
