#include "gfx/ColorQuad.h"
#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/MeshModel.h"
#include "scenes/glass/RefractionRenderer.h"
#include "gfx/ScreenVertex.h"
#include "TestWindow.h"

#include <PlatformOptions.h>
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// The value written for "name = value" in one trace line ("" when absent).
std::string traceArgument(const std::string& line, const std::string& name) {
    std::string key = name + " = ";
    size_t at = line.find(key);
    if (at == std::string::npos) {
        return "";
    }
    at += key.size();
    size_t end = line.find_first_of(",)", at);
    std::string value = line.substr(at, end - at);
    if (!value.empty() && value[0] == '&') {
        value.erase(0, 1);
    }
    return value;
}

bool near(uint32_t rgb, int red, int green, int blue, int tolerance = 3) {
    int r = static_cast<int>(rgb >> 16 & 0xFF);
    int g = static_cast<int>(rgb >> 8 & 0xFF);
    int b = static_cast<int>(rgb & 0xFF);
    return std::abs(r - red) <= tolerance && std::abs(g - green) <= tolerance &&
           std::abs(b - blue) <= tolerance;
}

std::string describe(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof(text), "%06X", rgb & 0xFFFFFFu);
    return text;
}

class RefractionRendererTest : public ::testing::Test {
protected:
    // The device is created with its calls traced to tracePath when it is set.
    void createDevice(const std::string& tracePath = "") {
        window = makeTestWindow("REFRACTION_TEST");
        ASSERT_NE(window, nullptr);
        PlatformOptions::get().tracePath = tracePath;
        int created = graphics.create(window, 800, 600);
        PlatformOptions::get().tracePath.clear();
        ASSERT_EQ(created, 0);
        graphics.setWindowed(0);
        device = graphics.getDevice();
        D3DPRESENT_PARAMETERS parameters;
        graphics.getPresentParameters(&parameters);
        refraction = new RefractionRenderer();
        refraction->attach(device);
        ASSERT_EQ(refraction->create(parameters, 1024, 1024, 800, 600), D3D_OK);
    }
    void TearDown() override {
        delete refraction;
        if (mesh != nullptr) {
            mesh->Release();
        }
    }

    // A mesh in the position, normal, texture layout holding the given vertices
    // as a list of triangles.
    ID3DXMesh* makeMesh(const std::vector<MeshVertex>& vertices) {
        ID3DXMesh* made = nullptr;
        DWORD faces = static_cast<DWORD>(vertices.size() / 3);
        EXPECT_EQ(D3DXCreateMeshFVF(faces, static_cast<DWORD>(vertices.size()), D3DXMESH_MANAGED,
                                    RefractionRenderer::MESH_FVF, device, &made),
                  D3D_OK);
        if (made == nullptr) {
            return nullptr;
        }
        BYTE* data = nullptr;
        made->LockVertexBuffer(0, &data);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(MeshVertex));
        made->UnlockVertexBuffer();
        made->LockIndexBuffer(0, &data);
        uint16_t* indices = reinterpret_cast<uint16_t*>(data);
        for (size_t i = 0; i < vertices.size(); ++i) {
            indices[i] = static_cast<uint16_t>(i);
        }
        made->UnlockIndexBuffer();
        DWORD* attributes = nullptr;
        made->LockAttributeBuffer(0, &attributes);
        for (DWORD i = 0; i < faces; ++i) {
            attributes[i] = 0;
        }
        made->UnlockAttributeBuffer();
        return made;
    }

    std::vector<MeshVertex> readVertices(ID3DXMesh* from) {
        std::vector<MeshVertex> result(from->GetNumVertices());
        BYTE* data = nullptr;
        from->LockVertexBuffer(0, &data);
        std::memcpy(result.data(), data, result.size() * sizeof(MeshVertex));
        from->UnlockVertexBuffer();
        return result;
    }

    void setTransforms(const D3DXMATRIX& world, const D3DXMATRIX& view,
                       const D3DXMATRIX& projection) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    HWND window = nullptr;
    GraphicsDevice graphics;
    IDirect3DDevice8* device = nullptr;
    RefractionRenderer* refraction = nullptr;
    ID3DXMesh* mesh = nullptr;
};

