#include "gfx/ParticleSystem.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A vertex buffer in plain memory that notes its locks and releases.
class MemoryVertexBuffer : public IDirect3DVertexBuffer8 {
public:
    explicit MemoryVertexBuffer(UINT length) : bytes(length, 0xCD) {}

    std::vector<BYTE> bytes;
    int lockCount = 0;
    int unlockCount = 0;
    UINT lastOffset = 0;
    UINT lastSize = 0;
    DWORD lastFlags = 0;
    HRESULT lockResult = D3D_OK;
    ULONG references = 1;

    const PointVertex& vertex(int i) const {
        return *reinterpret_cast<const PointVertex*>(bytes.data() + i * sizeof(PointVertex));
    }

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT GetDevice(IDirect3DDevice8**) override { return D3DERR_INVALIDCALL; }
    HRESULT SetPrivateData(REFGUID, CONST void*, DWORD, DWORD) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetPrivateData(REFGUID, void*, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT FreePrivateData(REFGUID) override { return D3DERR_INVALIDCALL; }
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
        lockCount += 1;
        lastOffset = offset;
        lastSize = size;
        lastFlags = flags;
        if (lockResult < 0) {
            *data = nullptr;
            return lockResult;
        }
        *data = bytes.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        unlockCount += 1;
        return D3D_OK;
    }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC*) override { return D3DERR_INVALIDCALL; }
};

// The recording device, with vertex buffers that work and the stream and
// draw calls recorded with their arguments.
class BufferDevice : public RecordingDevice {
public:
    MemoryVertexBuffer* buffer = nullptr;
    HRESULT createResult = D3D_OK;

    ~BufferDevice() override { delete buffer; }

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** result) override {
        calls.push_back(RecordedCall{
            "CreateVertexBuffer", {length, usage, fvf, static_cast<uint64_t>(pool)}, {}, {}});
        if (createResult < 0) {
            *result = nullptr;
            return createResult;
        }
        delete buffer;
        buffer = new MemoryVertexBuffer(length);
        *result = buffer;
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* source, UINT stride) override {
        calls.push_back(RecordedCall{
            "SetStreamSource", {stream, reinterpret_cast<uint64_t>(source), stride}, {}, {}});
        return D3D_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override {
        calls.push_back(
            RecordedCall{"DrawPrimitive", {static_cast<uint64_t>(type), start, count}, {}, {}});
        return D3D_OK;
    }
};

// A cloud of count particles created on a buffer device, for the tests that start there.
struct Cloud {
    explicit Cloud(int32_t count) { system.create(&device, count); }
    BufferDevice device;
    ParticleSystem system;
};

TEST(ParticleSystem, CreateSetsLinearFilteringThenMakesADynamicPointBuffer) {
    BufferDevice device;
    ParticleSystem system;
    EXPECT_EQ(system.create(&device, 43), D3D_OK);
    EXPECT_EQ(system.count, 43);
    EXPECT_EQ(system.device, &device);
    EXPECT_EQ(system.texture, nullptr);
    ASSERT_NE(system.particles, nullptr);
    EXPECT_EQ(system.vertexBuffer, device.buffer);

    std::vector<std::string> expected = {"SetTextureStageState", "SetTextureStageState",
                                         "CreateVertexBuffer"};
    ASSERT_EQ(device.names(), expected);
    auto stages = device.named("SetTextureStageState");
    EXPECT_EQ(stages[0].args, (std::vector<uint64_t>{0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR}));
    EXPECT_EQ(stages[1].args, (std::vector<uint64_t>{0, D3DTSS_MINFILTER, D3DTEXF_LINEAR}));
    auto create = device.named("CreateVertexBuffer")[0];
    EXPECT_EQ(create.args, (std::vector<uint64_t>{43 * 16, 0x248, 0x42,
                                                  static_cast<uint64_t>(D3DPOOL_DEFAULT)}));
}

