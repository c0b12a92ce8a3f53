// Scenes, clears and draws.
#include "Device.h"

#include "DrawTimer.h"
#include "Formats.h"
#include "IndexBuffer.h"
#include "StateValues.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "VertexFormat.h"
#include "d3d8observer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

GLenum primitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    default:
        return GL_TRIANGLE_FAN;
    }
}

// Vertices drawn for count primitives, 0 for an unknown type.
uint64_t verticesFor(D3DPRIMITIVETYPE type, UINT count) {
    switch (type) {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return 2ull * count;
    case D3DPT_LINESTRIP:
        return count + 1ull;
    case D3DPT_TRIANGLELIST:
        return 3ull * count;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count + 2ull;
    default:
        return 0;
    }
}

// The rings of vertices and indices from program memory. A frame's draws from program memory
// take a few hundred kilobytes at most; each ring orphaned stays allocated until the
// rasteriser is done with it, so a small ring keeps that memory small.
constexpr size_t STREAM_CAPACITY = 1u << 20;

// The process's draw and frame timers, when the environment asks for them.
DrawTimer* drawTimer() {
    static const std::unique_ptr<DrawTimer> timer = DrawTimer::forDraws();
    return timer.get();
}

DrawTimer* frameTimer() {
    static const std::unique_ptr<DrawTimer> timer = DrawTimer::forFrames();
    return timer.get();
}

} // namespace

std::string Device::drawDescription(const char* call, D3DPRIMITIVETYPE type, UINT count) const {
    const DWORD* rs = renderStates;
    char text[512];
    int n = std::snprintf(text, sizeof(text), "%s type %d n %u target %s %ux%u fvf %lx", call,
                          static_cast<int>(type), count, renderTarget == backBuffer ? "bb" : "rt",
                          renderTarget->width(), renderTarget->height(),
                          static_cast<unsigned long>(vertexShader));
    auto add = [&](const char* format, auto... values) {
        if (n >= 0 && static_cast<size_t>(n) < sizeof(text)) {
            n += std::snprintf(text + n, sizeof(text) - static_cast<size_t>(n), format, values...);
        }
    };
    if (rs[D3DRS_ALPHABLENDENABLE]) {
        add(" blend %lu/%lu", static_cast<unsigned long>(rs[D3DRS_SRCBLEND]),
            static_cast<unsigned long>(rs[D3DRS_DESTBLEND]));
    }
    if (rs[D3DRS_ZENABLE] && depthStencil != nullptr) {
        add(" z %lu/%lu", static_cast<unsigned long>(rs[D3DRS_ZFUNC]),
            static_cast<unsigned long>(rs[D3DRS_ZWRITEENABLE]));
    }
    if (rs[D3DRS_ALPHATESTENABLE]) {
        add(" atest %lu", static_cast<unsigned long>(rs[D3DRS_ALPHAFUNC]));
    }
    for (int i = 0; i < currentKey.stageCount; ++i) {
        if (textures[i] != nullptr) {
            add(" tex%d %ux%u/%lu/%lu%lu%lu", i, textures[i]->levelWidth(0),
                textures[i]->levelHeight(0),
                static_cast<unsigned long>(textures[i]->GetLevelCount()),
                static_cast<unsigned long>(stageStates[i][D3DTSS_MINFILTER]),
                static_cast<unsigned long>(stageStates[i][D3DTSS_MAGFILTER]),
                static_cast<unsigned long>(stageStates[i][D3DTSS_MIPFILTER]));
        }
    }
    add(" key %s", ShaderCache::keyText(currentKey).c_str());
    return text;
}

HRESULT Device::BeginScene() {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    if (DrawTimer* timer = frameTimer()) {
        timer->mark(frames);
    }
    if (PresentObserver::active) {
        PresentObserver::active->sceneBegun(this);
    }
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    // Hand the frame's commands to the rasteriser now rather than at Present.
    glFlush();
    return D3D_OK;
}

