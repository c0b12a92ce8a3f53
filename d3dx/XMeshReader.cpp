#include "d3dx/XMeshReader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include <d3dx8.h>
#include <rmxfguid.h>

namespace {

// Bounds-checked reads from a data block; any read past the end marks it bad.
class Reader {
public:
    Reader() : bytes(nullptr), size(0) {}
    Reader(const void* data, DWORD size) : bytes(static_cast<const uint8_t*>(data)), size(size) {}

    // Reads the object's own data; false when the object has none to give.
    bool open(IDirectXFileData* object) {
        DWORD length = 0;
        void* data = nullptr;
        if (FAILED(object->GetData(nullptr, &length, &data))) {
            return false;
        }
        *this = Reader(data, length);
        return true;
    }

    DWORD dword() {
        DWORD value = 0;
        take(&value, 4);
        return value;
    }
    float real() {
        float value = 0;
        take(&value, 4);
        return value;
    }
    // Three floats in order (argument evaluation order is unspecified).
    D3DXVECTOR3 vector() {
        D3DXVECTOR3 v;
        v.x = real();
        v.y = real();
        v.z = real();
        return v;
    }
    const char* pointer() {
        const char* value = nullptr;
        take(&value, sizeof(value));
        return value;
    }
    bool has(uint64_t bytesWanted) const { return ok && size - at >= bytesWanted; }
    bool good() const { return ok; }
    uint64_t length() const { return size; }

private:
    void take(void* out, size_t count) {
        if (!has(count)) {
            ok = false;
            return;
        }
        std::memcpy(out, bytes + at, count);
        at += count;
    }

