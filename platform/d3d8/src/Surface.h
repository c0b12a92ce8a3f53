// A Direct3D surface: an image surface in system memory, a level of a texture, a colour
// render target (the back buffers among them) or a depth-stencil buffer.
#pragma once

#include <ComObject.h>
#include <d3d8.h>
#include "GlCheck.h"

#include <cstdint>
#include <vector>

class Device;
class Texture;

class Surface : public ComObject<IDirect3DSurface8> {
public:
    enum class Kind { Image, TextureLevel, RenderTarget, DepthStencil };

    // A surface of its own (image, render target, depth stencil), holding a device reference.
    Surface(Device* device, Kind kind, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
            DWORD usage);
    // A level of a texture: its references are the texture's.
    Surface(Texture* texture, UINT level);
    // A back buffer: its references are the device's.
    static Surface* createBackBuffer(Device* device, UINT width, UINT height, D3DFORMAT format);
    // Creates the GL storage of a render target or depth buffer; false when GL refuses.
    bool createStorage();

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override;
    HRESULT SetPrivateData(REFGUID, CONST void*, DWORD, DWORD) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT GetPrivateData(REFGUID, void*, DWORD*) override { return D3DERR_NOTFOUND; }
    HRESULT FreePrivateData(REFGUID) override { return D3DERR_NOTFOUND; }
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    Kind kind() const { return surfaceKind; }
    UINT width() const { return surfaceWidth; }
    UINT height() const { return surfaceHeight; }
    D3DFORMAT format() const { return surfaceFormat; }
    Texture* texture() const { return container; }
    UINT level() const { return textureLevel; }
    Device* device() const { return owner; }
    bool isColorTarget() const;
    // The GL colour texture and level drawn into; 0 when this is no colour target.
    GLuint glTexture() const;
    GLuint glRenderbuffer() const { return renderbuffer; }
    // System memory of an image surface (rows of pitch bytes).
    uint8_t* memory() { return bytes.data(); }
    UINT pitch() const;
    bool isLocked() const { return locked; }
    // The back buffers exchange their storage at each flip.
    void swapStorage(Surface& other);
    // With multisampling: the samples drawn into, and whether they changed since they
    // were last resolved into the texture.
    GLuint multisampledColor() const { return samplesBuffer; }
    void setMultisampledColor(GLuint renderbuffer) { samplesBuffer = renderbuffer; }
    void markDrawn() { unresolved = samplesBuffer != 0; }
    bool needsResolve() const { return unresolved; }
    void markResolved() { unresolved = false; }
    // A depth-stencil buffer whose stencil holds one value everywhere, as a clear of the
    // stencil of the whole buffer leaves it, until a draw with the stencil test on.
    bool stencilUniform() const { return uniformStencil; }
    uint8_t uniformStencilValue() const { return stencilFill; }
    void setStencilUniform(uint8_t value) {
        uniformStencil = true;
        stencilFill = value;
    }
    void markStencilWritten() { uniformStencil = false; }
    // Called by the device when it goes away before this surface.
    void releaseGl();

private:
    friend class ComObject<IDirect3DSurface8>;
    friend class Texture;
    friend class Device;
    ~Surface() override;

    Device* owner;
    Kind surfaceKind;
    UINT surfaceWidth;
    UINT surfaceHeight;
    D3DFORMAT surfaceFormat;
    D3DPOOL pool;
    DWORD usage;
    Texture* container = nullptr;
    UINT textureLevel = 0;
    bool ownedByDevice = false;
    bool locked = false;
    bool lockReadOnly = false;
    RECT lockRect{};
    GLuint colorTexture = 0;
    GLuint renderbuffer = 0;
    GLuint samplesBuffer = 0;
    bool unresolved = false;
    bool uniformStencil = false;
    uint8_t stencilFill = 0;
    std::vector<uint8_t> bytes;
};
