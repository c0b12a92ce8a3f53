#include "ShaderCache.h"

#include <SDL_log.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool ShaderKey::operator==(const ShaderKey& other) const {
    return std::memcmp(this, &other, sizeof(ShaderKey)) == 0;
}

size_t ShaderKeyHash::operator()(const ShaderKey& key) const {
    // FNV-1a over the bytes of the key.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&key);
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < sizeof(ShaderKey); ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

namespace {

uint64_t processCompiles = 0;

int texCoordCount(uint32_t fvf) {
    return static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
}

bool isTransformed(uint32_t fvf) {
    return (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
}

std::string argument(uint8_t arg, bool hasTexture) {
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        base = "diffuse";
        break;
    case D3DTA_CURRENT:
        base = "current";
        break;
    case D3DTA_TEXTURE:
        // A read without a texture gives (0, 0, 0, 0).
        base = hasTexture ? "tex" : "vec4(0.0)";
        break;
    case D3DTA_TFACTOR:
        base = "uTextureFactor";
        break;
    case D3DTA_SPECULAR:
        base = "specular";
        break;
    case D3DTA_TEMP:
        base = "temp";
        break;
    default:
        base = "vec4(0.0)";
        break;
    }
    if (arg & D3DTA_ALPHAREPLICATE) {
        base = "vec4((" + base + ").a)";
    }
    if (arg & D3DTA_COMPLEMENT) {
        base = "(vec4(1.0) - " + base + ")";
    }
    return base;
}

// The operation as a vec4 expression; the caller keeps .rgb or .a of it.
std::string operation(uint8_t op, const std::string& a0, const std::string& a1,
                      const std::string& a2, const char* textureAlpha) {
    switch (op) {
    case D3DTOP_SELECTARG1:
    case D3DTOP_PREMODULATE:
    case D3DTOP_BUMPENVMAP:
    case D3DTOP_BUMPENVMAPLUMINANCE:
        return a1;
    case D3DTOP_SELECTARG2:
        return a2;
    case D3DTOP_MODULATE:
        return a1 + " * " + a2;
    case D3DTOP_MODULATE2X:
        return "(" + a1 + " * " + a2 + ") * 2.0";
    case D3DTOP_MODULATE4X:
        return "(" + a1 + " * " + a2 + ") * 4.0";
    case D3DTOP_ADD:
        return a1 + " + " + a2;
    case D3DTOP_ADDSIGNED:
        return a1 + " + " + a2 + " - vec4(0.5)";
    case D3DTOP_ADDSIGNED2X:
        return "(" + a1 + " + " + a2 + " - vec4(0.5)) * 2.0";
    case D3DTOP_SUBTRACT:
        return a1 + " - " + a2;
    case D3DTOP_ADDSMOOTH:
        return a1 + " + " + a2 + " - " + a1 + " * " + a2;
    case D3DTOP_BLENDDIFFUSEALPHA:
        return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
        return std::string("mix(") + a2 + ", " + a1 + ", " + textureAlpha + ")";
    case D3DTOP_BLENDFACTORALPHA:
        return "mix(" + a2 + ", " + a1 + ", uTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return a1 + " + " + a2 + " * (1.0 - " + textureAlpha + ")";
    case D3DTOP_BLENDCURRENTALPHA:
        return "mix(" + a2 + ", " + a1 + ", current.a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        return a1 + " + (" + a1 + ").a * " + a2;
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        return a1 + " * " + a2 + " + vec4((" + a1 + ").a)";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        return "(1.0 - (" + a1 + ").a) * " + a2 + " + " + a1;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        return "(vec4(1.0) - " + a1 + ") * " + a2 + " + vec4((" + a1 + ").a)";
    case D3DTOP_DOTPRODUCT3:
        return "vec4(4.0 * dot((" + a1 + ").rgb - 0.5, (" + a2 + ").rgb - 0.5))";
    case D3DTOP_MULTIPLYADD:
        return a0 + " + " + a1 + " * " + a2;
    case D3DTOP_LERP:
        return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
    default:
        return "current";
    }
}

const char* comparison(uint8_t func) {
    switch (func) {
    case D3DCMP_NEVER:
        return "false";
    case D3DCMP_LESS:
        return "a8 < uAlphaRef";
    case D3DCMP_EQUAL:
        return "a8 == uAlphaRef";
    case D3DCMP_LESSEQUAL:
        return "a8 <= uAlphaRef";
    case D3DCMP_GREATER:
        return "a8 > uAlphaRef";
    case D3DCMP_NOTEQUAL:
        return "a8 != uAlphaRef";
    case D3DCMP_GREATEREQUAL:
        return "a8 >= uAlphaRef";
    default:
        return "true";
    }
}

void append(std::string& out, const char* format, int value) {
    char line[256];
    std::snprintf(line, sizeof(line), format, value, value, value, value);
    out += line;
}

} // namespace

std::string ShaderCache::vertexSource(const ShaderKey& key) {
    const uint32_t fvf = key.fvf;
    const bool rhw = isTransformed(fvf);
    const bool hasNormal = (fvf & D3DFVF_NORMAL) != 0;
    const bool hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    const bool hasSpecular = (fvf & D3DFVF_SPECULAR) != 0;
    const bool hasPsize = (fvf & D3DFVF_PSIZE) != 0;
    const bool lit = key.lighting && !rhw;
    const char* qualifier = key.flat ? "flat " : "";
    std::string s = glShaderPrologue();
    if (key.pointQuads) {
        // The geometry stage reads these under other names and writes them on.
        s += "#define vDiffuse gDiffuse\n#define vSpecular gSpecular\n";
        for (int i = 0; i < texCoordCount(fvf); ++i) {
            append(s, "#define vTex%d gTex%d\n", i);
        }
    }
    s += "layout(location = 0) in vec4 aPosition;\n";
    if (hasNormal) {
        s += "layout(location = 1) in vec3 aNormal;\n";
    }
    if (hasPsize) {
        s += "layout(location = 2) in float aPsize;\n";
    }
    // Colours arrive B, G, R, A on the desktop; ES reads their bytes in memory order.
    if (hasDiffuse) {
        s += GL_DIALECT_ES ? "layout(location = 3) in vec4 aDiffuseBytes;\n"
                             "#define aDiffuse aDiffuseBytes.bgra\n"
                           : "layout(location = 3) in vec4 aDiffuse;\n";
    }
    if (hasSpecular) {
        s += GL_DIALECT_ES ? "layout(location = 4) in vec4 aSpecularBytes;\n"
                             "#define aSpecular aSpecularBytes.bgra\n"
                           : "layout(location = 4) in vec4 aSpecular;\n";
    }
    for (int i = 0; i < texCoordCount(fvf); ++i) {
        char line[160];
        std::snprintf(line, sizeof(line),
                      "layout(location = %d) in vec4 aTex%d;\nout vec4 vTex%d;\n",
                      static_cast<int>(ATTR_TEXCOORD0) + i, i, i);
        s += line;
    }
    s += std::string(qualifier) + "out vec4 vDiffuse;\n";
    s += std::string(qualifier) + "out vec4 vSpecular;\n";
    s += "uniform vec4 uScreen;\nuniform vec4 uClipScale;\nuniform vec4 uClipOffset;\n"
         "uniform mat4 uWorldView;\nuniform mat4 uProjection;\nuniform mat3 uNormalMatrix;\n"
         "uniform vec4 uPointParams;\nuniform vec3 uPointScale;\n";
    if (lit) {
        s += "uniform vec4 uMaterialDiffuse;\nuniform vec4 uMaterialAmbient;\n"
             "uniform vec4 uMaterialSpecular;\nuniform vec4 uMaterialEmissive;\n"
             "uniform float uMaterialPower;\nuniform vec4 uGlobalAmbient;\n";
        s += "uniform vec4 uLightDiffuse[8];\nuniform vec4 uLightSpecular[8];\n"
             "uniform vec4 uLightAmbient[8];\nuniform vec4 uLightPosition[8];\n"
             "uniform vec4 uLightDirection[8];\nuniform vec4 uLightAttenuation[8];\n"
             "uniform vec4 uLightSpot[8];\n";
    }
    s += "void main() {\n";
    std::string diffuseIn = hasDiffuse ? "aDiffuse" : "vec4(1.0)";
    std::string specularIn = hasSpecular ? "aSpecular" : "vec4(0.0, 0.0, 0.0, 1.0)";
    if (rhw) {
        // Render-target pixels to GL clip space, with the pixel-centre shift; multiplying by
        // w = 1 / rhw makes the attributes interpolate with perspective.
        s += "    float w = aPosition.w == 0.0 ? 1.0 : 1.0 / aPosition.w;\n"
             "    vec2 ndc = (aPosition.xy + uScreen.z) * uScreen.xy - 1.0;\n"
             "    gl_Position = vec4(ndc, aPosition.z * 2.0 - 1.0, 1.0) * w;\n";
    } else {
        s += "    vec4 eye = uWorldView * vec4(aPosition.xyz, 1.0);\n"
             "    vec4 c = uProjection * eye;\n"
             "    gl_Position = vec4(c.xyz * uClipScale.xyz + c.w * uClipOffset.xyz, c.w);\n";
    }
    if (lit) {
        auto source = [&](uint8_t which, const char* material) {
            if (key.colorVertex && which == D3DMCS_COLOR1 && hasDiffuse) {
                return std::string("aDiffuse");
            }
            if (key.colorVertex && which == D3DMCS_COLOR2 && hasSpecular) {
                return std::string("aSpecular");
            }
            return std::string(material);
        };
        s += "    vec4 md = " + source(key.diffuseSource, "uMaterialDiffuse") + ";\n";
        s += "    vec4 ma = " + source(key.ambientSource, "uMaterialAmbient") + ";\n";
        s += "    vec4 ms = " + source(key.specularSource, "uMaterialSpecular") + ";\n";
        s += "    vec4 me = " + source(key.emissiveSource, "uMaterialEmissive") + ";\n";
        s += "    vec3 ambientSum = vec3(0.0);\n    vec3 diffuseSum = vec3(0.0);\n"
             "    vec3 specularSum = vec3(0.0);\n";
        if (hasNormal) {
            s += "    vec3 n = uNormalMatrix * aNormal;\n";
            if (key.normalizeNormals) {
                s += "    if (dot(n, n) > 0.0) n = normalize(n);\n";
            }
            s += key.localViewer ? "    vec3 toEye = -normalize(eye.xyz);\n"
                                 : "    vec3 toEye = vec3(0.0, 0.0, -1.0);\n";
        }
        for (int i = 0; i < MAX_LIGHTS; ++i) {
            uint8_t type = key.lights[i].type;
            if (type == 0) {
                continue;
            }
            char block[2048];
            if (type == D3DLIGHT_DIRECTIONAL) {
                std::snprintf(block, sizeof(block),
                              "    {\n        vec3 l = -uLightDirection[%d].xyz;\n"
                              "        float att = 1.0;\n",
                              i);
            } else {
                std::snprintf(block, sizeof(block),
                              "    {\n        vec3 d = uLightPosition[%d].xyz - eye.xyz;\n"
                              "        float dist = length(d);\n"
                              "        vec3 l = dist > 0.0 ? d / dist : vec3(0.0, 0.0, 1.0);\n"
                              "        vec4 k = uLightAttenuation[%d];\n"
                              "        float att = dist > k.w ? 0.0 : 1.0 / max(k.x + k.y * dist + "
                              "k.z * dist "
                              "* dist, 1e-20);\n",
                              i, i);
            }
            s += block;
            if (type == D3DLIGHT_SPOT) {
                std::snprintf(block, sizeof(block),
                              "        vec4 spot = uLightSpot[%d];\n"
                              "        float rho = dot(-l, uLightDirection[%d].xyz);\n"
                              "        if (rho <= spot.y) att = 0.0;\n"
                              "        else if (rho <= spot.x) att *= pow((rho - spot.y) / "
                              "max(spot.x - spot.y, 1e-20), spot.z);\n",
                              i, i);
                s += block;
            }
            std::snprintf(block, sizeof(block),
                          "        ambientSum += uLightAmbient[%d].rgb * att;\n", i);
            s += block;
            if (hasNormal) {
                std::snprintf(block, sizeof(block),
                              "        float nl = dot(n, l);\n"
                              "        diffuseSum += uLightDiffuse[%d].rgb * max(nl, 0.0) * att;\n"
                              "        if (nl > 0.0) {\n"
                              "            float nh = dot(n, normalize(l + toEye));\n"
                              "            if (nh > 0.0) specularSum += uLightSpecular[%d].rgb * "
                              "pow(nh, uMaterialPower) * att;\n"
                              "        }\n",
                              i, i);
                s += block;
            }
            s += "    }\n";
        }
        s += "    vDiffuse = vec4(clamp(me.rgb + ma.rgb * (uGlobalAmbient.rgb + ambientSum) + "
             "md.rgb * diffuseSum, 0.0, 1.0), clamp(md.a, 0.0, 1.0));\n";
        s += "    vSpecular = vec4(clamp(ms.rgb * specularSum, 0.0, 1.0), ms.a);\n";
    } else {
        s += "    vDiffuse = " + diffuseIn + ";\n";
        s += "    vSpecular = " + specularIn + ";\n";
    }
    for (int i = 0; i < texCoordCount(fvf); ++i) {
        append(s, "    vTex%d = aTex%d;\n", i);
    }
    if (key.points) {
        // uScreen.w: how many drawn pixels make one of the program's.
        s += hasPsize ? "    float size = aPsize * uScreen.w;\n"
                      : "    float size = uPointParams.x;\n";
        if (key.pointScale && !rhw) {
            s += "    float dist = length(eye.xyz);\n"
                 "    size = uPointParams.w * size * sqrt(1.0 / max(uPointScale.x + uPointScale.y "
                 "* dist + uPointScale.z * dist * dist, 1e-20));\n";
        }
        s += "    gl_PointSize = clamp(size, uPointParams.y, uPointParams.z);\n";
    }
    s += "}\n";
    return s;
}

std::string ShaderCache::fragmentSource(const ShaderKey& key) {
    const uint32_t fvf = key.fvf;
    const char* qualifier = key.flat ? "flat " : "";
    std::string s = glShaderPrologue();
    s += std::string(qualifier) + "in vec4 vDiffuse;\n";
    s += std::string(qualifier) + "in vec4 vSpecular;\n";
    if (key.pointQuads && key.pointSprite) {
        s += "in vec2 vSpriteCoord;\n";
    }
    for (int i = 0; i < texCoordCount(fvf); ++i) {
        append(s, "in vec4 vTex%d;\n", i);
    }
    for (int i = 0; i < key.stageCount; ++i) {
        append(s, "uniform sampler2D uTexture%d;\n", i);
    }
    s += "uniform vec4 uTextureFactor;\nuniform float uAlphaRef;\nout vec4 fragColor;\n";
    s += "void main() {\n    vec4 diffuse = vDiffuse;\n    vec4 specular = vSpecular;\n"
         "    vec4 current = diffuse;\n    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < key.stageCount; ++i) {
        const StageKey& st = key.stages[i];
        s += "    {\n";
        const bool hasTexture = st.hasTexture != 0;
        if (hasTexture) {
            char line[160];
            if (key.pointSprite) {
                std::snprintf(line, sizeof(line), "        vec4 tex = texture(uTexture%d, %s);\n",
                              i, key.pointQuads ? "vSpriteCoord" : "SPRITE_COORD");
            } else if (st.texCoordIndex < texCoordCount(fvf)) {
                std::snprintf(line, sizeof(line),
                              "        vec4 tex = texture(uTexture%d, vTex%d.xy);\n", i,
                              st.texCoordIndex);
            } else {
                // A coordinate set the vertices do not have reads as (0, 0).
                std::snprintf(line, sizeof(line),
                              "        vec4 tex = texture(uTexture%d, vec2(0.0));\n", i);
            }
            s += line;
        }
        const char* textureAlpha = hasTexture ? "tex.a" : "0.0";
        std::string color = operation(st.colorOp, argument(st.colorArg0, hasTexture),
                                      argument(st.colorArg1, hasTexture),
                                      argument(st.colorArg2, hasTexture), textureAlpha);
        s += "        vec3 rgb = (" + color + ").rgb;\n";
        if (st.colorOp == D3DTOP_DOTPRODUCT3) {
            // The dot product goes to every channel, alpha included.
            s += "        float alpha = rgb.r;\n";
        } else if (st.alphaOp == D3DTOP_DISABLE) {
            s += "        float alpha = current.a;\n";
        } else {
            std::string alpha = operation(st.alphaOp, argument(st.alphaArg0, hasTexture),
                                          argument(st.alphaArg1, hasTexture),
                                          argument(st.alphaArg2, hasTexture), textureAlpha);
            s += "        float alpha = (" + alpha + ").a;\n";
        }
        s += st.resultTemp ? "        temp = clamp(vec4(rgb, alpha), 0.0, 1.0);\n"
                           : "        current = clamp(vec4(rgb, alpha), 0.0, 1.0);\n";
        s += "    }\n";
    }
    s += "    vec4 color = current;\n";
    if (key.specularAdd) {
        s += "    color.rgb = min(color.rgb + specular.rgb, vec3(1.0));\n";
    }
    if (key.alphaFunc != 0) {
        // Compared as the 8-bit value the hardware compares.
        s += "    float a8 = floor(color.a * 255.0 + 0.5);\n";
        s += std::string("    if (!(") + comparison(key.alphaFunc) + ")) discard;\n";
    }
    s += "    fragColor = color;\n}\n";
    return s;
}

