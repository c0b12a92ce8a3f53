#include "app/DemoMain.h"

#include "app/FrameTimer.h"
#include "gfx/GraphicsDevice.h"
#include "app/PacedLoop.h"
#include "demo/Sequencer.h"

#include <crtrand.h>
#include <mmsystem.h>

int32_t quitRequested = 0;

namespace {
const int SLOT_COUNT = 8;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        quitRequested = 1;
        return 1;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void runDemo(HWND window) {
    // Destroyed in reverse: the device goes before the sequence and its scenes.
    Sequencer sequence;
    GraphicsDevice graphics;
    FrameTimer timer;
    PacedLoop loop;

    // Read before the device exists, so the first tick measures the whole
    // start-up and is not rendered.
    loop.markTick();
    if (graphics.create(window, CLIENT_WIDTH, CLIENT_HEIGHT) != 0) {
        return;
    }
    ShowCursor(FALSE);
    graphics.setWindowed(0);
    sequence.load(&graphics, SLOT_COUNT);
    timer.queryFrequency();
    timer.start();
    // Playback's random draws start from the same state in every run.
    crtSrand(0);
    timeBeginPeriod(1);
    loop.run(sequence);
    timeEndPeriod(1);
}