HRESULT Device::Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                      DWORD Stencil) {
    if ((Count > 0 && pRects == nullptr) || Flags == 0 ||
        (Flags & ~(DWORD)(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    if ((Flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && depthStencil == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if ((Flags & D3DCLEAR_STENCIL) && !formatHasStencil(depthStencil->format())) {
        return D3DERR_INVALIDCALL;
    }
    if (Count == 0 && pRects != nullptr) {
        return D3D_OK; // no rectangles: nothing to clear
    }
    activate();
    if (DrawTimer* timer = drawTimer()) {
        timer->begin();
    }
    if (framebufferDirty) {
        applyFramebuffer();
    }
    renderTarget->markDrawn();
    GLbitfield mask = 0;
    if (Flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        // A target without alpha holds alpha 1 everywhere: clearing it to 1 again changes
        // nothing, and a clear of every channel is a plain fill for the rasteriser where a
        // masked one is drawn as a quad.
        const bool alpha = formatHasAlpha(renderTarget->format());
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(((Color >> 16) & 0xff) / 255.0f, ((Color >> 8) & 0xff) / 255.0f,
                     (Color & 0xff) / 255.0f, alpha ? ((Color >> 24) & 0xff) / 255.0f : 1.0f);
    }
    if (Flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glDepthMask(GL_TRUE);
        glClearDepth(std::clamp(Z, 0.0f, 1.0f));
    }
    const LONG vx0 = static_cast<LONG>(viewport.X), vy0 = static_cast<LONG>(viewport.Y);
    const LONG vx1 = vx0 + static_cast<LONG>(viewport.Width);
    const LONG vy1 = vy0 + static_cast<LONG>(viewport.Height);
    // Whether the clear reaches every pixel of the depth-stencil buffer.
    const bool wholeDepthStencil = depthStencil != nullptr && Count == 0 && vx0 == 0 && vy0 == 0 &&
                                   vx1 >= static_cast<LONG>(depthStencil->width()) &&
                                   vy1 >= static_cast<LONG>(depthStencil->height());
    bool clearStencil = (Flags & D3DCLEAR_STENCIL) != 0;
    DWORD stencilValue = Stencil & 0xff;
    if ((Flags & D3DCLEAR_ZBUFFER) && !clearStencil && wholeDepthStencil &&
        depthStencil->stencilUniform() && formatHasStencil(depthStencil->format())) {
        // The rasteriser clears depth alone, stencil kept, by reading and writing every
        // pixel; depth and stencil together are a plain fill. Clearing the stencil to the
        // value it holds everywhere changes nothing.
        clearStencil = true;
        stencilValue = depthStencil->uniformStencilValue();
    }
    if (clearStencil) {
        mask |= GL_STENCIL_BUFFER_BIT;
        glStencilMask(0xff);
        glClearStencil(static_cast<GLint>(stencilValue));
        if (wholeDepthStencil) {
            depthStencil->setStencilUniform(static_cast<uint8_t>(stencilValue));
        } else if (!depthStencil->stencilUniform() ||
                   depthStencil->uniformStencilValue() != stencilValue) {
            depthStencil->markStencilWritten();
        }
    }
    setEnabled(GL_SCISSOR_TEST, true, 0);
    auto clearRect = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
        // Confined to the viewport.
        x0 = std::max(x0, vx0);
        y0 = std::max(y0, vy0);
        x1 = std::min(x1, vx1);
        y1 = std::min(y1, vy1);
        if (x0 >= x1 || y0 >= y1) {
            return;
        }
        glScissor(scale.at(x0), scale.at(y0), scale.at(x1 - x0), scale.at(y1 - y0));
        glClear(mask);
    };
    if (Count == 0) {
        clearRect(vx0, vy0, vx1, vy1);
    } else {
        for (DWORD i = 0; i < Count; ++i) {
            clearRect(pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2);
        }
    }
    fixedStateDirty = true; // masks and scissor were changed for the clear
    if (DrawTimer* timer = drawTimer()) {
        char what[64];
        std::snprintf(what, sizeof(what), "Clear%s%s%s %ldx%ld",
                      (Flags & D3DCLEAR_TARGET) ? " c" : "", (Flags & D3DCLEAR_ZBUFFER) ? " z" : "",
                      (Flags & D3DCLEAR_STENCIL) ? " s" : "", static_cast<long>(viewport.Width),
                      static_cast<long>(viewport.Height));
        timer->end(frames, what + std::string(renderTarget == backBuffer ? " bb" : " rt"));
    }
    GL_CHECK("Clear");
    return D3D_OK;
}

HRESULT Device::checkDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT* vertexCount) const {
    if (!inScene || primitiveCount == 0 || fvfVertexSize(vertexShader) == 0) {
        return D3DERR_INVALIDCALL;
    }
    uint64_t vertices = verticesFor(type, primitiveCount);
    if (vertices == 0 || vertices > 0xffffff) {
        return D3DERR_INVALIDCALL;
    }
    *vertexCount = static_cast<UINT>(vertices);
    return D3D_OK;
}

void Device::bindVertexLayout(GLuint buffer, size_t offset, UINT stride) {
    if (buffer == layoutBuffer && offset == layoutOffset && stride == layoutStride &&
        vertexShader == layoutFvf) {
        return;
    }
    if (boundArrayBuffer != buffer) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        boundArrayBuffer = buffer;
    }
    const DWORD fvf = vertexShader;
    size_t at = offset;
    auto attribute = [&](GLuint location, GLint size, GLenum type, GLboolean normalised,
                         size_t bytes) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, type, normalised, static_cast<GLsizei>(stride),
                              reinterpret_cast<const void*>(at));
        at += bytes;
    };
    bool enabled[ATTR_TEXCOORD0 + MAX_TEXCOORDS] = {};
    uint32_t positionFloats = fvfPositionFloats(fvf);
    bool rhw = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    attribute(ATTR_POSITION, rhw ? 4 : 3, GL_FLOAT, GL_FALSE, rhw ? 16 : 12);
    enabled[ATTR_POSITION] = true;
    if (!rhw) {
        at += (positionFloats - 3) * 4; // blend weights are skipped
    }
    if (fvf & D3DFVF_NORMAL) {
        attribute(ATTR_NORMAL, 3, GL_FLOAT, GL_FALSE, 12);
        enabled[ATTR_NORMAL] = true;
    }
    if (fvf & D3DFVF_PSIZE) {
        attribute(ATTR_PSIZE, 1, GL_FLOAT, GL_FALSE, 4);
        enabled[ATTR_PSIZE] = true;
    }
    // D3DCOLOR is B, G, R, A in memory; ES has no such order, and its vertex stage swaps.
    const GLint colorOrder = GL_DIALECT_ES ? 4 : GL_BGRA;
    if (fvf & D3DFVF_DIFFUSE) {
        attribute(ATTR_DIFFUSE, colorOrder, GL_UNSIGNED_BYTE, GL_TRUE, 4);
        enabled[ATTR_DIFFUSE] = true;
    }
    if (fvf & D3DFVF_SPECULAR) {
        attribute(ATTR_SPECULAR, colorOrder, GL_UNSIGNED_BYTE, GL_TRUE, 4);
        enabled[ATTR_SPECULAR] = true;
    }
    for (uint32_t i = 0; i < fvfTexCoordCount(fvf); ++i) {
        GLint size = static_cast<GLint>(fvfTexCoordSize(fvf, i));
        attribute(ATTR_TEXCOORD0 + i, size, GL_FLOAT, GL_FALSE, static_cast<size_t>(size) * 4);
        enabled[ATTR_TEXCOORD0 + i] = true;
    }
    for (GLuint location = 0; location < ATTR_TEXCOORD0 + MAX_TEXCOORDS; ++location) {
        if (!enabled[location]) {
            glDisableVertexAttribArray(location);
        }
    }
    layoutBuffer = buffer;
    layoutOffset = offset;
    layoutStride = stride;
    layoutFvf = fvf;
}

