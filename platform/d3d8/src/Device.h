// The Direct3D 8 device on OpenGL 3.3 core. States are recorded when set (DeviceState.cpp)
// and applied at the next draw (DeviceApply.cpp); resources, draws and the device's life are
// in DeviceResources.cpp, DeviceDraw.cpp and DevicePresent.cpp.
#pragma once

#include <Direct3D8Methods.h>
#include <ComObject.h>
#include <d3d8.h>
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
#include <string>
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

    IDIRECT3DDEVICE8_METHODS(DECLARE_D3D8_OVERRIDE)

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
    // Draws count indices from indexOffset of the bound element buffer, vertex base of the
    // indices at the start of buffer's vertices of stride bytes.
    void drawElementsFrom(GLuint buffer, UINT stride, GLint base, GLenum mode, GLsizei count,
                          GLenum indexType, size_t indexOffset);
    bool outsideViewVolume(D3DPRIMITIVETYPE type, VertexBuffer* buffer, UINT stride) const;
    // What a draw or clear does, for the draw timer's lines.
    std::string drawDescription(const char* call, D3DPRIMITIVETYPE type, UINT count) const;

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
