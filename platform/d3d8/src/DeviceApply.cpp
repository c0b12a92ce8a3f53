// Bringing GL up to date with the recorded state at a draw: framebuffer, fixed-function
// GL state, samplers, the generated program and its uniforms.
#include "Device.h"

#include "Direct3D8.h"
#include "Formats.h"
#include "StateValues.h"
#include "Surface.h"
#include "Texture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

GLenum compareFunc(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum blendFactor(DWORD blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum stencilOp(DWORD op) {
    switch (op) {
    case D3DSTENCILOP_ZERO:
        return GL_ZERO;
    case D3DSTENCILOP_REPLACE:
        return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT:
        return GL_INCR;
    case D3DSTENCILOP_DECRSAT:
        return GL_DECR;
    case D3DSTENCILOP_INVERT:
        return GL_INVERT;
    case D3DSTENCILOP_INCR:
        return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR:
        return GL_DECR_WRAP;
    default:
        return GL_KEEP;
    }
}

GLenum addressMode(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE:
        return GL_MIRRORED_REPEAT;
    default:
        return GL_REPEAT;
    }
}

// Whether a colour operation reads its arguments 1, 2 and 0.
void usedArguments(DWORD op, bool& arg1, bool& arg2, bool& arg0) {
    arg1 = op != D3DTOP_SELECTARG2;
    arg2 = op != D3DTOP_SELECTARG1 && op != D3DTOP_PREMODULATE && op != D3DTOP_BUMPENVMAP &&
           op != D3DTOP_BUMPENVMAPLUMINANCE;
    arg0 = op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP;
}

} // namespace

GLuint Device::framebufferFor(GLuint colorTexture, GLuint level, GLuint depth,
                              GLuint multisampledColor) {
    if (multisampledColor != 0) {
        level = MULTISAMPLED_LEVEL; // keyed by the texture it resolves into
    }
    auto key = std::make_tuple(colorTexture, level, depth);
    auto found = framebuffers.find(key);
    if (found != framebuffers.end()) {
        return found->second;
    }
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    boundFramebuffer = framebuffer;
    if (multisampledColor != 0) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  multisampledColor);
    } else {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture,
                               static_cast<GLint>(level));
    }
    if (depth != 0) {
        GLint stencilBits = 0;
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_STENCIL_SIZE, &stencilBits);
        glFramebufferRenderbuffer(
            GL_FRAMEBUFFER, stencilBits > 0 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
            GL_RENDERBUFFER, depth);
    }
    framebuffers.emplace(key, framebuffer);
    return framebuffer;
}

void Device::applyFramebuffer() {
    GLuint color = renderTarget->glTexture();
    GLuint depth = depthStencil != nullptr ? depthStencil->glRenderbuffer() : 0;
    GLuint framebuffer =
        framebufferFor(color, renderTarget->level(), depth, multisampledColorOf(renderTarget));
    if (boundFramebuffer != framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        boundFramebuffer = framebuffer;
    }
    glViewport(0, 0, static_cast<GLsizei>(scale.size(renderTarget->width())),
               static_cast<GLsizei>(scale.size(renderTarget->height())));
    framebufferDirty = false;
}