size_t Device::streamUpload(const void* data, size_t size, size_t align) {
    // A ring of vertex memory: written unsynchronised where no queued draw reads, and
    // orphaned when full, so the CPU never waits for the rasteriser.
    size_t offset = (streamOffset + align - 1) / align * align;
    if (boundArrayBuffer != streamBuffer) {
        glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
        boundArrayBuffer = streamBuffer;
    }
    if (offset + size > streamCapacity) {
        streamCapacity = std::max(STREAM_CAPACITY, size * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(streamCapacity), nullptr,
                     GL_STREAM_DRAW);
        offset = 0;
    }
    glWriteUnsynchronised(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset),
                          static_cast<GLsizeiptr>(size), data);
    streamOffset = offset + size;
    return offset;
}

void Device::drawElementsFrom(GLuint buffer, UINT stride, GLint base, GLenum mode, GLsizei count,
                              GLenum indexType, size_t indexOffset) {
    if constexpr (GL_DIALECT_ES) {
        // No base vertex in ES 3.0: the layout starts at the base instead.
        bindVertexLayout(buffer, static_cast<size_t>(base) * stride, stride);
        glDrawElements(mode, count, indexType, reinterpret_cast<const void*>(indexOffset));
    } else {
        bindVertexLayout(buffer, 0, stride);
        glDrawElementsBaseVertex(mode, count, indexType, reinterpret_cast<const void*>(indexOffset),
                                 base);
    }
}

