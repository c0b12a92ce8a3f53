#include "content/MeshBuilder.h"

namespace content {

uint32_t MeshBuilder::addVertex(Vec3 position, Vec3 normal, float u, float v) {
    verts.push_back({position, normal, u, v});
    return static_cast<uint32_t>(verts.size() - 1);
}

void MeshBuilder::addFace(std::vector<uint32_t> indices, uint32_t material) {
    polys.push_back({std::move(indices), material});
}

void MeshBuilder::addQuad(const Vec3 corners[4], Vec3 normal, const float uv[4][2],
                          uint32_t material) {
    std::vector<uint32_t> idx;
    for (int i = 0; i < 4; ++i) {
        idx.push_back(addVertex(corners[i], normal, uv[i][0], uv[i][1]));
    }
    addFace(std::move(idx), material);
}

uint32_t MeshBuilder::addMaterial(const MeshMaterial& m) {
    mats.push_back(m);
    return static_cast<uint32_t>(mats.size() - 1);
}

} // namespace content
