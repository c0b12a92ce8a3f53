// The device's life: creation, the swap chain, Present and Reset, and its plain queries.
#include "Device.h"

#include "Direct3D8.h"
#include "Formats.h"
#include "GlContext.h"
#include "IndexBuffer.h"
#include "KnownPrograms.h"
#include "PlatformOptions.h"
#include "Presenter.h"
#include "SdlBridge.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "d3d8observer.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Fills in what the parameters leave to the device; false when they cannot be honoured.
bool normaliseParameters(D3DPRESENT_PARAMETERS& p, SDL_Window* window) {
    if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC ||
        p.BackBufferCount > 3 || p.MultiSampleType != D3DMULTISAMPLE_NONE) {
        return false;
    }
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        if (!p.Windowed) {
            return false;
        }
        // A windowed swap chain without a size takes the window's client area.
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        p.BackBufferWidth = p.BackBufferWidth != 0 ? p.BackBufferWidth : static_cast<UINT>(w);
        p.BackBufferHeight = p.BackBufferHeight != 0 ? p.BackBufferHeight : static_cast<UINT>(h);
    }
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0 || p.BackBufferWidth > 4096 ||
        p.BackBufferHeight > 4096) {
        return false;
    }
    if (p.BackBufferFormat == D3DFMT_UNKNOWN && p.Windowed) {
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
    }
    switch (p.BackBufferFormat) {
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
        break;
    default:
        return false;
    }
    if (p.EnableAutoDepthStencil && !isDepthFormat(p.AutoDepthStencilFormat)) {
        return false;
    }
    if (p.BackBufferCount == 0) {
        p.BackBufferCount = 1;
    }
    return true;
}

// The render scale the run asked for, or for "auto" the one that fits the display.
UINT chooseRenderScale(const PlatformOptions& options, SDL_Window* window, UINT backBufferHeight) {
    if (!options.renderScaleAuto) {
        return std::clamp<UINT>(options.renderScale, 1, RenderScale::MOST);
    }
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string name = renderer ? renderer : "";
    const bool software = options.software || options.headless ||
                          name.find("llvmpipe") != std::string::npos ||
                          name.find("softpipe") != std::string::npos;
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    UINT displayHeight = 0;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.h > 0) {
        displayHeight = static_cast<UINT>(mode.h);
    }
    return RenderScale::fitDisplay(software, displayHeight, backBufferHeight);
}

} // namespace

Device* Device::activeDevice = nullptr;

namespace {

// Read-backs go to whichever observer is watching when they arrive.
void handToObserver(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch) {
    if (PresentObserver::active) {
        PresentObserver::active->pictureRead(bgra, width, height, pitch);
    }
}

} // namespace

void Device::switchToThisDevice() {
    // With a presenter the window is its context's; the device draws only into its targets.
    GlContext::get()->makeCurrent(presenter ? nullptr : window);
    glBindVertexArray(vertexArray);
    for (GLuint i = 0; i < MAX_STAGES; ++i) {
        glBindSampler(i, samplers[i]);
    }
    invalidateGlCache();
    boundArrayBuffer = boundElementBuffer = layoutBuffer = ~0u;
    for (GLuint& texture : boundTextures) {
        texture = ~0u;
    }
    textureDirtyMask = 0xff;
    activeDevice = this;
}

Device::Device(Direct3D8* owner, D3DDEVTYPE type, HWND focus, DWORD flags)
    : direct3d(owner), deviceType(type), focusWindow(focus), behaviorFlags(flags) {
    direct3d->AddRef();
}

