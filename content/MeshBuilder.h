#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct MeshMaterial {
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float power = 0.0f;
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float emissive[3] = {0.0f, 0.0f, 0.0f};
    std::string texture; // empty: no TextureFilename
};

// A mesh as the .x format stores it: per-vertex positions, normals and texture coordinates,
// polygon faces with one material index each, and the material list.
class MeshBuilder {
public:
    struct Vertex {
        Vec3 position;
        Vec3 normal;
        float u = 0.0f;
        float v = 0.0f;
    };
    struct Face {
        std::vector<uint32_t> indices;
        uint32_t material = 0;
    };

    uint32_t addVertex(Vec3 position, Vec3 normal, float u, float v);
    void addFace(std::vector<uint32_t> indices, uint32_t material);
    // A flat quad (corners in order) with its own four vertices and the given normal.
    void addQuad(const Vec3 corners[4], Vec3 normal, const float uv[4][2], uint32_t material);
    uint32_t addMaterial(const MeshMaterial& m);

    const std::vector<Vertex>& vertices() const { return verts; }
    const std::vector<Face>& faces() const { return polys; }
    const std::vector<MeshMaterial>& materials() const { return mats; }

    bool hasNormals = true;
    bool hasTextureCoords = true;

private:
    std::vector<Vertex> verts;
    std::vector<Face> polys;
    std::vector<MeshMaterial> mats;
};

} // namespace content
