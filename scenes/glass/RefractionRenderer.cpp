#include "scenes/glass/RefractionRenderer.h"
#include "common/ReleaseInterface.h"

#include "gfx/ScreenVertex.h"

#include <cstring>

namespace {
const uint32_t QUAD_VERTEX_COUNT = 4;
const UINT QUAD_BYTES = QUAD_VERTEX_COUNT * sizeof(ScreenVertex);
const float QUAD_Z = 0.5f;
const uint32_t QUAD_COLOR = 0xFFFFFFFF;
const D3DCOLOR CLEAR_COLOR = 0xFF000000;

// The layout mapToScreen rewrites.
struct MeshVertex {
    float position[3];
    float normal[3];
    float u;
    float v;
};
static_assert(sizeof(MeshVertex) == 32, "mesh vertices are 32 bytes");

template <typename T> void releaseAndClear(T*& pointer) {
    releaseInterface(pointer);
}
} // namespace

RefractionRenderer::RefractionRenderer()
    : savedBackBuffer(nullptr), savedDepthSurface(nullptr),
      depthSurface(nullptr), surfaces{nullptr, nullptr}, textures{nullptr, nullptr},
      device(nullptr), quadBuffer(nullptr), viewport{0, 0, 0, 0, 0.0f, 1.0f}, textureWidth(0.0f),
      textureHeight(0.0f), viewportWidth(0.0f), viewportHeight(0.0f) {}

RefractionRenderer::~RefractionRenderer() {
    for (int i = 0; i < 2; ++i) {
        releaseAndClear(textures[i]);
        releaseAndClear(surfaces[i]);
    }
    releaseAndClear(savedBackBuffer);
    releaseAndClear(depthSurface);
    releaseAndClear(savedDepthSurface);
    releaseAndClear(quadBuffer);
}

void RefractionRenderer::attach(IDirect3DDevice8* device) {
    this->device = device;
}

void RefractionRenderer::release() {}

HRESULT RefractionRenderer::create(D3DPRESENT_PARAMETERS presentParameters, int32_t textureWidth,
                                   int32_t textureHeight, int32_t viewportWidth,
                                   int32_t viewportHeight) {
    HRESULT result = device->GetRenderTarget(&savedBackBuffer);
    if (FAILED(result)) {
        return result;
    }
    result = device->GetDepthStencilSurface(&savedDepthSurface);
    if (FAILED(result)) {
        return result;
    }
    result = device->CreateDepthStencilSurface(
        static_cast<UINT>(textureWidth), static_cast<UINT>(textureHeight),
        presentParameters.AutoDepthStencilFormat, presentParameters.MultiSampleType, &depthSurface);
    if (FAILED(result)) {
        return result;
    }
    for (int i = 0; i < 2; ++i) {
        result =
            device->CreateTexture(static_cast<UINT>(textureWidth), static_cast<UINT>(textureHeight),
                                  1, D3DUSAGE_RENDERTARGET, presentParameters.BackBufferFormat,
                                  D3DPOOL_DEFAULT, &textures[i]);
        if (FAILED(result)) {
            return result;
        }
        result = textures[i]->GetSurfaceLevel(0, &surfaces[i]);
        if (FAILED(result)) {
            return result;
        }
    }

    viewport = D3DVIEWPORT8{
        0, 0, static_cast<DWORD>(viewportWidth), static_cast<DWORD>(viewportHeight), 0.0f, 1.0f};
    this->textureWidth = static_cast<float>(textureWidth);
    this->textureHeight = static_cast<float>(textureHeight);
    this->viewportWidth = static_cast<float>(viewportWidth);
    this->viewportHeight = static_cast<float>(viewportHeight);

    return createQuadBuffer(&quadBuffer, QUAD_BYTES, SCREEN_VERTEX_FVF);
}

