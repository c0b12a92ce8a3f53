#include "BitmapFiles.h"
#include "XFileTestData.h"
#include "d3dx/XMeshFile.h"
#include "d3dx/XTemplateBlock.h"
#include <d3dx8.h>
#include <dxfile.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Component by component, so that failures show the numbers.
#define EXPECT_VEC3(v, X, Y, Z)                                                                    \
    do {                                                                                           \
        EXPECT_FLOAT_EQ((v).x, X);                                                                 \
        EXPECT_FLOAT_EQ((v).y, Y);                                                                 \
        EXPECT_FLOAT_EQ((v).z, Z);                                                                 \
    } while (0)

namespace {

// Writes the text to a file of this name and reads it as a mesh file.
HRESULT readText(const std::string& name, const std::string& body, MeshData& mesh, int& count) {
    std::string text = "xof 0302txt 0032\n" + body;
    EXPECT_TRUE(bmptest::writeFile(name, std::vector<uint8_t>(text.begin(), text.end())));
    return XMeshFile::read(name.c_str(), mesh, count);
}

const char* QUAD = R"(Mesh Quad {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  1; 4; 0,1,2,3;;
)";

} // namespace

TEST(XTemplateBlock, BinaryTemplatesOfTheStandardSet) {
    const std::vector<uint8_t>& block = xTemplateBlock();
    ASSERT_EQ(block.size(), 3278u);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 16), "xof 0302bin 0064");
    // The first token: template, then the counted name "Header", then a brace and the GUID.
    EXPECT_EQ(block[16], 31);
    EXPECT_EQ(block[18], 1);
    EXPECT_EQ(block[20], 6);
    EXPECT_EQ(std::string(block.begin() + 24, block.begin() + 30), "Header");
    EXPECT_EQ(block[30], 10);
    EXPECT_EQ(block[32], 5);
    EXPECT_EQ(block[34], 0x43); // 3D82AB43, little-endian
    EXPECT_EQ(block[37], 0x3D);

    // The parser takes it, and a file may then use every template by name.
    LPDIRECTXFILE file = nullptr;
    ASSERT_EQ(DirectXFileCreate(&file), DXFILE_OK);
    ASSERT_EQ(file->RegisterTemplates(const_cast<uint8_t*>(block.data()), 3278), DXFILE_OK);
    std::string text = "xof 0302txt 0032 RightHanded { 1; } Guid { 1; 2; 3; 1,2,3,4,5,6,7,8; }"
                       " AnimationKey { 0; 1; 5; 3; 1.0, 2.0, 3.0;;; }";
    DXFILELOADMEMORY memory{text.data(), static_cast<DWORD>(text.size())};
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e), DXFILE_OK);
    LPDIRECTXFILEDATA data = nullptr;
    int objects = 0;
    while (SUCCEEDED(e->GetNextDataObject(&data))) {
        ++objects;
        data->Release();
    }
    EXPECT_EQ(objects, 3);
    e->Release();
    file->Release();
}

