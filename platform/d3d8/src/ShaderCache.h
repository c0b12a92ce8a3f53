// Generates the GLSL programs that stand in for the fixed-function pipeline, one per
// combination of the states that change the code, and keeps them for the device's life.
#pragma once

#include "GlCheck.h"
#include "d3d8types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

constexpr int MAX_STAGES = 8;
constexpr int MAX_TEXCOORDS = 8;
constexpr int MAX_LIGHTS = 8;

// Vertex attribute locations, fixed for every program.
enum AttributeLocation : GLuint {
    ATTR_POSITION = 0,
    ATTR_NORMAL = 1,
    ATTR_PSIZE = 2,
    ATTR_DIFFUSE = 3,
    ATTR_SPECULAR = 4,
    ATTR_TEXCOORD0 = 5,
};

struct StageKey {
    uint8_t colorOp;
    uint8_t colorArg0;
    uint8_t colorArg1;
    uint8_t colorArg2;
    uint8_t alphaOp;
    uint8_t alphaArg0;
    uint8_t alphaArg1;
    uint8_t alphaArg2;
    uint8_t resultTemp;    // RESULTARG is TEMP
    uint8_t texCoordIndex; // which coordinate set the stage samples
    uint8_t hasTexture;
    uint8_t pad;
};

struct LightKey {
    uint8_t type; // 0 = off, else D3DLIGHTTYPE
};

// Everything that changes the generated code. Built with every byte set (padding
// included) so it can be hashed and compared as bytes.
struct ShaderKey {
    uint32_t fvf;
    uint8_t stageCount;
    uint8_t alphaFunc; // 0 when the alpha test is off
    uint8_t specularAdd;
    uint8_t flat;
    uint8_t lighting;
    uint8_t localViewer;
    uint8_t normalizeNormals;
    uint8_t colorVertex;
    uint8_t diffuseSource;
    uint8_t specularSource;
    uint8_t ambientSource;
    uint8_t emissiveSource;
    uint8_t points;      // a point list: the size is computed
    uint8_t pointSprite; // texture coordinates run over the sprite
    uint8_t pointScale;
    uint8_t pad;
    LightKey lights[MAX_LIGHTS];
    StageKey stages[MAX_STAGES];

    bool operator==(const ShaderKey& other) const;
};

struct ShaderKeyHash {
    size_t operator()(const ShaderKey& key) const;
};

// A linked program and where its uniforms are.
struct ShaderProgram {
    GLuint program = 0;
    GLint screen = -1;       // vec4: 2 / width, 2 / height, pixel-centre shift, unused
    GLint clipScale = -1;    // vec4: Direct3D clip space to GL clip space, scale
    GLint clipOffset = -1;   // vec4: and offset times w
    GLint worldView = -1;    // mat4
    GLint projection = -1;   // mat4
    GLint normalMatrix = -1; // mat3
    GLint textureFactor = -1;
    GLint alphaRef = -1;
    GLint materialDiffuse = -1;
    GLint materialAmbient = -1;
    GLint materialSpecular = -1;
    GLint materialEmissive = -1;
    GLint materialPower = -1;
    GLint globalAmbient = -1;
    GLint lightDiffuse = -1;
    GLint lightSpecular = -1;
    GLint lightAmbient = -1;
    GLint lightPosition = -1;
    GLint lightDirection = -1;
    GLint lightAttenuation = -1;
    GLint lightSpot = -1;
    GLint pointParams = -1; // vec4: size, min, max, viewport height
    GLint pointScale = -1;  // vec3: A, B, C
    uint64_t appliedVersion = ~0ull;
};

class ShaderCache {
public:
    ShaderCache() = default;
    ~ShaderCache();
    ShaderCache(const ShaderCache&) = delete;
    ShaderCache& operator=(const ShaderCache&) = delete;

    // The program for key, generated and linked on first use; null if it does not link.
    ShaderProgram* get(const ShaderKey& key);
    size_t size() const { return programs.size(); }
    uint64_t compileCount() const { return compiles; }
    void clear();

    static std::string vertexSource(const ShaderKey& key);
    static std::string fragmentSource(const ShaderKey& key);

private:
    std::unordered_map<ShaderKey, std::unique_ptr<ShaderProgram>, ShaderKeyHash> programs;
    uint64_t compiles = 0;
};
