#include "gfx/MeshModel.h"
#include "common/ReleaseInterface.h"

#include <shlwapi.h>
#include <windows.h>

namespace {
const int MESSAGE_SIZE = 128;
} // namespace

MeshModel::MeshModel()
    : materials(nullptr), mesh(nullptr), materialBuffer(nullptr), textures(nullptr),
      device(nullptr), materialCount(0) {}

MeshModel::~MeshModel() {}

ID3DXMesh* MeshModel::getMesh() {
    return mesh;
}

void MeshModel::attach(IDirect3DDevice8* device) {
    this->device = device;
}

void MeshModel::release() {
    releaseInterface(mesh);
    if (textures != nullptr) {
        for (uint32_t i = 0; i < materialCount; ++i) {
            releaseInterface(textures[i]);
        }
        delete[] textures;
        textures = nullptr;
    }
    delete[] materials;
    materials = nullptr;
    releaseInterface(materialBuffer);
}

int32_t MeshModel::load(const char* fileName) {
    // A second load replaces the first model instead of leaking it.
    release();
    materialCount = 0;
    char message[MESSAGE_SIZE];
    HRESULT result = D3DXLoadMeshFromX(fileName, D3DXMESH_MANAGED, device, nullptr, &materialBuffer,
                                       &materialCount, &mesh);
    if (FAILED(result)) {
        // The bounded form: a long name is cut rather than overrunning the buffer.
        wnsprintfA(message, MESSAGE_SIZE, "%s が存在しません", fileName);
        MessageBoxA(nullptr, message, "Error", MB_OK);
        mesh = nullptr;
        materialBuffer = nullptr;
        materialCount = 0;
        return 1;
    }

    materials = new D3DMATERIAL8[materialCount]();
    textures = new IDirect3DTexture8*[materialCount]();
    const D3DXMATERIAL* records =
        static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer());
    for (uint32_t i = 0; i < materialCount; ++i) {
        materials[i] = records[i].MatD3D;
        textures[i] = nullptr;
        const char* textureName = records[i].pTextureFilename;
        if (textureName == nullptr) {
            continue;
        }
        if (FAILED(D3DXCreateTextureFromFileA(device, textureName, &textures[i]))) {
            textures[i] = nullptr;
            wnsprintfA(message, MESSAGE_SIZE, "%sの読み込みに失敗しました。", textureName);
            MessageBoxA(nullptr, message, "Error", MB_OK);
            // The name lives in the buffer, so it goes only after the message.
            materialBuffer->Release();
            materialBuffer = nullptr;
            return 1;
        }
    }
    materialBuffer->Release();
    materialBuffer = nullptr;
    return 0;
}

int32_t MeshModel::draw() {
    if (mesh == nullptr) {
        return 0; // a failed load leaves nothing to draw
    }
    for (uint32_t i = 0; i < materialCount; ++i) {
        device->SetMaterial(&materials[i]);
        device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
    return 0;
}

int32_t MeshModel::drawWithMaterial(D3DMATERIAL8 material) {
    if (mesh == nullptr) {
        return 0;
    }
    for (uint32_t i = 0; i < materialCount; ++i) {
        device->SetMaterial(&material);
        device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
    return 0;
}

int32_t MeshModel::drawWithTexture(IDirect3DTexture8* texture) {
    if (mesh == nullptr) {
        return 0;
    }
    device->SetTexture(0, texture);
    for (uint32_t i = 0; i < materialCount; ++i) {
        mesh->DrawSubset(i);
    }
    return 0;
}
