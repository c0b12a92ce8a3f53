#include "gfx/GraphicsDevice.h"
#include "FullScreenDevice.h"
#include "scenes/tunnel/TorusShape.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The mesh the ring is made of: a thin tube around the z axis whose hole the
// camera passes through.
TEST(TorusShapeOnTheDevice, IsAThinRingAroundTheZAxisWithRoomInsideIt) {
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openDevice(graphics, "TORUS_SHAPE_TEST"));
    TorusShape torus;
    torus.attach(graphics.getDevice());
    ASSERT_EQ(torus.create(), D3D_OK);
    ASSERT_NE(torus.mesh, nullptr);
    EXPECT_EQ(torus.mesh->GetNumVertices(), 16u * 32u);
    EXPECT_EQ(torus.mesh->GetNumFaces(), 2u * 16u * 32u);

    BYTE* data = nullptr;
    ASSERT_EQ(torus.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    UINT stride = D3DXGetFVFVertexSize(torus.mesh->GetFVF());
    float nearest = 1.0f;
    float farthest = 0.0f;
    float thickest = 0.0f;
    for (DWORD i = 0; i < torus.mesh->GetNumVertices(); ++i) {
        const float* p = reinterpret_cast<const float*>(data + i * stride);
        float radius = std::sqrt(p[0] * p[0] + p[1] * p[1]);
        nearest = std::min(nearest, radius);
        farthest = std::max(farthest, radius);
        thickest = std::max(thickest, std::fabs(p[2]));
    }
    torus.mesh->UnlockVertexBuffer();
    EXPECT_NEAR(nearest, 0.1125f, 1e-4f) << "the hole";
    EXPECT_NEAR(farthest, 0.1375f, 1e-4f);
    EXPECT_NEAR(thickest, 0.0125f, 1e-4f);

    // Each draw puts the torus's own material on the device first.
    D3DMATERIAL8 glow{};
    glow.Diffuse = {1.0f, 0.3f, 0.3f, 1.0f};
    glow.Power = 2.0f;
    torus.setMaterial(glow);
    IDirect3DDevice8* device = graphics.getDevice();
    device->BeginScene();
    EXPECT_EQ(torus.draw(), D3D_OK);
    device->EndScene();
    D3DMATERIAL8 used{};
    ASSERT_EQ(device->GetMaterial(&used), D3D_OK);
    EXPECT_EQ(used.Diffuse.r, 1.0f);
    EXPECT_EQ(used.Diffuse.g, 0.3f);
    EXPECT_EQ(used.Power, 2.0f);

    torus.release();
    EXPECT_EQ(torus.mesh, nullptr);
    torus.release(); // a second release has nothing left to do
}

TEST(TorusShapeCalls, DrawSetsItsOwnMaterialAndSetAlphaTouchesOnlyAlpha) {
    RecordingDevice recorder;
    TorusShape torus;
    torus.attach(&recorder);
    D3DMATERIAL8 material{};
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Emissive = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Power = 2.0f;
    torus.setMaterial(material);
    torus.setAlpha(0.5);
    for (const D3DCOLORVALUE& c : {torus.material.Diffuse, torus.material.Ambient,
                                   torus.material.Specular, torus.material.Emissive}) {
        EXPECT_EQ(c.a, 0.5f);
    }
    EXPECT_EQ(torus.material.Diffuse.g, 0.25f);
    EXPECT_EQ(torus.material.Power, 2.0f);
    // Without a mesh (the recorder creates none) there is nothing to draw.
    EXPECT_NE(torus.create(), D3D_OK);
    EXPECT_NE(torus.draw(), D3D_OK);
    EXPECT_TRUE(recorder.materials.empty());
}

} // namespace
