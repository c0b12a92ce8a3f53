// The generated .x models, read back with a reader of our own: structure, counts, materials
// and textures, and the geometry each scene relies on.
#include "content/BmpFile.h"
#include "DataFiles.h"
#include "XReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

struct Loaded {
    XFile file;
    XMesh mesh;
};

// Finds the first Mesh, at top level or inside frames.
const XObject* findMesh(const std::vector<XObject>& objects) {
    for (const XObject& o : objects) {
        if (o.type == "Mesh") {
            return &o;
        }
        if (const XObject* m = findMesh(o.children)) {
            return m;
        }
    }
    return nullptr;
}

void load(const std::string& name, Loaded& out) {
    std::vector<uint8_t> bytes = readDataFile(name);
    ASSERT_FALSE(bytes.empty()) << name << " is missing";
    ASSERT_TRUE(readXFile(bytes, out.file)) << name;
    const XObject* mesh = findMesh(out.file.objects);
    ASSERT_NE(mesh, nullptr) << name;
    std::string error;
    ASSERT_TRUE(readMesh(*mesh, out.mesh, error)) << name << ": " << error;
}

// What the loader requires of every mesh: valid polygons, one normal face per face with the
// same corner count, one texture coordinate per vertex, one material per face, 16-bit indices.
void expectConsistent(const XMesh& m, const std::string& name) {
    size_t nv = m.positions.size() / 3;
    EXPECT_GT(nv, 0u) << name;
    EXPECT_LE(nv, 65534u) << name;
    size_t triangles = 0;
    for (const auto& f : m.faces) {
        ASSERT_GE(f.size(), 3u) << name;
        triangles += f.size() - 2;
        for (uint32_t i : f) {
            ASSERT_LT(i, nv) << name;
        }
    }
    EXPECT_LE(triangles, 65534u) << name;
    ASSERT_EQ(m.normalFaces.size(), m.faces.size()) << name;
    for (size_t i = 0; i < m.faces.size(); ++i) {
        ASSERT_EQ(m.normalFaces[i].size(), m.faces[i].size()) << name;
        for (uint32_t k : m.normalFaces[i]) {
            ASSERT_LT(k, m.normals.size() / 3) << name;
        }
    }
    for (size_t i = 0; i < m.normals.size(); i += 3) {
        double len = std::sqrt(m.normals[i] * m.normals[i] + m.normals[i + 1] * m.normals[i + 1] +
                               m.normals[i + 2] * m.normals[i + 2]);
        EXPECT_NEAR(len, 1.0, 1e-3) << name << " normal " << i / 3;
    }
    EXPECT_EQ(m.uvs.size(), nv * 2) << name;
    EXPECT_EQ(m.faceMaterials.size(), m.faces.size()) << name;
    for (uint32_t mat : m.faceMaterials) {
        EXPECT_LT(mat, m.materials.size()) << name;
    }
    for (const auto& mat : m.materials) {
        EXPECT_EQ(mat.values.size(), 11u) << name;
        if (!mat.texture.empty()) {
            // The name is used as stored, relative to the program's working directory.
            EXPECT_EQ(mat.texture.rfind("data/", 0), 0u) << mat.texture;
            content::BmpFile::Decoded d;
            EXPECT_TRUE(content::BmpFile::decode(readDataFile(mat.texture.substr(5)), d))
                << mat.texture;
        }
    }
}

// Loads a generated mesh file, checks it is stored as text or binary as the
// loader's callers expect, and that the mesh is consistent.
void loadChecked(const std::string& name, bool binary, Loaded& out) {
    ASSERT_NO_FATAL_FAILURE(load(name, out));
    EXPECT_EQ(out.file.binary, binary) << name;
    expectConsistent(out.mesh, name);
}

double extent(const XMesh& m, int axis, bool max) {
    double v = m.positions[axis];
    for (size_t i = axis; i < m.positions.size(); i += 3) {
        v = max ? std::max(v, m.positions[i]) : std::min(v, m.positions[i]);
    }
    return v;
}

} // namespace

