// Frame times of the lit 3D work the scenes give the device: many lit tori, a grid of small
// lit meshes with three material changes per cell, and three clouds of scaled point sprites.
// Each frame clears, draws, presents and waits for the rasteriser.
#include "BenchScene.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace bench;

struct NormalVertex {
    float x, y, z, nx, ny, nz;
};

struct MeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};

struct PointVertex {
    float x, y, z;
    D3DCOLOR color;
};

constexpr float PI = 3.14159265f;

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Left-handed perspective, 45 degrees vertically at 4:3, near 1, far 100.
D3DMATRIX perspective() {
    D3DMATRIX m{};
    float yScale = 1.0f / std::tan(PI / 8.0f);
    m._11 = yScale * 0.75f;
    m._22 = yScale;
    m._33 = 100.0f / 99.0f;
    m._34 = 1.0f;
    m._43 = -100.0f / 99.0f;
    return m;
}

// A rotation about y by angle, then a move to (x, y, z).
D3DMATRIX placed(float angle, float x, float y, float z) {
    D3DMATRIX m = identity();
    m._11 = std::cos(angle);
    m._13 = -std::sin(angle);
    m._31 = std::sin(angle);
    m._33 = std::cos(angle);
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

D3DMATERIAL8 material(float r, float g, float b) {
    D3DMATERIAL8 m{};
    m.Diffuse = m.Ambient = {r, g, b, 1.0f};
    m.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.Power = 2.0f;
    return m;
}

template <typename T>
IDirect3DVertexBuffer8* vertexBuffer(IDirect3DDevice8* device, const std::vector<T>& vertices,
                                     DWORD fvf) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    UINT size = static_cast<UINT>(vertices.size() * sizeof(T));
    device->CreateVertexBuffer(size, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), size);
    buffer->Unlock();
    return buffer;
}

IDirect3DIndexBuffer8* indexBuffer(IDirect3DDevice8* device, const std::vector<uint16_t>& indices) {
    IDirect3DIndexBuffer8* buffer = nullptr;
    UINT size = static_cast<UINT>(indices.size() * 2);
    device->CreateIndexBuffer(size, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), size);
    buffer->Unlock();
    return buffer;
}

// Quads of a rows x columns grid whose columns wrap around (and rows too when wrapRows).
std::vector<uint16_t> gridIndices(int rows, int columns, int rowStride, bool wrapRows) {
    std::vector<uint16_t> indices;
    for (int i = 0; i < rows; ++i) {
        int next = wrapRows ? (i + 1) % rows : i + 1;
        for (int j = 0; j < columns; ++j) {
            int j1 = (j + 1) % rowStride;
            auto at = [&](int r, int c) { return static_cast<uint16_t>(r * rowStride + c); };
            indices.insert(indices.end(), {at(i, j), at(next, j), at(next, j1), at(i, j),
                                           at(next, j1), at(i, j1)});
        }
    }
    return indices;
}

