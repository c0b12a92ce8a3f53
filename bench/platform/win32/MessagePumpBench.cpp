// What the paced loop pays per iteration on the platform side: one
// PeekMessageA (which also reads SDL's events) and a few clock readings.
#include <benchmark/benchmark.h>

#include "SdlBridge.h"
#include <windows.h>

namespace {

LRESULT CALLBACK benchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND benchWindow() {
    static HWND window = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = benchProc;
        wc.lpszClassName = "BENCH";
        RegisterClassExA(&wc);
        HWND w = CreateWindowExA(0, "BENCH", "", WS_CAPTION | WS_SYSMENU, 0, 0, 806, 625, nullptr,
                                 nullptr, nullptr, nullptr);
        ShowWindow(w, SW_SHOW);
        return w;
    }();
    return window;
}

void PeekMessageEmptyQueue(benchmark::State& state) {
    benchWindow();
    MSG msg;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    }
}
BENCHMARK(PeekMessageEmptyQueue);

void PostPeekDispatch(benchmark::State& state) {
    HWND window = benchWindow();
    MSG msg;
    for (auto _ : state) {
        PostMessageA(window, WM_USER, 0, 0);
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        benchmark::DoNotOptimize(DispatchMessageA(&msg));
    }
}
BENCHMARK(PostPeekDispatch);

void TimeGetTime(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(timeGetTime());
    }
}
BENCHMARK(TimeGetTime);

void QueryPerformanceCounterCall(benchmark::State& state) {
    LARGE_INTEGER count;
    for (auto _ : state) {
        QueryPerformanceCounter(&count);
        benchmark::DoNotOptimize(count.QuadPart);
    }
}
BENCHMARK(QueryPerformanceCounterCall);

// How late Sleep(1) wakes on the real clock: the loop's idle step.
void SleepOneMillisecond(benchmark::State& state) {
    for (auto _ : state) {
        Sleep(1);
    }
}
BENCHMARK(SleepOneMillisecond)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

BENCHMARK_MAIN();