void Device::drawArrays(D3DPRIMITIVETYPE type, GLint first, UINT count) {
    glDrawArrays(primitiveMode(type), first, static_cast<GLsizei>(count));
}

bool Device::outsideViewVolume(D3DPRIMITIVETYPE type, VertexBuffer* buffer, UINT stride) const {
    // Triangles and lines lie inside the hull of their vertices, so when every vertex is
    // beyond one plane of the view volume nothing can reach the target. Points are left to
    // the rasteriser, and so are transformed vertices, which are never clipped here.
    if (type == D3DPT_POINTLIST || renderStates[D3DRS_CLIPPING] == FALSE ||
        (vertexShader & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW) {
        return false;
    }
    float box[6];
    if (!buffer->positionBounds(stride, box)) {
        return false;
    }
    const D3DMATRIX all = multiply(multiply(world, view), projection);
    // One bit per plane a corner lies beyond: -w < x, x < w, -w < y, y < w, 0 < z, z < w.
    unsigned common = 0x3f;
    for (int corner = 0; corner < 8 && common != 0; ++corner) {
        const float x = box[(corner & 1) ? 3 : 0], y = box[(corner & 2) ? 4 : 1],
                    z = box[(corner & 4) ? 5 : 2];
        float c[4];
        for (int i = 0; i < 4; ++i) {
            c[i] = x * all.m[0][i] + y * all.m[1][i] + z * all.m[2][i] + all.m[3][i];
        }
        unsigned beyond = (c[0] < -c[3] ? 1u : 0u) | (c[0] > c[3] ? 2u : 0u) |
                          (c[1] < -c[3] ? 4u : 0u) | (c[1] > c[3] ? 8u : 0u) |
                          (c[2] < 0.0f ? 16u : 0u) | (c[2] > c[3] ? 32u : 0u);
        common &= beyond;
    }
    return common != 0;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                              UINT PrimitiveCount) {
    UINT count = 0;
    if (FAILED(checkDraw(PrimitiveType, PrimitiveCount, &count)) || streamSource == nullptr ||
        streamStride < fvfVertexSize(vertexShader)) {
        return D3DERR_INVALIDCALL;
    }
    // The last vertex must lie wholly inside the buffer.
    uint64_t end = (static_cast<uint64_t>(StartVertex) + count - 1) * streamStride +
                   fvfVertexSize(vertexShader);
    if (end > streamSource->size()) {
        return D3DERR_INVALIDCALL;
    }
    if (outsideViewVolume(PrimitiveType, streamSource, streamStride)) {
        return D3D_OK;
    }
    activate();
    if (DrawTimer* timer = drawTimer()) {
        timer->begin();
    }
    if (!applyDrawState(PrimitiveType)) {
        return D3DERR_INVALIDCALL;
    }
    bindVertexLayout(streamSource->glBuffer(), 0, streamStride);
    drawArrays(PrimitiveType, static_cast<GLint>(StartVertex), count);
    if (DrawTimer* timer = drawTimer()) {
        timer->end(frames, drawDescription("DrawPrimitive", PrimitiveType, PrimitiveCount));
    }
    throttle.drawn(PrimitiveCount);
    GL_CHECK("DrawPrimitive");
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex,
                                     UINT NumVertices, UINT startIndex, UINT primCount) {
    UINT count = 0;
    if (FAILED(checkDraw(PrimitiveType, primCount, &count)) || streamSource == nullptr ||
        indexBuffer == nullptr || NumVertices == 0 || streamStride < fvfVertexSize(vertexShader)) {
        return D3DERR_INVALIDCALL;
    }
    // The vertex range is a hint for the rasteriser; what matters for safety is that every
    // index read names a vertex inside the buffer, checked below.
    (void)minIndex;
    const UINT indexSize = indexBuffer->indexSize();
    if ((static_cast<uint64_t>(startIndex) + count) * indexSize > indexBuffer->size()) {
        return D3DERR_INVALIDCALL;
    }
    // Every index must name a vertex inside the buffer: GL would read past its end.
    uint32_t largest = 0;
    const uint8_t* indices = indexBuffer->data() + static_cast<size_t>(startIndex) * indexSize;
    if (indexSize == 2) {
        const auto* p = reinterpret_cast<const uint16_t*>(indices);
        largest = *std::max_element(p, p + count);
    } else {
        const auto* p = reinterpret_cast<const uint32_t*>(indices);
        largest = *std::max_element(p, p + count);
    }
    uint64_t end = (static_cast<uint64_t>(baseVertexIndex) + largest) * streamStride +
                   fvfVertexSize(vertexShader);
    if (end > streamSource->size()) {
        return D3DERR_INVALIDCALL;
    }
    if (outsideViewVolume(PrimitiveType, streamSource, streamStride)) {
        return D3D_OK;
    }
    activate();
    if (DrawTimer* timer = drawTimer()) {
        timer->begin();
    }
    if (!applyDrawState(PrimitiveType)) {
        return D3DERR_INVALIDCALL;
    }
    if (boundElementBuffer != indexBuffer->glBuffer()) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer->glBuffer());
        boundElementBuffer = indexBuffer->glBuffer();
    }
    drawElementsFrom(streamSource->glBuffer(), streamStride, static_cast<GLint>(baseVertexIndex),
                     primitiveMode(PrimitiveType), static_cast<GLsizei>(count),
                     indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                     static_cast<size_t>(startIndex) * indexSize);
    if (DrawTimer* timer = drawTimer()) {
        timer->end(frames, drawDescription("DrawIndexedPrimitive", PrimitiveType, primCount));
    }
    throttle.drawn(primCount);
    GL_CHECK("DrawIndexedPrimitive");
    return D3D_OK;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                CONST void* pVertexStreamZeroData, UINT VertexStreamZeroStride) {
    UINT count = 0;
    if (FAILED(checkDraw(PrimitiveType, PrimitiveCount, &count)) ||
        pVertexStreamZeroData == nullptr || VertexStreamZeroStride < fvfVertexSize(vertexShader)) {
        return D3DERR_INVALIDCALL;
    }
    activate();
    if (DrawTimer* timer = drawTimer()) {
        timer->begin();
    }
    if (!applyDrawState(PrimitiveType)) {
        return D3DERR_INVALIDCALL;
    }
    size_t size = static_cast<size_t>(count) * VertexStreamZeroStride;
    size_t offset = streamUpload(pVertexStreamZeroData, size, VertexStreamZeroStride);
    // The layout stays at offset 0; the first vertex selects where this draw starts.
    bindVertexLayout(streamBuffer, 0, VertexStreamZeroStride);
    drawArrays(PrimitiveType, static_cast<GLint>(offset / VertexStreamZeroStride), count);
    if (DrawTimer* timer = drawTimer()) {
        timer->end(frames, drawDescription("DrawPrimitiveUP", PrimitiveType, PrimitiveCount));
    }
    throttle.drawn(PrimitiveCount);
    // Direct3D unbinds stream 0 after a draw from user memory.
    if (streamSource != nullptr) {
        streamSource->Release();
        streamSource = nullptr;
        streamStride = 0;
    }
    GL_CHECK("DrawPrimitiveUP");
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                       UINT NumVertexIndices, UINT PrimitiveCount,
                                       CONST void* pIndexData, D3DFORMAT IndexDataFormat,
                                       CONST void* pVertexStreamZeroData,
                                       UINT VertexStreamZeroStride) {
    UINT count = 0;
    if (FAILED(checkDraw(PrimitiveType, PrimitiveCount, &count)) || pIndexData == nullptr ||
        pVertexStreamZeroData == nullptr || NumVertexIndices == 0 ||
        (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32) ||
        VertexStreamZeroStride < fvfVertexSize(vertexShader)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT indexSize = IndexDataFormat == D3DFMT_INDEX32 ? 4 : 2;
    // Indices must stay inside [MinVertexIndex, MinVertexIndex + NumVertexIndices): only
    // those vertices are read from the caller's memory.
    uint64_t limit = static_cast<uint64_t>(MinVertexIndex) + NumVertexIndices;
    for (UINT i = 0; i < count; ++i) {
        uint32_t index = indexSize == 2 ? static_cast<const uint16_t*>(pIndexData)[i]
                                        : static_cast<const uint32_t*>(pIndexData)[i];
        if (index < MinVertexIndex || index >= limit) {
            return D3DERR_INVALIDCALL;
        }
    }
    activate();
    if (DrawTimer* timer = drawTimer()) {
        timer->begin();
    }
    if (!applyDrawState(PrimitiveType)) {
        return D3DERR_INVALIDCALL;
    }
    // ES draws from a base vertex only by where the layout starts, which cannot lie before
    // the buffer: there the vertices go up from index 0, so the base is never negative.
    const UINT firstUploaded = GL_DIALECT_ES ? 0 : MinVertexIndex;
    size_t vertexBytes = static_cast<size_t>(NumVertexIndices + MinVertexIndex - firstUploaded) *
                         VertexStreamZeroStride;
    const auto* vertices = static_cast<const uint8_t*>(pVertexStreamZeroData) +
                           static_cast<size_t>(firstUploaded) * VertexStreamZeroStride;
    size_t offset = streamUpload(vertices, vertexBytes, VertexStreamZeroStride);
    // Indices go to a ring of their own.
    size_t indexBytes = static_cast<size_t>(count) * indexSize;
    if (boundElementBuffer != indexStreamBuffer) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexStreamBuffer);
        boundElementBuffer = indexStreamBuffer;
    }
    size_t indexOffset = (indexStreamOffset + 3) & ~size_t(3);
    if (indexOffset + indexBytes > indexStreamCapacity) {
        indexStreamCapacity = std::max(STREAM_CAPACITY, indexBytes * 2);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexStreamCapacity), nullptr,
                     GL_STREAM_DRAW);
        indexOffset = 0;
    }
    glWriteUnsynchronised(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(indexOffset),
                          static_cast<GLsizeiptr>(indexBytes), pIndexData);
    indexStreamOffset = indexOffset + indexBytes;
    // Vertex firstUploaded sits at the start of the uploaded block.
    GLint base =
        static_cast<GLint>(offset / VertexStreamZeroStride) - static_cast<GLint>(firstUploaded);
    drawElementsFrom(streamBuffer, VertexStreamZeroStride, base, primitiveMode(PrimitiveType),
                     static_cast<GLsizei>(count),
                     indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, indexOffset);
    if (DrawTimer* timer = drawTimer()) {
        timer->end(frames,
                   drawDescription("DrawIndexedPrimitiveUP", PrimitiveType, PrimitiveCount));
    }
    throttle.drawn(PrimitiveCount);
    if (streamSource != nullptr) {
        streamSource->Release();
        streamSource = nullptr;
        streamStride = 0;
    }
    if (indexBuffer != nullptr) {
        indexBuffer->Release();
        indexBuffer = nullptr;
    }
    GL_CHECK("DrawIndexedPrimitiveUP");
    return D3D_OK;
}

HRESULT Device::ProcessVertices(UINT, UINT, UINT, IDirect3DVertexBuffer8*, DWORD) {
    return D3DERR_INVALIDCALL;
}

HRESULT Device::DrawRectPatch(UINT, CONST float*, CONST D3DRECTPATCH_INFO*) {
    return D3DERR_INVALIDCALL;
}

HRESULT Device::DrawTriPatch(UINT, CONST float*, CONST D3DTRIPATCH_INFO*) {
    return D3DERR_INVALIDCALL;
}

HRESULT Device::DeletePatch(UINT) {
    return D3DERR_INVALIDCALL;
}
