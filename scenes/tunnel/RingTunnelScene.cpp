#include "scenes/tunnel/RingTunnelScene.h"

#include "common/Angles.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/SceneStates.h"
#include "demo/RandRange.h"

#include <crtrand.h>
#include <d3dx8.h>

#include <bit>
#include <cmath>

namespace {
const double TITLE_ZOOM_START = 5.2f;
const double TITLE_ZOOM_STEP = 0.17f;
const int32_t TITLE_PULSE = 30;         // updates per title cell pulse
const int32_t INTRO_UPDATES = 120;      // updates with the fixed intro camera
const int32_t LAST_INTRO_FRAME = 121;   // renders up to here show the intro
const int32_t LAST_DIRECT_FRAME = 630;  // renders after this go through the trail
const int32_t FAST_ORBIT_UPDATES = 570; // one degree per update up to here, then 0.3
const float TITLE_CELL = 70.0f;

const double ORBIT_RADIUS = 5.1f; // 0.1 outside the ring, through the holes
const double LOOK_AHEAD_DEGREES = 30.0;
const double UP_LENGTH = 10.0;
const double RING_RADIUS = 5.0;

const double CYCLE_STEP = 0.025f;
const double CYCLE_HIGH = 1.0;
const double CYCLE_LOW = 0.3;

const D3DCOLOR BLACK = 0xFF000000;
const float SPRITE_DEPTH = -10.0f;
const float SHEET_SIZE = 256.0f;

// Glyph sheet: cells of 17 x 17 texels holding a 16 x 15 glyph.
const int32_t CELL_PITCH = 17;
const float GLYPH_WIDTH = 16.0f;
const float GLYPH_HEIGHT = 15.0f;
const float LINE_PITCH = 20.0f;
const int32_t WORD_A[3][2] = {{0, 1}, {8, 1}, {1, 2}};
const int32_t WORD_B[6][2] = {{11, 1}, {8, 1}, {2, 2}, {5, 2}, {9, 2}, {5, 2}};

const char* const CLOUD_TEXTURES[RingTunnelScene::CLOUD_COUNT] = {
    "data\\mono1.bmp", "data\\mono2.bmp", "data\\mono3.bmp"};

int32_t toColorByte(double component) {
    return static_cast<int32_t>(component * 255.0); // truncates: 0.3 gives 76
}
} // namespace

double RingTunnelScene::titleZoom = TITLE_ZOOM_START;
double RingTunnelScene::cameraAngle = 0.0;
double RingTunnelScene::cameraUp[3] = {0.0, 0.0, 0.0};
double RingTunnelScene::cycleColor[3] = {0.3, 0.3, 0.3};
int32_t RingTunnelScene::cyclePhase = 0;
double RingTunnelScene::ringX[RING_SIZE] = {};
double RingTunnelScene::ringZ[RING_SIZE] = {};
D3DMATERIAL8 RingTunnelScene::ringMaterial = {};

int32_t RingTunnelScene::ringDegrees(int32_t k) {
    return k * 360 / RING_SIZE;
}

D3DMATERIAL8 RingTunnelScene::makeMaterial(double red, double green, double blue) {
    D3DCOLORVALUE color = {static_cast<float>(red), static_cast<float>(green),
                           static_cast<float>(blue), 1.0f};
    D3DMATERIAL8 material{};
    material.Diffuse = color;
    material.Ambient = color;
    material.Specular = color;
    material.Emissive = color;
    material.Power = 2.0f;
    return material;
}

void RingTunnelScene::stepColorCycle() {
    // Phases 0/1 move red up then down, 2/3 green, 4/5 blue.
    double& component = cycleColor[cyclePhase / 2];
    if (cyclePhase % 2 == 0) {
        component += CYCLE_STEP;
        if (component >= CYCLE_HIGH) {
            component = CYCLE_HIGH;
            cyclePhase += 1;
        }
    } else {
        component -= CYCLE_STEP;
        if (component <= CYCLE_LOW) {
            component = CYCLE_LOW;
            cyclePhase = (cyclePhase + 1) % 6;
        }
    }
}

RingTunnelScene::RingTunnelScene() : frameCount(0), light{} {}

