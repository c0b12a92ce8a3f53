// The millisecond clock, the timer resolution and the performance counter.
#include <map>

#include "LoopObserver.h"
#include "SystemClock.h"
#include <winbase.h>
#include <mmsystem.h>

namespace {
// Periods begun and not yet ended. The finest one in force makes Sleep end on
// that period's boundary of the millisecond clock.
std::map<UINT, int>& activePeriods() {
    static std::map<UINT, int> periods;
    return periods;
}
constexpr UINT MAX_PERIOD = 1000000;
} // namespace

DWORD WINAPI timeGetTime() {
    return SystemClock::instance().milliseconds();
}

DWORD WINAPI GetTickCount() {
    return SystemClock::instance().milliseconds();
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    if (period == 0 || period > MAX_PERIOD) {
        return TIMERR_NOCANDO;
    }
    ++activePeriods()[period];
    if (LoopObserver::active) {
        LoopObserver::active->timerPeriodBegun(period);
    }
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
    auto& periods = activePeriods();
    auto it = periods.find(period);
    if (it == periods.end()) {
        return TIMERR_NOCANDO;
    }
    if (--it->second == 0) {
        periods.erase(it);
    }
    return TIMERR_NOERROR;
}

void WINAPI Sleep(DWORD milliseconds) {
    const auto& periods = activePeriods();
    SystemClock::instance().sleep(milliseconds, periods.empty() ? 0 : periods.begin()->first);
    if (LoopObserver::active) {
        LoopObserver::active->slept(milliseconds);
    }
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    count->QuadPart = SystemClock::instance().counter();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = SystemClock::FREQUENCY;
    return TRUE;
}