void Device::setEnabled(GLenum cap, bool enable, int slot) {
    int8_t value = enable ? 1 : 0;
    if (enabledCaps[slot] == value) {
        return;
    }
    enabledCaps[slot] = value;
    if (enable) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

void Device::applyFixedState() {
    const DWORD* rs = renderStates;
    // Drawing is confined to the viewport.
    setEnabled(GL_SCISSOR_TEST, true, 0);
    glScissor(static_cast<GLint>(scale.size(viewport.X)),
              static_cast<GLint>(scale.size(viewport.Y)),
              static_cast<GLsizei>(scale.size(viewport.Width)),
              static_cast<GLsizei>(scale.size(viewport.Height)));

    bool depth = rs[D3DRS_ZENABLE] != D3DZB_FALSE && depthStencil != nullptr;
    setEnabled(GL_DEPTH_TEST, depth, 1);
    if (depth) {
        glDepthFunc(compareFunc(rs[D3DRS_ZFUNC]));
        glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    }

    bool blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    setEnabled(GL_BLEND, blend, 2);
    if (blend) {
        GLenum source = blendFactor(rs[D3DRS_SRCBLEND]);
        GLenum destination = blendFactor(rs[D3DRS_DESTBLEND]);
        if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) {
            source = GL_SRC_ALPHA;
            destination = GL_ONE_MINUS_SRC_ALPHA;
        } else if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) {
            source = GL_ONE_MINUS_SRC_ALPHA;
            destination = GL_SRC_ALPHA;
        }
        glBlendFunc(source, destination);
        GLenum op = GL_FUNC_ADD;
        switch (rs[D3DRS_BLENDOP]) {
        case D3DBLENDOP_SUBTRACT:
            op = GL_FUNC_SUBTRACT;
            break;
        case D3DBLENDOP_REVSUBTRACT:
            op = GL_FUNC_REVERSE_SUBTRACT;
            break;
        case D3DBLENDOP_MIN:
            op = GL_MIN;
            break;
        case D3DBLENDOP_MAX:
            op = GL_MAX;
            break;
        default:
            break;
        }
        glBlendEquation(op);
    }

    // Targets are drawn with y down, which mirrors the winding GL sees: a triangle clockwise
    // on screen is counter-clockwise to GL, its front face.
    DWORD cull = rs[D3DRS_CULLMODE];
    setEnabled(GL_CULL_FACE, cull != D3DCULL_NONE, 3);
    if (cull != D3DCULL_NONE) {
        glCullFace(cull == D3DCULL_CCW ? GL_BACK : GL_FRONT);
    }
    GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? GL_POINT
                  : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                            : GL_FILL;
    glPolygonMode(GL_FRONT_AND_BACK, fill);

    bool stencil = rs[D3DRS_STENCILENABLE] != FALSE && depthStencil != nullptr;
    setEnabled(GL_STENCIL_TEST, stencil, 4);
    if (stencil) {
        glStencilFunc(compareFunc(rs[D3DRS_STENCILFUNC]),
                      static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xff), rs[D3DRS_STENCILMASK]);
        glStencilOp(stencilOp(rs[D3DRS_STENCILFAIL]), stencilOp(rs[D3DRS_STENCILZFAIL]),
                    stencilOp(rs[D3DRS_STENCILPASS]));
        glStencilMask(rs[D3DRS_STENCILWRITEMASK]);
    }

    DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    // A target without alpha keeps alpha 1: nothing ever writes it.
    bool alpha = (mask & D3DCOLORWRITEENABLE_ALPHA) && formatHasAlpha(renderTarget->format());
    glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                (mask & D3DCOLORWRITEENABLE_BLUE) != 0, alpha);
    fixedStateDirty = false;
}

void Device::applySamplers() {
    // Binding a texture is cheap; sampler parameters are set only when a stage state changed.
    for (int stage = 0; stage < MAX_STAGES; ++stage) {
        if (textureDirtyMask & (1u << stage)) {
            Texture* texture = textures[stage];
            GLuint name = texture != nullptr ? texture->glTexture() : 0;
            if (boundTextures[stage] != name) {
                glActiveTexture(GL_TEXTURE0 + stage);
                glBindTexture(GL_TEXTURE_2D, name);
                boundTextures[stage] = name;
            }
        }
        if (!(samplerDirtyMask & (1u << stage))) {
            continue;
        }
        const DWORD* s = stageStates[stage];
        GLuint sampler = samplers[stage];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSU])));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSV])));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                            static_cast<GLint>(addressMode(s[D3DTSS_ADDRESSW])));
        bool magLinear = s[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR;
        bool minLinear = s[D3DTSS_MINFILTER] >= D3DTEXF_LINEAR;
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
        GLenum minFilter;
        switch (s[D3DTSS_MIPFILTER]) {
        case D3DTEXF_NONE:
            // Level 0 only, whatever the texture holds.
            minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
            break;
        case D3DTEXF_POINT:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            break;
        default:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            break;
        }
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
        DWORD border = s[D3DTSS_BORDERCOLOR];
        GLfloat color[4] = {((border >> 16) & 0xff) / 255.0f, ((border >> 8) & 0xff) / 255.0f,
                            (border & 0xff) / 255.0f, ((border >> 24) & 0xff) / 255.0f};
        // ES samplers have neither a border colour nor a bias (the program sets neither).
        if constexpr (!GL_DIALECT_ES) {
            glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, color);
            glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bitsFloat(s[D3DTSS_MIPMAPLODBIAS]));
        }
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(s[D3DTSS_MAXMIPLEVEL]));
    }
    samplerDirtyMask = 0;
    textureDirtyMask = 0;
}