namespace {

GLuint compile(GLenum type, const std::string& source) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        SDL_LogError(SDL_LOG_CATEGORY_RENDER, "d3d8: shader does not compile:\n%s", log);
        SDL_LogDebug(SDL_LOG_CATEGORY_RENDER, "d3d8: the shader:\n%s", text);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

std::string ShaderCache::geometrySource(const ShaderKey& key) {
    const int texCoords = texCoordCount(key.fvf);
    const std::string qualifier = key.flat ? "flat " : "";
    std::string s = std::string(glShaderPrologue()) +
                    "layout(points) in;\n"
                    "layout(triangle_strip, max_vertices = 4) out;\n"
                    "uniform vec4 uScreen;\n";
    s += qualifier + "in vec4 gDiffuse[];\n" + qualifier + "in vec4 gSpecular[];\n";
    s += qualifier + "out vec4 vDiffuse;\n" + qualifier + "out vec4 vSpecular;\n";
    for (int i = 0; i < texCoords; ++i) {
        append(s, "in vec4 gTex%d[];\nout vec4 vTex%d;\n", i);
    }
    s += "out vec2 vSpriteCoord;\n"
         "void main() {\n"
         "    vec4 c = gl_in[0].gl_Position;\n"
         // As GL does with a point: dropped whole when its centre is outside the clip volume.
         "    if (any(greaterThan(abs(c.xyz), vec3(c.w)))) {\n"
         "        return;\n"
         "    }\n"
         // The size in drawn pixels, at least GL's smallest point, as half a side in clip
         // units: the target is 2 / uScreen.xy program pixels of uScreen.w drawn pixels.
         "    vec2 extent = 0.5 * max(gl_in[0].gl_PointSize, 1.0) * uScreen.xy / uScreen.w * c.w;\n"
         "    for (int i = 0; i < 4; ++i) {\n"
         "        vec2 corner = vec2(float(i & 1), float(i >> 1));\n"
         "        gl_Position = vec4(c.xy + (corner * 2.0 - 1.0) * extent, c.zw);\n"
         "        vDiffuse = gDiffuse[0];\n"
         "        vSpecular = gSpecular[0];\n";
    for (int i = 0; i < texCoords; ++i) {
        append(s, "        vTex%d = gTex%d[0];\n", i);
    }
    // gl_PointCoord with its origin at the lower left: s grows with x, t with y.
    s += "        vSpriteCoord = corner;\n"
         "        EmitVertex();\n"
         "    }\n"
         "}\n";
    return s;
}

ShaderProgram* ShaderCache::get(const ShaderKey& key) {
    auto found = programs.find(key);
    if (found != programs.end()) {
        return found->second.get();
    }
    ++compiles;
    ++processCompiles;
    // A maintainer's aid: every key compiled, for the list the device prepares while loading.
    if (const char* log = std::getenv("LETTERBOX_SHADER_KEYS")) {
        if (std::FILE* out = std::fopen(log, "a")) {
            std::fprintf(out, "%s\n", keyText(key).c_str());
            std::fclose(out);
        }
    }
    GLuint vs = compile(GL_VERTEX_SHADER, vertexSource(key));
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentSource(key));
    GLuint gs = key.pointQuads ? compile(GL_GEOMETRY_SHADER, geometrySource(key)) : 0;
    if (vs == 0 || fs == 0 || (key.pointQuads && gs == 0)) {
        glDeleteShader(vs);
        glDeleteShader(fs);
        glDeleteShader(gs);
        return nullptr;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    if (gs != 0) {
        glAttachShader(program, gs);
    }
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    glDeleteShader(gs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetProgramInfoLog(program, sizeof(log), nullptr, log);
        SDL_LogError(SDL_LOG_CATEGORY_RENDER, "d3d8: program does not link:\n%s", log);
        glDeleteProgram(program);
        return nullptr;
    }
    auto entry = std::make_unique<ShaderProgram>();
    ShaderProgram& p = *entry;
    p.program = program;
    p.screen = glGetUniformLocation(program, "uScreen");
    p.clipScale = glGetUniformLocation(program, "uClipScale");
    p.clipOffset = glGetUniformLocation(program, "uClipOffset");
    p.worldView = glGetUniformLocation(program, "uWorldView");
    p.projection = glGetUniformLocation(program, "uProjection");
    p.normalMatrix = glGetUniformLocation(program, "uNormalMatrix");
    p.textureFactor = glGetUniformLocation(program, "uTextureFactor");
    p.alphaRef = glGetUniformLocation(program, "uAlphaRef");
    p.materialDiffuse = glGetUniformLocation(program, "uMaterialDiffuse");
    p.materialAmbient = glGetUniformLocation(program, "uMaterialAmbient");
    p.materialSpecular = glGetUniformLocation(program, "uMaterialSpecular");
    p.materialEmissive = glGetUniformLocation(program, "uMaterialEmissive");
    p.materialPower = glGetUniformLocation(program, "uMaterialPower");
    p.globalAmbient = glGetUniformLocation(program, "uGlobalAmbient");
    p.lightDiffuse = glGetUniformLocation(program, "uLightDiffuse");
    p.lightSpecular = glGetUniformLocation(program, "uLightSpecular");
    p.lightAmbient = glGetUniformLocation(program, "uLightAmbient");
    p.lightPosition = glGetUniformLocation(program, "uLightPosition");
    p.lightDirection = glGetUniformLocation(program, "uLightDirection");
    p.lightAttenuation = glGetUniformLocation(program, "uLightAttenuation");
    p.lightSpot = glGetUniformLocation(program, "uLightSpot");
    p.pointParams = glGetUniformLocation(program, "uPointParams");
    p.pointScale = glGetUniformLocation(program, "uPointScale");
    // Stage i samples texture unit i, for the program's whole life.
    glUseProgram(program);
    for (int i = 0; i < key.stageCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "uTexture%d", i);
        GLint location = glGetUniformLocation(program, name);
        if (location >= 0) {
            glUniform1i(location, i);
        }
    }
    programs.emplace(key, std::move(entry));
    return &p;
}

ShaderCache::~ShaderCache() {
    clear();
}

void ShaderCache::clear() {
    for (auto& entry : programs) {
        glDeleteProgram(entry.second->program);
    }
    programs.clear();
}

std::string ShaderCache::keyText(const ShaderKey& key) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&key);
    size_t used = sizeof(ShaderKey);
    while (used > 0 && bytes[used - 1] == 0) {
        --used;
    }
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < used; ++i) {
        text += DIGITS[bytes[i] >> 4];
        text += DIGITS[bytes[i] & 15];
    }
    return text;
}

bool ShaderCache::keyFromText(const std::string& text, ShaderKey& key) {
    if (text.size() % 2 != 0 || text.size() > 2 * sizeof(ShaderKey)) {
        return false;
    }
    ShaderKey parsed;
    std::memset(&parsed, 0, sizeof(parsed));
    auto* bytes = reinterpret_cast<uint8_t*>(&parsed);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return false;
        }
        bytes[i / 2] = static_cast<uint8_t>(bytes[i / 2] << 4 | digit);
    }
    key = parsed;
    return true;
}

uint64_t ShaderCache::totalCompiles() {
    return processCompiles;
}
