#include "BitmapFiles.h"
#include "FakeDeviceTest.h"
#include <VertexFormat.h>
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

namespace {

class MeshTest : public FakeDeviceTest {
protected:
    FakeVertexBuffer* vertexBufferOf(ID3DXMesh* mesh) {
        IDirect3DVertexBuffer8* vb = nullptr;
        EXPECT_EQ(mesh->GetVertexBuffer(&vb), D3D_OK);
        vb->Release();
        return static_cast<FakeVertexBuffer*>(vb);
    }
    FakeIndexBuffer* indexBufferOf(ID3DXMesh* mesh) {
        IDirect3DIndexBuffer8* ib = nullptr;
        EXPECT_EQ(mesh->GetIndexBuffer(&ib), D3D_OK);
        ib->Release();
        return static_cast<FakeIndexBuffer*>(ib);
    }
    std::vector<uint16_t> indices16(ID3DXMesh* mesh) {
        FakeIndexBuffer* ib = indexBufferOf(mesh);
        std::vector<uint16_t> out(ib->bytes.size() / 2);
        std::memcpy(out.data(), ib->bytes.data(), ib->bytes.size());
        return out;
    }
    // Position and normal of vertex i of a 24-byte-vertex mesh.
    std::vector<float> vertex(ID3DXMesh* mesh, size_t i) {
        FakeVertexBuffer* vb = vertexBufferOf(mesh);
        std::vector<float> out(6);
        std::memcpy(out.data(), vb->bytes.data() + 24 * i, 24);
        return out;
    }
};

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "component " << i;
    }
}

// Every face's neighbours name it back across the same edge.
void expectSymmetricAndClosed(const DWORD* adjacency, DWORD faces) {
    for (DWORD f = 0; f < faces; ++f) {
        for (int e = 0; e < 3; ++e) {
            DWORD g = adjacency[3 * f + e];
            ASSERT_LT(g, faces) << "face " << f << " edge " << e << " has no neighbour";
            int back = 0;
            for (int k = 0; k < 3; ++k) {
                back += adjacency[3 * g + k] == f;
            }
            EXPECT_GE(back, 1) << "face " << g << " does not name face " << f;
        }
    }
}

} // namespace

// D3DX sizes any layout, a position-less one by its other parts; the device draws only
// formats with a position and no reserved bits. Both count the same bytes otherwise.
TEST(VertexSize, D3DXSizesEveryLayoutAndTheDeviceOnlyThoseItDraws) {
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(fvfVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR), 24u);
    // One to five blend weights after the position.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB1), 16u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB5 | D3DFVF_PSIZE), 36u);
    EXPECT_EQ(fvfVertexSize(D3DFVF_XYZB5 | D3DFVF_PSIZE), 36u);
    // Texture sets of 1, 3 and 4 components.
    const DWORD sets =
        D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE3(1) | D3DFVF_TEXCOORDSIZE4(2);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | sets), 12u + 32u);

    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_DIFFUSE), 4u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_NORMAL | D3DFVF_TEX1), 20u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0), 0u);
    EXPECT_EQ(fvfVertexSize(D3DFVF_DIFFUSE), 0u);
    EXPECT_EQ(fvfVertexSize(D3DFVF_XYZ | D3DFVF_RESERVED0), 0u);
    // More than eight texture sets is no layout for either.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | (9 << D3DFVF_TEXCOUNT_SHIFT)), 0u);
    EXPECT_EQ(fvfVertexSize(D3DFVF_XYZ | (9 << D3DFVF_TEXCOUNT_SHIFT)), 0u);
}

