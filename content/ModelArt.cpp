#include "content/ModelArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <cmath>

namespace content {

using namespace palette;

namespace {

constexpr float PI = 3.14159265f;

Vec3 normalize(Vec3 v) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}

// A prism whose front and back are the quadrilateral q (x, y, counter-clockwise seen from -z),
// extruded from z = -depth/2 to +depth/2.
void prism(MeshBuilder& m, const Point q[4], float depth, float x0, float x1, float y0, float y1,
           uint32_t faceMat, uint32_t sideMat) {
    float zf = -depth * 0.5f;
    float zb = depth * 0.5f;
    auto uv = [&](Point p, float out[2]) {
        out[0] = (p.x - x0) / (x1 - x0);
        out[1] = (y1 - p.y) / (y1 - y0);
    };
    Vec3 front[4];
    Vec3 back[4];
    float fuv[4][2];
    float buv[4][2];
    for (int i = 0; i < 4; ++i) {
        front[i] = {q[i].x, q[i].y, zf};
        back[3 - i] = {q[i].x, q[i].y, zb};
        uv(q[i], fuv[i]);
        uv(q[i], buv[3 - i]);
    }
    m.addQuad(front, {0, 0, -1}, fuv, faceMat);
    m.addQuad(back, {0, 0, 1}, buv, faceMat);
    const float sideUv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        Point a = q[i];
        Point b = q[(i + 1) % 4];
        Vec3 n = normalize({b.y - a.y, a.x - b.x, 0.0f});
        // Point the normal away from the prism's centre.
        float cx = (q[0].x + q[1].x + q[2].x + q[3].x) * 0.25f;
        float cy = (q[0].y + q[1].y + q[2].y + q[3].y) * 0.25f;
        if (n.x * (a.x - cx) + n.y * (a.y - cy) < 0) {
            n = {-n.x, -n.y, 0.0f};
        }
        Vec3 c[4] = {{a.x, a.y, zf}, {a.x, a.y, zb}, {b.x, b.y, zb}, {b.x, b.y, zf}};
        m.addQuad(c, n, sideUv, sideMat);
    }
}

} // namespace

MeshBuilder ModelArt::w() {
    MeshBuilder m;
    MeshMaterial face;
    face.diffuse[0] = face.diffuse[1] = face.diffuse[2] = 1.0f;
    face.power = 16.0f;
    face.specular[0] = face.specular[1] = face.specular[2] = 0.5f;
    face.emissive[0] = face.emissive[1] = face.emissive[2] = 0.55f;
    face.texture = W_TEXTURE;
    MeshMaterial side;
    side.diffuse[0] = 0.30f;
    side.diffuse[1] = 0.33f;
    side.diffuse[2] = 0.40f;
    side.power = 8.0f;
    side.specular[0] = side.specular[1] = side.specular[2] = 0.2f;
    side.emissive[0] = 0.10f;
    side.emissive[1] = 0.11f;
    side.emissive[2] = 0.14f;
    uint32_t fm = m.addMaterial(face);
    uint32_t sm = m.addMaterial(side);

    const float xl = -0.275f;
    const float xr = 0.425f;
    const float c = 0.075f;
    const float t = 0.13f;
    const float bottom = -0.1f;
    const float top = 0.4f;
    const float mid = 0.3f;
    const float b1 = xl + 0.16f;
    const float b2 = xr - 0.16f - t;
    const float m0 = c - t * 0.5f;
    // Four slanted strokes with level ends; where they meet they overlap.
    const Point strokes[4][4] = {
        {{xl, top}, {b1, bottom}, {b1 + t, bottom}, {xl + t, top}},
        {{b1, bottom}, {m0, mid}, {m0 + t, mid}, {b1 + t, bottom}},
        {{m0, mid}, {b2, bottom}, {b2 + t, bottom}, {m0 + t, mid}},
        {{b2, bottom}, {xr - t, top}, {xr, top}, {b2 + t, bottom}},
    };
    for (const auto& q : strokes) {
        // The quads above run clockwise on screen (y up), so reverse them for the helper.
        const Point r[4] = {q[3], q[2], q[1], q[0]};
        prism(m, r, 0.14f, xl, xr, bottom, top, fm, sm);
    }
    return m;
}

