// A 2D texture with its mip chain. Lockable levels keep their texels in system memory in
// the texture's own format; each unlock converts the locked rows and uploads them.
#pragma once

#include "DeviceResource.h"
#include "GlCheck.h"

#include <cstdint>
#include <vector>

class Surface;

class Texture : public DeviceResource<IDirect3DTexture8> {
public:
    Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    // Allocates the GL texture and the level memory; false when GL refuses.
    bool create();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD LODNew) override;
    DWORD GetLOD() override { return lod; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels.size()); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    HRESULT AddDirtyRect(CONST RECT*) override { return D3D_OK; }

    GLuint glTexture() const { return texture; }
    D3DFORMAT format() const { return textureFormat; }
    DWORD usage() const { return textureUsage; }
    D3DPOOL pool() const { return texturePool; }
    bool isRenderTarget() const { return (textureUsage & D3DUSAGE_RENDERTARGET) != 0; }
    UINT levelWidth(UINT level) const { return levels[level].width; }
    UINT levelHeight(UINT level) const { return levels[level].height; }
    UINT levelPitch(UINT level) const;
    bool anyLevelLocked() const;
    // Copies every level's texels from source (same format and sizes) and uploads them.
    HRESULT copyFrom(Texture& source);
    // Replaces a rectangle of a level with BGRA8 texels (render-target reads, CopyRects).
    void writeBgra(UINT level, const RECT& rect, const uint8_t* bgra, UINT bgraPitch);
    // The surface of a level when one was handed out, else null.
    Surface* existingSurface(UINT level) const { return levels[level].surface; }
    // The texels of a level in the texture's format.
    const uint8_t* levelMemory(UINT level) const { return levels[level].memory.data(); }

private:
    friend class ComObject<IDirect3DTexture8>;
    ~Texture() override;
    void upload(UINT level, const RECT& rect);

    struct MipLevel {
        UINT width = 0;
        UINT height = 0;
        std::vector<uint8_t> memory;
        bool locked = false;
        bool readOnly = false;
        RECT lockRect{};
        Surface* surface = nullptr;
    };
    UINT width;
    UINT height;
    DWORD textureUsage;
    D3DFORMAT textureFormat;
    D3DPOOL texturePool;
    DWORD lod = 0;
    GLuint texture = 0;
    std::vector<MipLevel> levels;
};
