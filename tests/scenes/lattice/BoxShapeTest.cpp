#include "scenes/lattice/BoxShape.h"
#include "LatticeRecorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<float> materialFloats(const D3DMATERIAL8& m) {
    std::vector<float> values;
    for (const D3DCOLORVALUE& c : {m.Diffuse, m.Ambient, m.Specular, m.Emissive}) {
        values.insert(values.end(), {c.r, c.g, c.b, c.a});
    }
    values.push_back(m.Power);
    return values;
}

TEST(BoxShape, MaterialsRedByDefaultRecolouredAndFaded) {
    BoxShape box;
    box.setDefaultMaterial();
    EXPECT_EQ(materialFloats(box.material),
              (std::vector<float>{1, 0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1}));

    box.setAlpha(0.25);
    EXPECT_EQ(materialFloats(box.material), (std::vector<float>{1, 0, 0, 0.25f, 1, 0, 0, 0.25f, 1,
                                                                1, 1, 0.25f, 0, 0, 0, 0.25f, 1}))
        << "only the four alphas change";

    // setColor rebuilds the whole material, alphas and highlights included.
    D3DMATERIAL8 odd{};
    odd.Specular.r = 0.5f;
    odd.Power = 7.0f;
    box.setMaterial(odd);
    EXPECT_EQ(box.material.Power, 7.0f);
    box.setColor(0.1, 0.2, 0.3);
    EXPECT_EQ(
        materialFloats(box.material),
        (std::vector<float>{0.1f, 0.2f, 0.3f, 1, 0.1f, 0.2f, 0.3f, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1}));

    box.setAlpha(1.49);
    EXPECT_EQ(box.material.Diffuse.a, 1.49f) << "kept as given: the device clamps";
}

TEST(BoxShape, DrawSetsItsMaterialThenDrawsSubsetZero) {
    LatticeRecorder device;
    RecordingMesh mesh = cubeMesh(&device);
    BoxShape box;
    box.attach(&device);
    box.setColor(0.0, 1.0, 0.0);
    box.mesh = &mesh;
    EXPECT_EQ(box.draw(), D3D_OK);
    ASSERT_EQ(device.names(), (std::vector<std::string>{"SetMaterial", "DrawSubset"}));
    EXPECT_EQ(device.calls[0].floats[1], 1.0f) << "green diffuse";
    EXPECT_EQ(device.calls[1].args[0], 0u);

    box.release();
    EXPECT_EQ(box.mesh, nullptr);
    EXPECT_EQ(mesh.references, 0u);
    box.release(); // a second release finds nothing to release
    EXPECT_EQ(mesh.references, 0u);
}

TEST(BoxShape, AFailedCreateLeavesNothingToDraw) {
    // The recording device refuses buffers, so the box cannot be built.
    LatticeRecorder device;
    BoxShape box;
    box.attach(&device);
    box.setDefaultMaterial();
    EXPECT_LT(box.create(), 0);
    EXPECT_EQ(box.mesh, nullptr);
    device.clear();
    EXPECT_LT(box.draw(), 0);
    EXPECT_EQ(device.names(), (std::vector<std::string>{"SetMaterial"}));
}

TEST(BoxShape, DestructorReleasesTheMesh) {
    LatticeRecorder device;
    RecordingMesh mesh = cubeMesh(&device);
    {
        BoxShape box;
        box.mesh = &mesh;
    }
    EXPECT_EQ(mesh.references, 0u);
}

} // namespace
