#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small reader of .x files (text and binary) for checking generated meshes: it keeps every
// data object's numbers and strings in order, and its child objects.
struct XObject {
    std::string type;
    std::string name;
    std::vector<double> values;
    std::vector<std::string> strings;
    std::vector<XObject> children;

    const XObject* child(const std::string& t) const;
    std::vector<const XObject*> all(const std::string& t) const;
};

struct XFile {
    bool binary = false;
    std::vector<XObject> objects;
};

// False when the file is malformed.
bool readXFile(const std::vector<uint8_t>& bytes, XFile& out);

// The parts of one Mesh object, checked for consistency by readMesh.
struct XMesh {
    std::vector<double> positions; // 3 per vertex
    std::vector<std::vector<uint32_t>> faces;
    std::vector<double> normals; // 3 per normal
    std::vector<std::vector<uint32_t>> normalFaces;
    std::vector<double> uvs; // 2 per vertex
    std::vector<uint32_t> faceMaterials;
    struct Material {
        std::vector<double> values; // 11: colour, power, specular, emissive
        std::string texture;
    };
    std::vector<Material> materials;
};
bool readMesh(const XObject& mesh, XMesh& out, std::string& error);