TEST(XMeshFile, FacesFanIntoTrianglesAndFramesMoveVertices) {
    MeshData mesh;
    int count = 0;
    std::string body = std::string("Frame Root {\n FrameTransformMatrix { 1,0,0,0, 0,1,0,0, "
                                   "0,0,1,0, 0,1,0,1;; }\n") +
                       QUAD + "} }";
    ASSERT_EQ(readText("mesh_frame.x", body, mesh, count), S_OK);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(mesh.vertexCount(), 4u);
    EXPECT_VEC3(mesh.vertices[2].position, 1, 2, 0); // one unit higher
    // The quad (0, 1, 2, 3) becomes (0, 1, 2) and (0, 2, 3).
    EXPECT_EQ(mesh.indices, (std::vector<DWORD>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh.attributes, (std::vector<DWORD>{0, 0}));
    EXPECT_EQ(mesh.fvf(), DWORD(D3DFVF_XYZ));
    ASSERT_EQ(mesh.materials.size(), 1u); // the grey default
    EXPECT_EQ(mesh.materials[0].material.Diffuse.g, 0.5f);
    EXPECT_FALSE(mesh.materials[0].hasTexture);
}

TEST(XMeshFile, TransformsStayInsideTheirFrame) {
    MeshData mesh;
    int count = 0;
    // The frame's own transform moves its mesh by x + 5; the mesh after the frame
    // is not moved; a top-level transform affects nothing.
    std::string body =
        std::string("FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 9,9,9,1;; }\n"
                    "Frame A { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 5,0,0,1;; }\n") +
        QUAD + "} }\n" + QUAD + "}";
    ASSERT_EQ(readText("mesh_scopes.x", body, mesh, count), S_OK);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(mesh.vertexCount(), 8u);
    EXPECT_VEC3(mesh.vertices[1].position, 6, 0, 0);
    EXPECT_VEC3(mesh.vertices[5].position, 1, 0, 0);
}

TEST(XMeshFile, MergedMeshesOffsetIndicesSubsetsAndMaterials) {
    MeshData mesh;
    int count = 0;
    std::string body = R"(
Material Shared { 0;1;0;1;; 4; 1;1;1;; 0;0;0;; }
Mesh A {
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  1; 3; 0,1,2;;
  MeshMaterialList { 2; 1; 1;;
    Material { 1;0;0;1;; 2; 0;0;0;; 0;0;0;; TextureFilename { "a.bmp"; } }
    { Shared } }
}
Mesh B {
  4; 0;0;1;, 1;0;1;, 1;1;1;, 0;1;1;;
  2; 3; 0,1,2;, 3; 0,2,3;;
  MeshMaterialList { 1; 2; 0, 0;; { Shared } }
  MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
}
)";
    ASSERT_EQ(readText("mesh_merge.x", body, mesh, count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(mesh.vertexCount(), 7u);
    EXPECT_EQ(mesh.indices, (std::vector<DWORD>{0, 1, 2, 3, 4, 5, 3, 5, 6}));
    EXPECT_EQ(mesh.attributes, (std::vector<DWORD>{1, 2, 2}));
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_TRUE(mesh.materials[0].hasTexture);
    EXPECT_EQ(mesh.materials[0].textureName, "a.bmp");
    EXPECT_EQ(mesh.materials[0].material.Diffuse.r, 1.0f);
    EXPECT_EQ(mesh.materials[0].material.Specular.a, 1.0f);
    EXPECT_EQ(mesh.materials[0].material.Power, 2.0f);
    EXPECT_EQ(mesh.materials[1].material.Diffuse.g, 1.0f);
    EXPECT_FALSE(mesh.materials[1].hasTexture);
    // B's texture coordinates make the merged format carry them (A's are zero).
    EXPECT_EQ(mesh.fvf(), DWORD(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(mesh.vertices[5].u, 1.0f);
    EXPECT_EQ(mesh.vertices[0].u, 0.0f);
}

TEST(XMeshFile, NormalsSplitVerticesAndFollowTheFan) {
    MeshData mesh;
    int count = 0;
    std::string body = R"(
Frame { FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
Mesh {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3; 0,1,2;, 3; 0,2,3;;
  MeshNormals { 2; 0;0;-1;, 0;0;1;; 2; 3; 0,0,0;, 3; 1,1,1;; }
  MeshVertexColors { 1; 2; 1;0;0;1;; }
} }
)";
    ASSERT_EQ(readText("mesh_normals.x", body, mesh, count), S_OK);
    // Vertices 0 and 2 occur with both normals: 6 vertices in all.
    EXPECT_EQ(mesh.vertexCount(), 6u);
    EXPECT_EQ(mesh.fvf(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE));
    const MeshVertex& first = mesh.vertices[mesh.indices[0]];
    const MeshVertex& later = mesh.vertices[mesh.indices[3]];
    EXPECT_VEC3(first.position, later.position.x, later.position.y, later.position.z);
    EXPECT_VEC3(first.normal, 0, 0, -1); // scaled by 2, then normalised
    EXPECT_VEC3(later.normal, 0, 0, 1);
    EXPECT_EQ(mesh.vertices[mesh.indices[2]].diffuse, 0xFFFF0000u);
    EXPECT_VEC3(mesh.vertices[mesh.indices[2]].position, 2, 2, 0);
}

TEST(XMeshFile, MalformedMeshesFail) {
    MeshData mesh;
    int count = 0;
    struct Case {
        const char* what;
        std::string body;
    };
    const Case cases[] = {
        {"a face of two indices", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2; 0,1;; }"},
        {"an index past the vertices", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,3;; }"},
        {"texture coordinates for fewer vertices",
         std::string(QUAD) + "MeshTextureCoords { 3; 0;0;, 1;0;, 1;1;; } }"},
        {"normals for fewer faces", std::string(QUAD) + "MeshNormals { 1; 0;0;1;; 0; ; } }"},
        {"normal faces of another size",
         std::string(QUAD) + "MeshNormals { 1; 0;0;1;; 1; 3; 0,0,0;; } }"},
        {"material indexes for more faces than there are",
         std::string(QUAD) + "MeshMaterialList { 1; 2; 0, 0;; Material { 1;1;1;1;; 0; "
                             "0;0;0;; 0;0;0;; } } }"},
        {"fewer materials than declared",
         std::string(QUAD) + "MeshMaterialList { 2; 1; 0;; Material { 1;1;1;1;; 0; "
                             "0;0;0;; 0;0;0;; } } }"},
        {"a material index past the list",
         std::string(QUAD) + "MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; "
                             "0;0;0;; 0;0;0;; } } }"},
        {"a frame that contains itself", std::string("Frame Loop { { Loop } ") + QUAD + "} }"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readText("mesh_bad.x", c.body, mesh, count), E_FAIL) << c.what;
    }
    // Faults the parser finds come back as its own codes.
    EXPECT_EQ(readText("mesh_bad.x", "Mesh { 3; 0;0;0;; }", mesh, count), DXFILEERR_PARSEERROR);
    EXPECT_EQ(XMeshFile::read("no_such_mesh.x", mesh, count), DXFILEERR_FILENOTFOUND);
    // No mesh at all is not a fault here; the loader makes it one.
    EXPECT_EQ(readText("mesh_none.x", "Frame { }", mesh, count), S_OK);
    EXPECT_EQ(count, 0);
}

TEST(XMeshFile, BinaryFileReadsLikeText) {
    std::vector<uint8_t> bytes = xfiletest::binaryScene(false);
    ASSERT_TRUE(bmptest::writeFile("mesh_binary.x", bytes));
    MeshData mesh;
    int count = 0;
    ASSERT_EQ(XMeshFile::read("mesh_binary.x", mesh, count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_VEC3(mesh.vertices[3].position, 0, 2, 0); // moved up by the frame
    ASSERT_EQ(mesh.materials.size(), 1u);
    EXPECT_EQ(mesh.materials[0].textureName, "data\\red.bmp");
    EXPECT_EQ(mesh.materials[0].material.Power, 8.0f);
}
