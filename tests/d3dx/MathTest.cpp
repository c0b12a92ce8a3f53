#include <d3dx8math.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

void expectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tol = 1e-6f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tol) << "element " << r + 1 << c + 1;
        }
    }
}

D3DXMATRIX sample(float base) {
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i) {
        m.m[i / 4][i % 4] = base + static_cast<float>(i) * 0.5f - static_cast<float>(i % 3);
    }
    return m;
}

} // namespace

TEST(MathNormalize, ZeroAndTinyVectorsBecomeZero) {
    D3DXVECTOR3 zero(0, 0, 0), out(9, 9, 9);
    EXPECT_EQ(D3DXVec3Normalize(&out, &zero), &out);
    EXPECT_EQ(out, D3DXVECTOR3(0, 0, 0));

    // Squared length 1e-11, below the zero threshold.
    D3DXVECTOR3 tiny(std::sqrt(1e-11f), 0, 0);
    D3DXVec3Normalize(&out, &tiny);
    EXPECT_EQ(out, D3DXVECTOR3(0, 0, 0));
}

TEST(MathNormalize, NearUnitIsCopiedAndOthersScaled) {
    D3DXVECTOR3 almost(1.000001f, 0, 0), out;
    D3DXVec3Normalize(&out, &almost);
    EXPECT_EQ(out.x, 1.000001f); // left exactly as given

    D3DXVECTOR3 v(3, 0, 4);
    D3DXVec3Normalize(&v, &v); // in place
    EXPECT_NEAR(v.x, 0.6f, 1e-7f);
    EXPECT_NEAR(v.z, 0.8f, 1e-7f);
    EXPECT_EQ(v.y, 0.0f);
}

TEST(MathNormalize, PlaneScalesAllFourOrBecomesZero) {
    D3DXPLANE p(0, 2, 0, 6), out;
    D3DXPlaneNormalize(&out, &p);
    EXPECT_EQ(out, D3DXPLANE(0, 1, 0, 3));
    D3DXPLANE degenerate(0, 0, 0, 5);
    D3DXPlaneNormalize(&out, &degenerate);
    EXPECT_EQ(out, D3DXPLANE(0, 0, 0, 0));
}

TEST(MathMatrix, MultiplyIsRowTimesColumnAndAliasSafe) {
    D3DXMATRIX a = sample(1.0f), b = sample(-2.0f), expected, out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a.m[r][k]) * b.m[k][c];
            }
            expected.m[r][c] = static_cast<float>(sum);
        }
    }
    EXPECT_EQ(D3DXMatrixMultiply(&out, &a, &b), &out);
    expectMatrixNear(out, expected, 1e-4f);

    D3DXMATRIX aliasFirst = a;
    D3DXMatrixMultiply(&aliasFirst, &aliasFirst, &b);
    EXPECT_EQ(aliasFirst, out);
    D3DXMATRIX aliasSecond = b;
    D3DXMatrixMultiply(&aliasSecond, &a, &aliasSecond);
    EXPECT_EQ(aliasSecond, out);
}

TEST(MathMatrix, BasicTransformsAndOrderOfProduct) {
    D3DXMATRIX t, s, ry, rz;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    EXPECT_EQ(t._41, 1.0f);
    EXPECT_EQ(t._42, 2.0f);
    EXPECT_EQ(t._43, 3.0f);
    EXPECT_EQ(t._44, 1.0f);
    D3DXMatrixScaling(&s, 2, 3, 4);
    EXPECT_EQ(s, D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));

    const float angle = 0.5f;
    D3DXMatrixRotationY(&ry, angle);
    EXPECT_FLOAT_EQ(ry._13, -std::sin(angle));
    EXPECT_FLOAT_EQ(ry._31, std::sin(angle));
    D3DXMatrixRotationZ(&rz, angle);
    EXPECT_FLOAT_EQ(rz._12, std::sin(angle));
    EXPECT_FLOAT_EQ(rz._21, -std::sin(angle));

    // Scale first, then translate: the point (1, 1, 1) lands at (3, 5, 7).
    D3DXMATRIX st;
    D3DXMatrixMultiply(&st, &s, &t);
    D3DXVECTOR3 p(1, 1, 1);
    D3DXVec3TransformCoord(&p, &p, &st);
    EXPECT_EQ(p, D3DXVECTOR3(3, 5, 7));

    // A quarter turn about y takes +x to -z in a left-handed frame.
    D3DXMatrixRotationY(&ry, D3DX_PI / 2);
    D3DXVECTOR3 x(1, 0, 0);
    D3DXVec3TransformCoord(&x, &x, &ry);
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(x.z, -1.0f, 1e-6f);
}

TEST(MathMatrix, PerspectiveFovLH) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 120.0f, 800.0f / 600.0f, 0.1f, 100.0f);
    // 120 is read as radians: cot(60) = 3.1246.
    EXPECT_NEAR(m._22, 3.1246f, 1e-4f);
    EXPECT_NEAR(m._11, m._22 / (800.0f / 600.0f), 1e-5f);
    EXPECT_FLOAT_EQ(m._33, 100.0f / 99.9f);
    EXPECT_FLOAT_EQ(m._43, -0.1f * 100.0f / 99.9f);
    EXPECT_EQ(m._34, 1.0f);
    EXPECT_EQ(m._44, 0.0f);
    EXPECT_EQ(m._12, 0.0f);
    EXPECT_EQ(m._41, 0.0f);

    // A point on the near plane maps to depth 0, one on the far plane to depth 1.
    D3DXVECTOR3 nearPoint(0, 0, 0.1f), farPoint(0, 0, 100.0f);
    D3DXVec3TransformCoord(&nearPoint, &nearPoint, &m);
    D3DXVec3TransformCoord(&farPoint, &farPoint, &m);
    EXPECT_NEAR(nearPoint.z, 0.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z, 1.0f, 1e-6f);
}