HRESULT Device::initialise(D3DPRESENT_PARAMETERS* params) {
    HWND windowHandle = params->hDeviceWindow != nullptr ? params->hDeviceWindow : focusWindow;
    window = sdlWindowFromHwnd(windowHandle);
    if (window == nullptr || !(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) {
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS p = *params;
    if (!normaliseParameters(p, window)) {
        return D3DERR_INVALIDCALL;
    }
    GlContext* context = GlContext::get();
    if (context == nullptr || !context->makeCurrent(window)) {
        return D3DERR_NOTAVAILABLE;
    }
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    activeDevice = this;
    glGenSamplers(MAX_STAGES, samplers);
    for (GLuint i = 0; i < MAX_STAGES; ++i) {
        glBindSampler(i, samplers[i]);
    }
    glGenBuffers(1, &streamBuffer);
    glGenBuffers(1, &indexStreamBuffer);
    glGenFramebuffers(1, &presentFramebuffer);
    // Direct3D's conventions that GL lets us choose once.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    if constexpr (!GL_DIALECT_ES) { // ES sizes points in the vertex stage always
        glEnable(GL_PROGRAM_POINT_SIZE);
    }
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glFrontFace(GL_CCW);
    glDepthRange(0.0, 1.0);
    if (Presenter::wanted(PlatformOptions::get().headless)) {
        // A surface is current on one thread at a time: the window becomes the presenter's.
        context->makeCurrent(nullptr);
        presenter = Presenter::start(window);
        if (!presenter) {
            context->makeCurrent(window);
        }
    }
    scale = RenderScale(chooseRenderScale(PlatformOptions::get(), window, p.BackBufferHeight));
    // GL clamps a point to its largest size, which at a large scale can be less than the
    // largest point the program may ask for: then points are drawn as quads, at any size.
    GLfloat pointSizes[2] = {1.0f, 1.0f};
    glGetFloatv(GL_POINT_SIZE_RANGE, pointSizes);
    pointQuads = Direct3D8::MAX_POINT_SIZE * static_cast<float>(scale.factor()) > pointSizes[1];
    if (PlatformOptions::get().multisample > 1) {
        // As many samples as asked for where the driver offers them, else its most.
        GLint most = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &most);
        samples = std::min<GLsizei>(static_cast<GLsizei>(PlatformOptions::get().multisample), most);
        samples = samples > 1 ? samples : 0;
    }
    HRESULT result = createSwapChain(p);
    if (FAILED(result)) {
        return result;
    }
    *params = p;
    GL_CHECK("CreateDevice");
    return D3D_OK;
}

HRESULT Device::createSwapChain(const D3DPRESENT_PARAMETERS& p) {
    presentParams = p;
    // The colour buffers are drawn in 8 bits per channel whatever the display format.
    D3DFORMAT format = p.BackBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    backBuffer = Surface::createBackBuffer(this, p.BackBufferWidth, p.BackBufferHeight, format);
    frontBuffer = Surface::createBackBuffer(this, p.BackBufferWidth, p.BackBufferHeight, format);
    if (!backBuffer->createStorage() || !frontBuffer->createStorage()) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (p.EnableAutoDepthStencil) {
        autoDepthStencil =
            new Surface(this, Surface::Kind::DepthStencil, p.BackBufferWidth, p.BackBufferHeight,
                        p.AutoDepthStencilFormat, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL);
        autoDepthStencil->ownedByDevice = true;
        releaseInternalRef();
        if (!autoDepthStencil->createStorage()) {
            return D3DERR_OUTOFVIDEOMEMORY;
        }
    }
    renderTarget = backBuffer;
    depthStencil = autoDepthStencil;
    setDefaultStates();
    resetViewportToTarget();
    applyWindowMode();
    // The depth-stencil buffer starts cleared, as a new device's does.
    if (depthStencil != nullptr) {
        applyFramebuffer();
        setEnabled(GL_SCISSOR_TEST, false, 0);
        glDepthMask(GL_TRUE);
        glStencilMask(0xff);
        glClearDepth(1.0);
        glClearStencil(0);
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        depthStencil->setStencilUniform(0);
        fixedStateDirty = true;
    }
    return D3D_OK;
}

void Device::destroySwapChain() {
    auto drop = [](Surface* s) {
        if (s != nullptr && !s->ownedByDevice) {
            s->Release();
        }
    };
    if (renderTarget != backBuffer) {
        drop(renderTarget);
    }
    if (depthStencil != autoDepthStencil) {
        drop(depthStencil);
    }
    renderTarget = nullptr;
    depthStencil = nullptr;
    // The device's own surfaces are deleted directly; their references were the device's.
    for (Surface** s : {&backBuffer, &frontBuffer, &autoDepthStencil}) {
        if (*s != nullptr) {
            addInternalRef(); // balanced by the surface's destructor
            (*s)->ownedByDevice = false;
            delete *s;
            *s = nullptr;
        }
    }
}

