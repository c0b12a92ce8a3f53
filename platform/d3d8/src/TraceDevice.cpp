#include "TraceDevice.h"

#include "TraceDirect3D8.h"
#include "TraceResources.h"
#include "VertexFormat.h"

#include <algorithm>

TraceDevice::TraceDevice(IDirect3DDevice8* device, TraceDirect3D8* owner,
                         std::shared_ptr<TraceWriter> trace)
    : real(device), parent(owner), writer(std::move(trace)),
      resources(std::make_shared<TraceResources>(writer)) {
    writer->object(this, "device");
    resources->device = this;
    parent->hold();
}

TraceDevice::~TraceDevice() {
    parent->drop();
}

HRESULT TraceDevice::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    HRESULT result = E_NOINTERFACE;
    *object = nullptr;
    if (riid == IID_IDirect3DDevice8) {
        AddRef();
        *object = static_cast<IDirect3DDevice8*>(this);
        result = S_OK;
    }
    writer->begin("IDirect3DDevice8::QueryInterface", this);
    writer->arg("riid", "{iid}");
    writer->arg("ppvObj", *object ? "&" + writer->object(*object, "object") : "&NULL");
    writer->end(result);
    return result;
}

ULONG TraceDevice::AddRef() {
    ULONG count = real->AddRef();
    writer->begin("IDirect3DDevice8::AddRef", this);
    writer->endValue(count);
    return count;
}

ULONG TraceDevice::Release() {
    ULONG count = real->Release();
    writer->begin("IDirect3DDevice8::Release", this);
    writer->endValue(count);
    if (count == 0) {
        delete this;
    }
    return count;
}