ShaderKey Device::buildShaderKey(D3DPRIMITIVETYPE type) const {
    ShaderKey key;
    std::memset(&key, 0, sizeof(key));
    const DWORD* rs = renderStates;
    key.fvf = vertexShader;
    bool rhw = (vertexShader & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    key.alphaFunc = rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS
                        ? static_cast<uint8_t>(rs[D3DRS_ALPHAFUNC])
                        : 0;
    key.specularAdd = rs[D3DRS_SPECULARENABLE] ? 1 : 0;
    key.points = type == D3DPT_POINTLIST || rs[D3DRS_FILLMODE] == D3DFILL_POINT;
    key.pointSprite = key.points && rs[D3DRS_POINTSPRITEENABLE];
    key.pointScale = key.points && rs[D3DRS_POINTSCALEENABLE] && !rhw;
    key.pointQuads = pointQuads && type == D3DPT_POINTLIST;
    key.lighting = rs[D3DRS_LIGHTING] && !rhw;
    if (key.lighting) {
        key.localViewer = rs[D3DRS_LOCALVIEWER] ? 1 : 0;
        key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] ? 1 : 0;
        key.colorVertex = rs[D3DRS_COLORVERTEX] ? 1 : 0;
        key.diffuseSource = static_cast<uint8_t>(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        key.specularSource = static_cast<uint8_t>(rs[D3DRS_SPECULARMATERIALSOURCE]);
        key.ambientSource = static_cast<uint8_t>(rs[D3DRS_AMBIENTMATERIALSOURCE]);
        key.emissiveSource = static_cast<uint8_t>(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
        int used = 0;
        for (size_t i = 0; i < lights.size() && used < MAX_LIGHTS; ++i) {
            if (lightEnabled[i]) {
                key.lights[used++].type = static_cast<uint8_t>(lights[i].Type);
            }
        }
    }
    int count = 0;
    for (int i = 0; i < MAX_STAGES; ++i) {
        const DWORD* s = stageStates[i];
        DWORD colorOp = s[D3DTSS_COLOROP];
        if (colorOp == D3DTOP_DISABLE) {
            break;
        }
        bool hasTexture = textures[i] != nullptr;
        if (!hasTexture) {
            // A colour operation reading a texture that is not there ends the cascade: the
            // colour and alpha that entered the stage come out.
            bool arg1, arg2, arg0;
            usedArguments(colorOp, arg1, arg2, arg0);
            if ((arg1 && (s[D3DTSS_COLORARG1] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
                (arg2 && (s[D3DTSS_COLORARG2] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
                (arg0 && (s[D3DTSS_COLORARG0] & D3DTA_SELECTMASK) == D3DTA_TEXTURE)) {
                break;
            }
        }
        StageKey& st = key.stages[i];
        st.colorOp = static_cast<uint8_t>(colorOp);
        st.colorArg0 = static_cast<uint8_t>(s[D3DTSS_COLORARG0]);
        st.colorArg1 = static_cast<uint8_t>(s[D3DTSS_COLORARG1]);
        st.colorArg2 = static_cast<uint8_t>(s[D3DTSS_COLORARG2]);
        st.alphaOp = static_cast<uint8_t>(s[D3DTSS_ALPHAOP]);
        st.alphaArg0 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG0]);
        st.alphaArg1 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG1]);
        st.alphaArg2 = static_cast<uint8_t>(s[D3DTSS_ALPHAARG2]);
        st.resultTemp = s[D3DTSS_RESULTARG] == D3DTA_TEMP;
        st.texCoordIndex = static_cast<uint8_t>(s[D3DTSS_TEXCOORDINDEX] & 0xffff);
        st.hasTexture = hasTexture;
        ++count;
    }
    key.stageCount = static_cast<uint8_t>(count);
    return key;
}

void Device::applyUniforms(ShaderProgram& p) {
    const float targetWidth = static_cast<float>(renderTarget->width());
    const float targetHeight = static_cast<float>(renderTarget->height());
    // Positions stay in the program's pixels: the GL viewport spans the finer grid, and
    // the pixel-centre shift is a fine pixel's.
    const float shift = scale.centreShift();
    glUniform4f(p.screen, 2.0f / targetWidth, 2.0f / targetHeight, shift,
                static_cast<float>(scale.factor()));
    const float vx = static_cast<float>(viewport.X), vy = static_cast<float>(viewport.Y);
    const float vw = static_cast<float>(viewport.Width), vh = static_cast<float>(viewport.Height);
    // Direct3D's clip depth 0..w becomes GL's -w..w, so that GL clips at the near and far
    // planes; MinZ..MaxZ is the GL depth range (see applyDrawState).
    glUniform4f(p.clipScale, vw / targetWidth, -vh / targetHeight, 2.0f, 0.0f);
    glUniform4f(p.clipOffset, (2.0f * (vx + shift) + vw) / targetWidth - 1.0f,
                (2.0f * (vy + shift) + vh) / targetHeight - 1.0f, -1.0f, 0.0f);
    D3DMATRIX worldView = multiply(world, view);
    glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView._11);
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, &projection._11);
    DWORD tf = renderStates[D3DRS_TEXTUREFACTOR];
    glUniform4f(p.textureFactor, ((tf >> 16) & 0xff) / 255.0f, ((tf >> 8) & 0xff) / 255.0f,
                (tf & 0xff) / 255.0f, ((tf >> 24) & 0xff) / 255.0f);
    glUniform1f(p.alphaRef, static_cast<float>(renderStates[D3DRS_ALPHAREF] & 0xff));
    float maxSize =
        std::min(bitsFloat(renderStates[D3DRS_POINTSIZE_MAX]), Direct3D8::MAX_POINT_SIZE);
    // Point sizes and their clamps are in program pixels; GL draws them on the finer grid.
    const float fine = static_cast<float>(scale.factor());
    glUniform4f(p.pointParams, bitsFloat(renderStates[D3DRS_POINTSIZE]) * fine,
                bitsFloat(renderStates[D3DRS_POINTSIZE_MIN]) * fine, maxSize * fine, vh);
    glUniform3f(p.pointScale, bitsFloat(renderStates[D3DRS_POINTSCALE_A]),
                bitsFloat(renderStates[D3DRS_POINTSCALE_B]),
                bitsFloat(renderStates[D3DRS_POINTSCALE_C]));
    if (p.materialDiffuse >= 0 || p.globalAmbient >= 0) {
        // Normals go through the inverse transpose of the upper 3 x 3 of world x view.
        const auto& m = worldView.m;
        float a = m[0][0], b = m[0][1], c = m[0][2], d = m[1][0], e = m[1][1], f = m[1][2],
              g = m[2][0], h = m[2][1], k = m[2][2];
        float det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
        float inv = det != 0.0f ? 1.0f / det : 0.0f;
        // The cofactors over the determinant, row by row: the inverse transpose N. GL reads
        // the array column by column, so the shader's N^T * n is the row-vector n x N.
        float normal[9] = {(e * k - f * h) * inv,  -(d * k - f * g) * inv, (d * h - e * g) * inv,
                           -(b * k - c * h) * inv, (a * k - c * g) * inv,  -(a * h - b * g) * inv,
                           (b * f - c * e) * inv,  -(a * f - c * d) * inv, (a * e - b * d) * inv};
        glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normal);
        auto color = [](const D3DCOLORVALUE& v) {
            return std::array<float, 4>{v.r, v.g, v.b, v.a};
        };
        auto set4 = [](GLint location, const std::array<float, 4>& v) {
            glUniform4f(location, v[0], v[1], v[2], v[3]);
        };
        set4(p.materialDiffuse, color(material.Diffuse));
        set4(p.materialAmbient, color(material.Ambient));
        set4(p.materialSpecular, color(material.Specular));
        set4(p.materialEmissive, color(material.Emissive));
        glUniform1f(p.materialPower, material.Power);
        DWORD ga = renderStates[D3DRS_AMBIENT];
        glUniform4f(p.globalAmbient, ((ga >> 16) & 0xff) / 255.0f, ((ga >> 8) & 0xff) / 255.0f,
                    (ga & 0xff) / 255.0f, ((ga >> 24) & 0xff) / 255.0f);
        float diffuse[MAX_LIGHTS * 4] = {}, specular[MAX_LIGHTS * 4] = {},
                                   ambient[MAX_LIGHTS * 4] = {}, position[MAX_LIGHTS * 4] = {},
                                   direction[MAX_LIGHTS * 4] = {}, attenuation[MAX_LIGHTS * 4] = {},
                                   spot[MAX_LIGHTS * 4] = {};
        int used = 0;
        for (size_t i = 0; i < lights.size() && used < MAX_LIGHTS; ++i) {
            if (!lightEnabled[i]) {
                continue;
            }
            const D3DLIGHT8& l = lights[i];
            float* o = nullptr;
            o = diffuse + used * 4;
            o[0] = l.Diffuse.r, o[1] = l.Diffuse.g, o[2] = l.Diffuse.b, o[3] = l.Diffuse.a;
            o = specular + used * 4;
            o[0] = l.Specular.r, o[1] = l.Specular.g, o[2] = l.Specular.b, o[3] = l.Specular.a;
            o = ambient + used * 4;
            o[0] = l.Ambient.r, o[1] = l.Ambient.g, o[2] = l.Ambient.b, o[3] = l.Ambient.a;
            // Position and direction in camera space.
            const auto& v = view.m;
            const D3DVECTOR& P = l.Position;
            o = position + used * 4;
            for (int j = 0; j < 3; ++j) {
                o[j] = P.x * v[0][j] + P.y * v[1][j] + P.z * v[2][j] + v[3][j];
            }
            const D3DVECTOR& D = l.Direction;
            float dir[3];
            for (int j = 0; j < 3; ++j) {
                dir[j] = D.x * v[0][j] + D.y * v[1][j] + D.z * v[2][j];
            }
            float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
            o = direction + used * 4;
            for (int j = 0; j < 3; ++j) {
                o[j] = length > 0.0f ? dir[j] / length : 0.0f;
            }
            o = attenuation + used * 4;
            o[0] = l.Attenuation0, o[1] = l.Attenuation1, o[2] = l.Attenuation2, o[3] = l.Range;
            o = spot + used * 4;
            o[0] = std::cos(l.Theta * 0.5f), o[1] = std::cos(l.Phi * 0.5f), o[2] = l.Falloff;
            ++used;
        }
        glUniform4fv(p.lightDiffuse, MAX_LIGHTS, diffuse);
        glUniform4fv(p.lightSpecular, MAX_LIGHTS, specular);
        glUniform4fv(p.lightAmbient, MAX_LIGHTS, ambient);
        glUniform4fv(p.lightPosition, MAX_LIGHTS, position);
        glUniform4fv(p.lightDirection, MAX_LIGHTS, direction);
        glUniform4fv(p.lightAttenuation, MAX_LIGHTS, attenuation);
        glUniform4fv(p.lightSpot, MAX_LIGHTS, spot);
    }
    p.appliedVersion = uniformVersion;
}

