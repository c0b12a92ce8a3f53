#include "Surface.h"

#include "Device.h"
#include "GlContext.h"
#include "Formats.h"
#include "Texture.h"

#include <utility>

Surface::Surface(Device* device, Kind kind, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                 DWORD usage)
    : owner(device), surfaceKind(kind), surfaceWidth(width), surfaceHeight(height),
      surfaceFormat(format), pool(pool), usage(usage) {
    owner->addInternalRef();
    if (kind == Kind::Image) {
        bytes.assign(static_cast<size_t>(pitch()) * height, 0);
    }
}

Surface::Surface(Texture* texture, UINT level)
    : owner(texture->owner()), surfaceKind(Kind::TextureLevel),
      surfaceWidth(texture->levelWidth(level)), surfaceHeight(texture->levelHeight(level)),
      surfaceFormat(texture->format()), pool(texture->pool()), usage(texture->usage()),
      container(texture), textureLevel(level) {}

Surface* Surface::createBackBuffer(Device* device, UINT width, UINT height, D3DFORMAT format) {
    auto* surface = new Surface(device, Kind::RenderTarget, width, height, format, D3DPOOL_DEFAULT,
                                D3DUSAGE_RENDERTARGET);
    // The device owns its back buffers; their references are the device's.
    surface->ownedByDevice = true;
    device->releaseInternalRef();
    return surface;
}

Surface::~Surface() {
    GlContext::ensureCurrent();
    releaseGl();
    if (surfaceKind != Kind::TextureLevel && !ownedByDevice) {
        owner->releaseInternalRef();
    }
}

void Surface::releaseGl() {
    if (samplesBuffer != 0) {
        // Its framebuffers are keyed by the texture it resolves into.
        owner->forgetTexture(glTexture());
        glDeleteRenderbuffers(1, &samplesBuffer);
        samplesBuffer = 0;
    }
    if (colorTexture != 0) {
        owner->forgetTexture(colorTexture);
        glDeleteTextures(1, &colorTexture);
        colorTexture = 0;
    }
    if (renderbuffer != 0) {
        owner->forgetRenderbuffer(renderbuffer);
        glDeleteRenderbuffers(1, &renderbuffer);
        renderbuffer = 0;
    }
}

bool Surface::createStorage() {
    // Targets are stored on the device's finer grid.
    const RenderScale& scale = owner->renderScale();
    const UINT storageWidth = scale.size(surfaceWidth), storageHeight = scale.size(surfaceHeight);
    if (surfaceKind == Kind::RenderTarget) {
        glGenTextures(1, &colorTexture);
        owner->bindTextureForUpload(colorTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        // Targets without alpha hold alpha 1 from the start; draws never write it.
        std::vector<uint8_t> initial(static_cast<size_t>(storageWidth) * storageHeight * 4, 0);
        if (!formatHasAlpha(surfaceFormat)) {
            for (size_t i = 3; i < initial.size(); i += 4) {
                initial[i] = 255;
            }
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2DBgra(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(storageWidth),
                         static_cast<GLsizei>(storageHeight), initial.data());
    } else if (surfaceKind == Kind::DepthStencil) {
        glGenRenderbuffers(1, &renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        GLenum internal = GL_DEPTH24_STENCIL8;
        if (surfaceFormat == D3DFMT_D16 || surfaceFormat == D3DFMT_D16_LOCKABLE) {
            internal = GL_DEPTH_COMPONENT16;
        } else if (surfaceFormat == D3DFMT_D32) {
            // ES has no 32-bit integer depth; 24 bits are the most it renders to.
            internal = GL_DIALECT_ES ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT32;
        }
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, owner->sampleCount(), internal,
                                         static_cast<GLsizei>(storageWidth),
                                         static_cast<GLsizei>(storageHeight));
    }
    return glCheckErrors("surface storage") == 0;
}

void Surface::swapStorage(Surface& other) {
    std::swap(colorTexture, other.colorTexture);
    std::swap(samplesBuffer, other.samplesBuffer);
    std::swap(unresolved, other.unresolved);
}

ULONG Surface::AddRef() {
    if (container != nullptr) {
        return container->AddRef();
    }
    if (ownedByDevice) {
        return owner->AddRef();
    }
    return ComObject::AddRef();
}

ULONG Surface::Release() {
    if (container != nullptr) {
        return container->Release();
    }
    if (ownedByDevice) {
        return owner->Release();
    }
    return ComObject::Release();
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirect3DSurface8});
}

