// Frame times of the lit 3D work the way the scenes lay it out: the ring of 64 tori the
// tunnel camera flies through, and the 12 x 12 grid drawn three times over (mirror images,
// stencilled planar shadows, the copies themselves) under the floor scene's cameras. The
// synthetic figures of the device benchmark put the same triangle counts on screen as large
// shapes; these put them where the demo puts them.
#include "common/Angles.h"
#include "gfx/SceneStates.h"
#include "BenchScene.h"
#include <d3dx8.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

using namespace bench;

D3DMATERIAL8 glowing(float r, float g, float b) {
    D3DMATERIAL8 m{};
    m.Diffuse = m.Ambient = m.Specular = m.Emissive = {r, g, b, 1.0f};
    m.Power = 2.0f;
    return m;
}

D3DMATERIAL8 flat(float r, float g, float b, float a) {
    D3DMATERIAL8 m{};
    m.Diffuse = m.Ambient = {r, g, b, a};
    m.Specular = m.Emissive = {r, g, b, 0.0f};
    return m;
}

void whiteLight(IDirect3DDevice8* device, float x, float y, float z) {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = light.Specular = {0.3f, 0.3f, 0.3f, 0.0f};
    light.Ambient = {0.2f, 0.2f, 0.2f, 0.0f};
    light.Direction = {x, y, z};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
}

void projection(IDirect3DDevice8* device, float zFar) {
    // 120 read as radians: a vertical scale of 3.1246, as the scenes ask for.
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 120.0f, 800.0f / 600.0f, 0.1f, zFar);
    device->SetTransform(D3DTS_PROJECTION, &m);
}