bool Device::applyDrawState(D3DPRIMITIVETYPE type) {
    if (samples != 0) {
        resolveSampledTargets();
    }
    if (framebufferDirty) {
        applyFramebuffer();
    }
    renderTarget->markDrawn();
    if (depthStencil != nullptr && renderStates[D3DRS_STENCILENABLE] != FALSE) {
        depthStencil->markStencilWritten();
    }
    if (fixedStateDirty) {
        applyFixedState();
    }
    if ((samplerDirtyMask | textureDirtyMask) != 0) {
        applySamplers();
    }
    // Transformed vertices carry their final depth; the others map into MinZ..MaxZ.
    const bool rhw = (vertexShader & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const float nearZ = rhw ? 0.0f : viewport.MinZ, farZ = rhw ? 1.0f : viewport.MaxZ;
    if (appliedDepthRange[0] != nearZ || appliedDepthRange[1] != farZ) {
        glDepthRange(nearZ, farZ);
        appliedDepthRange[0] = nearZ;
        appliedDepthRange[1] = farZ;
    }
    bool points = type == D3DPT_POINTLIST || renderStates[D3DRS_FILLMODE] == D3DFILL_POINT;
    bool quads = pointQuads && type == D3DPT_POINTLIST;
    if (shaderKeyDirty || currentProgram == nullptr || points != (currentKey.points != 0) ||
        quads != (currentKey.pointQuads != 0)) {
        currentKey = buildShaderKey(type);
        currentProgram = shaders.get(currentKey);
        shaderKeyDirty = false;
    }
    if (currentProgram == nullptr) {
        return false;
    }
    if (boundProgram != currentProgram->program) {
        glUseProgram(currentProgram->program);
        boundProgram = currentProgram->program;
    }
    if (currentProgram->appliedVersion != uniformVersion) {
        applyUniforms(*currentProgram);
    }
    return true;
}

void Device::invalidateGlCache() {
    boundFramebuffer = ~0u;
    boundProgram = ~0u;
    appliedDepthRange[0] = appliedDepthRange[1] = -1.0f;
    for (auto& cap : enabledCaps) {
        cap = -1;
    }
    framebufferDirty = fixedStateDirty = true;
}