RingTunnelScene::~RingTunnelScene() {
    torus.release();
    titleSprite.release();
    circleSprite.release();
    glyphSprite.release();
    for (ParticleSystem& cloud : clouds) {
        cloud.release();
    }
}

int RingTunnelScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);

    const struct {
        Sprite* sprite;
        const char* fileName;
    } images[] = {
        {&titleSprite, "data\\TELV_title.bmp"},
        {&circleSprite, "data\\circle.bmp"},
        {&glyphSprite, "data\\chars.bmp"},
    };
    for (const auto& image : images) {
        image.sprite->attach(device);
        image.sprite->loadTexture(image.fileName);
        image.sprite->setTextureSize(SHEET_SIZE, SHEET_SIZE);
    }

    // Still, opaque white points through the cube from -5 to 5; the draws
    // come from the generator as loading leaves it, the same in every run.
    for (int32_t c = 0; c < CLOUD_COUNT; ++c) {
        clouds[c].create(device, CLOUD_POINTS);
        clouds[c].loadTexture(CLOUD_TEXTURES[c]);
        for (int32_t i = 0; i < CLOUD_POINTS; ++i) {
            float x = randRange(-5.0f, 5.0f);
            float y = randRange(-5.0f, 5.0f);
            float z = randRange(-5.0f, 5.0f);
            clouds[c].setParticle(x, y, z, 0.0f, 0.0f, 0.0f, 0xFFFFFFFF, i);
        }
        clouds[c].setRenderState(D3DRS_POINTSIZE, std::bit_cast<DWORD>(1.0f));
    }

    torus.attach(device);
    torus.create();

    for (int32_t k = 0; k < RING_SIZE; ++k) {
        double radians = static_cast<float>(ringDegrees(k)) * DEG_TO_RAD_F;
        ringX[k] = RING_RADIUS * std::cos(radians);
        ringZ[k] = RING_RADIUS * std::sin(radians);
    }

    setGreyDirectionalLight(device, light);

    trail.attach(device);
    D3DPRESENT_PARAMETERS parameters;
    return trail.create(*graphics->getPresentParameters(&parameters), 1024, 1024,
                        graphics->getWidth(), graphics->getHeight());
}

int RingTunnelScene::start() {
    setLitMeshStates(device);
    frameCount = 0;
    return 0;
}

int RingTunnelScene::update() {
    D3DXMATRIX projection;
    float aspect =
        static_cast<float>(graphics->getWidth()) / static_cast<float>(graphics->getHeight());
    // 120 is read as radians: a narrow view of about 35.5 degrees.
    D3DXMatrixPerspectiveFovLH(&projection, 120.0f, aspect, 0.1f, 100.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    D3DXMATRIX view;
    if (frameCount < INTRO_UPDATES) {
        titleZoom -= TITLE_ZOOM_STEP;
        if (frameCount == TITLE_PULSE || frameCount == 2 * TITLE_PULSE ||
            frameCount == 3 * TITLE_PULSE) {
            titleZoom = TITLE_ZOOM_START;
        }
        D3DXVECTOR3 eye(0.0f, 0.0f, 0.0f);
        D3DXVECTOR3 at(0.0f, 0.0f, 10.0f);
        D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    } else {
        double here = cameraAngle * DEG_TO_RAD;
        double ahead = (cameraAngle + LOOK_AHEAD_DEGREES) * DEG_TO_RAD;
        D3DXVECTOR3 eye(static_cast<float>(ORBIT_RADIUS * std::cos(here)), 0.0f,
                        static_cast<float>(ORBIT_RADIUS * std::sin(here)));
        D3DXVECTOR3 at(static_cast<float>(ORBIT_RADIUS * std::cos(ahead)), 0.0f,
                       static_cast<float>(ORBIT_RADIUS * std::sin(ahead)));
        D3DXVECTOR3 up(static_cast<float>(cameraUp[0]), static_cast<float>(cameraUp[1]),
                       static_cast<float>(cameraUp[2]));
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);

        cameraAngle += frameCount <= FAST_ORBIT_UPDATES ? 1.0 : static_cast<double>(0.3f);
        if (cameraAngle >= 360.0) {
            cameraAngle = 0.0;
        }
        // The up vector for the next view, which will be made at this angle:
        // the camera rolls about its path, once per turn.
        double a = cameraAngle * DEG_TO_RAD;
        cameraUp[0] = -UP_LENGTH * std::cos(a);
        cameraUp[1] = -UP_LENGTH * std::sin(a);
        cameraUp[2] = UP_LENGTH * std::sin(a) * std::cos(a);

        ringMaterial = makeMaterial(cycleColor[0], cycleColor[1], cycleColor[2]);
        stepColorCycle();
    }
    device->SetTransform(D3DTS_VIEW, &view);

    light.Direction = {0.0f, -1.0f, 0.0f};
    device->SetLight(0, &light);

    frameCount += 1;
    return 0;
}