TEST(MathMatrix, LookAtLH) {
    D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMATRIX expected(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1);
    expectMatrixNear(view, expected);

    // The target lands straight ahead on +z, the eye at the origin.
    D3DXVECTOR3 eye2(3, 2, 1), at2(-1, 0, 4);
    D3DXMatrixLookAtLH(&view, &eye2, &at2, &up);
    D3DXVECTOR3 p;
    D3DXVec3TransformCoord(&p, &eye2, &view);
    EXPECT_NEAR(p.x, 0, 1e-5f);
    EXPECT_NEAR(p.y, 0, 1e-5f);
    EXPECT_NEAR(p.z, 0, 1e-5f);
    D3DXVec3TransformCoord(&p, &at2, &view);
    EXPECT_NEAR(p.x, 0, 1e-5f);
    EXPECT_NEAR(p.y, 0, 1e-5f);
    EXPECT_NEAR(p.z, std::sqrt(16.0f + 4.0f + 9.0f), 1e-5f);
}

TEST(MathMatrix, LookAtWithUpAlongViewGivesZeroXAxis) {
    D3DXVECTOR3 eye(0, 0, 0), at(0, 5, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    for (float v : {view._11, view._21, view._31, view._41, view._12, view._22, view._32}) {
        EXPECT_EQ(v, 0.0f);
        EXPECT_FALSE(std::isnan(v));
    }
    EXPECT_EQ(view._23, 1.0f); // z axis still points at the target
    EXPECT_EQ(view._44, 1.0f);
}

TEST(MathMatrix, ShadowOnGroundPlane) {
    D3DXVECTOR4 light(0, 1, 0, 0);
    D3DXPLANE ground(0, 1, 0, 0);
    D3DXMATRIX shadow;
    D3DXMatrixShadow(&shadow, &light, &ground);
    expectMatrixNear(shadow, D3DXMATRIX(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));

    // An oblique light: every point lands on y = 0, along the light direction.
    D3DXVECTOR4 oblique(1, 2, -1, 0);
    D3DXPLANE unnormalised(0, 3, 0, 0);
    D3DXMatrixShadow(&shadow, &oblique, &unnormalised);
    D3DXVECTOR3 p(0.5f, 4, 2);
    D3DXVec3TransformCoord(&p, &p, &shadow);
    EXPECT_NEAR(p.y, 0.0f, 1e-6f);
    EXPECT_NEAR(p.x, 0.5f - 2.0f, 1e-6f);
    EXPECT_NEAR(p.z, 2.0f + 2.0f, 1e-6f);

    // A point light at (0, 10, 0) projects (2, 5, 0) to (4, 0, 0).
    D3DXVECTOR4 point(0, 10, 0, 1);
    D3DXMatrixShadow(&shadow, &point, &ground);
    D3DXVECTOR3 q(2, 5, 0);
    D3DXVec3TransformCoord(&q, &q, &shadow);
    EXPECT_NEAR(q.x, 4.0f, 1e-5f);
    EXPECT_NEAR(q.y, 0.0f, 1e-5f);
}

TEST(MathPlane, FromPointsAndDot) {
    D3DXVECTOR3 a(10, 0, 10), b(-10, 0, 10), c(10, 0, -10);
    D3DXPLANE p;
    D3DXPlaneFromPoints(&p, &a, &b, &c);
    // The plane y = 0, facing down by the winding of its points.
    EXPECT_EQ(p, D3DXPLANE(0, -1, 0, 0));

    D3DXVECTOR3 a2(0, 2, 0), b2(0, 2, 1), c2(1, 2, 0);
    D3DXPlaneFromPoints(&p, &a2, &b2, &c2);
    EXPECT_EQ(p, D3DXPLANE(0, 1, 0, -2));
    D3DXVECTOR4 point(7, 5, 1, 1), dir(7, 5, 1, 0);
    EXPECT_EQ(D3DXPlaneDot(&p, &point), 3.0f);
    EXPECT_EQ(D3DXPlaneDot(&p, &dir), 5.0f);

    // Collinear points give the zero plane, not NaN.
    D3DXVECTOR3 c3(0, 2, 2);
    D3DXPlaneFromPoints(&p, &a2, &b2, &c3);
    EXPECT_EQ(p, D3DXPLANE(0, 0, 0, 0));
}

TEST(MathTransform, DivisionOnlyWhenWIsNotOne) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._14 = 1.0f; // w = x + 1
    D3DXVECTOR3 v(1, 2, 4), out;
    D3DXVec3TransformCoord(&out, &v, &m);
    EXPECT_EQ(out, D3DXVECTOR3(0.5f, 1.0f, 2.0f));

    // w within the tolerance of 1 is not divided by.
    D3DXMatrixIdentity(&m);
    m._44 = 1.000004f;
    D3DXVECTOR3 w(3, 3, 3);
    D3DXVec3TransformCoord(&out, &w, &m);
    EXPECT_EQ(out, D3DXVECTOR3(3, 3, 3));

    D3DXVECTOR3 c(1, 0, 0), d(0, 1, 0), cross;
    D3DXVec3Cross(&cross, &c, &d);
    EXPECT_EQ(cross, D3DXVECTOR3(0, 0, 1));
}
