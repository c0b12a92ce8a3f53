#include "scenes/floor/TiledFloor.h"
#include "common/ReleaseInterface.h"

#include <d3dx8.h>

static_assert(sizeof(FloorVertex) == 32, "the vertex layout the floor's format describes");

namespace {
const float SPACING = 0.5f;
const float ORIGIN = -6.0f;
} // namespace

TiledFloor::TiledFloor()
    : device(nullptr), texture(nullptr), vertexBuffer(nullptr), indexBuffer(nullptr), material() {}

TiledFloor::~TiledFloor() {
    releaseResources();
}

void TiledFloor::releaseResources() {
    releaseInterface(texture);
    releaseInterface(vertexBuffer);
    releaseInterface(indexBuffer);
}

void TiledFloor::load(IDirect3DDevice8* device, const char* fileName) {
    // A second load replaces the first floor instead of leaking it.
    releaseResources();
    this->device = device;
    if (FAILED(D3DXCreateTextureFromFileA(device, fileName, &texture))) {
        texture = nullptr; // drawn untextured
    }

    if (FAILED(device->CreateVertexBuffer(VERTEX_COUNT * sizeof(FloorVertex), 0, FVF,
                                          D3DPOOL_MANAGED, &vertexBuffer))) {
        vertexBuffer = nullptr;
    } else {
        BYTE* data = nullptr;
        if (SUCCEEDED(vertexBuffer->Lock(0, 0, &data, 0)) && data != nullptr) {
            FloorVertex* vertices = reinterpret_cast<FloorVertex*>(data);
            for (int32_t row = 0; row < SIDE; ++row) {
                for (int32_t column = 0; column < SIDE; ++column) {
                    FloorVertex& v = vertices[row * SIDE + column];
                    v.x = static_cast<float>(column) * SPACING + ORIGIN;
                    v.y = 0.0f;
                    v.z = static_cast<float>(row) * SPACING + ORIGIN;
                    // No normal: the floor takes only ambient light.
                    v.nx = 0.0f;
                    v.ny = 0.0f;
                    v.nz = 0.0f;
                    v.u = static_cast<float>(column);
                    v.v = static_cast<float>(row);
                }
            }
            vertexBuffer->Unlock();
        }
    }

    if (FAILED(device->CreateIndexBuffer(INDEX_COUNT * sizeof(uint16_t), 0, D3DFMT_INDEX16,
                                         D3DPOOL_MANAGED, &indexBuffer))) {
        indexBuffer = nullptr;
    } else {
        BYTE* data = nullptr;
        if (SUCCEEDED(indexBuffer->Lock(0, 0, &data, 0)) && data != nullptr) {
            uint16_t* indices = reinterpret_cast<uint16_t*>(data);
            for (int32_t strip = 0; strip < STRIPS; ++strip) {
                for (int32_t column = 0; column < SIDE; ++column) {
                    uint16_t* pair = indices + strip * INDICES_PER_STRIP + column * 2;
                    pair[0] = static_cast<uint16_t>(strip * SIDE + column);
                    pair[1] = static_cast<uint16_t>((strip + 1) * SIDE + column);
                }
            }
            indexBuffer->Unlock();
        }
    }

    material = D3DMATERIAL8{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Power = 1.0f;
}

void TiledFloor::draw() {
    if (device == nullptr || vertexBuffer == nullptr || indexBuffer == nullptr) {
        return; // a failed load leaves nothing to draw
    }
    device->SetMaterial(&material);
    device->SetTexture(0, texture);
    device->SetVertexShader(FVF);
    device->SetStreamSource(0, vertexBuffer, sizeof(FloorVertex));
    device->SetIndices(indexBuffer, 0);
    for (int32_t strip = 0; strip < STRIPS; ++strip) {
        device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, VERTEX_COUNT,
                                     strip * INDICES_PER_STRIP, INDICES_PER_STRIP - 2);
    }
    device->SetTexture(0, nullptr);
    device->SetIndices(nullptr, 0);
    device->SetStreamSource(0, nullptr, 0);
}

void TiledFloor::release() {}
