#include <d3dx8math.h>

#include <cmath>

namespace {

// Squared lengths this close to 1 are taken as unit length and left alone.
constexpr float UNIT_TOLERANCE = 0.00001f;
// Squared lengths at or below this are treated as zero.
constexpr float ZERO_LENGTH_SQ = 1e-10f;

bool nearOne(float s) {
    float delta = s - 1.0f;
    return delta >= -UNIT_TOLERANCE && delta <= UNIT_TOLERANCE;
}

} // namespace

D3DXMATRIX::D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23,
                       FLOAT f24, FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42,
                       FLOAT f43, FLOAT f44) {
    _11 = f11, _12 = f12, _13 = f13, _14 = f14;
    _21 = f21, _22 = f22, _23 = f23, _24 = f24;
    _31 = f31, _32 = f32, _33 = f33, _34 = f34;
    _41 = f41, _42 = f42, _43 = f43, _44 = f44;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &other);
    return result;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) {
    D3DXMatrixMultiply(this, this, &other);
    return *this;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (m[r][c] != other.m[r][c]) {
                return false;
            }
        }
    }
    return true;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    // Read both inputs before writing: out may be a or b.
    float x = a->y * b->z - a->z * b->y;
    float y = a->z * b->x - a->x * b->z;
    float z = a->x * b->y - a->y * b->x;
    out->x = x, out->y = y, out->z = z;
    return out;
}

FLOAT D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    float s = v->x * v->x + v->y * v->y + v->z * v->z;
    if (nearOne(s)) {
        *out = *v;
    } else if (s > ZERO_LENGTH_SQ) {
        float inv = 1.0f / std::sqrt(s);
        float x = v->x * inv, y = v->y * inv, z = v->z * inv;
        out->x = x, out->y = y, out->z = z;
    } else {
        out->x = 0.0f, out->y = 0.0f, out->z = 0.0f;
    }
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
    float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
    float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
    float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
    if (!nearOne(w)) {
        float inv = 1.0f / w;
        x *= inv, y *= inv, z *= inv;
    }
    out->x = x, out->y = y, out->z = z;
    return out;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out->m[r][c] = r == c ? 1.0f : 0.0f;
        }
    }
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    // Compute into a temporary: out may be m1 or m2.
    D3DMATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.m[r][c] = m1->m[r][0] * m2->m[0][c] + m1->m[r][1] * m2->m[1][c] +
                             m1->m[r][2] * m2->m[2][c] + m1->m[r][3] * m2->m[3][c];
        }
    }
    static_cast<D3DMATRIX&>(*out) = result;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, FLOAT sx, FLOAT sy, FLOAT sz) {
    D3DXMatrixIdentity(out);
    out->_11 = sx, out->_22 = sy, out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, FLOAT x, FLOAT y, FLOAT z) {
    D3DXMatrixIdentity(out);
    out->_41 = x, out->_42 = y, out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, FLOAT angle) {
    float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_11 = c, out->_13 = -s;
    out->_31 = s, out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, FLOAT angle) {
    float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_11 = c, out->_12 = s;
    out->_21 = -s, out->_22 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, FLOAT fovY, FLOAT aspect, FLOAT zNear,
                                       FLOAT zFar) {
    float yScale = std::cos(fovY / 2.0f) / std::sin(fovY / 2.0f);
    float xScale = yScale / aspect;
    float q = zFar / (zFar - zNear);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out->m[r][c] = 0.0f;
        }
    }
    out->_11 = xScale;
    out->_22 = yScale;
    out->_33 = q;
    out->_34 = 1.0f;
    out->_43 = -zNear * q;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zAxis = *at - *eye;
    D3DXVec3Normalize(&zAxis, &zAxis);
    D3DXVECTOR3 xAxis;
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVECTOR3 yAxis;
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    float tx = -D3DXVec3Dot(&xAxis, eye);
    float ty = -D3DXVec3Dot(&yAxis, eye);
    float tz = -D3DXVec3Dot(&zAxis, eye);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0.0f, xAxis.y, yAxis.y, zAxis.y, 0.0f, xAxis.z,
                      yAxis.z, zAxis.z, 0.0f, tx, ty, tz, 1.0f);
    return out;
}

D3DXMATRIX* D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    float d = D3DXPlaneDot(&p, light);
    const float pv[4] = {-p.a, -p.b, -p.c, -p.d};
    const float lv[4] = {light->x, light->y, light->z, light->w};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out->m[r][c] = pv[r] * lv[c] + (r == c ? d : 0.0f);
        }
    }
    return out;
}

FLOAT D3DXPlaneDot(const D3DXPLANE* p, const D3DXVECTOR4* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d * v->w;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    float s = p->a * p->a + p->b * p->b + p->c * p->c;
    if (nearOne(s)) {
        *out = *p;
    } else if (s > ZERO_LENGTH_SQ) {
        float inv = 1.0f / std::sqrt(s);
        *out = D3DXPLANE(p->a * inv, p->b * inv, p->c * inv, p->d * inv);
    } else {
        *out = D3DXPLANE(0.0f, 0.0f, 0.0f, 0.0f);
    }
    return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2,
                               const D3DXVECTOR3* v3) {
    D3DXVECTOR3 e1 = *v2 - *v1;
    D3DXVECTOR3 e2 = *v3 - *v1;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVec3Normalize(&n, &n);
    float d = -D3DXVec3Dot(&n, v1);
    *out = D3DXPLANE(n.x, n.y, n.z, d);
    return out;
}