HRESULT TraceDevice::GetDirect3D(IDirect3D8** ppD3D8) {
    IDirect3D8* inner = nullptr;
    HRESULT result = real->GetDirect3D(ppD3D8 != nullptr ? &inner : nullptr);
    if (SUCCEEDED(result)) {
        // The program sees the tracing object, never the one inside it.
        inner->Release();
        parent->hold();
        *ppD3D8 = parent;
    }
    writer->begin("IDirect3DDevice8::GetDirect3D", this);
    writer->arg("ppD3D8", ppD3D8 && SUCCEEDED(result) ? "&" + writer->object(*ppD3D8, "direct3d")
                                                      : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::Present(CONST RECT* pSourceRect, CONST RECT* pDestRect,
                             HWND hDestWindowOverride, CONST RGNDATA* pDirtyRegion) {
    HRESULT result = real->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion);
    writer->begin("IDirect3DDevice8::Present", this);
    writer->arg("pSourceRect", TraceWriter::rect(pSourceRect));
    writer->arg("pDestRect", TraceWriter::rect(pDestRect));
    writer->arg("hDestWindowOverride", TraceWriter::pointer(hDestWindowOverride));
    writer->arg("pDirtyRegion", TraceWriter::pointer(pDirtyRegion));
    writer->end(result);
    // Present closes the frame.
    writer->nextFrame();
    return result;
}

HRESULT TraceDevice::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    HRESULT result = real->SetRenderState(State, Value);
    writer->begin("IDirect3DDevice8::SetRenderState", this);
    writer->arg("State", TraceWriter::renderState(State));
    writer->arg("Value", TraceWriter::renderStateValue(State, Value));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    HRESULT result = real->SetTextureStageState(Stage, Type, Value);
    writer->begin("IDirect3DDevice8::SetTextureStageState", this);
    writer->arg("Stage", TraceWriter::number(Stage));
    writer->arg("Type", TraceWriter::stageState(Type));
    writer->arg("Value", TraceWriter::stageStateValue(Type, Value));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetVertexShader(DWORD Handle) {
    HRESULT result = real->SetVertexShader(Handle);
    if (SUCCEEDED(result)) {
        vertexFormat = Handle;
    }
    writer->begin("IDirect3DDevice8::SetVertexShader", this);
    writer->arg("Handle", TraceWriter::fvf(Handle));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::TestCooperativeLevel() {
    HRESULT result = real->TestCooperativeLevel();
    writer->begin("IDirect3DDevice8::TestCooperativeLevel", this);
    writer->end(result);
    return result;
}

UINT TraceDevice::GetAvailableTextureMem() {
    UINT result = real->GetAvailableTextureMem();
    writer->begin("IDirect3DDevice8::GetAvailableTextureMem", this);
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

HRESULT TraceDevice::ResourceManagerDiscardBytes(DWORD Bytes) {
    HRESULT result = real->ResourceManagerDiscardBytes(Bytes);
    writer->begin("IDirect3DDevice8::ResourceManagerDiscardBytes", this);
    writer->arg("Bytes", TraceWriter::number(Bytes));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetDeviceCaps(D3DCAPS8* pCaps) {
    HRESULT result = real->GetDeviceCaps(pCaps);
    writer->begin("IDirect3DDevice8::GetDeviceCaps", this);
    writer->arg("pCaps", TraceWriter::pointer(pCaps));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetDisplayMode(D3DDISPLAYMODE* pMode) {
    HRESULT result = real->GetDisplayMode(pMode);
    writer->begin("IDirect3DDevice8::GetDisplayMode", this);
    writer->arg("pMode", TraceWriter::displayMode(pMode));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) {
    HRESULT result = real->GetCreationParameters(pParameters);
    writer->begin("IDirect3DDevice8::GetCreationParameters", this);
    writer->arg("pParameters", TraceWriter::pointer(pParameters));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetCursorProperties(UINT XHotSpot, UINT YHotSpot,
                                         IDirect3DSurface8* pCursorBitmap) {
    HRESULT result =
        real->SetCursorProperties(XHotSpot, YHotSpot, resources->unwrap(pCursorBitmap));
    writer->begin("IDirect3DDevice8::SetCursorProperties", this);
    writer->arg("XHotSpot", TraceWriter::number(XHotSpot));
    writer->arg("YHotSpot", TraceWriter::number(YHotSpot));
    writer->arg("pCursorBitmap", writer->object(pCursorBitmap, "surface"));
    writer->end(result);
    return result;
}

void TraceDevice::SetCursorPosition(int X, int Y, DWORD Flags) {
    real->SetCursorPosition(X, Y, Flags);
    writer->begin("IDirect3DDevice8::SetCursorPosition", this);
    writer->arg("X", TraceWriter::signedNumber(X));
    writer->arg("Y", TraceWriter::signedNumber(Y));
    writer->arg("Flags", TraceWriter::number(Flags));
    writer->end();
}

BOOL TraceDevice::ShowCursor(BOOL bShow) {
    BOOL result = real->ShowCursor(bShow);
    writer->begin("IDirect3DDevice8::ShowCursor", this);
    writer->arg("bShow", TraceWriter::boolean(bShow));
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

HRESULT TraceDevice::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                               IDirect3DSwapChain8** pSwapChain) {
    HRESULT result = real->CreateAdditionalSwapChain(pPresentationParameters, pSwapChain);
    writer->begin("IDirect3DDevice8::CreateAdditionalSwapChain", this);
    writer->arg("pPresentationParameters", TraceWriter::presentParameters(pPresentationParameters));
    writer->arg("pSwapChain", (SUCCEEDED(result) && pSwapChain && *pSwapChain)
                                  ? "&" + writer->object(*pSwapChain, "swapchain")
                                  : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) {
    HRESULT result = real->Reset(pPresentationParameters);
    writer->begin("IDirect3DDevice8::Reset", this);
    writer->arg("pPresentationParameters", TraceWriter::presentParameters(pPresentationParameters));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type,
                                   IDirect3DSurface8** ppBackBuffer) {
    HRESULT result = real->GetBackBuffer(BackBuffer, Type, ppBackBuffer);
    if (SUCCEEDED(result) && ppBackBuffer != nullptr && *ppBackBuffer != nullptr) {
        *ppBackBuffer = resources->wrap(*ppBackBuffer);
    }
    writer->begin("IDirect3DDevice8::GetBackBuffer", this);
    writer->arg("BackBuffer", TraceWriter::number(BackBuffer));
    writer->arg("Type", TraceWriter::backBufferType(Type));
    writer->arg("ppBackBuffer", (SUCCEEDED(result) && ppBackBuffer && *ppBackBuffer)
                                    ? "&" + writer->object(*ppBackBuffer, "surface")
                                    : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) {
    HRESULT result = real->GetRasterStatus(pRasterStatus);
    writer->begin("IDirect3DDevice8::GetRasterStatus", this);
    writer->arg("pRasterStatus", TraceWriter::pointer(pRasterStatus));
    writer->end(result);
    return result;
}

void TraceDevice::SetGammaRamp(DWORD Flags, CONST D3DGAMMARAMP* pRamp) {
    real->SetGammaRamp(Flags, pRamp);
    writer->begin("IDirect3DDevice8::SetGammaRamp", this);
    writer->arg("Flags", TraceWriter::number(Flags));
    writer->arg("pRamp", TraceWriter::pointer(pRamp));
    writer->end();
}

void TraceDevice::GetGammaRamp(D3DGAMMARAMP* pRamp) {
    real->GetGammaRamp(pRamp);
    writer->begin("IDirect3DDevice8::GetGammaRamp", this);
    writer->arg("pRamp", TraceWriter::pointer(pRamp));
    writer->end();
}

HRESULT TraceDevice::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                   D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture8** ppTexture) {
    HRESULT result = real->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture);
    if (SUCCEEDED(result) && ppTexture != nullptr && *ppTexture != nullptr) {
        *ppTexture = resources->wrap(*ppTexture);
    }
    writer->begin("IDirect3DDevice8::CreateTexture", this);
    writer->arg("Width", TraceWriter::number(Width));
    writer->arg("Height", TraceWriter::number(Height));
    writer->arg("Levels", TraceWriter::number(Levels));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("Pool", TraceWriter::pool(Pool));
    writer->arg("ppTexture", (SUCCEEDED(result) && ppTexture && *ppTexture)
                                 ? "&" + writer->object(*ppTexture, "texture")
                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels,
                                         DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                         IDirect3DVolumeTexture8** ppVolumeTexture) {
    HRESULT result = real->CreateVolumeTexture(Width, Height, Depth, Levels, Usage, Format, Pool,
                                               ppVolumeTexture);
    writer->begin("IDirect3DDevice8::CreateVolumeTexture", this);
    writer->arg("Width", TraceWriter::number(Width));
    writer->arg("Height", TraceWriter::number(Height));
    writer->arg("Depth", TraceWriter::number(Depth));
    writer->arg("Levels", TraceWriter::number(Levels));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("Pool", TraceWriter::pool(Pool));
    writer->arg("ppVolumeTexture", (SUCCEEDED(result) && ppVolumeTexture && *ppVolumeTexture)
                                       ? "&" + writer->object(*ppVolumeTexture, "volumetexture")
                                       : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                       D3DPOOL Pool, IDirect3DCubeTexture8** ppCubeTexture) {
    HRESULT result =
        real->CreateCubeTexture(EdgeLength, Levels, Usage, Format, Pool, ppCubeTexture);
    writer->begin("IDirect3DDevice8::CreateCubeTexture", this);
    writer->arg("EdgeLength", TraceWriter::number(EdgeLength));
    writer->arg("Levels", TraceWriter::number(Levels));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("Pool", TraceWriter::pool(Pool));
    writer->arg("ppCubeTexture", (SUCCEEDED(result) && ppCubeTexture && *ppCubeTexture)
                                     ? "&" + writer->object(*ppCubeTexture, "cubetexture")
                                     : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                        IDirect3DVertexBuffer8** ppVertexBuffer) {
    HRESULT result = real->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer);
    if (SUCCEEDED(result) && ppVertexBuffer != nullptr && *ppVertexBuffer != nullptr) {
        *ppVertexBuffer = resources->wrap(*ppVertexBuffer);
    }
    writer->begin("IDirect3DDevice8::CreateVertexBuffer", this);
    writer->arg("Length", TraceWriter::number(Length));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("FVF", TraceWriter::fvf(FVF));
    writer->arg("Pool", TraceWriter::pool(Pool));
    writer->arg("ppVertexBuffer", (SUCCEEDED(result) && ppVertexBuffer && *ppVertexBuffer)
                                      ? "&" + writer->object(*ppVertexBuffer, "vertexbuffer")
                                      : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                       IDirect3DIndexBuffer8** ppIndexBuffer) {
    HRESULT result = real->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer);
    if (SUCCEEDED(result) && ppIndexBuffer != nullptr && *ppIndexBuffer != nullptr) {
        *ppIndexBuffer = resources->wrap(*ppIndexBuffer);
    }
    writer->begin("IDirect3DDevice8::CreateIndexBuffer", this);
    writer->arg("Length", TraceWriter::number(Length));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("Pool", TraceWriter::pool(Pool));
    writer->arg("ppIndexBuffer", (SUCCEEDED(result) && ppIndexBuffer && *ppIndexBuffer)
                                     ? "&" + writer->object(*ppIndexBuffer, "indexbuffer")
                                     : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                                        D3DMULTISAMPLE_TYPE MultiSample, BOOL Lockable,
                                        IDirect3DSurface8** ppSurface) {
    HRESULT result =
        real->CreateRenderTarget(Width, Height, Format, MultiSample, Lockable, ppSurface);
    if (SUCCEEDED(result) && ppSurface != nullptr && *ppSurface != nullptr) {
        *ppSurface = resources->wrap(*ppSurface);
    }
    writer->begin("IDirect3DDevice8::CreateRenderTarget", this);
    writer->arg("Width", TraceWriter::number(Width));
    writer->arg("Height", TraceWriter::number(Height));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("MultiSample", TraceWriter::multiSample(MultiSample));
    writer->arg("Lockable", TraceWriter::boolean(Lockable));
    writer->arg("ppSurface", (SUCCEEDED(result) && ppSurface && *ppSurface)
                                 ? "&" + writer->object(*ppSurface, "surface")
                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                               D3DMULTISAMPLE_TYPE MultiSample,
                                               IDirect3DSurface8** ppSurface) {
    HRESULT result = real->CreateDepthStencilSurface(Width, Height, Format, MultiSample, ppSurface);
    if (SUCCEEDED(result) && ppSurface != nullptr && *ppSurface != nullptr) {
        *ppSurface = resources->wrap(*ppSurface);
    }
    writer->begin("IDirect3DDevice8::CreateDepthStencilSurface", this);
    writer->arg("Width", TraceWriter::number(Width));
    writer->arg("Height", TraceWriter::number(Height));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("MultiSample", TraceWriter::multiSample(MultiSample));
    writer->arg("ppSurface", (SUCCEEDED(result) && ppSurface && *ppSurface)
                                 ? "&" + writer->object(*ppSurface, "surface")
                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                        IDirect3DSurface8** ppSurface) {
    HRESULT result = real->CreateImageSurface(Width, Height, Format, ppSurface);
    if (SUCCEEDED(result) && ppSurface != nullptr && *ppSurface != nullptr) {
        *ppSurface = resources->wrap(*ppSurface);
    }
    writer->begin("IDirect3DDevice8::CreateImageSurface", this);
    writer->arg("Width", TraceWriter::number(Width));
    writer->arg("Height", TraceWriter::number(Height));
    writer->arg("Format", TraceWriter::format(Format));
    writer->arg("ppSurface", (SUCCEEDED(result) && ppSurface && *ppSurface)
                                 ? "&" + writer->object(*ppSurface, "surface")
                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CopyRects(IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray,
                               UINT cRects, IDirect3DSurface8* pDestinationSurface,
                               CONST POINT* pDestPointsArray) {
    HRESULT result = real->CopyRects(resources->unwrap(pSourceSurface), pSourceRectsArray, cRects,
                                     resources->unwrap(pDestinationSurface), pDestPointsArray);
    writer->begin("IDirect3DDevice8::CopyRects", this);
    writer->arg("pSourceSurface", writer->object(pSourceSurface, "surface"));
    writer->arg("pSourceRectsArray",
                TraceWriter::rects(pSourceRectsArray, pSourceRectsArray ? cRects : 0));
    writer->arg("cRects", TraceWriter::number(cRects));
    writer->arg("pDestinationSurface", writer->object(pDestinationSurface, "surface"));
    writer->arg("pDestPointsArray",
                TraceWriter::points(pDestPointsArray, pSourceRectsArray ? cRects : 1));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::UpdateTexture(IDirect3DBaseTexture8* pSourceTexture,
                                   IDirect3DBaseTexture8* pDestinationTexture) {
    HRESULT result = real->UpdateTexture(resources->unwrap(pSourceTexture),
                                         resources->unwrap(pDestinationTexture));
    writer->begin("IDirect3DDevice8::UpdateTexture", this);
    writer->arg("pSourceTexture", writer->object(pSourceTexture, "texture"));
    writer->arg("pDestinationTexture", writer->object(pDestinationTexture, "texture"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetFrontBuffer(IDirect3DSurface8* pDestSurface) {
    HRESULT result = real->GetFrontBuffer(resources->unwrap(pDestSurface));
    writer->begin("IDirect3DDevice8::GetFrontBuffer", this);
    writer->arg("pDestSurface", writer->object(pDestSurface, "surface"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetRenderTarget(IDirect3DSurface8* pRenderTarget,
                                     IDirect3DSurface8* pNewZStencil) {
    HRESULT result =
        real->SetRenderTarget(resources->unwrap(pRenderTarget), resources->unwrap(pNewZStencil));
    writer->begin("IDirect3DDevice8::SetRenderTarget", this);
    writer->arg("pRenderTarget", writer->object(pRenderTarget, "surface"));
    writer->arg("pNewZStencil", writer->object(pNewZStencil, "surface"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetRenderTarget(IDirect3DSurface8** ppRenderTarget) {
    HRESULT result = real->GetRenderTarget(ppRenderTarget);
    if (SUCCEEDED(result) && ppRenderTarget != nullptr && *ppRenderTarget != nullptr) {
        *ppRenderTarget = resources->wrap(*ppRenderTarget);
    }
    writer->begin("IDirect3DDevice8::GetRenderTarget", this);
    writer->arg("ppRenderTarget", (SUCCEEDED(result) && ppRenderTarget && *ppRenderTarget)
                                      ? "&" + writer->object(*ppRenderTarget, "surface")
                                      : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) {
    HRESULT result = real->GetDepthStencilSurface(ppZStencilSurface);
    if (SUCCEEDED(result) && ppZStencilSurface != nullptr && *ppZStencilSurface != nullptr) {
        *ppZStencilSurface = resources->wrap(*ppZStencilSurface);
    }
    writer->begin("IDirect3DDevice8::GetDepthStencilSurface", this);
    writer->arg("ppZStencilSurface", (SUCCEEDED(result) && ppZStencilSurface && *ppZStencilSurface)
                                         ? "&" + writer->object(*ppZStencilSurface, "surface")
                                         : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::BeginScene() {
    HRESULT result = real->BeginScene();
    writer->begin("IDirect3DDevice8::BeginScene", this);
    writer->end(result);
    return result;
}

HRESULT TraceDevice::EndScene() {
    HRESULT result = real->EndScene();
    writer->begin("IDirect3DDevice8::EndScene", this);
    writer->end(result);
    return result;
}

HRESULT TraceDevice::Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                           DWORD Stencil) {
    HRESULT result = real->Clear(Count, pRects, Flags, Color, Z, Stencil);
    writer->begin("IDirect3DDevice8::Clear", this);
    writer->arg("Count", TraceWriter::number(Count));
    writer->arg("pRects", TraceWriter::d3dRects(pRects, Count));
    writer->arg("Flags", TraceWriter::clearFlags(Flags));
    writer->arg("Color", TraceWriter::color(Color));
    writer->arg("Z", TraceWriter::real(Z));
    writer->arg("Stencil", TraceWriter::number(Stencil));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    HRESULT result = real->SetTransform(State, pMatrix);
    writer->begin("IDirect3DDevice8::SetTransform", this);
    writer->arg("State", TraceWriter::transform(State));
    writer->arg("pMatrix", TraceWriter::matrix(pMatrix));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    HRESULT result = real->GetTransform(State, pMatrix);
    writer->begin("IDirect3DDevice8::GetTransform", this);
    writer->arg("State", TraceWriter::transform(State));
    writer->arg("pMatrix", TraceWriter::matrix(pMatrix));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    HRESULT result = real->MultiplyTransform(State, pMatrix);
    writer->begin("IDirect3DDevice8::MultiplyTransform", this);
    writer->arg("State", TraceWriter::transform(State));
    writer->arg("pMatrix", TraceWriter::matrix(pMatrix));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetViewport(CONST D3DVIEWPORT8* pViewport) {
    HRESULT result = real->SetViewport(pViewport);
    writer->begin("IDirect3DDevice8::SetViewport", this);
    writer->arg("pViewport", TraceWriter::viewport(pViewport));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetViewport(D3DVIEWPORT8* pViewport) {
    HRESULT result = real->GetViewport(pViewport);
    writer->begin("IDirect3DDevice8::GetViewport", this);
    writer->arg("pViewport", TraceWriter::viewport(pViewport));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetMaterial(CONST D3DMATERIAL8* pMaterial) {
    HRESULT result = real->SetMaterial(pMaterial);
    writer->begin("IDirect3DDevice8::SetMaterial", this);
    writer->arg("pMaterial", TraceWriter::material(pMaterial));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetMaterial(D3DMATERIAL8* pMaterial) {
    HRESULT result = real->GetMaterial(pMaterial);
    writer->begin("IDirect3DDevice8::GetMaterial", this);
    writer->arg("pMaterial", TraceWriter::material(pMaterial));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetLight(DWORD Index, CONST D3DLIGHT8* pLight) {
    HRESULT result = real->SetLight(Index, pLight);
    writer->begin("IDirect3DDevice8::SetLight", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("pLight", TraceWriter::light(pLight));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetLight(DWORD Index, D3DLIGHT8* pLight) {
    HRESULT result = real->GetLight(Index, pLight);
    writer->begin("IDirect3DDevice8::GetLight", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("pLight", TraceWriter::light(pLight));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::LightEnable(DWORD Index, BOOL Enable) {
    HRESULT result = real->LightEnable(Index, Enable);
    writer->begin("IDirect3DDevice8::LightEnable", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("Enable", TraceWriter::boolean(Enable));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetLightEnable(DWORD Index, BOOL* pEnable) {
    HRESULT result = real->GetLightEnable(Index, pEnable);
    writer->begin("IDirect3DDevice8::GetLightEnable", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("pEnable", pEnable ? "&" + TraceWriter::boolean(*pEnable) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetClipPlane(DWORD Index, CONST float* pPlane) {
    HRESULT result = real->SetClipPlane(Index, pPlane);
    writer->begin("IDirect3DDevice8::SetClipPlane", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("pPlane", TraceWriter::pointer(pPlane));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetClipPlane(DWORD Index, float* pPlane) {
    HRESULT result = real->GetClipPlane(Index, pPlane);
    writer->begin("IDirect3DDevice8::GetClipPlane", this);
    writer->arg("Index", TraceWriter::number(Index));
    writer->arg("pPlane", TraceWriter::pointer(pPlane));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    HRESULT result = real->GetRenderState(State, pValue);
    writer->begin("IDirect3DDevice8::GetRenderState", this);
    writer->arg("State", TraceWriter::renderState(State));
    writer->arg("pValue", pValue ? "&" + TraceWriter::number(*pValue) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::BeginStateBlock() {
    HRESULT result = real->BeginStateBlock();
    writer->begin("IDirect3DDevice8::BeginStateBlock", this);
    writer->end(result);
    return result;
}

HRESULT TraceDevice::EndStateBlock(DWORD* pToken) {
    HRESULT result = real->EndStateBlock(pToken);
    writer->begin("IDirect3DDevice8::EndStateBlock", this);
    writer->arg("pToken", pToken ? "&" + TraceWriter::number(*pToken) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::ApplyStateBlock(DWORD Token) {
    HRESULT result = real->ApplyStateBlock(Token);
    writer->begin("IDirect3DDevice8::ApplyStateBlock", this);
    writer->arg("Token", TraceWriter::number(Token));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CaptureStateBlock(DWORD Token) {
    HRESULT result = real->CaptureStateBlock(Token);
    writer->begin("IDirect3DDevice8::CaptureStateBlock", this);
    writer->arg("Token", TraceWriter::number(Token));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DeleteStateBlock(DWORD Token) {
    HRESULT result = real->DeleteStateBlock(Token);
    writer->begin("IDirect3DDevice8::DeleteStateBlock", this);
    writer->arg("Token", TraceWriter::number(Token));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) {
    HRESULT result = real->CreateStateBlock(Type, pToken);
    writer->begin("IDirect3DDevice8::CreateStateBlock", this);
    writer->arg("Type", TraceWriter::stateBlockType(Type));
    writer->arg("pToken", pToken ? "&" + TraceWriter::number(*pToken) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetClipStatus(CONST D3DCLIPSTATUS8* pClipStatus) {
    HRESULT result = real->SetClipStatus(pClipStatus);
    writer->begin("IDirect3DDevice8::SetClipStatus", this);
    writer->arg("pClipStatus", TraceWriter::pointer(pClipStatus));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetClipStatus(D3DCLIPSTATUS8* pClipStatus) {
    HRESULT result = real->GetClipStatus(pClipStatus);
    writer->begin("IDirect3DDevice8::GetClipStatus", this);
    writer->arg("pClipStatus", TraceWriter::pointer(pClipStatus));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) {
    HRESULT result = real->GetTexture(Stage, ppTexture);
    if (SUCCEEDED(result) && ppTexture != nullptr && *ppTexture != nullptr) {
        *ppTexture = resources->wrap(*ppTexture);
    }
    writer->begin("IDirect3DDevice8::GetTexture", this);
    writer->arg("Stage", TraceWriter::number(Stage));
    writer->arg("ppTexture", (SUCCEEDED(result) && ppTexture && *ppTexture)
                                 ? "&" + writer->object(*ppTexture, "texture")
                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) {
    HRESULT result = real->SetTexture(Stage, resources->unwrap(pTexture));
    writer->begin("IDirect3DDevice8::SetTexture", this);
    writer->arg("Stage", TraceWriter::number(Stage));
    writer->arg("pTexture", writer->object(pTexture, "texture"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                          DWORD* pValue) {
    HRESULT result = real->GetTextureStageState(Stage, Type, pValue);
    writer->begin("IDirect3DDevice8::GetTextureStageState", this);
    writer->arg("Stage", TraceWriter::number(Stage));
    writer->arg("Type", TraceWriter::stageState(Type));
    writer->arg("pValue", pValue ? "&" + TraceWriter::number(*pValue) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::ValidateDevice(DWORD* pNumPasses) {
    HRESULT result = real->ValidateDevice(pNumPasses);
    writer->begin("IDirect3DDevice8::ValidateDevice", this);
    writer->arg("pNumPasses",
                pNumPasses ? "&" + TraceWriter::number(*pNumPasses) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetInfo(DWORD DevInfoID, void* pDevInfoStruct, DWORD DevInfoStructSize) {
    HRESULT result = real->GetInfo(DevInfoID, pDevInfoStruct, DevInfoStructSize);
    writer->begin("IDirect3DDevice8::GetInfo", this);
    writer->arg("DevInfoID", TraceWriter::number(DevInfoID));
    writer->arg("pDevInfoStruct", TraceWriter::pointer(pDevInfoStruct));
    writer->arg("DevInfoStructSize", TraceWriter::number(DevInfoStructSize));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetPaletteEntries(UINT PaletteNumber, CONST struct tagPALETTEENTRY* pEntries) {
    HRESULT result = real->SetPaletteEntries(PaletteNumber, pEntries);
    writer->begin("IDirect3DDevice8::SetPaletteEntries", this);
    writer->arg("PaletteNumber", TraceWriter::number(PaletteNumber));
    writer->arg("pEntries", TraceWriter::pointer(pEntries));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetPaletteEntries(UINT PaletteNumber, struct tagPALETTEENTRY* pEntries) {
    HRESULT result = real->GetPaletteEntries(PaletteNumber, pEntries);
    writer->begin("IDirect3DDevice8::GetPaletteEntries", this);
    writer->arg("PaletteNumber", TraceWriter::number(PaletteNumber));
    writer->arg("pEntries", TraceWriter::pointer(pEntries));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetCurrentTexturePalette(UINT PaletteNumber) {
    HRESULT result = real->SetCurrentTexturePalette(PaletteNumber);
    writer->begin("IDirect3DDevice8::SetCurrentTexturePalette", this);
    writer->arg("PaletteNumber", TraceWriter::number(PaletteNumber));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetCurrentTexturePalette(UINT* PaletteNumber) {
    HRESULT result = real->GetCurrentTexturePalette(PaletteNumber);
    writer->begin("IDirect3DDevice8::GetCurrentTexturePalette", this);
    writer->arg("PaletteNumber",
                PaletteNumber ? "&" + TraceWriter::number(*PaletteNumber) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                                   UINT PrimitiveCount) {
    HRESULT result = real->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount);
    writer->begin("IDirect3DDevice8::DrawPrimitive", this);
    writer->arg("PrimitiveType", TraceWriter::primitive(PrimitiveType));
    writer->arg("StartVertex", TraceWriter::number(StartVertex));
    writer->arg("PrimitiveCount", TraceWriter::number(PrimitiveCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex,
                                          UINT NumVertices, UINT startIndex, UINT primCount) {
    HRESULT result =
        real->DrawIndexedPrimitive(PrimitiveType, minIndex, NumVertices, startIndex, primCount);
    writer->begin("IDirect3DDevice8::DrawIndexedPrimitive", this);
    writer->arg("PrimitiveType", TraceWriter::primitive(PrimitiveType));
    writer->arg("minIndex", TraceWriter::number(minIndex));
    writer->arg("NumVertices", TraceWriter::number(NumVertices));
    writer->arg("startIndex", TraceWriter::number(startIndex));
    writer->arg("primCount", TraceWriter::number(primCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount,
                                     IDirect3DVertexBuffer8* pDestBuffer, DWORD Flags) {
    HRESULT result = real->ProcessVertices(SrcStartIndex, DestIndex, VertexCount,
                                           resources->unwrap(pDestBuffer), Flags);
    writer->begin("IDirect3DDevice8::ProcessVertices", this);
    writer->arg("SrcStartIndex", TraceWriter::number(SrcStartIndex));
    writer->arg("DestIndex", TraceWriter::number(DestIndex));
    writer->arg("VertexCount", TraceWriter::number(VertexCount));
    writer->arg("pDestBuffer", writer->object(pDestBuffer, "vertexbuffer"));
    writer->arg("Flags", TraceWriter::number(Flags));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreateVertexShader(CONST DWORD* pDeclaration, CONST DWORD* pFunction,
                                        DWORD* pHandle, DWORD Usage) {
    HRESULT result = real->CreateVertexShader(pDeclaration, pFunction, pHandle, Usage);
    writer->begin("IDirect3DDevice8::CreateVertexShader", this);
    writer->arg("pDeclaration",
                pDeclaration ? "&" + TraceWriter::number(*pDeclaration) : std::string("NULL"));
    writer->arg("pFunction",
                pFunction ? "&" + TraceWriter::number(*pFunction) : std::string("NULL"));
    writer->arg("pHandle", pHandle ? "&" + TraceWriter::number(*pHandle) : std::string("NULL"));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetVertexShader(DWORD* pHandle) {
    HRESULT result = real->GetVertexShader(pHandle);
    writer->begin("IDirect3DDevice8::GetVertexShader", this);
    writer->arg("pHandle", pHandle ? "&" + TraceWriter::number(*pHandle) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DeleteVertexShader(DWORD Handle) {
    HRESULT result = real->DeleteVertexShader(Handle);
    writer->begin("IDirect3DDevice8::DeleteVertexShader", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetVertexShaderConstant(DWORD Register, CONST void* pConstantData,
                                             DWORD ConstantCount) {
    HRESULT result = real->SetVertexShaderConstant(Register, pConstantData, ConstantCount);
    writer->begin("IDirect3DDevice8::SetVertexShaderConstant", this);
    writer->arg("Register", TraceWriter::number(Register));
    writer->arg("pConstantData", TraceWriter::pointer(pConstantData));
    writer->arg("ConstantCount", TraceWriter::number(ConstantCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetVertexShaderConstant(DWORD Register, void* pConstantData,
                                             DWORD ConstantCount) {
    HRESULT result = real->GetVertexShaderConstant(Register, pConstantData, ConstantCount);
    writer->begin("IDirect3DDevice8::GetVertexShaderConstant", this);
    writer->arg("Register", TraceWriter::number(Register));
    writer->arg("pConstantData", TraceWriter::pointer(pConstantData));
    writer->arg("ConstantCount", TraceWriter::number(ConstantCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetVertexShaderDeclaration(DWORD Handle, void* pData, DWORD* pSizeOfData) {
    HRESULT result = real->GetVertexShaderDeclaration(Handle, pData, pSizeOfData);
    writer->begin("IDirect3DDevice8::GetVertexShaderDeclaration", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->arg("pData", TraceWriter::pointer(pData));
    writer->arg("pSizeOfData",
                pSizeOfData ? "&" + TraceWriter::number(*pSizeOfData) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetVertexShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) {
    HRESULT result = real->GetVertexShaderFunction(Handle, pData, pSizeOfData);
    writer->begin("IDirect3DDevice8::GetVertexShaderFunction", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->arg("pData", TraceWriter::pointer(pData));
    writer->arg("pSizeOfData",
                pSizeOfData ? "&" + TraceWriter::number(*pSizeOfData) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                                     UINT Stride) {
    HRESULT result = real->SetStreamSource(StreamNumber, resources->unwrap(pStreamData), Stride);
    writer->begin("IDirect3DDevice8::SetStreamSource", this);
    writer->arg("StreamNumber", TraceWriter::number(StreamNumber));
    writer->arg("pStreamData", writer->object(pStreamData, "vertexbuffer"));
    writer->arg("Stride", TraceWriter::number(Stride));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData,
                                     UINT* pStride) {
    HRESULT result = real->GetStreamSource(StreamNumber, ppStreamData, pStride);
    if (SUCCEEDED(result) && ppStreamData != nullptr && *ppStreamData != nullptr) {
        *ppStreamData = resources->wrap(*ppStreamData);
    }
    writer->begin("IDirect3DDevice8::GetStreamSource", this);
    writer->arg("StreamNumber", TraceWriter::number(StreamNumber));
    writer->arg("ppStreamData", (SUCCEEDED(result) && ppStreamData && *ppStreamData)
                                    ? "&" + writer->object(*ppStreamData, "vertexbuffer")
                                    : std::string("NULL"));
    writer->arg("pStride", pStride ? "&" + TraceWriter::number(*pStride) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) {
    HRESULT result = real->SetIndices(resources->unwrap(pIndexData), BaseVertexIndex);
    writer->begin("IDirect3DDevice8::SetIndices", this);
    writer->arg("pIndexData", writer->object(pIndexData, "indexbuffer"));
    writer->arg("BaseVertexIndex", TraceWriter::number(BaseVertexIndex));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) {
    HRESULT result = real->GetIndices(ppIndexData, pBaseVertexIndex);
    if (SUCCEEDED(result) && ppIndexData != nullptr && *ppIndexData != nullptr) {
        *ppIndexData = resources->wrap(*ppIndexData);
    }
    writer->begin("IDirect3DDevice8::GetIndices", this);
    writer->arg("ppIndexData", (SUCCEEDED(result) && ppIndexData && *ppIndexData)
                                   ? "&" + writer->object(*ppIndexData, "indexbuffer")
                                   : std::string("NULL"));
    writer->arg("pBaseVertexIndex", pBaseVertexIndex ? "&" + TraceWriter::number(*pBaseVertexIndex)
                                                     : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::CreatePixelShader(CONST DWORD* pFunction, DWORD* pHandle) {
    HRESULT result = real->CreatePixelShader(pFunction, pHandle);
    writer->begin("IDirect3DDevice8::CreatePixelShader", this);
    writer->arg("pFunction",
                pFunction ? "&" + TraceWriter::number(*pFunction) : std::string("NULL"));
    writer->arg("pHandle", pHandle ? "&" + TraceWriter::number(*pHandle) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetPixelShader(DWORD Handle) {
    HRESULT result = real->SetPixelShader(Handle);
    writer->begin("IDirect3DDevice8::SetPixelShader", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetPixelShader(DWORD* pHandle) {
    HRESULT result = real->GetPixelShader(pHandle);
    writer->begin("IDirect3DDevice8::GetPixelShader", this);
    writer->arg("pHandle", pHandle ? "&" + TraceWriter::number(*pHandle) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DeletePixelShader(DWORD Handle) {
    HRESULT result = real->DeletePixelShader(Handle);
    writer->begin("IDirect3DDevice8::DeletePixelShader", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::SetPixelShaderConstant(DWORD Register, CONST void* pConstantData,
                                            DWORD ConstantCount) {
    HRESULT result = real->SetPixelShaderConstant(Register, pConstantData, ConstantCount);
    writer->begin("IDirect3DDevice8::SetPixelShaderConstant", this);
    writer->arg("Register", TraceWriter::number(Register));
    writer->arg("pConstantData", TraceWriter::pointer(pConstantData));
    writer->arg("ConstantCount", TraceWriter::number(ConstantCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetPixelShaderConstant(DWORD Register, void* pConstantData,
                                            DWORD ConstantCount) {
    HRESULT result = real->GetPixelShaderConstant(Register, pConstantData, ConstantCount);
    writer->begin("IDirect3DDevice8::GetPixelShaderConstant", this);
    writer->arg("Register", TraceWriter::number(Register));
    writer->arg("pConstantData", TraceWriter::pointer(pConstantData));
    writer->arg("ConstantCount", TraceWriter::number(ConstantCount));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::GetPixelShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) {
    HRESULT result = real->GetPixelShaderFunction(Handle, pData, pSizeOfData);
    writer->begin("IDirect3DDevice8::GetPixelShaderFunction", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->arg("pData", TraceWriter::pointer(pData));
    writer->arg("pSizeOfData",
                pSizeOfData ? "&" + TraceWriter::number(*pSizeOfData) : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DrawRectPatch(UINT Handle, CONST float* pNumSegs,
                                   CONST D3DRECTPATCH_INFO* pRectPatchInfo) {
    HRESULT result = real->DrawRectPatch(Handle, pNumSegs, pRectPatchInfo);
    writer->begin("IDirect3DDevice8::DrawRectPatch", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->arg("pNumSegs", TraceWriter::pointer(pNumSegs));
    writer->arg("pRectPatchInfo", TraceWriter::pointer(pRectPatchInfo));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DrawTriPatch(UINT Handle, CONST float* pNumSegs,
                                  CONST D3DTRIPATCH_INFO* pTriPatchInfo) {
    HRESULT result = real->DrawTriPatch(Handle, pNumSegs, pTriPatchInfo);
    writer->begin("IDirect3DDevice8::DrawTriPatch", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->arg("pNumSegs", TraceWriter::pointer(pNumSegs));
    writer->arg("pTriPatchInfo", TraceWriter::pointer(pTriPatchInfo));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DeletePatch(UINT Handle) {
    HRESULT result = real->DeletePatch(Handle);
    writer->begin("IDirect3DDevice8::DeletePatch", this);
    writer->arg("Handle", TraceWriter::number(Handle));
    writer->end(result);
    return result;
}