TEST_F(MeshTest, CreationChecksItsArguments) {
    LPD3DXMESH mesh = nullptr;
    auto create = [&](DWORD faces, DWORD vertices, DWORD options, IDirect3DDevice8* on,
                      LPD3DXMESH* out) {
        return D3DXCreateMeshFVF(faces, vertices, options, D3DFVF_XYZ, on, out);
    };
    // Too many faces or vertices for 16-bit indices, none at all, an option the
    // library does not offer, no device, nowhere to put the mesh.
    EXPECT_EQ(create(65535, 3, D3DXMESH_MANAGED, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(1, 65535, D3DXMESH_MANAGED, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(0, 3, D3DXMESH_MANAGED, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(1, 0, D3DXMESH_MANAGED, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(1, 3, D3DXMESH_VB_SHARE, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(1, 3, D3DXMESH_MANAGED, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(1, 3, D3DXMESH_MANAGED, device, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);

    // The largest 16-bit mesh, and more with 32-bit indices.
    ASSERT_EQ(D3DXCreateMeshFVF(65534, 65534, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh), D3D_OK);
    EXPECT_EQ(indexBufferOf(mesh)->bytes.size(), 65534u * 6);
    mesh->Release();
    ASSERT_EQ(D3DXCreateMeshFVF(70000, 70000, D3DXMESH_MANAGED | D3DXMESH_32BIT, D3DFVF_XYZ, device,
                                &mesh),
              D3D_OK);
    EXPECT_EQ(indexBufferOf(mesh)->format, D3DFMT_INDEX32);
    mesh->Release();
}

TEST_F(MeshTest, OptionsPlaceTheBuffersAndLocksAddNoSysLock) {
    LPD3DXMESH mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(2, 4, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, device, &mesh),
              D3D_OK);
    FakeVertexBuffer* vb = vertexBufferOf(mesh);
    FakeIndexBuffer* ib = indexBufferOf(mesh);
    EXPECT_EQ(vb->pool, D3DPOOL_MANAGED);
    EXPECT_EQ(ib->pool, D3DPOOL_MANAGED);
    EXPECT_EQ(vb->usage, 0u);
    EXPECT_EQ(vb->bytes.size(), 4u * 24);
    EXPECT_EQ(vb->fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(ib->format, D3DFMT_INDEX16);
    // New memory is zero-filled, attributes too.
    EXPECT_EQ(std::count(vb->bytes.begin(), vb->bytes.end(), 0), 96);
    EXPECT_EQ(std::count(ib->bytes.begin(), ib->bytes.end(), 0), 12);
    DWORD* attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    EXPECT_EQ(attributes[0] | attributes[1], 0u);
    mesh->UnlockAttributeBuffer();

    BYTE* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_DISCARD, &data), D3D_OK);
    EXPECT_EQ(data, vb->bytes.data());
    EXPECT_EQ(vb->lastLockFlags, DWORD(D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK));
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
    EXPECT_EQ(ib->lastLockFlags, DWORD(D3DLOCK_NOSYSLOCK));
    mesh->UnlockIndexBuffer();
    EXPECT_EQ(mesh->GetNumVertices(), 4u);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    mesh->Release();

    DWORD options =
        D3DXMESH_VB_SYSTEMMEM | D3DXMESH_VB_WRITEONLY | D3DXMESH_IB_DYNAMIC | D3DXMESH_DONOTCLIP;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 3, options, D3DFVF_XYZ, device, &mesh), D3D_OK);
    vb = vertexBufferOf(mesh);
    ib = indexBufferOf(mesh);
    EXPECT_EQ(vb->pool, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(vb->usage, DWORD(D3DUSAGE_WRITEONLY | D3DUSAGE_DONOTCLIP));
    EXPECT_EQ(ib->pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(ib->usage, DWORD(D3DUSAGE_DYNAMIC | D3DUSAGE_DONOTCLIP));
    // The mesh holds the device; its last release lets both go.
    EXPECT_EQ(device->references, 2u);
    EXPECT_EQ(mesh->AddRef(), 2u);
    EXPECT_EQ(mesh->Release(), 1u);
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(device->references, 1u);
}

TEST_F(MeshTest, DrawSubsetDrawsRunsOfItsAttribute) {
    LPD3DXMESH mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh), D3D_OK);
    // A fresh mesh: subset 0 is every face, in one call.
    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    ASSERT_EQ(device->draws.size(), 1u);
    EXPECT_EQ(device->draws[0], (DrawCall{D3DPT_TRIANGLELIST, 0, 6, 0, 4}));
    EXPECT_EQ(device->vertexShader, DWORD(D3DFVF_XYZ));
    EXPECT_EQ(device->streamStride, 12u);
    EXPECT_EQ(device->stream, vertexBufferOf(mesh));
    EXPECT_EQ(device->indices, indexBufferOf(mesh));

    DWORD* attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    attributes[2] = 1; // 0, 0, 1, 0
    mesh->UnlockAttributeBuffer();
    device->draws.clear();
    mesh->DrawSubset(0);
    ASSERT_EQ(device->draws.size(), 2u);
    EXPECT_EQ(device->draws[0], (DrawCall{D3DPT_TRIANGLELIST, 0, 6, 0, 2}));
    EXPECT_EQ(device->draws[1], (DrawCall{D3DPT_TRIANGLELIST, 0, 6, 9, 1}));
    device->draws.clear();
    mesh->DrawSubset(1);
    ASSERT_EQ(device->draws.size(), 1u);
    EXPECT_EQ(device->draws[0], (DrawCall{D3DPT_TRIANGLELIST, 0, 6, 6, 1}));
    device->draws.clear();
    EXPECT_EQ(mesh->DrawSubset(7), D3D_OK);
    EXPECT_TRUE(device->draws.empty());

    // Sorted by attribute, each subset is one range with the vertices it uses.
    BYTE* data = nullptr;
    mesh->LockIndexBuffer(0, &data);
    const uint16_t faces[12] = {0, 1, 2, 1, 2, 3, 4, 5, 4, 2, 3, 0};
    std::memcpy(data, faces, sizeof(faces));
    mesh->UnlockIndexBuffer();
    DWORD remap[4];
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, remap, nullptr),
              D3D_OK);
    EXPECT_EQ(std::vector<DWORD>(remap, remap + 4), (std::vector<DWORD>{0, 1, 3, 2}));
    DWORD tableSize = 0;
    mesh->GetAttributeTable(nullptr, &tableSize);
    ASSERT_EQ(tableSize, 2u);
    device->draws.clear();
    mesh->DrawSubset(0);
    mesh->DrawSubset(1);
    ASSERT_EQ(device->draws.size(), 2u);
    EXPECT_EQ(device->draws[0], (DrawCall{D3DPT_TRIANGLELIST, 0, 4, 0, 3}));
    EXPECT_EQ(device->draws[1], (DrawCall{D3DPT_TRIANGLELIST, 4, 2, 9, 1}));
    EXPECT_EQ(indices16(mesh)[9], 4); // face 2 moved to the end
    mesh->Release();
}

TEST_F(MeshTest, TorusGeometry) {
    LPD3DXMESH mesh = nullptr;
    EXPECT_EQ(D3DXCreateTorus(device, 0.0125f, 0.125f, 2, 32, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTorus(device, 0.0125f, 0.125f, 16, 2, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTorus(device, -0.1f, 0.125f, 16, 32, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTorus(nullptr, 0.1f, 0.125f, 16, 32, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);

    ASSERT_EQ(D3DXCreateTorus(device, 0.0125f, 0.125f, 16, 32, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 512u);
    EXPECT_EQ(mesh->GetNumFaces(), 1024u);
    EXPECT_EQ(mesh->GetFVF(), 0x12u);
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED));
    expectNear(vertex(mesh, 0), {0.1375f, 0, 0, 1, 0, 0});
    // Side 4 of ring 8: a quarter turn round the tube and round the ring.
    std::vector<float> v = vertex(mesh, 8 * 16 + 4);
    EXPECT_NEAR(v[1], -0.125f, 1e-6f);
    EXPECT_NEAR(v[2], 0.0125f, 1e-6f);
    EXPECT_NEAR(v[5], 1.0f, 1e-6f);
    std::vector<uint16_t> idx = indices16(mesh);
    // First quad of ring 0, its closing quad, and the last ring joining ring 0.
    EXPECT_EQ(std::vector<uint16_t>(idx.begin(), idx.begin() + 6),
              (std::vector<uint16_t>{0, 1, 16, 16, 1, 17}));
    EXPECT_EQ(std::vector<uint16_t>(idx.begin() + 90, idx.begin() + 96),
              (std::vector<uint16_t>{15, 0, 31, 31, 0, 16}));
    EXPECT_EQ(std::vector<uint16_t>(idx.end() - 6, idx.end()),
              (std::vector<uint16_t>{511, 496, 15, 15, 496, 0}));
    device->draws.clear();
    mesh->DrawSubset(0);
    EXPECT_EQ(device->draws, (std::vector<DrawCall>{{D3DPT_TRIANGLELIST, 0, 512, 0, 1024}}));
    mesh->Release();

    // The smallest torus and its adjacency: closed, so every edge has a neighbour.
    LPD3DXBUFFER adjacency = nullptr;
    ASSERT_EQ(D3DXCreateTorus(device, 1, 2, 3, 3, &mesh, &adjacency), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 9u);
    EXPECT_EQ(mesh->GetNumFaces(), 18u);
    ASSERT_EQ(adjacency->GetBufferSize(), 18u * 12);
    expectSymmetricAndClosed(static_cast<DWORD*>(adjacency->GetBufferPointer()), 18);
    adjacency->Release();
    mesh->Release();

    // Defaults: radii 1 and 2, 8 sides, 15 rings.
    ASSERT_EQ(D3DXCreateTorus(device, FLT_MAX, FLT_MAX, 0xFFFFFFFF, 0xFFFFFFFF, &mesh, nullptr),
              D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 120u);
    expectNear(vertex(mesh, 0), {3, 0, 0, 1, 0, 0});
    mesh->Release();
}

TEST_F(MeshTest, BoxGeometryAndAdjacency) {
    LPD3DXMESH mesh = nullptr;
    LPD3DXBUFFER adjacency = nullptr;
    ASSERT_EQ(D3DXCreateBox(device, 0.1f, 0.1f, 0.1f, &mesh, &adjacency), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    expectNear(vertex(mesh, 0), {-0.05f, -0.05f, -0.05f, -1, 0, 0});
    expectNear(vertex(mesh, 4 * 4 + 2), {0.05f, 0.05f, 0.05f, 0, 0, 1}); // face 4, corner 6
    std::vector<uint16_t> idx = indices16(mesh);
    EXPECT_EQ(std::vector<uint16_t>(idx.begin(), idx.begin() + 6),
              (std::vector<uint16_t>{0, 1, 2, 2, 3, 0}));
    ASSERT_EQ(adjacency->GetBufferSize(), 144u);
    auto* adj = static_cast<DWORD*>(adjacency->GetBufferPointer());
    // Triangle 0 is corners 0, 1, 5 of the -x face: across 0-1 the bottom face's first
    // triangle, across 1-5 the front face's second, across 5-0 its own second half.
    EXPECT_EQ(adj[0], 6u);
    EXPECT_EQ(adj[1], 9u);
    EXPECT_EQ(adj[2], 1u);
    expectSymmetricAndClosed(adj, 12);
    adjacency->Release();
    mesh->Release();

    ASSERT_EQ(D3DXCreateBox(device, FLT_MAX, FLT_MAX, FLT_MAX, &mesh, nullptr), D3D_OK);
    expectNear(vertex(mesh, 0), {-0.5f, -0.5f, -0.5f, -1, 0, 0});
    mesh->Release();
    ASSERT_EQ(D3DXCreateBox(device, 0, 1, 1, &mesh, nullptr), D3D_OK); // flat is allowed
    mesh->Release();
    mesh = nullptr;
    EXPECT_EQ(D3DXCreateBox(device, -1, 1, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateBox(device, 1, 1, 1, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(MeshTest, LoadMeshFromXGivesOneMeshWithSubsetsAndMaterials) {
    std::string text = R"(xof 0302txt 0032
Mesh A {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3; 0,1,2;, 3; 0,2,3;;
  MeshMaterialList { 2; 2; 1, 0;;
    Material { 1;0;0;1;; 5; 1;1;1;; 0;0;0;; TextureFilename { "data\t.bmp"; } }
    Material { 0;1;0;0.5;; 0; 0;0;0;; 0.25;0.25;0.25;; } }
}
Mesh B { 3; 0;0;1;, 1;0;1;, 0;1;1;; 1; 3; 0,1,2;; }
)";
    ASSERT_TRUE(bmptest::writeFile("load_two.x", std::vector<uint8_t>(text.begin(), text.end())));
    LPD3DXMESH mesh = nullptr;
    LPD3DXBUFFER materials = nullptr, adjacency = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromX("load_two.x", D3DXMESH_MANAGED, device, &adjacency, &materials,
                                &count, &mesh),
              D3D_OK);
    // B has no material list: it brings the grey default as its own third material.
    EXPECT_EQ(count, 3u);
    auto* records = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(records[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_STREQ(records[0].pTextureFilename, "data\\t.bmp");
    EXPECT_EQ(records[1].MatD3D.Diffuse.a, 0.5f);
    EXPECT_EQ(records[1].MatD3D.Emissive.a, 1.0f);
    EXPECT_EQ(records[1].pTextureFilename, nullptr);
    EXPECT_EQ(records[2].MatD3D.Diffuse.r, 0.5f);
    EXPECT_EQ(mesh->GetNumFaces(), 3u);
    EXPECT_EQ(mesh->GetNumVertices(), 7u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ));
    // Faces sorted by subset: A's second face (material 0), its first, then B's.
    device->draws.clear();
    for (DWORD s = 0; s < count; ++s) {
        mesh->DrawSubset(s);
    }
    ASSERT_EQ(device->draws.size(), 3u);
    EXPECT_EQ(device->draws[0], (DrawCall{D3DPT_TRIANGLELIST, 0, 4, 0, 1}));
    EXPECT_EQ(device->draws[1], (DrawCall{D3DPT_TRIANGLELIST, 0, 3, 3, 1}));
    EXPECT_EQ(device->draws[2], (DrawCall{D3DPT_TRIANGLELIST, 4, 3, 6, 1}));
    EXPECT_EQ(adjacency->GetBufferSize(), 36u);
    auto* adj = static_cast<DWORD*>(adjacency->GetBufferPointer());
    EXPECT_EQ(std::count(adj, adj + 9, 0xFFFFFFFFu), 7); // one shared edge, counted twice
    adjacency->Release();
    materials->Release();
    mesh->Release();
}

TEST_F(MeshTest, LoadMeshFromXDefaultsAndFailures) {
    std::string text = "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,2;; }";
    ASSERT_TRUE(bmptest::writeFile("load_plain.x", std::vector<uint8_t>(text.begin(), text.end())));
    LPD3DXMESH mesh = nullptr;
    LPD3DXBUFFER materials = nullptr;
    DWORD count = 0;
    // Outputs other than the mesh may be left out.
    ASSERT_EQ(D3DXLoadMeshFromX("load_plain.x", D3DXMESH_MANAGED, device, nullptr, nullptr, nullptr,
                                &mesh),
              D3D_OK);
    mesh->Release();
    ASSERT_EQ(D3DXLoadMeshFromX("load_plain.x", D3DXMESH_MANAGED, device, nullptr, &materials,
                                &count, &mesh),
              D3D_OK);
    ASSERT_EQ(count, 1u);
    auto* grey = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(grey->MatD3D.Diffuse.r, 0.5f);
    EXPECT_EQ(grey->MatD3D.Diffuse.a, 0.0f);
    EXPECT_EQ(grey->MatD3D.Specular.g, 0.5f);
    EXPECT_EQ(grey->MatD3D.Ambient.r, 0.0f);
    EXPECT_EQ(grey->MatD3D.Power, 0.0f);
    EXPECT_EQ(grey->pTextureFilename, nullptr);
    materials->Release();
    mesh->Release();

    mesh = nullptr;
    materials = nullptr;
    text = "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2; 0,1;; }";
    ASSERT_TRUE(bmptest::writeFile("load_bad.x", std::vector<uint8_t>(text.begin(), text.end())));
    EXPECT_EQ(D3DXLoadMeshFromX("load_bad.x", D3DXMESH_MANAGED, device, nullptr, &materials, &count,
                                &mesh),
              E_FAIL);
    text = "xof 0302txt 0032\nFrame { }";
    ASSERT_TRUE(bmptest::writeFile("load_empty.x", std::vector<uint8_t>(text.begin(), text.end())));
    EXPECT_EQ(D3DXLoadMeshFromX("load_empty.x", D3DXMESH_MANAGED, device, nullptr, &materials,
                                &count, &mesh),
              E_FAIL);
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromX("data\\missing.x", D3DXMESH_MANAGED, device, nullptr,
                                         &materials, &count, &mesh)));
    EXPECT_EQ(
        D3DXLoadMeshFromX(nullptr, D3DXMESH_MANAGED, device, nullptr, &materials, &count, &mesh),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadMeshFromX("load_plain.x", D3DXMESH_MANAGED, device, nullptr, &materials,
                                &count, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(materials, nullptr);
}
