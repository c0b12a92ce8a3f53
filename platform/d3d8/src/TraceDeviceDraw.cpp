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
    writer->begin("IDirect3DDevice8::DrawPrimitiveUP", this);
    writer->arg("PrimitiveType", TraceWriter::primitive(PrimitiveType));
    writer->arg("PrimitiveCount", TraceWriter::number(PrimitiveCount));
    UINT count = std::min(vertexCount(PrimitiveType, PrimitiveCount), MAX_TRACED_VERTICES);
    writer->arg(
        "pVertexStreamZeroData",
        TraceWriter::vertices(pVertexStreamZeroData, count, VertexStreamZeroStride, vertexFormat));
    writer->arg("VertexStreamZeroStride", TraceWriter::number(VertexStreamZeroStride));
    writer->end(result);
    return result;
}

HRESULT TraceDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                            UINT NumVertexIndices, UINT PrimitiveCount,
                                            CONST void* pIndexData, D3DFORMAT IndexDataFormat,
                                            CONST void* pVertexStreamZeroData,
                                            UINT VertexStreamZeroStride) {
    HRESULT result = real->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertexIndices,
                                                  PrimitiveCount, pIndexData, IndexDataFormat,
                                                  pVertexStreamZeroData, VertexStreamZeroStride);
    writer->begin("IDirect3DDevice8::DrawIndexedPrimitiveUP", this);
    writer->arg("PrimitiveType", TraceWriter::primitive(PrimitiveType));
    writer->arg("MinVertexIndex", TraceWriter::number(MinVertexIndex));
    writer->arg("NumVertexIndices", TraceWriter::number(NumVertexIndices));
    writer->arg("PrimitiveCount", TraceWriter::number(PrimitiveCount));
    std::string indices = "NULL";
    if (pIndexData != nullptr) {
        UINT count = std::min(vertexCount(PrimitiveType, PrimitiveCount), MAX_TRACED_VERTICES);
        indices = "[";
        for (UINT i = 0; i < count; ++i) {
            uint32_t index = IndexDataFormat == D3DFMT_INDEX32
                                 ? static_cast<const uint32_t*>(pIndexData)[i]
                                 : static_cast<const uint16_t*>(pIndexData)[i];
            indices += (i == 0 ? "" : ", ") + TraceWriter::number(index);
        }
        indices += "]";
    }
    writer->arg("pIndexData", indices);
    writer->arg("IndexDataFormat", TraceWriter::format(IndexDataFormat));
    const void* first = pVertexStreamZeroData == nullptr
                            ? nullptr
                            : static_cast<const uint8_t*>(pVertexStreamZeroData) +
                                  static_cast<size_t>(MinVertexIndex) * VertexStreamZeroStride;
    writer->arg("pVertexStreamZeroData",
                TraceWriter::vertices(first, std::min(NumVertexIndices, MAX_TRACED_VERTICES),
                                      VertexStreamZeroStride, vertexFormat));
    writer->arg("VertexStreamZeroStride", TraceWriter::number(VertexStreamZeroStride));
    writer->end(result);
    return result;
}
