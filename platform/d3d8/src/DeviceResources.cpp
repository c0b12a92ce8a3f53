// Creating resources, copying between surfaces and choosing where the device draws.
#include "Device.h"

#include "Formats.h"
#include "IndexBuffer.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "VertexFormat.h"

#include <algorithm>
#include <vector>

namespace {

constexpr UINT MAX_SIZE = 4096;

bool validPool(D3DPOOL pool) {
    return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM;
}

} // namespace

void deviceAddInternalRef(Device* device) {
    device->addInternalRef();
}
void deviceReleaseInternalRef(Device* device) {
    device->releaseInternalRef();
}
IDirect3DDevice8* devicePublicInterface(Device* device) {
    return device;
}

void Device::bindTextureForUpload(GLuint texture) {
    // A unit no stage uses, so the stages' bindings stay as the draws left them.
    glActiveTexture(GL_TEXTURE0 + MAX_STAGES);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void Device::forgetTexture(GLuint texture) {
    for (auto it = framebuffers.begin(); it != framebuffers.end();) {
        if (std::get<0>(it->first) == texture) {
            if (boundFramebuffer == it->second) {
                boundFramebuffer = ~0u;
                framebufferDirty = true;
            }
            glDeleteFramebuffers(1, &it->second);
            it = framebuffers.erase(it);
        } else {
            ++it;
        }
    }
    for (GLuint& bound : boundTextures) {
        if (bound == texture) {
            bound = ~0u;
        }
    }
}

void Device::forgetRenderbuffer(GLuint renderbuffer) {
    for (auto it = framebuffers.begin(); it != framebuffers.end();) {
        if (std::get<2>(it->first) == renderbuffer) {
            if (boundFramebuffer == it->second) {
                boundFramebuffer = ~0u;
                framebufferDirty = true;
            }
            glDeleteFramebuffers(1, &it->second);
            it = framebuffers.erase(it);
        } else {
            ++it;
        }
    }
}

void Device::forgetBuffer(GLuint buffer) {
    if (layoutBuffer == buffer) {
        layoutBuffer = ~0u;
    }
    if (boundArrayBuffer == buffer) {
        boundArrayBuffer = ~0u;
    }
    if (boundElementBuffer == buffer) {
        boundElementBuffer = ~0u;
    }
}

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                              D3DPOOL Pool, IDirect3DTexture8** ppTexture) {
    if (ppTexture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppTexture = nullptr;
    if (Width == 0 || Height == 0 || Width > MAX_SIZE || Height > MAX_SIZE || !validPool(Pool) ||
        (Usage & ~(DWORD)(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    if (!isColorFormat(Format) || Format == D3DFMT_R8G8B8) {
        return D3DERR_INVALIDCALL;
    }
    bool renderTarget = (Usage & D3DUSAGE_RENDERTARGET) != 0;
    // Render targets live in the default pool and are drawn in 32-bit colour.
    if (renderTarget &&
        (Pool != D3DPOOL_DEFAULT || (Format != D3DFMT_X8R8G8B8 && Format != D3DFMT_A8R8G8B8))) {
        return D3DERR_INVALIDCALL;
    }
    auto* texture = new Texture(this, Width, Height, Levels, Usage, Format, Pool);
    if (!texture->create()) {
        texture->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT Device::CreateVolumeTexture(UINT, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                    IDirect3DVolumeTexture8** ppVolumeTexture) {
    if (ppVolumeTexture != nullptr) {
        *ppVolumeTexture = nullptr;
    }
    return D3DERR_NOTAVAILABLE;
}

HRESULT Device::CreateCubeTexture(UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                  IDirect3DCubeTexture8** ppCubeTexture) {
    if (ppCubeTexture != nullptr) {
        *ppCubeTexture = nullptr;
    }
    return D3DERR_NOTAVAILABLE;
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer8** ppVertexBuffer) {
    if (ppVertexBuffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppVertexBuffer = nullptr;
    if (Length == 0 || Length > (256u << 20) || !validPool(Pool) ||
        (FVF != 0 && fvfVertexSize(FVF) == 0) || (FVF != 0 && Length < fvfVertexSize(FVF))) {
        return D3DERR_INVALIDCALL;
    }
    auto* buffer = new VertexBuffer(this, Length, Usage, FVF, Pool);
    if (!buffer->create()) {
        buffer->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppVertexBuffer = buffer;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer8** ppIndexBuffer) {
    if (ppIndexBuffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppIndexBuffer = nullptr;
    if (Length == 0 || Length > (256u << 20) || !validPool(Pool) ||
        (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    auto* buffer = new IndexBuffer(this, Length, Usage, Format, Pool);
    if (!buffer->create()) {
        buffer->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppIndexBuffer = buffer;
    return D3D_OK;
}

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                                   D3DMULTISAMPLE_TYPE MultiSample, BOOL,
                                   IDirect3DSurface8** ppSurface) {
    if (ppSurface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > MAX_SIZE || Height > MAX_SIZE ||
        MultiSample != D3DMULTISAMPLE_NONE ||
        (Format != D3DFMT_X8R8G8B8 && Format != D3DFMT_A8R8G8B8)) {
        return D3DERR_INVALIDCALL;
    }
    auto* surface = new Surface(this, Surface::Kind::RenderTarget, Width, Height, Format,
                                D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET);
    if (!surface->createStorage()) {
        surface->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppSurface = surface;
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                          D3DMULTISAMPLE_TYPE MultiSample,
                                          IDirect3DSurface8** ppSurface) {
    if (ppSurface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > MAX_SIZE || Height > MAX_SIZE ||
        MultiSample != D3DMULTISAMPLE_NONE || !isDepthFormat(Format)) {
        return D3DERR_INVALIDCALL;
    }
    auto* surface = new Surface(this, Surface::Kind::DepthStencil, Width, Height, Format,
                                D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL);
    if (!surface->createStorage()) {
        surface->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppSurface = surface;
    return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                   IDirect3DSurface8** ppSurface) {
    if (ppSurface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > 16384 || Height > 16384 || !isColorFormat(Format)) {
        return D3DERR_INVALIDCALL;
    }
    *ppSurface =
        new Surface(this, Surface::Kind::Image, Width, Height, Format, D3DPOOL_SYSTEMMEM, 0);
    return D3D_OK;
}

bool Device::readTargetFine(Surface* target, const RECT& rect, uint8_t* bgra, UINT pitch) {
    activate();
    resolve(target);
    const RECT fine = scale.rect(rect);
    GLuint framebuffer = framebufferFor(target->glTexture(), target->level(), 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(pitch / 4));
    // Rows are stored top row first, as Direct3D numbers them.
    glReadPixelsBgra(fine.left, fine.top, fine.right - fine.left, fine.bottom - fine.top, bgra);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    boundFramebuffer = ~0u;
    framebufferDirty = true;
    return glCheckErrors("read back") == 0;
}

bool Device::readTarget(Surface* target, const RECT& rect, uint8_t* bgra, UINT pitch) {
    if (scale.identity()) {
        return readTargetFine(target, rect, bgra, pitch);
    }
    const UINT w = static_cast<UINT>(rect.right - rect.left);
    const UINT h = static_cast<UINT>(rect.bottom - rect.top);
    std::vector<uint8_t> fine(static_cast<size_t>(scale.size(w)) * scale.size(h) * 4);
    if (!readTargetFine(target, rect, fine.data(), scale.size(w) * 4)) {
        return false;
    }
    scale.average(fine.data(), scale.size(w) * 4, bgra, pitch, w, h);
    return true;
}

void Device::writeTarget(Surface* target, const RECT& rect, const uint8_t* bgra, UINT pitch) {
    activate();
    if (target->texture() != nullptr) {
        target->texture()->writeBgra(target->level(), rect, bgra, pitch);
        refreshSamples(target, rect);
        return;
    }
    const UINT w = static_cast<UINT>(rect.right - rect.left);
    const UINT h = static_cast<UINT>(rect.bottom - rect.top);
    std::vector<uint8_t> fine;
    bgra = scale.onFineGrid(bgra, pitch, w, h, fine);
    bindTextureForUpload(target->glTexture());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / 4));
    glTexSubImage2DBgra(GL_TEXTURE_2D, 0, scale.at(rect.left), scale.at(rect.top),
                        static_cast<GLsizei>(scale.size(w)), static_cast<GLsizei>(scale.size(h)),
                        bgra);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    refreshSamples(target, rect);
}

namespace {

bool compatibleFormats(D3DFORMAT a, D3DFORMAT b) {
    auto is32 = [](D3DFORMAT f) { return f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8; };
    return a == b || (is32(a) && is32(b));
}

} // namespace

HRESULT Device::CopyRects(IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray,
                          UINT cRects, IDirect3DSurface8* pDestinationSurface,
                          CONST POINT* pDestPointsArray) {
    auto* source = static_cast<Surface*>(pSourceSurface);
    auto* destination = static_cast<Surface*>(pDestinationSurface);
    if (source == nullptr || destination == nullptr || source == destination ||
        source->kind() == Surface::Kind::DepthStencil ||
        destination->kind() == Surface::Kind::DepthStencil ||
        !compatibleFormats(source->format(), destination->format()) || source->isLocked() ||
        destination->isLocked() || (source->texture() && source->texture()->anyLevelLocked()) ||
        (destination->texture() && destination->texture()->anyLevelLocked())) {
        return D3DERR_INVALIDCALL;
    }
    // No rectangles copies the whole surface to the same place.
    RECT whole{0, 0, static_cast<LONG>(source->width()), static_cast<LONG>(source->height())};
    UINT count = pSourceRectsArray == nullptr ? 1 : cRects;
    // Check every rectangle before copying any.
    for (UINT i = 0; i < count; ++i) {
        const RECT& r = pSourceRectsArray ? pSourceRectsArray[i] : whole;
        POINT at = pDestPointsArray ? pDestPointsArray[i] : POINT{r.left, r.top};
        if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom ||
            r.right > whole.right || r.bottom > whole.bottom || at.x < 0 || at.y < 0 ||
            static_cast<int64_t>(at.x) + (r.right - r.left) > destination->width() ||
            static_cast<int64_t>(at.y) + (r.bottom - r.top) > destination->height()) {
            return D3DERR_INVALIDCALL;
        }
    }
    activate();
    const bool sourceTarget = source->isColorTarget();
    const bool destinationTarget = destination->isColorTarget();
    for (UINT i = 0; i < count; ++i) {
        const RECT& r = pSourceRectsArray ? pSourceRectsArray[i] : whole;
        POINT at = pDestPointsArray ? pDestPointsArray[i] : POINT{r.left, r.top};
        const LONG w = r.right - r.left, h = r.bottom - r.top;
        RECT to{at.x, at.y, at.x + w, at.y + h};
        if (sourceTarget && destinationTarget) {
            // GPU to GPU without a round trip.
            resolve(source);
            GLuint read = framebufferFor(source->glTexture(), source->level(), 0);
            GLuint draw = framebufferFor(destination->glTexture(), destination->level(), 0);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
            setEnabled(GL_SCISSOR_TEST, false, 0);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, formatHasAlpha(destination->format()));
            const RECT from = scale.rect(r), onto = scale.rect(to);
            glBlitFramebuffer(from.left, from.top, from.right, from.bottom, onto.left, onto.top,
                              onto.right, onto.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            boundFramebuffer = ~0u;
            framebufferDirty = fixedStateDirty = true;
            refreshSamples(destination, to);
            continue;
        }
        // Through BGRA rows in system memory.
        std::vector<uint8_t> rows(static_cast<size_t>(w) * h * 4);
        const UINT rowPitch = static_cast<UINT>(w) * 4;
        if (sourceTarget) {
            readTarget(source, r, rows.data(), rowPitch);
            if (!formatHasAlpha(source->format())) {
                for (size_t k = 3; k < rows.size(); k += 4) {
                    rows[k] = 255;
                }
            }
        } else {
            const uint8_t* base = source->texture()
                                      ? source->texture()->levelMemory(source->level())
                                      : source->memory();
            const UINT bpp = formatBytesPerPixel(source->format());
            for (LONG y = 0; y < h; ++y) {
                convertRowToBgra8(source->format(),
                                  base + static_cast<size_t>(r.top + y) * source->pitch() +
                                      static_cast<size_t>(r.left) * bpp,
                                  rows.data() + static_cast<size_t>(y) * rowPitch,
                                  static_cast<uint32_t>(w));
            }
        }
        if (destination->texture() != nullptr || destinationTarget) {
            writeTarget(destination, to, rows.data(), rowPitch);
        } else {
            const UINT bpp = formatBytesPerPixel(destination->format());
            for (LONG y = 0; y < h; ++y) {
                convertRowFromBgra8(
                    destination->format(), rows.data() + static_cast<size_t>(y) * rowPitch,
                    destination->memory() + static_cast<size_t>(to.top + y) * destination->pitch() +
                        static_cast<size_t>(to.left) * bpp,
                    static_cast<uint32_t>(w));
            }
        }
    }
    GL_CHECK("CopyRects");
    return D3D_OK;
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture8* pSourceTexture,
                              IDirect3DBaseTexture8* pDestinationTexture) {
    if (pSourceTexture == nullptr || pDestinationTexture == nullptr ||
        pSourceTexture == pDestinationTexture || pSourceTexture->GetType() != D3DRTYPE_TEXTURE ||
        pDestinationTexture->GetType() != D3DRTYPE_TEXTURE) {
        return D3DERR_INVALIDCALL;
    }
    auto* source = static_cast<Texture*>(static_cast<IDirect3DTexture8*>(pSourceTexture));
    auto* destination = static_cast<Texture*>(static_cast<IDirect3DTexture8*>(pDestinationTexture));
    // From system memory to the default pool, as the call is defined.
    if (source->pool() != D3DPOOL_SYSTEMMEM || destination->pool() != D3DPOOL_DEFAULT) {
        return D3DERR_INVALIDCALL;
    }
    HRESULT result = destination->copyFrom(*source);
    GL_CHECK("UpdateTexture");
    return result;
}

HRESULT Device::GetFrontBuffer(IDirect3DSurface8* pDestSurface) {
    auto* destination = static_cast<Surface*>(pDestSurface);
    if (destination == nullptr || destination->kind() != Surface::Kind::Image ||
        destination->format() != D3DFMT_A8R8G8B8 || destination->isLocked() ||
        destination->width() < frontBuffer->width() ||
        destination->height() < frontBuffer->height()) {
        return D3DERR_INVALIDCALL;
    }
    activate();
    RECT rect{0, 0, static_cast<LONG>(frontBuffer->width()),
              static_cast<LONG>(frontBuffer->height())};
    // A surface with room for the picture as drawn (the render scale above 1) receives it
    // at that resolution; otherwise the program's view of it.
    const bool fine = !scale.identity() &&
                      destination->width() >= scale.size(frontBuffer->width()) &&
                      destination->height() >= scale.size(frontBuffer->height());
    const bool read =
        fine ? readTargetFine(frontBuffer, rect, destination->memory(), destination->pitch())
             : readTarget(frontBuffer, rect, destination->memory(), destination->pitch());
    if (!read) {
        return D3DERR_INVALIDCALL;
    }
    // The front buffer has no alpha: it reads as opaque.
    const UINT width = fine ? scale.size(frontBuffer->width()) : frontBuffer->width();
    const UINT height = fine ? scale.size(frontBuffer->height()) : frontBuffer->height();
    for (UINT y = 0; y < height; ++y) {
        uint8_t* row = destination->memory() + static_cast<size_t>(y) * destination->pitch();
        for (UINT x = 0; x < width; ++x) {
            row[4 * x + 3] = 255;
        }
    }
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type,
                              IDirect3DSurface8** ppBackBuffer) {
    if (ppBackBuffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppBackBuffer = nullptr;
    if (BackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO) {
        return D3DERR_INVALIDCALL;
    }
    *ppBackBuffer = backBuffer;
    backBuffer->AddRef();
    return D3D_OK;
}

HRESULT Device::SetRenderTarget(IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil) {
    auto* color = pRenderTarget != nullptr ? static_cast<Surface*>(pRenderTarget) : renderTarget;
    auto* depth = static_cast<Surface*>(pNewZStencil);
    if (!color->isColorTarget() || color->device() != this) {
        return D3DERR_INVALIDCALL;
    }
    if (depth != nullptr &&
        (depth->kind() != Surface::Kind::DepthStencil || depth->device() != this ||
         depth->width() < color->width() || depth->height() < color->height())) {
        return D3DERR_INVALIDCALL;
    }
    // The device holds a reference to what it draws into (its own buffers excepted: their
    // references are the device's own).
    auto hold = [](Surface* s) {
        if (s != nullptr && !s->ownedByDevice) {
            s->AddRef();
        }
    };
    auto drop = [](Surface* s) {
        if (s != nullptr && !s->ownedByDevice) {
            s->Release();
        }
    };
    hold(color);
    hold(depth);
    drop(renderTarget);
    drop(depthStencil);
    renderTarget = color;
    depthStencil = depth;
    framebufferDirty = fixedStateDirty = true;
    resetViewportToTarget();
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** ppRenderTarget) {
    if (ppRenderTarget == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppRenderTarget = renderTarget;
    renderTarget->AddRef();
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) {
    if (ppZStencilSurface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppZStencilSurface = depthStencil;
    if (depthStencil == nullptr) {
        return D3DERR_NOTFOUND;
    }
    depthStencil->AddRef();
    return D3D_OK;
}
