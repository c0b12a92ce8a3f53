#include "XFileTestData.h"

#include <cstring>

namespace xfiletest {

const std::string_view TEXT_TEMPLATES = R"(xof 0302txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Coords2d { <F6F23F44-7686-11CF-8F52-0040333594A3> FLOAT u; FLOAT v; }
template Matrix4x4 { <F6F23F45-7686-11CF-8F52-0040333594A3> array FLOAT matrix[16]; }
template ColorRGBA { <35FF44E0-6C7C-11CF-8F52-0040333594A3>
  FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha; }
template ColorRGB { <D3E16E81-7835-11CF-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; }
template TextureFilename { <A42790E1-7810-11CF-8F52-0040333594A3> STRING filename; }
template Material { <3D82AB4D-62DA-11CF-AB39-0020AF71E433>
  ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [ ... ] }
template MeshFace { <3D82AB5F-62DA-11CF-AB39-0020AF71E433>
  DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices]; }
template MeshTextureCoords { <F6F23F40-7686-11CF-8F52-0040333594A3>
  DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords]; }
template MeshMaterialList { <F6F23F42-7686-11CF-8F52-0040333594A3>
  DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; [Material] }
template Mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433>
  DWORD nVertices; array Vector vertices[nVertices];
  DWORD nFaces; array MeshFace faces[nFaces]; [...] }
template FrameTransformMatrix { <F6F23F41-7686-11CF-8F52-0040333594A3> Matrix4x4 frameMatrix; }
template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433> [...] }
)";

const std::string_view TEXT_SCENE = R"(xof 0302txt 0032
// a comment
Material Red {
  1.0; 0.0; 0.0; 1.0;;
  8.0;
  0.5; 0.5; 0.5;;
  0.0; 0.0; 0.0;;
  TextureFilename { "data\red.bmp"; }
}
Frame Root {
  FrameTransformMatrix {
    1.0, 0.0, 0.0, 0.0,
    0.0, 1.0, 0.0, 0.0,
    0.0, 0.0, 1.0, 0.0,
    0.0, 1.0, 0.0, 1.0;;
  }
  Mesh Quad {
    4;
    0.0; 0.0; 0.0;,
    1.0; 0.0; 0.0;,
    1.0; 1.0; 0.0;,
    0.0; 1.0; 0.0;;
    2;
    3; 0, 1, 2;,
    3; 0, 2, 3;;
    MeshMaterialList {
      1; 2; 0, 0;;
      { Red }
    }
  }
}
)";

BinaryWriter::BinaryWriter(bool useDoubles) : doubles(useDoubles) {
    const char* header = useDoubles ? "xof 0302bin 0064" : "xof 0302bin 0032";
    out.assign(header, header + 16);
}

void BinaryWriter::word(uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void BinaryWriter::dword(uint32_t v) {
    word(static_cast<uint16_t>(v));
    word(static_cast<uint16_t>(v >> 16));
}

BinaryWriter& BinaryWriter::token(uint16_t code) {
    word(code);
    return *this;
}

BinaryWriter& BinaryWriter::name(std::string_view text) {
    word(1);
    dword(static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    return *this;
}

BinaryWriter& BinaryWriter::string(std::string_view text) {
    word(2);
    dword(static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    dword(20); // terminated by a semicolon
    return *this;
}

BinaryWriter& BinaryWriter::integer(uint32_t value) {
    word(3);
    dword(value);
    return *this;
}

BinaryWriter& BinaryWriter::guid(uint32_t d1, uint16_t d2, uint16_t d3, const uint8_t (&d4)[8]) {
    word(5);
    dword(d1);
    word(d2);
    word(d3);
    out.insert(out.end(), d4, d4 + 8);
    return *this;
}

BinaryWriter& BinaryWriter::integers(const std::vector<uint32_t>& values) {
    word(6);
    dword(static_cast<uint32_t>(values.size()));
    for (uint32_t v : values) {
        dword(v);
    }
    return *this;
}

BinaryWriter& BinaryWriter::floats(const std::vector<double>& values) {
    word(7);
    dword(static_cast<uint32_t>(values.size()));
    for (double v : values) {
        uint8_t bytes[8];
        if (doubles) {
            std::memcpy(bytes, &v, 8);
            out.insert(out.end(), bytes, bytes + 8);
        } else {
            float f = static_cast<float>(v);
            std::memcpy(bytes, &f, 4);
            out.insert(out.end(), bytes, bytes + 4);
        }
    }
    return *this;
}

std::vector<uint8_t> binaryScene(bool doubles) {
    constexpr uint16_t OBRACE = 10, CBRACE = 11;
    BinaryWriter w(doubles);
    w.name("Frame").name("Root").token(OBRACE);
    w.name("FrameTransformMatrix").token(OBRACE);
    w.floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1});
    w.token(CBRACE);
    w.name("Mesh").name("Quad").token(OBRACE);
    w.integers({4});
    w.floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    w.integers({2, 3, 0, 1, 2, 3, 0, 2, 3});
    w.name("MeshMaterialList").token(OBRACE);
    w.integers({1, 2, 0, 0});
    w.name("Material").token(OBRACE);
    w.floats({1, 0, 0, 1, 8, 0.5, 0.5, 0.5, 0, 0, 0});
    w.name("TextureFilename").token(OBRACE).string("data\\red.bmp").token(CBRACE);
    w.token(CBRACE); // Material
    w.token(CBRACE); // MeshMaterialList
    w.token(CBRACE); // Mesh
    w.token(CBRACE); // Frame
    return w.bytes();
}

} // namespace xfiletest