// The lighting every lit scene sets up: one white directional light, specular, grey ambient.
void sceneLighting(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00333333);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = light.Specular = {0.3f, 0.3f, 0.3f, 1.0f};
    light.Ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    light.Direction = {1.0f, -1.0f, 1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    D3DMATRIX projection = perspective();
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

template <typename Draw> void runFrames(benchmark::State& state, Scene& scene, Draw draw) {
    scene.runFrames(state, [&](int) {
        scene.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        scene.device->BeginScene();
        draw();
        scene.device->EndScene();
    });
}

// The frame's fixed cost, for reading the others: clear, present and the wait, nothing drawn.
void BM_EmptyFrame(benchmark::State& state) {
    Scene scene;
    if (scene.openOrSkip(state) == nullptr) {
        return;
    }
    runFrames(state, scene, [] {});
    scene.close();
}
BENCHMARK(BM_EmptyFrame)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// 64 tori of 1024 triangles (32 rings of 16 sides), each with its own transform and material.
void BM_SixtyFourLitTori(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    const int rings = 32, sides = 16;
    std::vector<NormalVertex> vertices;
    for (int i = 0; i < rings; ++i) {
        float a = 2.0f * PI * i / rings;
        for (int j = 0; j < sides; ++j) {
            float b = 2.0f * PI * j / sides;
            float nx = std::cos(b) * std::cos(a), ny = std::sin(b), nz = std::cos(b) * std::sin(a);
            vertices.push_back(
                {std::cos(a) + 0.3f * nx, 0.3f * ny, std::sin(a) + 0.3f * nz, nx, ny, nz});
        }
    }
    std::vector<uint16_t> indices = gridIndices(rings, sides, sides, true);
    IDirect3DVertexBuffer8* vb = vertexBuffer(device, vertices, D3DFVF_XYZ | D3DFVF_NORMAL);
    IDirect3DIndexBuffer8* ib = indexBuffer(device, indices);
    sceneLighting(device);
    device->SetTexture(0, nullptr);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    device->SetStreamSource(0, vb, sizeof(NormalVertex));
    device->SetIndices(ib, 0);
    float t = 0.0f;
    runFrames(state, scene, [&] {
        t += 0.01f;
        for (int k = 0; k < 64; ++k) {
            D3DMATRIX world = placed(t + k, (k % 8 - 3.5f) * 2.2f, (k / 8 - 3.5f) * 1.6f, 20.0f);
            device->SetTransform(D3DTS_WORLD, &world);
            D3DMATERIAL8 m = material(0.2f + (k % 4) * 0.2f, 0.5f, 1.0f - (k % 3) * 0.3f);
            device->SetMaterial(&m);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, rings * sides, 0,
                                         rings * sides * 2);
        }
    });
    state.counters["triangles"] = 64.0 * rings * sides * 2;
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    vb->Release();
    ib->Release();
    scene.close();
}
BENCHMARK(BM_SixtyFourLitTori)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// 144 cells of three draws of a 300-triangle textured, lit mesh (10 stacks of 15 slices),
// each draw after its own material; the first of the three carries a texture.
void BM_GridOfLitMeshesThreeMaterialsPerCell(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    const int stacks = 10, slices = 15;
    std::vector<MeshVertex> vertices;
    for (int i = 0; i <= stacks; ++i) {
        float a = PI * i / stacks;
        for (int j = 0; j <= slices; ++j) {
            float b = 2.0f * PI * j / slices;
            float x = std::sin(a) * std::cos(b), y = std::cos(a), z = std::sin(a) * std::sin(b);
            vertices.push_back(
                {0.4f * x, 0.4f * y, 0.4f * z, x, y, z, float(j) / slices, float(i) / stacks});
        }
    }
    std::vector<uint16_t> indices = gridIndices(stacks, slices, slices + 1, false);
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    IDirect3DVertexBuffer8* vb = vertexBuffer(device, vertices, fvf);
    IDirect3DIndexBuffer8* ib = indexBuffer(device, indices);
    sceneLighting(device);
    device->SetVertexShader(fvf);
    device->SetStreamSource(0, vb, sizeof(MeshVertex));
    device->SetIndices(ib, 0);
    const D3DMATERIAL8 materials[3] = {material(1.0f, 1.0f, 1.0f), material(0.8f, 0.2f, 0.2f),
                                       material(0.2f, 0.2f, 0.8f)};
    const UINT triangles = static_cast<UINT>(indices.size() / 3);
    float t = 0.0f;
    runFrames(state, scene, [&] {
        t += 0.01f;
        for (int cell = 0; cell < 144; ++cell) {
            float x = (cell % 16 - 7.5f) * 1.1f, y = (cell / 16 - 4.0f) * 1.1f;
            for (int part = 0; part < 3; ++part) {
                D3DMATRIX world = placed(t + part, x + (part - 1) * 0.2f, y, 14.0f);
                device->SetTransform(D3DTS_WORLD, &world);
                device->SetMaterial(&materials[part]);
                device->SetTexture(0, part == 0 ? scene.textures[0] : nullptr);
                device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0,
                                             static_cast<UINT>(vertices.size()), 0, triangles);
            }
        }
    });
    state.counters["draws"] = 432;
    state.counters["triangles"] = 432.0 * triangles;
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    vb->Release();
    ib->Release();
    scene.close();
}
BENCHMARK(BM_GridOfLitMeshesThreeMaterialsPerCell)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Three clouds of 43 textured sprites drawn additively, scaled with distance as the particle
// scenes draw them: 600 x 1 / distance pixels across, 30 to 60 at these distances.
void BM_ThreePointSpriteClouds(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    std::vector<PointVertex> clouds[3];
    uint32_t seed = 7;
    auto random = [&] {
        seed = seed * 214013 + 2531011;
        return static_cast<float>((seed >> 8) & 0xffff) / 65535.0f * 10.0f - 5.0f;
    };
    for (auto& cloud : clouds) {
        for (int i = 0; i < 43; ++i) {
            float x = random(), y = random(), z = random();
            cloud.push_back({x, y, z, 0xFFFFFFFF});
        }
    }
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, std::bit_cast<DWORD>(1.0f));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, std::bit_cast<DWORD>(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_A, std::bit_cast<DWORD>(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, std::bit_cast<DWORD>(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, std::bit_cast<DWORD>(1.0f));
    D3DMATRIX projection = perspective();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    float t = 0.0f;
    runFrames(state, scene, [&] {
        t += 0.01f;
        for (int c = 0; c < 3; ++c) {
            D3DMATRIX world = placed(t + c, (c - 1) * 4.0f, 0.0f, 15.0f);
            device->SetTransform(D3DTS_WORLD, &world);
            device->SetTexture(0, scene.textures[c % 2]);
            device->DrawPrimitiveUP(D3DPT_POINTLIST, 43, clouds[c].data(), sizeof(PointVertex));
        }
    });
    device->SetTexture(0, nullptr);
    scene.close();
}
BENCHMARK(BM_ThreePointSpriteClouds)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