TEST(Meshes, TheGridObjectHasTwoMaterialsAndItsReflectionSitsUnderIt) {
    Loaded w;
    ASSERT_NO_FATAL_FAILURE(loadChecked("w.x", false, w));
    ASSERT_GE(w.mesh.materials.size(), 2u);
    size_t textured = std::count_if(w.mesh.materials.begin(), w.mesh.materials.end(),
                                    [](const XMesh::Material& m) { return !m.texture.empty(); });
    EXPECT_GE(textured, 1u);
    std::set<uint32_t> usedMaterials(w.mesh.faceMaterials.begin(), w.mesh.faceMaterials.end());
    EXPECT_EQ(usedMaterials.size(), w.mesh.materials.size());
    // The mirror copy is the model turned half a turn about z and moved by (+0.15, -0.15): a
    // model symmetric about x = 0.075 keeps its outline, and one standing on y = -0.1 stands on
    // the floor once lifted by 0.1 while its copy hangs just under the floor.
    const auto& p = w.mesh.positions;
    for (size_t i = 0; i < p.size(); i += 3) {
        bool mirrored = false;
        for (size_t j = 0; j < p.size() && !mirrored; j += 3) {
            mirrored = std::fabs(p[j] - (0.15 - p[i])) < 1e-4 &&
                       std::fabs(p[j + 1] - p[i + 1]) < 1e-4 &&
                       std::fabs(p[j + 2] - p[i + 2]) < 1e-4;
        }
        ASSERT_TRUE(mirrored) << "vertex " << i / 3 << " has no mirror partner";
    }
    EXPECT_NEAR(extent(w.mesh, 1, false), -0.1, 1e-4);
    // It fits its grid cell (one unit) with room for the neighbours' shadows.
    EXPECT_LT(extent(w.mesh, 0, true) - extent(w.mesh, 0, false), 0.8);
    EXPECT_LT(extent(w.mesh, 2, true) - extent(w.mesh, 2, false), 0.8);
}

TEST(Meshes, TheBoxIsARoomAroundTheBallsAndTheCamera) {
    Loaded box;
    ASSERT_NO_FATAL_FAILURE(loadChecked("box.x", false, box));
    ASSERT_FALSE(box.file.objects.empty());
    EXPECT_EQ(box.file.objects[0].type, "Frame");
    EXPECT_NE(box.file.objects[0].child("FrameTransformMatrix"), nullptr);
    for (const auto& m : box.mesh.materials) {
        EXPECT_FALSE(m.texture.empty());
    }
    // Balls (radius 0.15 once scaled) travel to +-0.75 and the camera circles at 0.75 with
    // heights up to 0.6: the walls lie beyond all of it.
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GE(extent(box.mesh, axis, true), 0.95);
        EXPECT_LE(extent(box.mesh, axis, false), -0.95);
    }
}

TEST(Meshes, TheBallIsABinarySphereWithTheFullVertex) {
    Loaded ball;
    ASSERT_NO_FATAL_FAILURE(loadChecked("ball.x", true, ball));
    // Positions, normals and texture coordinates: the 32-byte vertex the refraction rewrites.
    ASSERT_FALSE(ball.mesh.normals.empty());
    ASSERT_FALSE(ball.mesh.uvs.empty());
    const auto& p = ball.mesh.positions;
    for (size_t i = 0; i < p.size(); i += 3) {
        EXPECT_NEAR(std::sqrt(p[i] * p[i] + p[i + 1] * p[i + 1] + p[i + 2] * p[i + 2]), 0.5, 1e-4);
    }
    EXPECT_GE(ball.mesh.faces.size(), 500u);
}

TEST(Meshes, ReaderRejectsBrokenFiles) {
    XFile f;
    std::vector<uint8_t> text = readDataFile("w.x");
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(readXFile(text, f));
    std::vector<uint8_t> cut(text.begin(), text.begin() + text.size() / 2);
    EXPECT_FALSE(readXFile(cut, f));
    std::vector<uint8_t> bin = readDataFile("ball.x");
    std::vector<uint8_t> binCut(bin.begin(), bin.begin() + bin.size() / 2);
    EXPECT_FALSE(readXFile(binCut, f));
}
