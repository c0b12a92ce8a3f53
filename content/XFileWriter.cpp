#include "content/XFileWriter.h"

#include <cstdio>
#include <cstring>

namespace content {

namespace {

std::string num(float f) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(f));
    return buf;
}

void materialText(std::string& s, const MeshMaterial& m, const char* indent) {
    std::string in = indent;
    s += in + "Material {\n";
    s += in + "  " + num(m.diffuse[0]) + ";" + num(m.diffuse[1]) + ";" + num(m.diffuse[2]) + ";" +
         num(m.diffuse[3]) + ";;\n";
    s += in + "  " + num(m.power) + ";\n";
    s += in + "  " + num(m.specular[0]) + ";" + num(m.specular[1]) + ";" + num(m.specular[2]) +
         ";;\n";
    s += in + "  " + num(m.emissive[0]) + ";" + num(m.emissive[1]) + ";" + num(m.emissive[2]) +
         ";;\n";
    if (!m.texture.empty()) {
        s += in + "  TextureFilename {\n" + in + "    \"" + m.texture + "\";\n" + in + "  }\n";
    }
    s += in + "}\n";
}

struct Bin {
    std::vector<uint8_t> out;
    void u16(uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void f32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        u32(bits);
    }
    void name(const std::string& n) {
        u16(XFileWriter::TOKEN_NAME);
        u32(static_cast<uint32_t>(n.size()));
        out.insert(out.end(), n.begin(), n.end());
    }
    void string(const std::string& s) {
        u16(XFileWriter::TOKEN_STRING);
        u32(static_cast<uint32_t>(s.size()));
        out.insert(out.end(), s.begin(), s.end());
        u16(XFileWriter::TOKEN_SEMICOLON);
    }
    void ints(const std::vector<uint32_t>& v) {
        u16(XFileWriter::TOKEN_INTEGER_LIST);
        u32(static_cast<uint32_t>(v.size()));
        for (uint32_t x : v) {
            u32(x);
        }
    }
    void floats(const std::vector<float>& v) {
        u16(XFileWriter::TOKEN_FLOAT_LIST);
        u32(static_cast<uint32_t>(v.size()));
        for (float x : v) {
            f32(x);
        }
    }
    void open() { u16(XFileWriter::TOKEN_OBRACE); }
    void close() { u16(XFileWriter::TOKEN_CBRACE); }
};

std::vector<uint32_t> faceList(const MeshBuilder& mesh) {
    std::vector<uint32_t> v{static_cast<uint32_t>(mesh.faces().size())};
    for (const auto& f : mesh.faces()) {
        v.push_back(static_cast<uint32_t>(f.indices.size()));
        v.insert(v.end(), f.indices.begin(), f.indices.end());
    }
    return v;
}

} // namespace

