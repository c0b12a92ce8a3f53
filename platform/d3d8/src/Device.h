// The Direct3D 8 device on OpenGL 3.3 core. States are recorded when set (DeviceState.cpp)
// and applied at the next draw (DeviceApply.cpp); resources, draws and the device's life are
// in DeviceResources.cpp, DeviceDraw.cpp and DevicePresent.cpp.
#pragma once

#include "ComObject.h"
#include "FrameReadback.h"
#include "GlCheck.h"
#include "RenderScale.h"
#include "ShaderCache.h"
#include "SubmitThrottle.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class Direct3D8;
class Surface;
class Texture;
class VertexBuffer;
class IndexBuffer;
class Presenter;

class Device : public ComObject<IDirect3DDevice8> {
public:
    Device(Direct3D8* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags);
    // Creates the swap chain for params; D3D_OK or the failure to hand back.
    HRESULT initialise(D3DPRESENT_PARAMETERS* params);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG Release() override;

    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT ResourceManagerDiscardBytes(DWORD Bytes) override;
    HRESULT GetDirect3D(IDirect3D8** ppD3D8) override;
    HRESULT GetDeviceCaps(D3DCAPS8* pCaps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT SetCursorProperties(UINT XHotSpot, UINT YHotSpot,
                                IDirect3DSurface8* pCursorBitmap) override;
    void SetCursorPosition(int X, int Y, DWORD Flags) override;
    BOOL ShowCursor(BOOL bShow) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain8** pSwapChain) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND hDestWindowOverride,
                    CONST RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface8** ppBackBuffer) override;
    HRESULT GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) override;
    void SetGammaRamp(DWORD Flags, CONST D3DGAMMARAMP* pRamp) override;
    void GetGammaRamp(D3DGAMMARAMP* pRamp) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                          D3DPOOL Pool, IDirect3DTexture8** ppTexture) override;
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage,
                                D3DFORMAT Format, D3DPOOL Pool,
                                IDirect3DVolumeTexture8** ppVolumeTexture) override;
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format,
                              D3DPOOL Pool, IDirect3DCubeTexture8** ppCubeTexture) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                               D3DMULTISAMPLE_TYPE MultiSample, BOOL Lockable,
                               IDirect3DSurface8** ppSurface) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                      D3DMULTISAMPLE_TYPE MultiSample,
                                      IDirect3DSurface8** ppSurface) override;
    HRESULT CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format,
                               IDirect3DSurface8** ppSurface) override;
    HRESULT CopyRects(IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray, UINT cRects,
                      IDirect3DSurface8* pDestinationSurface,
                      CONST POINT* pDestPointsArray) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture8* pSourceTexture,
                          IDirect3DBaseTexture8* pDestinationTexture) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8* pDestSurface) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* pRenderTarget,
                            IDirect3DSurface8* pNewZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** ppRenderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                  DWORD Stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(CONST D3DVIEWPORT8* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* pViewport) override;
    HRESULT SetMaterial(CONST D3DMATERIAL8* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL8* pMaterial) override;
    HRESULT SetLight(DWORD Index, CONST D3DLIGHT8* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT8* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetClipPlane(DWORD Index, CONST float* pPlane) override;
    HRESULT GetClipPlane(DWORD Index, float* pPlane) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* pToken) override;
    HRESULT ApplyStateBlock(DWORD Token) override;
    HRESULT CaptureStateBlock(DWORD Token) override;
    HRESULT DeleteStateBlock(DWORD Token) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) override;
    HRESULT SetClipStatus(CONST D3DCLIPSTATUS8* pClipStatus) override;
    HRESULT GetClipStatus(D3DCLIPSTATUS8* pClipStatus) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                 DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT ValidateDevice(DWORD* pNumPasses) override;
    HRESULT GetInfo(DWORD DevInfoID, void* pDevInfoStruct, DWORD DevInfoStructSize) override;
    HRESULT SetPaletteEntries(UINT PaletteNumber, CONST struct tagPALETTEENTRY* pEntries) override;
    HRESULT GetPaletteEntries(UINT PaletteNumber, struct tagPALETTEENTRY* pEntries) override;
    HRESULT SetCurrentTexturePalette(UINT PaletteNumber) override;
    HRESULT GetCurrentTexturePalette(UINT* PaletteNumber) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                          UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex, UINT NumVertices,
                                 UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                            CONST void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                   UINT NumVertexIndices, UINT PrimitiveCount,
                                   CONST void* pIndexData, D3DFORMAT IndexDataFormat,
                                   CONST void* pVertexStreamZeroData,
                                   UINT VertexStreamZeroStride) override;
    HRESULT ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount,
                            IDirect3DVertexBuffer8* pDestBuffer, DWORD Flags) override;
    HRESULT CreateVertexShader(CONST DWORD* pDeclaration, CONST DWORD* pFunction, DWORD* pHandle,
                               DWORD Usage) override;
    HRESULT SetVertexShader(DWORD Handle) override;
    HRESULT GetVertexShader(DWORD* pHandle) override;
    HRESULT DeleteVertexShader(DWORD Handle) override;
    HRESULT SetVertexShaderConstant(DWORD Register, CONST void* pConstantData,
                                    DWORD ConstantCount) override;
    HRESULT GetVertexShaderConstant(DWORD Register, void* pConstantData,
                                    DWORD ConstantCount) override;
    HRESULT GetVertexShaderDeclaration(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT GetVertexShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                            UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData,
                            UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) override;
    HRESULT CreatePixelShader(CONST DWORD* pFunction, DWORD* pHandle) override;
    HRESULT SetPixelShader(DWORD Handle) override;
    HRESULT GetPixelShader(DWORD* pHandle) override;
    HRESULT DeletePixelShader(DWORD Handle) override;
    HRESULT SetPixelShaderConstant(DWORD Register, CONST void* pConstantData,
                                   DWORD ConstantCount) override;
    HRESULT GetPixelShaderConstant(DWORD Register, void* pConstantData,
                                   DWORD ConstantCount) override;
    HRESULT GetPixelShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT DrawRectPatch(UINT Handle, CONST float* pNumSegs,
                          CONST D3DRECTPATCH_INFO* pRectPatchInfo) override;
    HRESULT DrawTriPatch(UINT Handle, CONST float* pNumSegs,
                         CONST D3DTRIPATCH_INFO* pTriPatchInfo) override;
    HRESULT DeletePatch(UINT Handle) override;

    // Internal references from resources (see DeviceResource.h).
    void addInternalRef() { ++internalRefs; }
    void releaseInternalRef();
    // A resource's GL objects are going away: forget every cached binding of them.
    void forgetTexture(GLuint texture);
    void forgetRenderbuffer(GLuint renderbuffer);
    void forgetBuffer(GLuint buffer);
    // Uploads through GL_COPY_WRITE_BUFFER so no binding the draws rely on changes.
    void bindTextureForUpload(GLuint texture);
    // Reads a rectangle of a colour target as BGRA8 rows, top row first, in the program's
    // pixels (each averaged over its block of the finer grid).
    bool readTarget(Surface* target, const RECT& rect, uint8_t* bgra, UINT pitch);
    // The same rectangle at the resolution drawn: rect scaled, rows of pitch bytes.
    bool readTargetFine(Surface* target, const RECT& rect, uint8_t* bgra, UINT pitch);
    // Replaces a rectangle (program pixels) of a colour target with BGRA8 rows.
    void writeTarget(Surface* target, const RECT& rect, const uint8_t* bgra, UINT pitch);
    // How much finer than the program's pixels every target is drawn; fixed at creation.
    const RenderScale& renderScale() const { return scale; }
    // Whether point lists are drawn as quads: when the largest point the program may ask
    // for, at the render scale, is beyond the driver's largest point size. Fixed at
    // creation; tests switch it to compare both ways.
    bool pointListsAsQuads() const { return pointQuads; }
    void drawPointListsAsQuads(bool on) {
        pointQuads = on;
        shaderKeyDirty = true;
    }
    // Samples per pixel of every target (0: none); fixed at creation.
    GLsizei sampleCount() const { return samples; }
    // Programs compiled so far (a warmed-up frame adds none).
    uint64_t shaderCompileCount() const { return shaders.compileCount(); }
    // Presented frames the rasteriser may still be working on.
    static constexpr size_t MAX_FRAMES_IN_FLIGHT = 2;
    size_t framesQueued() const { return framesInFlight.size(); }
    // Batches of this frame's drawing handed to the rasteriser and perhaps not drawn yet.
    size_t batchesQueued() const { return throttle.queuedBatches(); }
    // The frame number Present has reached (the trace numbers its lines with it).
    uint64_t frameNumber() const { return frames; }
    // The thread that shows frames in the window; null when Present shows them itself or
    // nobody sees the window.
    Presenter* windowPresenter() const { return presenter.get(); }