int RingTunnelScene::render() {
    float width = static_cast<float>(graphics->getWidth());
    float height = static_cast<float>(graphics->getHeight());
    if (frameCount <= LAST_INTRO_FRAME) {
        renderIntro(width, height);
    } else {
        renderTunnel(width, height);
    }
    return 0;
}

// The intro sets no blend or stage state: from its second frame on, what the
// trail's composite left is in force, and the sprites are opaque white.
void RingTunnelScene::renderIntro(float width, float height) {
    trail.beginCapture();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BLACK, 1.0f, 0);
    titleSprite.setScale(static_cast<float>(titleZoom));
    circleSprite.setScale(static_cast<float>(titleZoom * 0.5));
    circleSprite.drawRegion(0.0f, 0.0f, width, height, 0.0f, 0.0f, SHEET_SIZE, SHEET_SIZE,
                            SPRITE_DEPTH);
    if (frameCount < INTRO_UPDATES) {
        float cellX = 0.0f;
        if (frameCount >= 2 * TITLE_PULSE) {
            cellX = 2.0f * TITLE_CELL;
        } else if (frameCount >= TITLE_PULSE) {
            cellX = TITLE_CELL;
        }
        int32_t cell = static_cast<int32_t>(TITLE_CELL);
        float x = static_cast<float>((graphics->getWidth() - cell) / 2);
        float y = static_cast<float>((graphics->getHeight() - cell) / 2);
        titleSprite.drawRegion(x, y, TITLE_CELL, TITLE_CELL, cellX, 0.0f, TITLE_CELL, TITLE_CELL,
                               SPRITE_DEPTH);
    }
    trail.composite(FeedbackTrail::MODE_GROW);
}

void RingTunnelScene::renderTunnel(float width, float height) {
    bool throughTrail = frameCount > LAST_DIRECT_FRAME;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    if (throughTrail) {
        trail.beginCapture();
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BLACK, 1.0f, 0);
    drawRing();
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);

    D3DXMATRIX identity;
    D3DXMatrixTranslation(&identity, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (ParticleSystem& cloud : clouds) {
        cloud.render();
    }
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    drawOverlay(width, height);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    if (throughTrail) {
        trail.composite(FeedbackTrail::MODE_GROW);
    }
}

// Each torus stands across the path, its axis along the ring's tangent, so
// the camera flies through the holes. Stage 0 is empty here: the last sprite
// draw of every frame unbinds its texture.
void RingTunnelScene::drawRing() {
    torus.setMaterial(ringMaterial);
    for (int32_t k = 0; k < RING_SIZE; ++k) {
        D3DXMATRIX place;
        D3DXMatrixTranslation(&place, static_cast<float>(ringX[k]), 0.0f,
                              static_cast<float>(ringZ[k]));
        D3DXMATRIX turn;
        D3DXMatrixRotationY(&turn, static_cast<float>(360 - ringDegrees(k)) * DEG_TO_RAD_F);
        D3DXMATRIX world;
        D3DXMatrixMultiply(&world, &turn, &place);
        device->SetTransform(D3DTS_WORLD, &world);
        torus.draw();
    }
}

void RingTunnelScene::drawGlyph(float x, float y, int32_t column, int32_t row) {
    glyphSprite.drawRegion(x, y, GLYPH_WIDTH, GLYPH_HEIGHT, static_cast<float>(CELL_PITCH * column),
                           static_cast<float>(CELL_PITCH * row), GLYPH_WIDTH, GLYPH_HEIGHT,
                           SPRITE_DEPTH);
}

