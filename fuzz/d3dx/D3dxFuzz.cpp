#include "D3dxFuzz.h"

#include <algorithm>
#include <vector>

#include "d3dx/BitmapReader.h"
#include "d3dx/MeshData.h"
#include "d3dx/TexelImage.h"
#include "d3dx/XMeshFile.h"

int fuzzBitmap(const uint8_t* data, size_t size) {
    BitmapImage image;
    if (!BitmapReader::read(data, size, image)) {
        return 0;
    }
    // Only small images go on to the texel stages: their work grows with the
    // pixels and barely with what the pixels hold, and would crowd out the reader.
    if (uint64_t(image.width) * image.height > 1024) {
        return 0;
    }
    std::vector<uint32_t> texels;
    if (image.palettised()) {
        for (uint8_t index : image.indices) {
            texels.push_back(image.palette[index]);
        }
    } else {
        texels = image.texels;
    }
    TexelImage source(image.width, image.height, std::move(texels));
    TexelImage grown = source.resized(std::min(64u, image.width * 2 + 1), 3, false);
    TexelImage level = source.resized(std::max(1u, image.width / 3), image.height, true);
    while (level.width() > 1 || level.height() > 1) {
        level = level.halved();
    }
    std::vector<uint8_t> out(size_t(grown.width()) * grown.height() * 4);
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A4R4G4B4, D3DFMT_A8L8,
                             D3DFMT_R8G8B8, D3DFMT_R3G3B2}) {
        grown.write(format, out.data(), static_cast<int32_t>(grown.width() * 4));
    }
    return 0;
}

int fuzzXMesh(const uint8_t* data, size_t size) {
    MeshData mesh;
    int count = 0;
    if (SUCCEEDED(XMeshFile::readMemory(data, size, mesh, count))) {
        // What the mesh object would be filled from must hang together.
        for (DWORD index : mesh.indices) {
            if (index >= mesh.vertexCount()) {
                __builtin_trap();
            }
        }
        if (mesh.indices.size() != size_t(mesh.faceCount()) * 3) {
            __builtin_trap();
        }
        for (DWORD attribute : mesh.attributes) {
            if (attribute >= mesh.materials.size()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