    const uint8_t* bytes;
    uint64_t size;
    uint64_t at = 0;
    bool ok = true;
};

struct Face {
    std::vector<DWORD> indices;
};

// Reads nFaces faces of at least `minimum` indices each, all below `limit`.
bool readFaces(Reader& r, DWORD count, DWORD limit, std::vector<Face>& faces) {
    for (DWORD f = 0; f < count; ++f) {
        DWORD n = r.dword();
        if (!r.good() || n < 3 || !r.has(uint64_t(n) * 4)) {
            return false;
        }
        Face face;
        face.indices.resize(n);
        for (DWORD& index : face.indices) {
            index = r.dword();
            if (index >= limit) {
                return false;
            }
        }
        faces.push_back(std::move(face));
    }
    return true;
}

struct Extras {
    std::vector<std::pair<float, float>> texCoords;
    std::vector<D3DXVECTOR3> normals;
    std::vector<Face> normalFaces;
    std::map<DWORD, D3DCOLOR> colors;
    std::vector<DWORD> faceMaterials;
    std::vector<MeshMaterial> materials;
    bool hasNormals = false, hasColors = false, hasTexCoords = false;
};

D3DCOLOR toColor(float r, float g, float b, float a) {
    auto byte = [](float v) {
        return static_cast<DWORD>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
    };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

HRESULT readMaterial(IDirectXFileData* object, MeshMaterial& out) {
    Reader r;
    if (!r.open(object)) {
        return E_FAIL;
    }
    D3DMATERIAL8& m = out.material;
    m.Diffuse = {r.real(), r.real(), r.real(), r.real()};
    m.Power = r.real();
    m.Specular = {r.real(), r.real(), r.real(), 1.0f};
    m.Emissive = {r.real(), r.real(), r.real(), 1.0f};
    m.Ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    if (!r.good()) {
        return E_FAIL;
    }
    return XMeshReader::forEachChild(object, [&](IDirectXFileData* child) {
        const GUID* type = nullptr;
        Reader name;
        if (SUCCEEDED(child->GetType(&type)) && *type == TID_D3DRMTextureFilename &&
            name.open(child)) {
            const char* text = name.pointer();
            if (name.good() && text != nullptr) {
                out.hasTexture = true;
                out.textureName = text;
            }
        }
        return S_OK;
    });
}

HRESULT readMaterialList(IDirectXFileData* object, DWORD faceCount, Extras& extras) {
    Reader r;
    if (!r.open(object)) {
        return E_FAIL;
    }
    DWORD materialCount = r.dword();
    DWORD indexCount = r.dword();
    if (!r.good() || indexCount > faceCount || !r.has(uint64_t(indexCount) * 4)) {
        return E_FAIL;
    }
    extras.faceMaterials.assign(faceCount, 0);
    for (DWORD i = 0; i < indexCount; ++i) {
        extras.faceMaterials[i] = r.dword();
        if (extras.faceMaterials[i] >= materialCount) {
            return E_FAIL; // a face whose material is not in the list
        }
    }
    HRESULT hr = XMeshReader::forEachChild(object, [&](IDirectXFileData* child) {
        const GUID* type = nullptr;
        if (FAILED(child->GetType(&type)) || *type != TID_D3DRMMaterial) {
            return S_OK;
        }
        if (extras.materials.size() >= materialCount) {
            return E_FAIL; // more materials than the list declares
        }
        extras.materials.emplace_back();
        return readMaterial(child, extras.materials.back());
    });
    if (FAILED(hr)) {
        return hr;
    }
    return extras.materials.size() == materialCount ? S_OK : E_FAIL;
}

HRESULT readChild(IDirectXFileData* object, DWORD vertexCount, const std::vector<Face>& faces,
                  Extras& extras) {
    const GUID* type = nullptr;
    if (FAILED(object->GetType(&type))) {
        return S_OK;
    }
    if (*type == TID_D3DRMMeshMaterialList) {
        return readMaterialList(object, static_cast<DWORD>(faces.size()), extras);
    }
    bool known = *type == TID_D3DRMMeshTextureCoords || *type == TID_D3DRMMeshNormals ||
                 *type == TID_D3DRMMeshVertexColors;
    if (!known) {
        return S_OK;
    }
    Reader r;
    if (!r.open(object)) {
        return E_FAIL;
    }
    if (*type == TID_D3DRMMeshTextureCoords) {
        DWORD count = r.dword();
        if (!r.good() || count != vertexCount || !r.has(uint64_t(count) * 8)) {
            return E_FAIL;
        }
        extras.texCoords.resize(count);
        for (auto& uv : extras.texCoords) {
            uv.first = r.real();
            uv.second = r.real();
        }
        extras.hasTexCoords = true;
    } else if (*type == TID_D3DRMMeshNormals) {
        DWORD count = r.dword();
        if (!r.good() || !r.has(uint64_t(count) * 12)) {
            return E_FAIL;
        }
        extras.normals.resize(count);
        for (D3DXVECTOR3& n : extras.normals) {
            n = r.vector();
        }
        DWORD faceCount = r.dword();
        if (!r.good() || faceCount != faces.size() ||
            !readFaces(r, faceCount, count, extras.normalFaces)) {
            return E_FAIL;
        }
        for (size_t f = 0; f < faces.size(); ++f) {
            if (extras.normalFaces[f].indices.size() != faces[f].indices.size()) {
                return E_FAIL;
            }
        }
        extras.hasNormals = true;
    } else {
        DWORD count = r.dword();
        if (!r.good() || !r.has(uint64_t(count) * 20)) {
            return E_FAIL;
        }
        for (DWORD i = 0; i < count; ++i) {
            DWORD index = r.dword();
            float red = r.real(), green = r.real(), blue = r.real(), alpha = r.real();
            if (index < vertexCount) {
                extras.colors[index] = toColor(red, green, blue, alpha);
            }
        }
        extras.hasColors = true;
    }
    return S_OK;
}

HRESULT readMesh(IDirectXFileData* mesh, MeshData& out) {
    Reader r;
    if (!r.open(mesh)) {
        return E_FAIL;
    }
    DWORD vertexCount = r.dword();
    if (!r.good() || !r.has(uint64_t(vertexCount) * 12 + 4)) {
        return E_FAIL;
    }
    std::vector<D3DXVECTOR3> positions(vertexCount);
    for (D3DXVECTOR3& p : positions) {
        p = r.vector();
    }
    DWORD faceCount = r.dword();
    // Every face holds at least its index count.
    if (!r.good() || 8 + 4 * (3 * uint64_t(vertexCount) + faceCount) > r.length()) {
        return E_FAIL;
    }
    std::vector<Face> faces;
    if (!readFaces(r, faceCount, vertexCount, faces)) {
        return E_FAIL;
    }

    Extras extras;
    HRESULT hr = XMeshReader::forEachChild(mesh, [&](IDirectXFileData* child) {
        return readChild(child, vertexCount, faces, extras);
    });
    if (FAILED(hr)) {
        return hr;
    }

    out.hasNormals = extras.hasNormals;
    out.hasColors = extras.hasColors;
    out.hasTexCoords = extras.hasTexCoords;
    out.materials = std::move(extras.materials);

    // One vertex per file vertex, or per (vertex, normal) pair when normals are given.
    std::map<std::pair<DWORD, DWORD>, DWORD> made;
    auto vertexFor = [&](DWORD position, DWORD normal) {
        auto key = std::make_pair(position, extras.hasNormals ? normal : 0);
        auto it = made.find(key);
        if (it != made.end()) {
            return it->second;
        }
        MeshVertex v;
        v.position = positions[position];
        if (extras.hasNormals) {
            v.normal = extras.normals[normal];
        }
        if (extras.hasTexCoords) {
            v.u = extras.texCoords[position].first;
            v.v = extras.texCoords[position].second;
        }
        auto color = extras.colors.find(position);
        if (color != extras.colors.end()) {
            v.diffuse = color->second;
        }
        auto index = static_cast<DWORD>(out.vertices.size());
        out.vertices.push_back(v);
        out.pointReps.push_back(position);
        made.emplace(key, index);
        return index;
    };
    if (!extras.hasNormals) {
        for (DWORD v = 0; v < vertexCount; ++v) {
            vertexFor(v, 0); // keep the file's vertex order
        }
    }
    for (size_t f = 0; f < faces.size(); ++f) {
        const std::vector<DWORD>& corners = faces[f].indices;
        const std::vector<DWORD>* normalCorners =
            extras.hasNormals ? &extras.normalFaces[f].indices : nullptr;
        DWORD material = extras.faceMaterials.empty() ? 0 : extras.faceMaterials[f];
        // A fan: (i0, ik, ik+1) for k = 1 .. n - 2.
        for (size_t k = 1; k + 1 < corners.size(); ++k) {
            for (size_t c : {size_t(0), k, k + 1}) {
                out.indices.push_back(
                    vertexFor(corners[c], normalCorners != nullptr ? (*normalCorners)[c] : 0));
            }
            out.attributes.push_back(material);
        }
    }
    return S_OK;
}

} // namespace

IDirectXFileData* XMeshReader::dataOf(IDirectXFileObject* child) {
    IDirectXFileData* data = nullptr;
    if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&data)))) {
        return data;
    }
    IDirectXFileDataReference* reference = nullptr;
    if (FAILED(child->QueryInterface(IID_IDirectXFileDataReference,
                                     reinterpret_cast<void**>(&reference)))) {
        return nullptr;
    }
    data = nullptr;
    if (FAILED(reference->Resolve(&data))) {
        data = nullptr;
    }
    reference->Release();
    return data;
}

HRESULT XMeshReader::read(IDirectXFileData* mesh, MeshData& out) {
    try {
        return readMesh(mesh, out);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