HRESULT RefractionRenderer::createQuadBuffer(IDirect3DVertexBuffer8** buffer, UINT size,
                                             DWORD format) {
    HRESULT result = device->CreateVertexBuffer(size, 0, format, D3DPOOL_DEFAULT, buffer);
    if (FAILED(result)) {
        return result;
    }
    float uMax = viewportWidth / textureWidth;
    float vMax = viewportHeight / textureHeight;
    // Triangle-strip order: top left, top right, bottom left, bottom right.
    ScreenVertex quad[QUAD_VERTEX_COUNT];
    setScreenVertex(&quad[0], 0.0f, 0.0f, QUAD_Z, 1.0f, 0.0f, 0.0f, QUAD_COLOR);
    setScreenVertex(&quad[1], viewportWidth, 0.0f, QUAD_Z, 1.0f, uMax, 0.0f, QUAD_COLOR);
    setScreenVertex(&quad[2], 0.0f, viewportHeight, QUAD_Z, 1.0f, 0.0f, vMax, QUAD_COLOR);
    setScreenVertex(&quad[3], viewportWidth, viewportHeight, QUAD_Z, 1.0f, uMax, vMax, QUAD_COLOR);
    BYTE* data = nullptr;
    result = (*buffer)->Lock(0, size, &data, 0);
    if (FAILED(result)) {
        return result;
    }
    std::memcpy(data, quad, size < QUAD_BYTES ? size : QUAD_BYTES);
    return (*buffer)->Unlock();
}

void RefractionRenderer::clearImages() {
    for (int i = 0; i < 2; ++i) {
        device->SetRenderTarget(surfaces[i], depthSurface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, CLEAR_COLOR, 1.0f, 0);
    }
    device->SetRenderTarget(savedBackBuffer, savedDepthSurface);
}

void RefractionRenderer::beginBackground() {
    device->SetRenderTarget(surfaces[0], depthSurface);
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, CLEAR_COLOR, 1.0f, 0);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
}

void RefractionRenderer::copyBackground() {
    device->SetRenderTarget(surfaces[1], depthSurface);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    drawQuad(textures[0]);
}

void RefractionRenderer::beginForeground() {
    device->SetRenderTarget(surfaces[0], depthSurface);
    device->SetViewport(&viewport);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void RefractionRenderer::drawRefracting(MeshModel& mesh) {
    // A model whose load failed has nothing to remap or draw.
    if (mesh.getMesh() == nullptr) {
        return;
    }
    mapToScreen(mesh.getMesh());
    mesh.drawWithTexture(textures[1]);
}

void RefractionRenderer::showResult() {
    device->SetRenderTarget(savedBackBuffer, savedDepthSurface);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    drawQuad(textures[0]);
}

void RefractionRenderer::drawQuad(IDirect3DTexture8* texture) {
    device->SetTexture(0, texture);
    device->SetStreamSource(0, quadBuffer, sizeof(ScreenVertex));
    device->SetVertexShader(SCREEN_VERTEX_FVF);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void RefractionRenderer::mapToScreen(ID3DXMesh* mesh) {
    // Only the 32-byte position, normal, texture layout has coordinates where
    // they are written; any other layout is left as it is.
    if (mesh == nullptr || mesh->GetFVF() != MESH_FVF) {
        return;
    }
    D3DXMATRIX world;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXMatrixIdentity(&world);
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&projection);
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMATRIX transform;
    D3DXMatrixMultiply(&transform, &world, &view);
    D3DXMatrixMultiply(&transform, &transform, &projection);

    BYTE* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &data)) || data == nullptr) {
        return;
    }
    MeshVertex* vertices = reinterpret_cast<MeshVertex*>(data);
    const float uScale = viewportWidth / textureWidth;
    const float vScale = viewportHeight / textureHeight;
    const DWORD count = mesh->GetNumVertices();
    for (DWORD i = 0; i < count; ++i) {
        D3DXVECTOR3 position(vertices[i].position[0], vertices[i].position[1],
                             vertices[i].position[2]);
        D3DXVECTOR3 projected;
        D3DXVec3TransformCoord(&projected, &position, &transform);
        vertices[i].u = (projected.x + 1.0f) * 0.5f * uScale + SHIFT;
        vertices[i].v = (0.5f - projected.y * 0.5f) * vScale + SHIFT;
    }
    mesh->UnlockVertexBuffer();
}