private:
    ~Device() override;
    void destroy();
    void setDefaultStates();
    void releaseBindings();
    HRESULT createSwapChain(const D3DPRESENT_PARAMETERS& params);
    void destroySwapChain();
    void applyWindowMode();
    void resetViewportToTarget();
    void growLights(DWORD index);

    // State application at draw time (DeviceApply.cpp; marking a render state in
    // DeviceState.cpp).
    void markRenderStateDirty(D3DRENDERSTATETYPE state);
    bool applyDrawState(D3DPRIMITIVETYPE type);
    void applyFramebuffer();
    void applyFixedState();
    void applySamplers();
    void applyUniforms(ShaderProgram& program);
    ShaderKey buildShaderKey(D3DPRIMITIVETYPE type) const;
    GLuint framebufferFor(GLuint colorTexture, GLuint level, GLuint depth,
                          GLuint multisampledColor = 0);
    static constexpr GLuint MULTISAMPLED_LEVEL = ~0u;

    // Multisampling (DeviceMultisample.cpp): level-0 colour targets are drawn into a
    // multisampled renderbuffer and resolved into their texture before anything reads it.
    GLuint multisampledColorOf(Surface* target);
    void resolve(Surface* target);
    void resolveSampledTargets();
    // After the texture of a target was written directly: the same rectangle (of the
    // program's pixels) into its samples.
    void refreshSamples(Surface* target, const RECT& rect);
    void setEnabled(GLenum cap, bool enable, int slot);
    void invalidateGlCache();
    // Makes this device the one whose GL state the caches describe (another device may
    // have drawn since, on the same context).
    void activate() {
        if (activeDevice != this) {
            switchToThisDevice();
        }
    }
    void switchToThisDevice();
    static Device* activeDevice;
    // Compiles the programs of KnownPrograms.h that are not compiled yet.
    void prepareKnownPrograms();

    // Drawing (DeviceDraw.cpp).
    HRESULT checkDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT* vertexCount) const;
    void bindVertexLayout(GLuint buffer, size_t offset, UINT stride);
    size_t streamUpload(const void* data, size_t size, size_t align);
    void drawArrays(D3DPRIMITIVETYPE type, GLint first, UINT count);
    bool outsideViewVolume(D3DPRIMITIVETYPE type, VertexBuffer* buffer, UINT stride) const;

    // Creation state.
    Direct3D8* direct3d;
    D3DDEVTYPE deviceType;
    HWND focusWindow;
    DWORD behaviorFlags;
    SDL_Window* window = nullptr;
    uint32_t internalRefs = 0;
    bool destroyed = false;
    RenderScale scale;
    bool pointQuads = false;
    GLsizei samples = 0; // per pixel of every target; 0 without multisampling

    // Swap chain: two colour buffers that exchange roles at each flip, and the automatic
    // depth-stencil buffer.
    D3DPRESENT_PARAMETERS presentParams{};
    Surface* backBuffer = nullptr;
    Surface* frontBuffer = nullptr;
    Surface* autoDepthStencil = nullptr;
    GLuint presentFramebuffer = 0;
    std::unique_ptr<Presenter> presenter;
    int swapInterval = 0; // what the window's swaps wait for, as the parameters ask
    uint64_t frames = 0;
    // Fences of the latest Presents, oldest first: at most MAX_FRAMES_IN_FLIGHT frames wait
    // for the rasteriser, as a driver's queue would hold them.
    std::deque<GLsync> framesInFlight;
    // The known programs are compiled after the first Present, behind the loading screen.
    bool programsPrepared = false;
    // Pictures the present observer asked for, on their way back.
    FrameReadback readback;
    // Hands a frame's drawing to the rasteriser in bounded batches.
    SubmitThrottle throttle;
    bool inScene = false;

    // Recorded state.
    DWORD renderStates[256] = {};
    DWORD stageStates[MAX_STAGES][32] = {};
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATRIX textureTransforms[MAX_STAGES]{};
    D3DVIEWPORT8 viewport{};
    D3DMATERIAL8 material{};
    std::vector<D3DLIGHT8> lights;
    std::vector<uint8_t> lightEnabled;
    std::array<Texture*, MAX_STAGES> textures{};
    VertexBuffer* streamSource = nullptr;
    UINT streamStride = 0;
    IndexBuffer* indexBuffer = nullptr;
    UINT baseVertexIndex = 0;
    DWORD vertexShader = 0;
    Surface* renderTarget = nullptr;
    Surface* depthStencil = nullptr;

    // What the next draw must bring up to date.
    bool framebufferDirty = true;
    bool fixedStateDirty = true;
    bool shaderKeyDirty = true;
    uint32_t samplerDirtyMask = 0xff; // sampler parameters of a stage changed
    uint32_t textureDirtyMask = 0xff; // the texture bound to a stage changed
    uint64_t uniformVersion = 1;
    ShaderKey currentKey{};
    ShaderProgram* currentProgram = nullptr;
    ShaderCache shaders;

    // GL objects and what is bound, so unchanged state costs no GL call.
    GLuint vertexArray = 0;
    GLuint samplers[MAX_STAGES] = {};
    GLuint streamBuffer = 0;
    size_t streamCapacity = 0;
    size_t streamOffset = 0;
    GLuint indexStreamBuffer = 0;
    size_t indexStreamCapacity = 0;
    size_t indexStreamOffset = 0;
    std::map<std::tuple<GLuint, GLuint, GLuint>, GLuint> framebuffers;
    GLuint boundFramebuffer = ~0u;
    GLuint boundProgram = ~0u;
    // The GL depth range last set: the viewport's MinZ..MaxZ, or 0..1 for transformed vertices.
    float appliedDepthRange[2] = {-1.0f, -1.0f};
    GLuint boundArrayBuffer = ~0u;
    GLuint boundElementBuffer = ~0u;
    GLuint boundTextures[MAX_STAGES] = {};
    GLuint layoutBuffer = ~0u;
    size_t layoutOffset = ~size_t(0);
    UINT layoutStride = 0;
    DWORD layoutFvf = ~0u;
    int8_t enabledCaps[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};
