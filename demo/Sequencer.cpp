#include "demo/Sequencer.h"

#include "common/DemoTimeline.h"
#include "gfx/GraphicsDevice.h"
#include "audio/MusicPlayer.h"

#include <new>

const double Sequencer::sceneEndTimes[Sequencer::SCENE_SLOTS] = {SCENE_END_SECONDS[0],
                                                                 SCENE_END_SECONDS[1],
                                                                 SCENE_END_SECONDS[2],
                                                                 SCENE_END_SECONDS[3],
                                                                 SCENE_END_SECONDS[4],
                                                                 SCENE_END_SECONDS[5],
                                                                 0.0,
                                                                 0.0};
int Sequencer::playbackStarted = 0;

namespace {
const int BAR_WIDTH = 256;
const int BAR_HEIGHT = 32;
const float BAND_HEIGHT = 40.0f;
const D3DCOLOR LOADING_CLEAR = 0xFF000000;
// The mark the clock carries once playback has begun; any non-zero value would do.
const int32_t PLAYBACK_MARK = 72;
} // namespace

Sequencer::Sequencer() : slots{}, current(0), slotCount(0), music(nullptr) {}

Sequencer::~Sequencer() {
    bandImage.release();
    loadingImage.release();
    if (music != nullptr) {
        delete music;
        music = nullptr;
    }
}

void Sequencer::presentFrame() {
    IDirect3DDevice8* device = graphics->getDevice();
    device->EndScene();
    if (device->Present(nullptr, nullptr, nullptr, nullptr) < 0) {
        D3DPRESENT_PARAMETERS parameters;
        device->Reset(graphics->getPresentParameters(&parameters));
    }
}

void Sequencer::drawEmptyBar(float x, float y) {
    progressBar.setColor(64, 0, 0);
    progressBar.draw(x, y, static_cast<float>(BAR_WIDTH), static_cast<float>(BAR_HEIGHT), 1.0f);
}

int Sequencer::load(GraphicsDevice* graphics, int count) {
    delete music; // a second load replaces the player instead of leaking it
    music = new (std::nothrow) MusicPlayer("data\\dmb.wav");
    // Only eight scenes and eight end times exist: any larger count is refused.
    if (count > SCENE_SLOTS) {
        return 1;
    }

    slotCount = count;
    slots[0] = &scene1;
    slots[1] = &scene2;
    slots[2] = &scene3;
    slots[3] = &scene4;
    slots[4] = &scene5;
    slots[5] = &scene6;
    slots[6] = &idleA;
    slots[7] = &idleB;
    this->graphics = graphics;
    current = 0;

    IDirect3DDevice8* device = graphics->getDevice();
    loadingImage.attach(device);
    loadingImage.loadTexture("data\\loading.bmp");
    progressBar.attach(device);
    progressBar.setColor(255, 0, 0);

    float barX = static_cast<float>((graphics->getWidth() - BAR_WIDTH) / 2);
    float barY = static_cast<float>((graphics->getHeight() - BAR_HEIGHT) / 2);

    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, LOADING_CLEAR, 1.0f, 0);
    drawEmptyBar(barX, barY);
    presentFrame();

    bandImage.attach(device);
    bandImage.loadTexture("data\\obi.bmp");

    for (int i = 0; i < count; ++i) {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, LOADING_CLEAR, 1.0f, 0);
        slots[i]->load(graphics);
        drawEmptyBar(barX, barY);
        progressBar.setColor(255, 0, 0);
        // The bar shows the slots loaded before this one: 7/8 full after the last.
        float filled = static_cast<float>(static_cast<double>(i) * 256.0 / count);
        progressBar.draw(barX, barY, filled, static_cast<float>(BAR_HEIGHT), 1.0f);
        presentFrame();
    }

    slots[0]->start();
    return 0;
}

int Sequencer::update() {
    if (current < 0 || current >= slotCount || slots[current] == nullptr) {
        current = 0;
        return 1; // nothing (left) to play
    }
    if (slots[current]->update() == 0) {
        // The end time is only trusted once the clock has been started.
        if (clock.elapsedSeconds() < sceneEndTimes[current]) {
            return 0;
        }
        if (clock.getMark() == 0) {
            return 0;
        }
    }

    current += 1;
    if (current < slotCount) {
        slots[current]->start();
        return 0;
    }
    current = 0;
    return 1;
}

int Sequencer::render() {
    if (graphics == nullptr) {
        return 0;
    }
    IDirect3DDevice8* device = graphics->getDevice();
    device->BeginScene();
    if (current >= 0 && current < MAX_SLOTS && slots[current] != nullptr) {
        slots[current]->render();
    }

    float width = static_cast<float>(graphics->getWidth());
    float lowerBandY = static_cast<float>(graphics->getHeight()) - BAND_HEIGHT;
    bandImage.draw(0.0f, 0.0f, width, BAND_HEIGHT, 0.0f);
    bandImage.draw(0.0f, lowerBandY, width, BAND_HEIGHT, 0.0f);
    presentFrame();

    if (playbackStarted == 0) {
        if (music != nullptr) {
            music->play();
        }
        clock.start(PLAYBACK_MARK);
        playbackStarted = 1;
    }
    return 0;
}

void Sequencer::previous() {
    current -= 1;
}

void Sequencer::next() {
    current += 1;
}

void Sequencer::rewind() {
    current = 0;
}

int Sequencer::getCurrent() {
    return current;
}

int Sequencer::getSlotCount() {
    return slotCount;
}
