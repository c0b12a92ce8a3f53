// Layout of flexible-vertex-format vertices.
#pragma once

#include <d3d8types.h>

#include <cstdint>

// Components (1 to 4) of texture coordinate set index.
inline uint32_t fvfTexCoordSize(DWORD fvf, uint32_t index) {
    switch ((fvf >> (index * 2 + 16)) & 3) {
    case D3DFVF_TEXTUREFORMAT1:
        return 1;
    case D3DFVF_TEXTUREFORMAT3:
        return 3;
    case D3DFVF_TEXTUREFORMAT4:
        return 4;
    default:
        return 2;
    }
}

inline uint32_t fvfTexCoordCount(DWORD fvf) {
    return (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
}

// Floats of position and blend weights.
inline uint32_t fvfPositionFloats(DWORD fvf) {
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        return 3;
    case D3DFVF_XYZRHW:
        return 4;
    case D3DFVF_XYZB1:
        return 4;
    case D3DFVF_XYZB2:
        return 5;
    case D3DFVF_XYZB3:
        return 6;
    case D3DFVF_XYZB4:
        return 7;
    case D3DFVF_XYZB5:
        return 8;
    default:
        return 0;
    }
}

// Bytes of one vertex laid out as fvf describes; a format without a position counts its
// other parts alone (D3DX sizes such vertices). 0 with more than 8 texture coordinate sets.
inline uint32_t fvfLayoutSize(DWORD fvf) {
    if (fvfTexCoordCount(fvf) > 8) {
        return 0;
    }
    uint32_t size = fvfPositionFloats(fvf) * 4;
    if (fvf & D3DFVF_NORMAL) {
        size += 12;
    }
    if (fvf & D3DFVF_PSIZE) {
        size += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        size += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        size += 4;
    }
    for (uint32_t i = 0; i < fvfTexCoordCount(fvf); ++i) {
        size += fvfTexCoordSize(fvf, i) * 4;
    }
    return size;
}

// Bytes of one vertex, or 0 for a format this device cannot draw (reserved bits set, or no
// position).
inline uint32_t fvfVertexSize(DWORD fvf) {
    if ((fvf & (D3DFVF_RESERVED0 | D3DFVF_RESERVED2)) != 0 || fvfPositionFloats(fvf) == 0) {
        return 0;
    }
    return fvfLayoutSize(fvf);
}
