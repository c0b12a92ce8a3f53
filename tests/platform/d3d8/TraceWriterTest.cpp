// How the trace spells values: names for enumerations and flags, numbers for what has none,
// floats that read back exactly, vertices decoded by their format.
#include "TraceWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(TraceWriterTest, EnumerationsByNameAndUnknownValuesAsNumbers) {
    EXPECT_EQ(TraceWriter::renderState(D3DRS_ALPHABLENDENABLE), "D3DRS_ALPHABLENDENABLE");
    EXPECT_EQ(TraceWriter::renderState(static_cast<D3DRENDERSTATETYPE>(999)), "999");
    EXPECT_EQ(TraceWriter::renderStateValue(D3DRS_SRCBLEND, D3DBLEND_INVSRCALPHA),
              "D3DBLEND_INVSRCALPHA");
    EXPECT_EQ(TraceWriter::renderStateValue(D3DRS_ZENABLE, D3DZB_TRUE), "D3DZB_TRUE");
    EXPECT_EQ(TraceWriter::renderStateValue(D3DRS_LIGHTING, FALSE), "FALSE");
    EXPECT_EQ(TraceWriter::renderStateValue(D3DRS_AMBIENT, 0xFF102030), "0xff102030");
    EXPECT_EQ(TraceWriter::renderStateValue(D3DRS_POINTSIZE, 0x3F000000), "0.5");
    EXPECT_EQ(TraceWriter::stageStateValue(D3DTSS_MAGFILTER, D3DTEXF_LINEAR), "D3DTEXF_LINEAR");
    EXPECT_EQ(TraceWriter::stageStateValue(D3DTSS_COLOROP, D3DTOP_MODULATE), "D3DTOP_MODULATE");
    EXPECT_EQ(TraceWriter::transform(D3DTS_WORLD), "D3DTS_WORLD");
    EXPECT_EQ(TraceWriter::transform(D3DTS_PROJECTION), "D3DTS_PROJECTION");
    EXPECT_EQ(TraceWriter::format(D3DFMT_D24S8), "D3DFMT_D24S8");
    EXPECT_EQ(TraceWriter::result(D3DERR_INVALIDCALL), "D3DERR_INVALIDCALL");
    EXPECT_EQ(TraceWriter::result(static_cast<HRESULT>(0x80001234)), "0x80001234");
}

TEST(TraceWriterTest, FlagsAndVertexFormatsAreDecomposed) {
    EXPECT_EQ(TraceWriter::usage(0x248), "D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC");
    EXPECT_EQ(TraceWriter::usage(0), "0");
    // Bits without a name are kept as a remainder.
    EXPECT_EQ(TraceWriter::lockFlags(D3DLOCK_DISCARD | 0x1), "D3DLOCK_DISCARD | 0x1");
    EXPECT_EQ(TraceWriter::fvf(0x144), "D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1");
    EXPECT_EQ(TraceWriter::fvf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(1)),
              "D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(1)");
    EXPECT_EQ(TraceWriter::textureArgument(D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE),
              "D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE");
}

TEST(TraceWriterTest, FloatsReadBackToTheSameValue) {
    for (float value : {0.1f, 1.0f / 3.0f, 3.14159274f, -1e-7f, 123456.789f, 1e30f}) {
        std::string text = TraceWriter::real(value);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
    }
    D3DMATRIX m{};
    m._11 = 0.1f;
    m._44 = 1.0f;
    EXPECT_EQ(TraceWriter::matrix(&m),
              "{{0.100000001, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}}");
    EXPECT_EQ(TraceWriter::matrix(nullptr), "NULL");
}

TEST(TraceWriterTest, VerticesAreDecodedByTheirFormat) {
    struct Vertex {
        float x, y, z;
        float nx, ny, nz;
        D3DCOLOR diffuse;
        float u, v;
    } vertices[2] = {{1, 2, 3, 0, 1, 0, 0xff00ff00, 0.25f, 0.5f},
                     {4, 5, 6, 0, 0, -1, 0x80ffffff, 1, 0}};
    EXPECT_EQ(TraceWriter::vertices(vertices, 2, sizeof(Vertex),
                                    D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1),
              "[{1, 2, 3, 0, 1, 0, 0xff00ff00, 0.25, 0.5}, {4, 5, 6, 0, 0, -1, 0x80ffffff, 1, 0}]");
    // A stride shorter than the format: only the address is written.
    EXPECT_EQ(TraceWriter::vertices(nullptr, 2, 12, D3DFVF_XYZ), "NULL");
    EXPECT_NE(TraceWriter::vertices(vertices, 2, 8, D3DFVF_XYZ).find("0x"), std::string::npos);
}
