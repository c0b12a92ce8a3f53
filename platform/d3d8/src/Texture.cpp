#include "Texture.h"

#include "Device.h"
#include "GlContext.h"
#include "Formats.h"
#include "Surface.h"

#include <algorithm>
#include <cstring>

Texture::Texture(Device* device, UINT width, UINT height, UINT levelCount, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(device), width(width), height(height), textureUsage(usage),
      textureFormat(format), texturePool(pool) {
    UINT full = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1) {
        ++full;
    }
    UINT count = levelCount == 0 ? full : std::min(levelCount, full);
    levels.resize(count);
    for (UINT i = 0; i < count; ++i) {
        levels[i].width = std::max(1u, width >> i);
        levels[i].height = std::max(1u, height >> i);
    }
}

bool Texture::create() {
    glGenTextures(1, &texture);
    device->bindTextureForUpload(texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // Render targets are stored on the device's finer grid; textures from files are not.
    const RenderScale scale = isRenderTarget() ? device->renderScale() : RenderScale();
    // Contents start as zero texels; formats without alpha read alpha 1.
    uint8_t alpha = formatHasAlpha(textureFormat) ? 0 : 255;
    std::vector<uint8_t> initial(
        static_cast<size_t>(scale.size(levels[0].width)) * scale.size(levels[0].height) * 4, 0);
    for (size_t i = 3; i < initial.size(); i += 4) {
        initial[i] = alpha;
    }
    for (UINT i = 0; i < levels.size(); ++i) {
        glTexImage2DBgra(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8,
                         static_cast<GLsizei>(scale.size(levels[i].width)),
                         static_cast<GLsizei>(scale.size(levels[i].height)), initial.data());
        if (!isRenderTarget()) {
            levels[i].memory.assign(static_cast<size_t>(levelPitch(i)) * levels[i].height, 0);
        }
    }
    return glCheckErrors("texture storage") == 0;
}

Texture::~Texture() {
    GlContext::ensureCurrent();
    for (MipLevel& level : levels) {
        delete level.surface;
    }
    if (texture != 0) {
        device->forgetTexture(texture);
        glDeleteTextures(1, &texture);
    }
}

HRESULT Texture::QueryInterface(REFIID riid, void** object) {
    return answerInterface(
        riid, object, {IID_IDirect3DTexture8, IID_IDirect3DBaseTexture8, IID_IDirect3DResource8});
}

DWORD Texture::SetLOD(DWORD LODNew) {
    DWORD old = lod;
    // Only managed textures have a level of detail; it limits the largest level sampled.
    if (texturePool == D3DPOOL_MANAGED) {
        lod = std::min<DWORD>(LODNew, static_cast<DWORD>(levels.size()) - 1);
        device->bindTextureForUpload(texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(lod));
    }
    return old;
}

UINT Texture::levelPitch(UINT level) const {
    return (levels[level].width * formatBytesPerPixel(textureFormat) + 3) & ~3u;
}

bool Texture::anyLevelLocked() const {
    return std::any_of(levels.begin(), levels.end(), [](const MipLevel& l) { return l.locked; });
}

HRESULT Texture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    if (pDesc == nullptr || Level >= levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    pDesc->Format = textureFormat;
    pDesc->Type = D3DRTYPE_SURFACE;
    pDesc->Usage = textureUsage;
    pDesc->Pool = texturePool;
    pDesc->Size = formatBytesPerPixel(textureFormat) * levels[Level].width * levels[Level].height;
    pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
    pDesc->Width = levels[Level].width;
    pDesc->Height = levels[Level].height;
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) {
    if (ppSurfaceLevel == nullptr || Level >= levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    if (levels[Level].surface == nullptr) {
        levels[Level].surface = new Surface(this, Level);
    }
    *ppSurfaceLevel = levels[Level].surface;
    AddRef();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) {
    if (pLockedRect == nullptr || Level >= levels.size() || isRenderTarget()) {
        return D3DERR_INVALIDCALL;
    }
    MipLevel& level = levels[Level];
    if (level.locked) {
        return D3DERR_INVALIDCALL;
    }
    RECT rect{0, 0, static_cast<LONG>(level.width), static_cast<LONG>(level.height)};
    if (pRect != nullptr) {
        if (pRect->left < 0 || pRect->top < 0 || pRect->left >= pRect->right ||
            pRect->top >= pRect->bottom || pRect->right > rect.right ||
            pRect->bottom > rect.bottom) {
            return D3DERR_INVALIDCALL;
        }
        rect = *pRect;
    }
    level.locked = true;
    level.readOnly = (Flags & D3DLOCK_READONLY) != 0;
    level.lockRect = rect;
    pLockedRect->Pitch = static_cast<INT>(levelPitch(Level));
    pLockedRect->pBits = level.memory.data() + static_cast<size_t>(rect.top) * levelPitch(Level) +
                         static_cast<size_t>(rect.left) * formatBytesPerPixel(textureFormat);
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT Level) {
    if (Level >= levels.size() || !levels[Level].locked) {
        return D3DERR_INVALIDCALL;
    }
    levels[Level].locked = false;
    if (!levels[Level].readOnly) {
        upload(Level, levels[Level].lockRect);
    }
    return D3D_OK;
}

void Texture::upload(UINT level, const RECT& rect) {
    const MipLevel& l = levels[level];
    UINT w = static_cast<UINT>(rect.right - rect.left);
    UINT h = static_cast<UINT>(rect.bottom - rect.top);
    std::vector<uint8_t> converted(static_cast<size_t>(w) * h * 4);
    UINT bpp = formatBytesPerPixel(textureFormat);
    for (UINT y = 0; y < h; ++y) {
        const uint8_t* row = l.memory.data() +
                             static_cast<size_t>(rect.top + y) * levelPitch(level) +
                             static_cast<size_t>(rect.left) * bpp;
        convertRowToBgra8(textureFormat, row, converted.data() + static_cast<size_t>(y) * w * 4, w);
    }
    device->bindTextureForUpload(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2DBgra(GL_TEXTURE_2D, static_cast<GLint>(level), rect.left, rect.top,
                        static_cast<GLsizei>(w), static_cast<GLsizei>(h), converted.data());
    GL_CHECK("texture upload");
}

HRESULT Texture::copyFrom(Texture& source) {
    if (source.textureFormat != textureFormat || isRenderTarget() || source.isRenderTarget()) {
        return D3DERR_INVALIDCALL;
    }
    // The destination's levels must match the source's from its top level down.
    if (levels.size() > source.levels.size() || source.levels[0].width != levels[0].width ||
        source.levels[0].height != levels[0].height) {
        return D3DERR_INVALIDCALL;
    }
    if (anyLevelLocked() || source.anyLevelLocked()) {
        return D3DERR_INVALIDCALL;
    }
    for (UINT i = 0; i < levels.size(); ++i) {
        levels[i].memory = source.levels[i].memory;
        upload(i,
               RECT{0, 0, static_cast<LONG>(levels[i].width), static_cast<LONG>(levels[i].height)});
    }
    return D3D_OK;
}

void Texture::writeBgra(UINT level, const RECT& rect, const uint8_t* bgra, UINT bgraPitch) {
    UINT w = static_cast<UINT>(rect.right - rect.left);
    UINT h = static_cast<UINT>(rect.bottom - rect.top);
    if (!isRenderTarget()) {
        UINT bpp = formatBytesPerPixel(textureFormat);
        for (UINT y = 0; y < h; ++y) {
            uint8_t* row = levels[level].memory.data() +
                           static_cast<size_t>(rect.top + y) * levelPitch(level) +
                           static_cast<size_t>(rect.left) * bpp;
            convertRowFromBgra8(textureFormat, bgra + static_cast<size_t>(y) * bgraPitch, row, w);
        }
        upload(level, rect);
        return;
    }
    const RenderScale& scale = device->renderScale();
    // Each texel becomes its block of the finer grid.
    std::vector<uint8_t> fine;
    bgra = scale.onFineGrid(bgra, bgraPitch, w, h, fine);
    device->bindTextureForUpload(texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(bgraPitch / 4));
    glTexSubImage2DBgra(GL_TEXTURE_2D, static_cast<GLint>(level), scale.at(rect.left),
                        scale.at(rect.top), static_cast<GLsizei>(scale.size(w)),
                        static_cast<GLsizei>(scale.size(h)), bgra);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    GL_CHECK("texture write");
}