HRESULT Surface::GetDevice(IDirect3DDevice8** ppDevice) {
    if (ppDevice == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppDevice = devicePublicInterface(owner);
    (*ppDevice)->AddRef();
    return D3D_OK;
}

HRESULT Surface::GetContainer(REFIID riid, void** ppContainer) {
    if (ppContainer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (container != nullptr) {
        return container->QueryInterface(riid, ppContainer);
    }
    return devicePublicInterface(owner)->QueryInterface(riid, ppContainer);
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    pDesc->Format = surfaceFormat;
    pDesc->Type = D3DRTYPE_SURFACE;
    pDesc->Usage = usage;
    pDesc->Pool = pool;
    pDesc->Size = formatBytesPerPixel(surfaceFormat) * surfaceWidth * surfaceHeight;
    pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
    pDesc->Width = surfaceWidth;
    pDesc->Height = surfaceHeight;
    return D3D_OK;
}

UINT Surface::pitch() const {
    if (container != nullptr) {
        return container->levelPitch(textureLevel);
    }
    return (surfaceWidth * formatBytesPerPixel(surfaceFormat) + 3) & ~3u;
}

bool Surface::isColorTarget() const {
    if (surfaceKind == Kind::RenderTarget) {
        return true;
    }
    return surfaceKind == Kind::TextureLevel && container->isRenderTarget();
}

GLuint Surface::glTexture() const {
    if (surfaceKind == Kind::RenderTarget) {
        return colorTexture;
    }
    if (surfaceKind == Kind::TextureLevel && container->isRenderTarget()) {
        return container->glTexture();
    }
    return 0;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) {
    if (surfaceKind == Kind::TextureLevel) {
        return container->LockRect(textureLevel, pLockedRect, pRect, Flags);
    }
    if (pLockedRect == nullptr || surfaceKind == Kind::DepthStencil || locked) {
        return D3DERR_INVALIDCALL;
    }
    UINT left = 0, top = 0;
    if (pRect != nullptr) {
        if (pRect->left < 0 || pRect->top < 0 || pRect->left >= pRect->right ||
            pRect->top >= pRect->bottom || static_cast<UINT>(pRect->right) > surfaceWidth ||
            static_cast<UINT>(pRect->bottom) > surfaceHeight) {
            return D3DERR_INVALIDCALL;
        }
        left = static_cast<UINT>(pRect->left);
        top = static_cast<UINT>(pRect->top);
    }
    if (surfaceKind == Kind::RenderTarget) {
        // A colour target is read back whole, in the program's pixels (the view averaged
        // when the device draws finer); unlocking writes the locked rectangle back.
        bytes.resize(static_cast<size_t>(pitch()) * surfaceHeight);
        const RECT whole{0, 0, static_cast<LONG>(surfaceWidth), static_cast<LONG>(surfaceHeight)};
        if (!owner->readTarget(this, whole, bytes.data(), pitch())) {
            return D3DERR_INVALIDCALL;
        }
        lockRect = pRect != nullptr ? *pRect : whole;
        lockReadOnly = (Flags & D3DLOCK_READONLY) != 0;
    }
    locked = true;
    pLockedRect->Pitch = static_cast<INT>(pitch());
    pLockedRect->pBits = bytes.data() + static_cast<size_t>(top) * pitch() +
                         static_cast<size_t>(left) * formatBytesPerPixel(surfaceFormat);
    return D3D_OK;
}

HRESULT Surface::UnlockRect() {
    if (surfaceKind == Kind::TextureLevel) {
        return container->UnlockRect(textureLevel);
    }
    if (!locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    if (surfaceKind == Kind::RenderTarget && !lockReadOnly) {
        owner->writeTarget(this, lockRect,
                           bytes.data() + static_cast<size_t>(lockRect.top) * pitch() +
                               static_cast<size_t>(lockRect.left) * 4,
                           pitch());
    }
    return D3D_OK;
}