TEST_F(RefractionRendererTest, CreateMakesTwoTargetsTheirDepthAndTheScreenQuad) {
    createDevice();
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(refraction->textures[i], nullptr);
        ASSERT_NE(refraction->surfaces[i], nullptr);
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(refraction->textures[i]->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, 1024u);
        EXPECT_EQ(desc.Height, 1024u);
        EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
        EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
        EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8) << "the back buffer's format";
        EXPECT_EQ(refraction->textures[i]->GetLevelCount(), 1u);
    }
    EXPECT_NE(refraction->textures[0], refraction->textures[1]);
    D3DSURFACE_DESC depth{};
    ASSERT_EQ(refraction->depthSurface->GetDesc(&depth), D3D_OK);
    EXPECT_EQ(depth.Width, 1024u);
    EXPECT_EQ(depth.Format, D3DFMT_D24S8);

    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&backBuffer), D3D_OK);
    EXPECT_EQ(backBuffer, refraction->savedBackBuffer);
    backBuffer->Release();

    EXPECT_EQ(refraction->viewport.Width, 800u);
    EXPECT_EQ(refraction->viewport.Height, 600u);
    EXPECT_EQ(refraction->viewport.MaxZ, 1.0f);

    // The strip covers the picture and names its part of the textures.
    ASSERT_NE(refraction->quadBuffer, nullptr);
    BYTE* data = nullptr;
    ASSERT_EQ(refraction->quadBuffer->Lock(0, 112, &data, 0), D3D_OK);
    ScreenVertex quad[4];
    std::memcpy(quad, data, sizeof(quad));
    refraction->quadBuffer->Unlock();
    const float expected[4][4] = {{0, 0, 0, 0},
                                  {800, 0, 0.78125f, 0},
                                  {0, 600, 0, 0.5859375f},
                                  {800, 600, 0.78125f, 0.5859375f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quad[i].x, expected[i][0]) << "vertex " << i;
        EXPECT_EQ(quad[i].y, expected[i][1]) << "vertex " << i;
        EXPECT_EQ(quad[i].u, expected[i][2]) << "vertex " << i;
        EXPECT_EQ(quad[i].v, expected[i][3]) << "vertex " << i;
        EXPECT_EQ(quad[i].z, 0.5f);
        EXPECT_EQ(quad[i].rhw, 1.0f);
        EXPECT_EQ(quad[i].color, 0xFFFFFFFFu);
    }
}

TEST_F(RefractionRendererTest, MapToScreenWritesProjectedPositionsShifted) {
    createDevice();
    mesh = makeMesh(
        {{0, 0, 0.5f, 0, 0, -1, 9, 9}, {-1, 1, 0.5f, 0, 1, 0, 9, 9}, {1, -1, 0.5f, 1, 0, 0, 9, 9}});
    ASSERT_NE(mesh, nullptr);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    setTransforms(identity, identity, identity);
    refraction->mapToScreen(mesh);
    std::vector<MeshVertex> mapped = readVertices(mesh);
    // The centre of the screen, the top-left and the bottom-right corners.
    EXPECT_FLOAT_EQ(mapped[0].u, 0.5f * 0.78125f + 0.025f);
    EXPECT_FLOAT_EQ(mapped[0].v, 0.5f * 0.5859375f + 0.025f);
    EXPECT_FLOAT_EQ(mapped[1].u, 0.025f);
    EXPECT_FLOAT_EQ(mapped[1].v, 0.025f);
    EXPECT_FLOAT_EQ(mapped[2].u, 0.78125f + 0.025f);
    EXPECT_FLOAT_EQ(mapped[2].v, 0.5859375f + 0.025f);
    // Positions and normals are untouched.
    EXPECT_EQ(mapped[1].x, -1.0f);
    EXPECT_EQ(mapped[1].ny, 1.0f);
    EXPECT_EQ(mapped[2].nx, 1.0f);

    // All three matrices count, the world first; w divides.
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.5f, 0.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, 0.0f, -0.5f, 1.5f);
    D3DXMATRIX projection(identity);
    projection._34 = 1.0f; // w = z
    projection._44 = 0.0f;
    setTransforms(world, view, projection);
    refraction->mapToScreen(mesh);
    mapped = readVertices(mesh);
    // (0, 0, 0.5) -> (0.5, -0.5, 2) -> (0.25, -0.25)
    EXPECT_FLOAT_EQ(mapped[0].u, 1.25f * 0.5f * 0.78125f + 0.025f);
    EXPECT_FLOAT_EQ(mapped[0].v, 0.625f * 0.5859375f + 0.025f);
    // (-1, 1, 0.5) -> (-0.5, 0.5, 2) -> (-0.25, 0.25)
    EXPECT_FLOAT_EQ(mapped[1].u, 0.75f * 0.5f * 0.78125f + 0.025f);
    EXPECT_FLOAT_EQ(mapped[1].v, 0.375f * 0.5859375f + 0.025f);
}

