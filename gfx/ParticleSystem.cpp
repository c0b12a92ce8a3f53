#include "gfx/ParticleSystem.h"
#include "common/ReleaseInterface.h"

#include <d3dx8.h>

#include <cstring>

namespace {
const float VELOCITY_SCALE = 0.001f;

DWORD floatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
} // namespace

ParticleSystem::ParticleSystem()
    : vertexBuffer(nullptr), texture(nullptr), particles(nullptr), device(nullptr), count(0) {}

ParticleSystem::~ParticleSystem() {
    ParticleSystem::release();
}

void ParticleSystem::allocate(IDirect3DDevice8* device, int32_t count) {
    // A second create replaces the first cloud rather than leaking it.
    ParticleSystem::release();
    this->device = device;
    // A negative count would make an impossible allocation: the cloud is then empty.
    this->count = count > 0 ? count : 0;
    // Zeroed so that a render before any particle is set draws points at the origin.
    particles = this->count > 0 ? new Particle[this->count]() : nullptr;
    if (device != nullptr) {
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    }
}

HRESULT ParticleSystem::createBuffer() {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    UINT length = static_cast<UINT>(count) * static_cast<UINT>(sizeof(PointVertex));
    return device->CreateVertexBuffer(length, BUFFER_USAGE, POINT_FVF, D3DPOOL_DEFAULT,
                                      &vertexBuffer);
}

HRESULT ParticleSystem::create(IDirect3DDevice8* device, int32_t count) {
    allocate(device, count);
    return createBuffer();
}

HRESULT ParticleSystem::loadTexture(const char* fileName) {
    releaseInterface(texture);
    return D3DXCreateTextureFromFileA(device, fileName, &texture);
}

void ParticleSystem::release() {
    releaseInterface(texture);
    releaseInterface(vertexBuffer);
    delete[] particles;
    particles = nullptr;
}

void ParticleSystem::setPosition(float x, float y, float z, int32_t index) {
    Particle& particle = particles[index];
    particle.x = x;
    particle.y = y;
    particle.z = z;
}

void ParticleSystem::setParticle(float x, float y, float z, float vx, float vy, float vz,
                                 uint32_t color, int32_t index) {
    if (index < 0 || index >= count || particles == nullptr) {
        return;
    }
    particles[index] = Particle{x, y, z, vx, vy, vz, color};
}

void ParticleSystem::update(int32_t alpha) {
    const uint32_t alphaBits = static_cast<uint32_t>(alpha) << 24;
    for (int32_t i = 0; i < count; ++i) {
        Particle& particle = particles[i];
        particle.color = alphaBits | (particle.color & 0x00FFFFFFu);
        particle.x += particle.vx * VELOCITY_SCALE;
        particle.y += particle.vy * VELOCITY_SCALE;
        particle.z += particle.vz * VELOCITY_SCALE;
    }
}

void ParticleSystem::setRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    device->SetRenderState(state, value);
}

void ParticleSystem::render() {
    // Without a buffer (a failed or missing create) there is nothing to draw into.
    if (vertexBuffer == nullptr || device == nullptr) {
        return;
    }
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_A, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, floatBits(1.0f));

    UINT length = static_cast<UINT>(count) * static_cast<UINT>(sizeof(PointVertex));
    BYTE* data = nullptr;
    // A refused lock leaves last frame's points in the buffer rather than writing through null.
    if (vertexBuffer->Lock(0, length, &data, D3DLOCK_DISCARD) >= 0 && data != nullptr) {
        PointVertex* vertices = reinterpret_cast<PointVertex*>(data);
        for (int32_t i = 0; i < count; ++i) {
            const Particle& particle = particles[i];
            vertices[i] = PointVertex{particle.x, particle.y, particle.z, particle.color};
        }
        vertexBuffer->Unlock();
    }
    device->SetStreamSource(0, vertexBuffer, sizeof(PointVertex));
    device->SetVertexShader(POINT_FVF);
    device->DrawPrimitive(D3DPT_POINTLIST, 0, static_cast<UINT>(count));

    device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}
