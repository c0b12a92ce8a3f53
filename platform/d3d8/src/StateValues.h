// Small conversions the state code shares: float states held as bits, matrix products.
#pragma once

#include <d3d8types.h>

#include <cstring>

inline DWORD floatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

inline float bitsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

inline D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}