// 64 tori of 1024 triangles on a circle of radius 5, the camera 0.1 outside it looking 30
// degrees ahead and rolling as it goes; one degree further round every frame.
void BM_TunnelRingOfTori(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    ID3DXMesh* torus = nullptr;
    if (FAILED(D3DXCreateTorus(device, 0.0125f, 0.125f, 16, 32, &torus, nullptr))) {
        state.SkipWithError("no torus");
        scene.close();
        return;
    }
    setLitMeshStates(device);
    whiteLight(device, 0.0f, -1.0f, 0.0f);
    projection(device, 100.0f);
    device->SetTexture(0, nullptr);
    const D3DMATERIAL8 material = glowing(0.3f, 0.6f, 1.0f);
    scene.runFrames(state, [&](int frame) {
        double angle = frame % 360;
        double a = angle * DEG_TO_RAD, ahead = (angle + 30.0) * DEG_TO_RAD;
        const double R = 5.099999904632568;
        D3DXVECTOR3 eye(float(R * std::cos(a)), 0.0f, float(R * std::sin(a)));
        D3DXVECTOR3 at(float(R * std::cos(ahead)), 0.0f, float(R * std::sin(ahead)));
        D3DXVECTOR3 up(float(-10.0 * std::cos(a)), float(-10.0 * std::sin(a)),
                       float(10.0 * std::sin(a) * std::cos(a)));
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        device->SetTransform(D3DTS_VIEW, &view);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (int k = 0; k < 64; ++k) {
            int theta = k * 360 / 64;
            float radians = float(theta) * 0.017453292f;
            D3DXMATRIX move, turn, world;
            D3DXMatrixTranslation(&move, 5.0f * std::cos(radians), 0.0f, 5.0f * std::sin(radians));
            D3DXMatrixRotationY(&turn, float(360 - theta) * 0.017453292f);
            D3DXMatrixMultiply(&world, &turn, &move);
            device->SetTransform(D3DTS_WORLD, &world);
            device->SetMaterial(&material);
            torus->DrawSubset(0);
        }
        device->EndScene();
    });
    state.counters["triangles"] = 64.0 * torus->GetNumFaces();
    torus->Release();
    scene.close();
}
BENCHMARK(BM_TunnelRingOfTori)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The 12 x 12 grid of a mesh of range(0) triangles (300, or 48 like the demo's own model; both
// about that model's size), drawn
// as that scene draws it: upside-down mirror copies, planar shadows through a stencil that
// darkens each pixel once, then the copies; a material before each of the 432 draws. The
// camera takes the four views of the scene in turn.
void BM_FloorGridThreePasses(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    ID3DXMesh* model = nullptr;
    const bool small = state.range(0) == 48;
    if (FAILED(
            D3DXCreateTorus(device, 0.1f, 0.2f, small ? 4 : 10, small ? 6 : 15, &model, nullptr))) {
        state.SkipWithError("no mesh");
        scene.close();
        return;
    }
    setLitMeshStates(device);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    whiteLight(device, 1.0f, -1.0f, -1.0f);
    projection(device, 10000.0f);
    const D3DMATERIAL8 mirror = flat(0.1f, 0.1f, 0.1f, 1.0f);
    const D3DMATERIAL8 shadow = flat(0.0f, 0.0f, 0.0f, 0.3f);
    const D3DMATERIAL8 own = flat(0.8f, 0.8f, 0.7f, 1.0f);
    D3DXPLANE plane;
    D3DXVECTOR3 p1(10, 0, 10), p2(-10, 0, 10), p3(10, 0, -10);
    D3DXPlaneFromPoints(&plane, &p1, &p2, &p3);
    D3DXVECTOR4 toward(1.0f, -1.0f, -1.0f, 0.0f);
    D3DXMATRIX flatten;
    D3DXMatrixShadow(&flatten, &toward, &plane);
    const D3DXVECTOR3 eyes[4] = {
        {1.6f, 1.0f, -5.0f}, {1.6f, 0.5f, -5.0f}, {1.1f, 0.5f, 0.5f}, {3.0f, 10.0f, 3.0f}};
    const D3DXVECTOR3 targets[4] = {
        {1.6f, 1.0f, 5.0f}, {4.6f, 0.5f, -2.0f}, {4.1f, 0.5f, 0.5f}, {1.5f, 0.0f, 3.0f}};
    auto pass = [&](auto worldOf, const D3DMATERIAL8& material) {
        for (int x = -3; x <= 8; ++x) {
            for (int z = -3; z <= 8; ++z) {
                D3DXMATRIX world = worldOf(float(x), float(z));
                device->SetTransform(D3DTS_WORLD, &world);
                device->SetMaterial(&material);
                model->DrawSubset(0);
            }
        }
    };
    scene.runFrames(state, [&](int frame) {
        D3DXVECTOR3 up(0, 1, 0);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eyes[frame % 4], &targets[frame % 4], &up);
        device->SetTransform(D3DTS_VIEW, &view);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF808080,
                      1.0f, 0);
        device->BeginScene();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        pass(
            [](float x, float z) {
                D3DXMATRIX turn, move, world;
                D3DXMatrixRotationZ(&turn, 3.1415927f);
                D3DXMatrixTranslation(&move, x + 0.15f, -0.15f, z);
                return *D3DXMatrixMultiply(&world, &turn, &move);
            },
            mirror);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_STENCILREF, 1);
        device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        pass(
            [&](float x, float z) {
                D3DXMATRIX move, world;
                D3DXMatrixTranslation(&move, x + 0.13333333f, 0.0f, z - 0.13333333f);
                return *D3DXMatrixMultiply(&world, &flatten, &move);
            },
            shadow);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        pass(
            [](float x, float z) {
                D3DXMATRIX move;
                return *D3DXMatrixTranslation(&move, x, 0.1f, z);
            },
            own);
        device->EndScene();
    });
    state.counters["draws"] = 432;
    state.counters["triangles"] = 432.0 * model->GetNumFaces();
    model->Release();
    scene.close();
}
BENCHMARK(BM_FloorGridThreePasses)
    ->Arg(300)
    ->Arg(48)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