void Device::applyWindowMode() {
    const PlatformOptions& options = PlatformOptions::get();
    if (presentParams.Windowed || options.windowed || options.headless) {
        // The run asked for a window: an 800 x 600 (back-buffer sized) centred one.
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) {
            sdlSetFullscreen(window, false);
        }
        if (!presentParams.Windowed) {
            SDL_SetWindowSize(window, static_cast<int>(presentParams.BackBufferWidth),
                              static_cast<int>(presentParams.BackBufferHeight));
            SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    } else {
        // Full screen at the desktop's own mode; Present scales the picture to it.
        sdlSetFullscreen(window, true);
    }
    UINT interval = presentParams.FullScreen_PresentationInterval;
    bool sync = !presentParams.Windowed && interval != D3DPRESENT_INTERVAL_IMMEDIATE;
    swapInterval = sync ? 1 : 0;
    // The interval belongs to the context that swaps: the presenter's takes it with the
    // next frame.
    if (!presenter) {
        SDL_GL_SetSwapInterval(swapInterval);
    }
}

ULONG Device::Release() {
    if (refCount == 0) {
        return 0;
    }
    ULONG count = --refCount;
    if (count == 0 && !destroyed) {
        // Let go of every bound resource; they may in turn be the last internal references.
        ++internalRefs;
        releaseBindings();
        --internalRefs;
        if (internalRefs == 0) {
            destroy();
            delete this;
        }
    }
    return count;
}

void Device::releaseInternalRef() {
    if (internalRefs > 0) {
        --internalRefs;
    }
    if (internalRefs == 0 && refCount == 0 && !destroyed) {
        destroy();
        delete this;
    }
}

void Device::releaseBindings() {
    for (Texture*& texture : textures) {
        if (texture != nullptr) {
            Texture* t = texture;
            texture = nullptr;
            t->Release();
        }
    }
    if (streamSource != nullptr) {
        VertexBuffer* b = streamSource;
        streamSource = nullptr;
        b->Release();
    }
    if (indexBuffer != nullptr) {
        IndexBuffer* b = indexBuffer;
        indexBuffer = nullptr;
        b->Release();
    }
    auto drop = [](Surface* s) {
        if (s != nullptr && !s->ownedByDevice) {
            s->Release();
        }
    };
    Surface* color = renderTarget;
    Surface* depth = depthStencil;
    renderTarget = backBuffer;
    depthStencil = autoDepthStencil;
    if (color != backBuffer) {
        drop(color);
    }
    if (depth != autoDepthStencil) {
        drop(depth);
    }
    framebufferDirty = fixedStateDirty = shaderKeyDirty = true;
    samplerDirtyMask = 0xff;
    textureDirtyMask = 0xff;
}

void Device::destroy() {
    destroyed = true;
    if (activeDevice == this) {
        activeDevice = nullptr;
    }
    // The program's window may already be gone; the context's own window always exists.
    GlContext::get()->makeCurrent(nullptr);
    // Frames still queued for the window are dropped; the thread ends before the swap
    // chain's textures go.
    presenter.reset();
    readback.release(handToObserver);
    throttle.release();
    for (GLsync fence : framesInFlight) {
        glDeleteSync(fence);
    }
    framesInFlight.clear();
    ++internalRefs; // the swap chain's surfaces report back while going
    destroySwapChain();
    --internalRefs;
    shaders.clear();
    for (auto& entry : framebuffers) {
        glDeleteFramebuffers(1, &entry.second);
    }
    framebuffers.clear();
    glDeleteFramebuffers(1, &presentFramebuffer);
    glDeleteBuffers(1, &streamBuffer);
    glDeleteBuffers(1, &indexStreamBuffer);
    glDeleteSamplers(MAX_STAGES, samplers);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    glCheckErrors("device release");
}

Device::~Device() {
    direct3d->Release();
}