std::string XFileWriter::text(const MeshBuilder& mesh, const std::string& meshName,
                              const std::string& frameName) {
    std::string s = "xof 0303txt 0032\n\n";
    std::string in;
    if (!frameName.empty()) {
        s += "Frame " + frameName + " {\n";
        s += "  FrameTransformMatrix {\n    1.000000,0.000000,0.000000,0.000000,"
             "0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,"
             "0.000000,0.000000,0.000000,1.000000;;\n  }\n";
        in = "  ";
    }
    const auto& vs = mesh.vertices();
    const auto& fs = mesh.faces();
    s += in + "Mesh " + meshName + " {\n";
    s += in + "  " + std::to_string(vs.size()) + ";\n";
    for (size_t i = 0; i < vs.size(); ++i) {
        const Vec3& p = vs[i].position;
        s += in + "  " + num(p.x) + ";" + num(p.y) + ";" + num(p.z) + ";" +
             (i + 1 < vs.size() ? "," : ";") + "\n";
    }
    auto faces = [&](std::string& out) {
        out += in + "  " + std::to_string(fs.size()) + ";\n";
        for (size_t i = 0; i < fs.size(); ++i) {
            out += in + "  " + std::to_string(fs[i].indices.size()) + ";";
            for (size_t k = 0; k < fs[i].indices.size(); ++k) {
                out += std::to_string(fs[i].indices[k]) + (k + 1 < fs[i].indices.size() ? "," : "");
            }
            out += std::string(";") + (i + 1 < fs.size() ? "," : ";") + "\n";
        }
    };
    faces(s);
    if (mesh.hasNormals) {
        s += in + "  MeshNormals {\n";
        s += in + "  " + std::to_string(vs.size()) + ";\n";
        for (size_t i = 0; i < vs.size(); ++i) {
            const Vec3& n = vs[i].normal;
            s += in + "  " + num(n.x) + ";" + num(n.y) + ";" + num(n.z) + ";" +
                 (i + 1 < vs.size() ? "," : ";") + "\n";
        }
        faces(s);
        s += in + "  }\n";
    }
    if (mesh.hasTextureCoords) {
        s += in + "  MeshTextureCoords {\n";
        s += in + "  " + std::to_string(vs.size()) + ";\n";
        for (size_t i = 0; i < vs.size(); ++i) {
            s += in + "  " + num(vs[i].u) + ";" + num(vs[i].v) + ";" +
                 (i + 1 < vs.size() ? "," : ";") + "\n";
        }
        s += in + "  }\n";
    }
    s += in + "  MeshMaterialList {\n";
    s += in + "  " + std::to_string(mesh.materials().size()) + ";\n";
    s += in + "  " + std::to_string(fs.size()) + ";\n";
    for (size_t i = 0; i < fs.size(); ++i) {
        s += in + "  " + std::to_string(fs[i].material) + (i + 1 < fs.size() ? "," : ";") + "\n";
    }
    for (const auto& m : mesh.materials()) {
        materialText(s, m, (in + "  ").c_str());
    }
    s += in + "  }\n";
    s += in + "}\n";
    if (!frameName.empty()) {
        s += "}\n";
    }
    return s;
}

std::vector<uint8_t> XFileWriter::binary(const MeshBuilder& mesh, const std::string& meshName) {
    Bin b;
    const char header[] = "xof 0303bin 0032";
    b.out.insert(b.out.end(), header, header + 16);
    const auto& vs = mesh.vertices();
    const auto& fs = mesh.faces();
    b.name("Mesh");
    b.name(meshName);
    b.open();
    b.ints({static_cast<uint32_t>(vs.size())});
    std::vector<float> pos;
    for (const auto& v : vs) {
        pos.insert(pos.end(), {v.position.x, v.position.y, v.position.z});
    }
    b.floats(pos);
    b.ints(faceList(mesh));
    if (mesh.hasNormals) {
        b.name("MeshNormals");
        b.open();
        b.ints({static_cast<uint32_t>(vs.size())});
        std::vector<float> nor;
        for (const auto& v : vs) {
            nor.insert(nor.end(), {v.normal.x, v.normal.y, v.normal.z});
        }
        b.floats(nor);
        b.ints(faceList(mesh));
        b.close();
    }
    if (mesh.hasTextureCoords) {
        b.name("MeshTextureCoords");
        b.open();
        b.ints({static_cast<uint32_t>(vs.size())});
        std::vector<float> uv;
        for (const auto& v : vs) {
            uv.insert(uv.end(), {v.u, v.v});
        }
        b.floats(uv);
        b.close();
    }
    b.name("MeshMaterialList");
    b.open();
    std::vector<uint32_t> list{static_cast<uint32_t>(mesh.materials().size()),
                               static_cast<uint32_t>(fs.size())};
    for (const auto& f : fs) {
        list.push_back(f.material);
    }
    b.ints(list);
    for (const auto& m : mesh.materials()) {
        b.name("Material");
        b.open();
        b.floats({m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.power, m.specular[0],
                  m.specular[1], m.specular[2], m.emissive[0], m.emissive[1], m.emissive[2]});
        if (!m.texture.empty()) {
            b.name("TextureFilename");
            b.open();
            b.string(m.texture);
            b.close();
        }
        b.close();
    }
    b.close();
    b.close();
    return b.out;
}

} // namespace content
