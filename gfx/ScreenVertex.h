// The pre-transformed vertex of every screen-space quad, and the quad geometry
// that Sprite and ColorQuad share.
#pragma once

#include <cstdint>

struct ScreenVertex {
    float x;
    float y;
    float z;
    float rhw;
    uint32_t color;
    float u;
    float v;
};
static_assert(sizeof(ScreenVertex) == 28, "ScreenVertex is streamed with a 28-byte stride");

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
constexpr uint32_t SCREEN_VERTEX_FVF = 0x144;

// Fills one vertex; the argument order is the one the scenes use.
void setScreenVertex(ScreenVertex* vertex, float x, float y, float z, float rhw, float u, float v,
                     uint32_t color);

// Packs the low 8 bits of each component as ARGB, so components wrap modulo 256.
uint32_t packColor(int32_t alpha, int32_t red, int32_t green, int32_t blue);

// The four corners of a quad in fan order with their texture coordinates.
struct QuadCorners {
    float x[4];
    float y[4];
    float u[4];
    float v[4];
    bool rotated;
};

// Scale about the centre (unless scale is exactly 1.0), then either the
// axis-aligned rectangle (angle exactly 225.0) or the rotated square of side w.
QuadCorners computeQuadCorners(float x, float y, float w, float h, float scale, float angle);