void RingTunnelScene::drawRandomDigit(float x, float y) {
    drawGlyph(x, y, crtRand() % 10, 0);
}

void RingTunnelScene::drawRandomLetter(float x, float y) {
    int32_t row = 1 + crtRand() % 2; // the row is drawn before the column
    int32_t column = crtRand() % 15;
    drawGlyph(x, y, column, row);
}

void RingTunnelScene::drawWord(float x, float y, const int32_t (*cells)[2], int32_t length) {
    for (int32_t j = 0; j < length; ++j) {
        drawGlyph(x + GLYPH_WIDTH * static_cast<float>(j), y, cells[j][0], cells[j][1]);
    }
}

// Fresh random numbers on every frame: the digits, the letters and the
// lengths of the lines and columns change with each rendered frame.
void RingTunnelScene::drawOverlay(float width, float height) {
    glyphSprite.setColor(toColorByte(cycleColor[0]), toColorByte(cycleColor[1]),
                         toColorByte(cycleColor[2]));
    for (int32_t j = 0; j < 6; ++j) {
        drawRandomDigit(GLYPH_WIDTH * static_cast<float>(j), 40.0f);
    }
    for (int32_t j = 0; j < 4; ++j) {
        drawRandomDigit(GLYPH_WIDTH * static_cast<float>(j), 60.0f);
    }
    for (int32_t j = 0; j < 6; ++j) {
        drawRandomLetter(GLYPH_WIDTH * static_cast<float>(j), 80.0f);
    }

    // Left column, going down. Each length is drawn afresh after every line or
    // glyph, and the column or line goes on while the count is below it.
    int32_t line = 0;
    int32_t lineLimit = crtRand() % 10 + 5;
    while (line < lineLimit) {
        float y = 120.0f + LINE_PITCH * static_cast<float>(line);
        if (crtRand() % 100 == 0) {
            drawWord(0.0f, y, WORD_A, 3);
        } else {
            int32_t glyph = 0;
            int32_t glyphLimit = crtRand() % 10 + 3;
            while (glyph < glyphLimit) {
                drawRandomLetter(GLYPH_WIDTH * static_cast<float>(glyph), y);
                glyph += 1;
                glyphLimit = crtRand() % 10 + 3;
            }
        }
        line += 1;
        lineLimit = crtRand() % 10 + 5;
    }

    glyphSprite.setColor(255, 32, 0);
    // Right column, going up, each line ending at the right edge.
    line = 0;
    lineLimit = crtRand() % 10 + 5;
    while (line < lineLimit) {
        float y = 400.0f - LINE_PITCH * static_cast<float>(line);
        if (crtRand() % 100 == 0) {
            drawWord(width - 6.0f * GLYPH_WIDTH, y, WORD_B, 6);
        } else {
            int32_t length = crtRand() % 10 + 3;
            for (int32_t j = 0; j < length; ++j) {
                drawRandomLetter(width - GLYPH_WIDTH * static_cast<float>(length - j), y);
            }
        }
        line += 1;
        lineLimit = crtRand() % 10 + 5;
    }

    for (int32_t j = 0; j < 6; ++j) {
        drawRandomLetter(width - GLYPH_WIDTH * static_cast<float>(6 - j), 480.0f);
    }
    for (int32_t j = 0; j < 4; ++j) {
        drawRandomDigit(width - GLYPH_WIDTH * static_cast<float>(4 - j), 460.0f);
    }
    for (int32_t j = 0; j < 6; ++j) {
        drawRandomDigit(width - GLYPH_WIDTH * static_cast<float>(6 - j), 440.0f);
    }

    // The two banner strips, stretched to twice their width.
    glyphSprite.drawRegion(width - 512.0f, 40.0f, 512.0f, 60.0f, 0.0f, 70.0f, 256.0f, 60.0f,
                           SPRITE_DEPTH);
    glyphSprite.drawRegion(0.0f, height - 120.0f, 512.0f, 60.0f, 0.0f, 130.0f, 256.0f, 60.0f,
                           SPRITE_DEPTH);
}