TEST(ParticleSystem, AFailedCreateAnswersTheFailureAndNeverDraws) {
    BufferDevice device;
    device.createResult = D3DERR_OUTOFVIDEOMEMORY;
    ParticleSystem system;
    EXPECT_EQ(system.create(&device, 8), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(system.vertexBuffer, nullptr);
    device.clear();
    system.render();
    EXPECT_TRUE(device.named("DrawPrimitive").empty());
    EXPECT_TRUE(device.named("SetRenderState").empty());
}

TEST(ParticleSystem, ANegativeCountMakesAnEmptyCloud) {
    Cloud cloud(-5);
    auto& [device, system] = cloud;
    EXPECT_EQ(system.count, 0);
    EXPECT_EQ(system.particles, nullptr);
    system.update(255); // nothing to move, nothing to crash on
    system.setParticle(1, 2, 3, 4, 5, 6, 0xFFFFFFFF, 0);
}

TEST(ParticleSystem, SetParticleIgnoresIndicesOutsideTheCloud) {
    Cloud cloud(4);
    auto& [device, system] = cloud;
    for (int i = 0; i < 4; ++i) {
        system.setParticle(0, 0, 0, 0, 0, 0, 0x11223344, i);
    }
    system.setParticle(9, 9, 9, 9, 9, 9, 0xFFFFFFFF, 4);
    system.setParticle(9, 9, 9, 9, 9, 9, 0xFFFFFFFF, -1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(system.particles[i].x, 0.0f) << i;
        EXPECT_EQ(system.particles[i].color, 0x11223344u) << i;
    }

    system.setParticle(1.5f, -2.0f, 3.0f, 10.0f, 20.0f, 30.0f, 0xFF00FF00, 2);
    const Particle& p = system.particles[2];
    EXPECT_EQ(p.x, 1.5f);
    EXPECT_EQ(p.y, -2.0f);
    EXPECT_EQ(p.z, 3.0f);
    EXPECT_EQ(p.vx, 10.0f);
    EXPECT_EQ(p.vy, 20.0f);
    EXPECT_EQ(p.vz, 30.0f);
    EXPECT_EQ(p.color, 0xFF00FF00u);
    EXPECT_EQ(system.particles[1].x, 0.0f) << "neighbours stay";
    EXPECT_EQ(system.particles[3].color, 0x11223344u) << "neighbours stay";
}

TEST(ParticleSystem, SetPositionKeepsVelocityAndColour) {
    Cloud cloud(2);
    auto& [device, system] = cloud;
    system.setParticle(1, 1, 1, 7, 8, 9, 0x80ABCDEF, 1);
    system.setPosition(-4.0f, 5.0f, 6.0f, 1);
    const Particle& p = system.particles[1];
    EXPECT_EQ(p.x, -4.0f);
    EXPECT_EQ(p.y, 5.0f);
    EXPECT_EQ(p.z, 6.0f);
    EXPECT_EQ(p.vx, 7.0f);
    EXPECT_EQ(p.vy, 8.0f);
    EXPECT_EQ(p.vz, 9.0f);
    EXPECT_EQ(p.color, 0x80ABCDEFu);
}

TEST(ParticleSystem, UpdateReplacesTheAlphaByteAndMovesByAThousandthOfTheVelocity) {
    Cloud cloud(3);
    auto& [device, system] = cloud;
    system.setParticle(0, 0, 0, 1000.0f, 0, 0, 0xFF123456, 0);
    system.setParticle(1, 2, 3, 0, -500.0f, 10.0f, 0x00ABCDEF, 1);
    system.setParticle(0, 0, 0, 0.1f, 0, 0, 0x7F000000, 2);

    system.update(0);
    EXPECT_EQ(system.particles[0].color, 0x00123456u) << "transparent, colour bytes kept";
    EXPECT_EQ(system.particles[0].x, 1.0f) << "1000 units per 1000 updates";
    EXPECT_EQ(system.particles[1].y, 1.5f);
    // Single-precision arithmetic: 3 + 10 x 0.001f, not the double sum.
    EXPECT_EQ(system.particles[1].z, 3.0f + 10.0f * 0.001f);
    EXPECT_EQ(system.particles[2].x, 0.1f * 0.001f);

    system.update(300);
    EXPECT_EQ(system.particles[0].color, 0x2C123456u) << "300 keeps its low byte, 44";
    EXPECT_EQ(system.particles[1].color, 0x2CABCDEFu);
    EXPECT_EQ(system.particles[0].x, 2.0f);
    EXPECT_EQ(system.particles[1].x, 1.0f) << "no velocity, no movement";

    system.update(-1);
    EXPECT_EQ(system.particles[2].color, 0xFF000000u) << "only the low byte of -1";
}

TEST(ParticleSystem, RenderDrawsTheWholeCloudAsAdditiveScaledPointSprites) {
    Cloud cloud(3);
    auto& [device, system] = cloud;
    system.setParticle(1.0f, 2.0f, 3.0f, 0, 0, 0, 0xFF010203, 0);
    system.setParticle(-1.0f, -2.0f, -3.0f, 0, 0, 0, 0x80FFFFFF, 1);
    system.setParticle(0.5f, 0.25f, 0.125f, 0, 0, 0, 0x00000000, 2);
    device.clear();
    system.render();

    std::vector<std::string> expected = {"SetTexture"};
    expected.insert(expected.end(), 10, "SetRenderState");
    expected.insert(expected.end(), {"SetStreamSource", "SetVertexShader", "DrawPrimitive"});
    expected.insert(expected.end(), 4, "SetRenderState");
    ASSERT_EQ(device.names(), expected);

    auto texture = device.named("SetTexture")[0];
    EXPECT_EQ(texture.args, (std::vector<uint64_t>{0, 0}));
    std::vector<std::pair<uint32_t, uint32_t>> states = {
        {D3DRS_ZWRITEENABLE, FALSE},         {D3DRS_ALPHABLENDENABLE, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},      {D3DRS_DESTBLEND, D3DBLEND_ONE},
        {D3DRS_POINTSPRITEENABLE, TRUE},     {D3DRS_POINTSCALEENABLE, TRUE},
        {D3DRS_POINTSIZE_MIN, bitsOf(1.0f)}, {D3DRS_POINTSCALE_A, bitsOf(0.0f)},
        {D3DRS_POINTSCALE_B, bitsOf(0.0f)},  {D3DRS_POINTSCALE_C, bitsOf(1.0f)},
        {D3DRS_POINTSPRITEENABLE, FALSE},    {D3DRS_POINTSCALEENABLE, FALSE},
        {D3DRS_ZWRITEENABLE, TRUE},          {D3DRS_ALPHABLENDENABLE, FALSE},
    };
    EXPECT_EQ(device.renderStates(), states);
    for (const auto& state : device.renderStates()) {
        EXPECT_NE(state.first, static_cast<uint32_t>(D3DRS_POINTSIZE)) << "the caller's to set";
    }

    EXPECT_EQ(device.named("SetStreamSource")[0].args,
              (std::vector<uint64_t>{0, reinterpret_cast<uint64_t>(device.buffer), 16}));
    EXPECT_EQ(device.named("SetVertexShader")[0].args, (std::vector<uint64_t>{0x42}));
    EXPECT_EQ(device.named("DrawPrimitive")[0].args,
              (std::vector<uint64_t>{D3DPT_POINTLIST, 0, 3}));

    MemoryVertexBuffer& buffer = *device.buffer;
    EXPECT_EQ(buffer.lockCount, 1);
    EXPECT_EQ(buffer.unlockCount, 1);
    EXPECT_EQ(buffer.lastOffset, 0u);
    EXPECT_EQ(buffer.lastSize, 48u);
    EXPECT_EQ(buffer.lastFlags, static_cast<DWORD>(D3DLOCK_DISCARD));
    EXPECT_EQ(buffer.vertex(0).x, 1.0f);
    EXPECT_EQ(buffer.vertex(0).y, 2.0f);
    EXPECT_EQ(buffer.vertex(0).z, 3.0f);
    EXPECT_EQ(buffer.vertex(0).color, 0xFF010203u);
    EXPECT_EQ(buffer.vertex(1).x, -1.0f);
    EXPECT_EQ(buffer.vertex(1).z, -3.0f);
    EXPECT_EQ(buffer.vertex(1).color, 0x80FFFFFFu);
    EXPECT_EQ(buffer.vertex(2).y, 0.25f);
    EXPECT_EQ(buffer.vertex(2).color, 0u);

    // The next frame rewrites the buffer from the moved particles.
    system.setPosition(7.0f, 8.0f, 9.0f, 1);
    system.render();
    EXPECT_EQ(buffer.lockCount, 2);
    EXPECT_EQ(buffer.vertex(1).x, 7.0f);
    EXPECT_EQ(buffer.vertex(1).z, 9.0f);
    EXPECT_EQ(buffer.vertex(1).color, 0x80FFFFFFu);
}

TEST(ParticleSystem, ARefusedLockStillDrawsWithoutWritingThroughNull) {
    Cloud cloud(2);
    auto& [device, system] = cloud;
    device.buffer->lockResult = D3DERR_INVALIDCALL;
    device.clear();
    system.render();
    EXPECT_EQ(device.buffer->unlockCount, 0);
    EXPECT_EQ(device.named("DrawPrimitive").size(), 1u);
    EXPECT_EQ(device.renderStates().back(),
              (std::pair<uint32_t, uint32_t>{D3DRS_ALPHABLENDENABLE, FALSE}));
}

TEST(ParticleSystem, ReleaseFreesEverythingOnceAndMayBeRepeated) {
    Cloud cloud(5);
    auto& [device, system] = cloud;
    MemoryVertexBuffer* buffer = device.buffer;
    EXPECT_EQ(system.loadTexture("no-such-file.bmp") < 0, true) << "the recorder makes no textures";
    EXPECT_EQ(system.texture, nullptr);
    system.release();
    EXPECT_EQ(buffer->references, 0u);
    EXPECT_EQ(system.vertexBuffer, nullptr);
    EXPECT_EQ(system.particles, nullptr);
    system.release();
    EXPECT_EQ(buffer->references, 0u) << "not released twice";
}

TEST(ParticleSystem, ASecondCreateReplacesTheFirstBuffer) {
    Cloud cloud(5);
    auto& [device, system] = cloud;
    MemoryVertexBuffer* first = device.buffer;
    first->AddRef(); // keep it alive past the device's own replacement below
    ULONG before = first->references;
    device.buffer = nullptr;
    system.create(&device, 7);
    EXPECT_EQ(first->references, before - 1) << "the first buffer is let go";
    EXPECT_EQ(system.count, 7);
    delete first;
}

} // namespace