TEST_F(RefractionRendererTest, MapToScreenLeavesOtherVertexLayoutsAlone) {
    createDevice();
    ID3DXMesh* other = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_TEX1, device, &other),
              D3D_OK);
    const float vertices[15] = {0, 0, 0.5f, 7, 7, 1, 0, 0.5f, 7, 7, 0, 1, 0.5f, 7, 7};
    BYTE* data = nullptr;
    ASSERT_EQ(other->LockVertexBuffer(0, &data), D3D_OK);
    std::memcpy(data, vertices, sizeof(vertices));
    other->UnlockVertexBuffer();
    refraction->mapToScreen(other);
    refraction->mapToScreen(nullptr);
    ASSERT_EQ(other->LockVertexBuffer(0, &data), D3D_OK);
    EXPECT_EQ(std::memcmp(data, vertices, sizeof(vertices)), 0);
    other->UnlockVertexBuffer();
    other->Release();
}

// One frame through every pass: a background of four coloured quarters with
// depth 0.9, a green tint added to the copy, and a mesh with a square in
// front of the background and a square behind it.
TEST_F(RefractionRendererTest, MeshesShowTheTintedCopyShiftedAndHideBehindTheBackground) {
    const std::string tracePath = ::testing::TempDir() + "refraction-trace.txt";
    createDevice(tracePath);
    std::vector<MeshVertex> squares;
    auto addSquare = [&squares](float left, float top, float right, float bottom, float z) {
        MeshVertex a{left, top, z, 0, 0, -1, 0, 0};
        MeshVertex b{right, top, z, 0, 0, -1, 0, 0};
        MeshVertex c{right, bottom, z, 0, 0, -1, 0, 0};
        MeshVertex d{left, bottom, z, 0, 0, -1, 0, 0};
        for (const MeshVertex& v : {a, b, c, a, c, d}) {
            squares.push_back(v);
        }
    };
    addSquare(-0.5f, 0.5f, 0.5f, -0.5f, 0.5f);  // screen 200..600 x 150..450, in front
    addSquare(-0.9f, 0.9f, -0.7f, 0.7f, 0.95f); // screen 40..120 x 30..90, behind
    mesh = makeMesh(squares);
    ASSERT_NE(mesh, nullptr);
    MeshModel model;
    model.attach(device);
    model.mesh = mesh;
    model.materialCount = 1;

    ColorQuad quad;
    quad.attach(device);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE); // beginForeground must turn it off
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
    refraction->beginBackground();
    const struct {
        float x, y;
        int r, g, b;
    } quarters[] = {
        {0, 0, 200, 0, 0}, {400, 0, 0, 0, 200}, {0, 300, 200, 0, 200}, {400, 300, 0, 0, 100}};
    for (const auto& quarter : quarters) {
        quad.setColor(quarter.r, quarter.g, quarter.b);
        quad.draw(quarter.x, quarter.y, 400.0f, 300.0f, 0.9f);
    }
    refraction->copyBackground();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    quad.setColor(0, 64, 0);
    quad.draw(0.0f, 0.0f, 800.0f, 600.0f, 1.0f);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    refraction->beginForeground();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    setTransforms(identity, identity, identity);
    refraction->drawRefracting(model);
    refraction->showResult();
    Frame frame;
    ASSERT_TRUE(presentAndRead(device, &frame));
    writePng(frame, "refraction-passes.png");
    model.mesh = nullptr; // released by the fixture

    // Points and the colour each must show.
    const struct {
        int x, y, red, green, blue;
    } expected[] = {
        // clang-format off
        // Outside the mesh: the background as drawn, untinted, over the whole screen.
        {100, 200, 200, 0, 0}, {700, 100, 0, 0, 200}, {100, 500, 200, 0, 200},
        {700, 500, 0, 0, 100}, {799, 599, 0, 0, 100},
        // The square behind the background is hidden by its depths.
        {80, 60, 200, 0, 0},
        // In the square in front: the tinted copy, taken about 26 pixels right of
        // and below each point, so the quarters' borders move up and left.
        {300, 200, 200, 64, 0}, {370, 270, 200, 64, 0}, {390, 270, 0, 64, 200},
        {370, 290, 200, 64, 200}, {390, 290, 0, 64, 100}, {500, 400, 0, 64, 100},
        // Outside the square again, just right of its edge.
        {610, 400, 0, 0, 100},
        // clang-format on
    };
    for (const auto& e : expected) {
        const uint32_t rgb = frame.rgb(e.x, e.y);
        EXPECT_TRUE(near(rgb, e.red, e.green, e.blue))
            << "at " << e.x << ", " << e.y << ": " << describe(rgb);
    }

    delete refraction;
    refraction = nullptr;
    // No draw samples the texture it renders into.
    std::ifstream trace(tracePath);
    std::map<std::string, std::string> surfaceOfTexture;
    std::vector<std::string> levels; // the two textures' surfaces, in the order made
    std::string backBuffer;
    std::string backDepth;
    std::string ownDepth;
    std::vector<std::string> targets; // "colour depth" of each SetRenderTarget
    std::string target;
    std::string bound = "NULL";
    int draws = 0;
    int texturedDraws = 0;
    for (std::string line; std::getline(trace, line);) {
        if (line.find("IDirect3DTexture8::GetSurfaceLevel") != std::string::npos) {
            surfaceOfTexture[traceArgument(line, "this")] = traceArgument(line, "ppSurfaceLevel");
            levels.push_back(traceArgument(line, "ppSurfaceLevel"));
        } else if (line.find("IDirect3DDevice8::GetRenderTarget") != std::string::npos) {
            backBuffer = traceArgument(line, "ppRenderTarget");
        } else if (line.find("IDirect3DDevice8::GetDepthStencilSurface") != std::string::npos) {
            backDepth = traceArgument(line, "ppZStencilSurface");
        } else if (line.find("IDirect3DDevice8::CreateDepthStencilSurface") != std::string::npos) {
            ownDepth = traceArgument(line, "ppSurface");
        } else if (line.find("IDirect3DDevice8::SetRenderTarget") != std::string::npos) {
            target = traceArgument(line, "pRenderTarget");
            targets.push_back(target + " " + traceArgument(line, "pNewZStencil"));
        } else if (line.find("IDirect3DDevice8::SetTexture(") != std::string::npos &&
                   traceArgument(line, "Stage") == "0") {
            bound = traceArgument(line, "pTexture");
        } else if (line.find("IDirect3DDevice8::DrawPrimitive") != std::string::npos ||
                   line.find("IDirect3DDevice8::DrawIndexedPrimitive") != std::string::npos) {
            draws += 1;
            if (bound != "NULL") {
                texturedDraws += 1;
                EXPECT_NE(surfaceOfTexture[bound], target) << line;
            }
        }
    }
    EXPECT_EQ(surfaceOfTexture.size(), 2u);
    EXPECT_GE(draws, 8) << "four quarters, the copy, the tint, the mesh, the result";
    EXPECT_EQ(texturedDraws, 3) << "the copy, the mesh and the result";
    // Background into texture 0, the copy into texture 1, the meshes into
    // texture 0 over the background's depths, the result onto the back buffer.
    ASSERT_EQ(levels.size(), 2u);
    std::vector<std::string> expectedTargets = {
        levels[0] + " " + ownDepth, levels[1] + " " + ownDepth, levels[0] + " " + ownDepth,
        backBuffer + " " + backDepth};
    EXPECT_EQ(targets, expectedTargets);
    EXPECT_NE(backBuffer, levels[0]);
    std::remove(tracePath.c_str());
}

TEST_F(RefractionRendererTest, ClearImagesBlackensBothAndRestoresTheBackBuffer) {
    createDevice();
    ColorQuad quad;
    quad.attach(device);
    device->BeginScene();
    refraction->beginBackground();
    quad.setColor(255, 255, 255);
    quad.draw(0.0f, 0.0f, 800.0f, 600.0f, 0.5f);
    refraction->clearImages();
    // Now on the back buffer: this quad lands there, not in the images.
    quad.setColor(0, 0, 255);
    quad.draw(0.0f, 0.0f, 100.0f, 100.0f, 0.5f);
    Frame shown;
    ASSERT_TRUE(presentAndRead(device, &shown));
    EXPECT_EQ(shown.rgb(50, 50), 0x0000FFu);

    // beginForeground does not clear: the cleared image is what is shown.
    device->BeginScene();
    refraction->beginForeground();
    refraction->showResult();
    ASSERT_TRUE(presentAndRead(device, &shown));
    EXPECT_EQ(shown.rgb(400, 300), 0x000000u);
    EXPECT_EQ(shown.rgb(50, 50), 0x000000u);
}

} // namespace
