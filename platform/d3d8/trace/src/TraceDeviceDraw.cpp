// The traced draws from memory: their vertices and indices are written in full.
#include "TraceDevice.h"

#include <algorithm>

namespace {

UINT vertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

// Large draws are cut short in the trace: the first vertices tell what was drawn.
constexpr UINT MAX_TRACED_VERTICES = 4096;

} // namespace

HRESULT TraceDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                     CONST void* pVertexStreamZeroData,
                                     UINT VertexStreamZeroStride) {
    HRESULT result = real->DrawPrimitiveUP(PrimitiveType, PrimitiveCount, pVertexStreamZeroData,
                                           VertexStreamZeroStride);
    UINT count = std::min(vertexCount(PrimitiveType, PrimitiveCount), MAX_TRACED_VERTICES);
    return traced(
        "DrawPrimitiveUP", result, "PrimitiveType", PrimitiveType, "PrimitiveCount", PrimitiveCount,
        "pVertexStreamZeroData",
        TraceWriter::vertices(pVertexStreamZeroData, count, VertexStreamZeroStride, vertexFormat),
        "VertexStreamZeroStride", VertexStreamZeroStride);
}

HRESULT TraceDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                            UINT NumVertexIndices, UINT PrimitiveCount,
                                            CONST void* pIndexData, D3DFORMAT IndexDataFormat,
                                            CONST void* pVertexStreamZeroData,
                                            UINT VertexStreamZeroStride) {
    HRESULT result = real->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertexIndices,
                                                  PrimitiveCount, pIndexData, IndexDataFormat,
                                                  pVertexStreamZeroData, VertexStreamZeroStride);
    UINT indexCount = std::min(vertexCount(PrimitiveType, PrimitiveCount), MAX_TRACED_VERTICES);
    const void* first = pVertexStreamZeroData == nullptr
                            ? nullptr
                            : static_cast<const uint8_t*>(pVertexStreamZeroData) +
                                  static_cast<size_t>(MinVertexIndex) * VertexStreamZeroStride;
    return traced("DrawIndexedPrimitiveUP", result, "PrimitiveType", PrimitiveType,
                  "MinVertexIndex", MinVertexIndex, "NumVertexIndices", NumVertexIndices,
                  "PrimitiveCount", PrimitiveCount, "pIndexData",
                  TraceWriter::indices(pIndexData, indexCount, IndexDataFormat), "IndexDataFormat",
                  IndexDataFormat, "pVertexStreamZeroData",
                  TraceWriter::vertices(first, std::min(NumVertexIndices, MAX_TRACED_VERTICES),
                                        VertexStreamZeroStride, vertexFormat),
                  "VertexStreamZeroStride", VertexStreamZeroStride);
}
