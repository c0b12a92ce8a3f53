#include "demo/SceneClock.h"

#include <mmsystem.h>

void SceneClock::start(int32_t mark) {
    startMs = timeGetTime();
    this->mark = mark;
}

int32_t SceneClock::getMark() {
    return mark;
}

uint32_t SceneClock::elapsedMs() {
    return timeGetTime() - startMs;
}

double SceneClock::elapsedSeconds() {
    return static_cast<double>(elapsedMs()) * 0.001;
}
