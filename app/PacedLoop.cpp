#include "app/PacedLoop.h"

#include "app/DemoMain.h"

#include <windows.h>
#include <mmsystem.h>

namespace {
const double CLOCK_PERIOD_MS = 4294967296.0;
}

PacedLoop::PacedLoop() : lastTickMs(0.0), tickRate(0.0), skippedRenders(0) {}

void PacedLoop::markTick() {
    lastTickMs = static_cast<double>(timeGetTime());
}

double PacedLoop::sinceLastTick(double now) const {
    double elapsed = now - lastTickMs;
    if (elapsed < 0.0) {
        elapsed += CLOCK_PERIOD_MS;
    }
    return elapsed;
}

void PacedLoop::run(Task& task) {
    MSG msg;
    while (quitRequested == 0) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }

        double now = static_cast<double>(timeGetTime());
        if (!(sinceLastTick(now) > TICK_INTERVAL_MS)) {
            Sleep(1);
            continue;
        }

        // Three separate clock readings: the due test, the rate, the new tick time.
        double t2 = static_cast<double>(timeGetTime());
        tickRate = 1000.0 / sinceLastTick(t2);
        double t3 = static_cast<double>(timeGetTime());
        lastTickMs = t3;

        if (task.update() != 0) {
            quitRequested = 1;
            break; // the last tick is not rendered
        }
        if (tickRate >= RENDER_RATE) {
            task.render();
        } else {
            skippedRenders += 1;
        }
        // Rendering at full rate does not reset the count: among slow ticks
        // every 11th is rendered.
        if (skippedRenders > MAX_SKIPPED_RENDERS) {
            skippedRenders = 0;
            task.render();
        }
    }
}