HRESULT Device::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IDirect3DDevice8) {
        AddRef();
        *object = static_cast<IDirect3DDevice8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Device::Present(CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND, CONST RGNDATA*) {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    activate();
    // The pictures of earlier Presents are drawn by now, or nearly: the rasteriser has moved
    // on to this frame. They are read before the copy or flip below hands their buffer on.
    readback.deliver(0, handToObserver);
    boundFramebuffer = ~0u;
    resolve(backBuffer);
    // The presenter may still be reading the front buffer, which the copy below overwrites
    // or the flip hands to the program to draw into.
    if (presenter) {
        presenter->reclaim();
    }
    // The presented buffer becomes the front buffer; with flip (and discard) the old front
    // buffer becomes the back buffer, with copy the back buffer keeps its picture.
    if (presentParams.SwapEffect == D3DSWAPEFFECT_COPY ||
        presentParams.SwapEffect == D3DSWAPEFFECT_COPY_VSYNC) {
        GLuint read = framebufferFor(backBuffer->glTexture(), 0, 0);
        GLuint draw = framebufferFor(frontBuffer->glTexture(), 0, 0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
        setEnabled(GL_SCISSOR_TEST, false, 0);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        int w = static_cast<int>(scale.size(backBuffer->width()));
        int h = static_cast<int>(scale.size(backBuffer->height()));
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    } else {
        backBuffer->swapStorage(*frontBuffer);
    }
    // Show the front buffer scaled to the window, its aspect kept, black bars around it.
    // Without a display nobody sees the window: the picture stays in the front buffer, where
    // GetFrontBuffer and capturing read it, and the full-screen copy is saved.
    (void)pDestRect; // the whole window is the destination in this layer
    Presenter::Frame shown;
    if (presenter || !PlatformOptions::get().headless) {
        SDL_GL_GetDrawableSize(window, &shown.drawableWidth, &shown.drawableHeight);
    }
    if (shown.drawableWidth > 0 && shown.drawableHeight > 0) {
        RECT source{0, 0, static_cast<LONG>(frontBuffer->width()),
                    static_cast<LONG>(frontBuffer->height())};
        if (pSourceRect != nullptr && pSourceRect->left >= 0 && pSourceRect->top >= 0 &&
            pSourceRect->right <= source.right && pSourceRect->bottom <= source.bottom &&
            pSourceRect->left < pSourceRect->right && pSourceRect->top < pSourceRect->bottom) {
            source = *pSourceRect;
        }
        // The picture as drawn, on the render scale's finer grid.
        shown.source = scale.rect(source);
        shown.texture = frontBuffer->glTexture();
        shown.textureWidth = static_cast<int>(scale.size(frontBuffer->width()));
        shown.textureHeight = static_cast<int>(scale.size(frontBuffer->height()));
        shown.swapInterval = swapInterval;
        shown.number = frames + 1;
        if (presenter) {
            presenter->show(shown);
        } else {
            GLuint read = framebufferFor(frontBuffer->glTexture(), 0, 0);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            setEnabled(GL_SCISSOR_TEST, false, 0);
            Presenter::drawScaled(read, shown);
            SDL_GL_SwapWindow(window);
        }
    }
    boundFramebuffer = ~0u;
    framebufferDirty = fixedStateDirty = true;
    ++frames;
    GL_CHECK("Present");
    bool reading = false;
    if (PresentObserver* observer = PresentObserver::active) {
        observer->presented(this, shaderCompileCount());
        if (observer->wantsPicture()) {
            // The picture as drawn: at a render scale, that many times the program's size.
            GLuint read = framebufferFor(frontBuffer->glTexture(), 0, 0);
            const UINT width = scale.size(frontBuffer->width());
            const UINT height = scale.size(frontBuffer->height());
            reading = readback.queue(read, frontBuffer->glTexture(), width, height);
            if (!reading) {
                readback.deliver(0, handToObserver);
                handToObserver(nullptr, width, height, 0);
            }
            boundFramebuffer = ~0u;
        }
    }
    // This picture is read at the next Present, or when the swap chain goes.
    readback.deliver(reading ? 1 : 0, handToObserver);
    // The frame is queued and Present returns while the rasteriser works on it; only when
    // more frames than a driver would queue are waiting does it wait for the oldest (off
    // screen nothing else ever waits, and the queue would grow without bound).
    if constexpr (!GL_DIALECT_ES) { // WebGL waits on no fence: the browser paces frames
        framesInFlight.push_back(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
    }
    glFlush();
    throttle.frameEnded();
    while (framesInFlight.size() > MAX_FRAMES_IN_FLIGHT) {
        GLsync oldest = framesInFlight.front();
        framesInFlight.pop_front();
        while (glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull) ==
               GL_TIMEOUT_EXPIRED) {
        }
        glDeleteSync(oldest);
    }
    if (!programsPrepared) {
        prepareKnownPrograms();
    }
    return D3D_OK;
}

void Device::prepareKnownPrograms() {
    programsPrepared = true;
    for (size_t i = 0; i < KNOWN_PROGRAM_COUNT; ++i) {
        ShaderKey key;
        if (ShaderCache::keyFromText(KNOWN_PROGRAM_KEYS[i], key)) {
            // The demo's points are point lists: drawn as quads here when points are.
            key.pointQuads = pointQuads && key.points ? 1 : 0;
            shaders.get(key);
        }
    }
    // Compiling binds each program to set its samplers.
    boundProgram = ~0u;
    GL_CHECK("prepare programs");
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) {
    if (pPresentationParameters == nullptr || inScene) {
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS p = *pPresentationParameters;
    if (!normaliseParameters(p, window)) {
        return D3DERR_INVALIDCALL;
    }
    // Bindings and states go back to what a new device has. The frames still queued are
    // shown first: the swap chain's textures go, and the window may change its mode.
    activate();
    if (presenter) {
        presenter->finish();
    }
    // Pictures still to be read are read from the swap chain's textures before they go.
    readback.deliver(0, handToObserver);
    boundFramebuffer = ~0u;
    releaseBindings();
    ++internalRefs;
    destroySwapChain();
    --internalRefs;
    HRESULT result = createSwapChain(p);
    if (FAILED(result)) {
        return result;
    }
    *pPresentationParameters = p;
    GL_CHECK("Reset");
    return D3D_OK;
}

HRESULT Device::TestCooperativeLevel() {
    return D3D_OK;
}

UINT Device::GetAvailableTextureMem() {
    return 256u << 20;
}

HRESULT Device::ResourceManagerDiscardBytes(DWORD) {
    return D3D_OK;
}

HRESULT Device::GetDirect3D(IDirect3D8** ppD3D8) {
    if (ppD3D8 == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppD3D8 = direct3d;
    direct3d->AddRef();
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* pCaps) {
    if (pCaps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    Direct3D8::fillCaps(deviceType, pCaps);
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE* pMode) {
    if (pMode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (presentParams.Windowed) {
        return direct3d->GetAdapterDisplayMode(0, pMode);
    }
    pMode->Width = presentParams.BackBufferWidth;
    pMode->Height = presentParams.BackBufferHeight;
    pMode->RefreshRate = presentParams.FullScreen_RefreshRateInHz;
    pMode->Format = presentParams.BackBufferFormat;
    return D3D_OK;
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) {
    if (pParameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    pParameters->AdapterOrdinal = 0;
    pParameters->DeviceType = deviceType;
    pParameters->hFocusWindow = focusWindow;
    pParameters->BehaviorFlags = behaviorFlags;
    return D3D_OK;
}

HRESULT Device::SetCursorProperties(UINT, UINT, IDirect3DSurface8* pCursorBitmap) {
    return pCursorBitmap == nullptr ? D3DERR_INVALIDCALL : D3D_OK;
}

void Device::SetCursorPosition(int, int, DWORD) {}

BOOL Device::ShowCursor(BOOL) {
    return FALSE;
}

HRESULT Device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS*, IDirect3DSwapChain8** chain) {
    if (chain != nullptr) {
        *chain = nullptr;
    }
    return D3DERR_NOTAVAILABLE;
}

HRESULT Device::GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) {
    if (pRasterStatus == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    return D3DERR_INVALIDCALL; // the caps do not offer D3DCAPS_READ_SCANLINE
}

void Device::SetGammaRamp(DWORD, CONST D3DGAMMARAMP*) {}

void Device::GetGammaRamp(D3DGAMMARAMP* pRamp) {
    if (pRamp == nullptr) {
        return;
    }
    for (int i = 0; i < 256; ++i) {
        pRamp->red[i] = pRamp->green[i] = pRamp->blue[i] = static_cast<WORD>(i * 257);
    }
}

HRESULT Device::ValidateDevice(DWORD* pNumPasses) {
    if (pNumPasses == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *pNumPasses = 1;
    return D3D_OK;
}

HRESULT Device::GetInfo(DWORD, void*, DWORD) {
    return S_FALSE;
}