MeshBuilder ModelArt::box() {
    MeshBuilder m;
    MeshMaterial wall;
    wall.power = 4.0f;
    wall.emissive[0] = wall.emissive[1] = wall.emissive[2] = 0.7f;
    wall.texture = WALL_TEXTURE;
    MeshMaterial floor = wall;
    floor.texture = FLOOR_TEXTURE;
    uint32_t wm = m.addMaterial(wall);
    uint32_t fm = m.addMaterial(floor);
    const float s = 1.0f;
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // Inward-facing walls; each quad lists its corners from top-left as seen from inside.
    const Vec3 north[4] = {{-s, s, s}, {s, s, s}, {s, -s, s}, {-s, -s, s}};
    const Vec3 south[4] = {{s, s, -s}, {-s, s, -s}, {-s, -s, -s}, {s, -s, -s}};
    const Vec3 east[4] = {{s, s, s}, {s, s, -s}, {s, -s, -s}, {s, -s, s}};
    const Vec3 west[4] = {{-s, s, -s}, {-s, s, s}, {-s, -s, s}, {-s, -s, -s}};
    const Vec3 ceiling[4] = {{-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s}};
    const Vec3 ground[4] = {{-s, -s, s}, {s, -s, s}, {s, -s, -s}, {-s, -s, -s}};
    m.addQuad(north, {0, 0, -1}, uv, wm);
    m.addQuad(south, {0, 0, 1}, uv, wm);
    m.addQuad(east, {-1, 0, 0}, uv, wm);
    m.addQuad(west, {1, 0, 0}, uv, wm);
    m.addQuad(ceiling, {0, -1, 0}, uv, fm);
    m.addQuad(ground, {0, 1, 0}, uv, fm);
    return m;
}

MeshBuilder ModelArt::ball() {
    MeshBuilder m;
    MeshMaterial glass;
    glass.power = 32.0f;
    glass.specular[0] = glass.specular[1] = glass.specular[2] = 1.0f;
    m.addMaterial(glass);
    const int slices = 32;
    const int stacks = 16;
    const float r = 0.5f;
    for (int j = 0; j <= stacks; ++j) {
        float phi = PI * j / stacks;
        for (int i = 0; i <= slices; ++i) {
            float theta = 2.0f * PI * i / slices;
            Vec3 n{std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta)};
            m.addVertex({r * n.x, r * n.y, r * n.z}, n, static_cast<float>(i) / slices,
                        static_cast<float>(j) / stacks);
        }
    }
    auto at = [&](int i, int j) { return static_cast<uint32_t>(j * (slices + 1) + i); };
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            if (j != 0) {
                m.addFace({at(i, j), at(i + 1, j), at(i + 1, j + 1)}, 0);
            }
            if (j != stacks - 1) {
                m.addFace({at(i, j), at(i + 1, j + 1), at(i, j + 1)}, 0);
            }
        }
    }
    return m;
}

Image ModelArt::wFace() {
    Image img(128, 128, WHITE);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            img.at(x, y) = grey(1.0f - 0.18f * y / 127.0f);
        }
    }
    Canvas cv(img);
    // Two thin bands across the letter, like the demo's own letterbox.
    cv.rect(0, 30, 128, 3, grey(0.15f));
    cv.rect(0, 96, 128, 3, grey(0.15f));
    return img;
}

Image ModelArt::boxWall() {
    Image img(256, 256);
    // An 8 x 8 board of light and dark squares with accent joints: bold enough that the shift
    // through every ball shows.
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            bool dark = ((x / 32) + (y / 32)) % 2 == 1;
            img.at(x, y) = dark ? grey(0.12f) : grey(0.78f);
        }
    }
    Canvas cv(img);
    for (int i = 0; i <= 8; ++i) {
        float p = i * 32.0f - 1.0f;
        cv.rect(p, 0, 2, 256, scale(ACCENT, 0.9f));
        cv.rect(0, p, 256, 2, scale(ACCENT, 0.9f));
    }
    StrokeFont::Style s{12.0f, 7.0f, 2.0f, 3.0f};
    for (int i = 0; i < 4; ++i) {
        std::string label = std::to_string(i * 2 + 1);
        StrokeFont::draw(cv, label, 64.0f * i + 12.0f, 10.0f, s, WHITE);
    }
    return img;
}

Image ModelArt::boxFloor() {
    Image img(256, 256, grey(0.1f));
    Canvas cv(img);
    for (int i = 1; i <= 7; ++i) {
        cv.ring(128, 128, i * 17.0f, i % 2 ? 5.0f : 2.0f, i == 4 ? ACCENT : grey(0.8f));
    }
    return img;
}

} // namespace content
