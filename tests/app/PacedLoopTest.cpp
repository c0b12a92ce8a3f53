#include "app/DemoMain.h"
#include "app/PacedLoop.h"
#include "demo/Task.h"
#include "TestWindow.h"

#include <SystemClock.h>
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A task that records which ticks rendered; each update can take time.
class TickRecorder : public Task {
public:
    int update() override {
        ticks += 1;
        tickTimes.push_back(timeGetTime());
        rendered.push_back(false);
        if (onTick) {
            onTick(*this, ticks);
        }
        if (updateMs > 0) {
            Sleep(updateMs);
        }
        return ticks >= lastTick ? 1 : 0;
    }
    int render() override {
        renders += 1;
        if (!rendered.empty()) {
            rendered.back() = true;
        }
        return 0;
    }

    int ticks = 0;
    int renders = 0;
    int lastTick = 100;
    uint32_t updateMs = 0;
    std::vector<bool> rendered;
    std::vector<uint32_t> tickTimes;
    std::function<void(TickRecorder&, int)> onTick;
};

class PacedLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemClock::instance().configure(true, 10000);
        quitRequested = 0;
        MSG stale;
        while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    PacedLoop loop;
    TickRecorder task;
};

TEST_F(PacedLoopTest, FastTicksRenderExceptTheFirstAfterLoading) {
    loop.markTick();
    Sleep(2000); // loading
    task.lastTick = 50;
    loop.run(task);
    EXPECT_EQ(task.ticks, 50);
    EXPECT_FALSE(task.rendered[0]) << "the first tick measures the whole start-up";
    for (int i = 1; i < 49; ++i) {
        EXPECT_TRUE(task.rendered[i]) << "tick " << i + 1;
        // A tick is due once more than 16 ms have passed: 17 ms apart.
        EXPECT_EQ(task.tickTimes[i] - task.tickTimes[i - 1], 17u);
    }
    EXPECT_FALSE(task.rendered[49]) << "the tick that ends the sequence is not rendered";
    EXPECT_EQ(quitRequested, 1);
    EXPECT_EQ(loop.skippedRenders, 1);
}

TEST_F(PacedLoopTest, SlowTicksRenderOneInEleven) {
    loop.markTick();
    Sleep(20);
    task.updateMs = 18; // 55.6 ticks per second at best
    task.lastTick = 60;
    loop.run(task);
    EXPECT_EQ(task.ticks, 60);
    for (int i = 0; i < 59; ++i) {
        bool eleventh = (i + 1) % 11 == 0;
        EXPECT_EQ(task.rendered[i], eleventh) << "tick " << i + 1;
    }
    EXPECT_EQ(task.renders, 5);
}

TEST_F(PacedLoopTest, FullRateRendersDoNotResetTheSlowCount) {
    // Ticks 1-5 slow, 6-10 at full rate, 11 on slow again. A tick is slow when
    // the update before it took long.
    task.onTick = [](TickRecorder& self, int tick) {
        self.updateMs = (tick >= 5 && tick < 10) ? 0 : 20;
    };
    task.updateMs = 20;
    task.lastTick = 20;
    loop.markTick();
    Sleep(20);
    loop.run(task);
    std::vector<int> renderedTicks;
    for (int i = 0; i < task.ticks; ++i) {
        if (task.rendered[i]) {
            renderedTicks.push_back(i + 1);
        }
    }
    // The slow count goes on from 5 after the fast ticks: the 11th slow tick is tick 16.
    EXPECT_EQ(renderedTicks, (std::vector<int>{6, 7, 8, 9, 10, 16}));
    EXPECT_EQ(loop.skippedRenders, 3);
}

TEST_F(PacedLoopTest, SetQuitFlagSkipsTheLoop) {
    quitRequested = 1;
    loop.markTick();
    loop.run(task);
    EXPECT_EQ(task.ticks, 0);
}

TEST_F(PacedLoopTest, ClockWrapNeitherHangsNorFloods) {
    SystemClock::instance().configure(true, 0xFFFFFFFFu - 100);
    loop.markTick();
    task.lastTick = 20;
    loop.run(task);
    ASSERT_EQ(task.ticks, 20);
    for (int i = 1; i < 19; ++i) {
        EXPECT_EQ(task.tickTimes[i] - task.tickTimes[i - 1], 17u) << "tick " << i + 1;
        EXPECT_TRUE(task.rendered[i]) << "tick " << i + 1;
    }
    EXPECT_LT(task.tickTimes.back(), 1000u) << "the run went past the wrap";
}

HWND closingWindow = nullptr;

TEST_F(PacedLoopTest, DestroyedWindowEndsTheLoopAfterTheCurrentIteration) {
    closingWindow = makeTestWindow("PACED_LOOP_TEST", windowProc, 320, 240);
    ASSERT_NE(closingWindow, nullptr);
    loop.markTick();
    task.onTick = [](TickRecorder&, int tick) {
        if (tick == 5) {
            DestroyWindow(closingWindow);
        }
    };
    loop.run(task);
    EXPECT_EQ(task.ticks, 5);
    EXPECT_TRUE(task.rendered[4]) << "the iteration in which the window went still renders";
    EXPECT_EQ(quitRequested, 1);
}

TEST_F(PacedLoopTest, CloseRequestedWhileLoadingIsHandledByTheFirstIteration) {
    HWND window = makeTestWindow("PACED_LOOP_TEST", windowProc, 320, 240);
    ASSERT_NE(window, nullptr);
    loop.markTick();
    PostMessageA(window, WM_CLOSE, 0, 0);
    Sleep(3000); // loading: the request waits in the queue
    loop.run(task);
    // The first iteration handles the close and still ticks (without rendering).
    EXPECT_EQ(task.ticks, 1);
    EXPECT_EQ(task.renders, 0);
    EXPECT_EQ(quitRequested, 1);
}

TEST_F(PacedLoopTest, OneMessagePerIterationDoesNotStarveTheTicks) {
    HWND window = makeTestWindow("PACED_LOOP_TEST", windowProc, 320, 240);
    ASSERT_NE(window, nullptr);
    static HWND target;
    target = window;
    // Every tick floods the queue; ticks still come every 17 ms.
    task.onTick = [](TickRecorder&, int) {
        for (int i = 0; i < 40; ++i) {
            PostMessageA(target, WM_USER + 1, 0, 0);
        }
    };
    loop.markTick();
    task.lastTick = 10;
    loop.run(task);
    EXPECT_EQ(task.ticks, 10);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(task.tickTimes[i] - task.tickTimes[i - 1], 17u)
            << "each iteration handles one message and still checks the clock";
    }
    DestroyWindow(window);
}

TEST(WindowProc, CloseDestroysAndDestroyRequestsQuit) {
    quitRequested = 0;
    HWND window = makeTestWindow("PACED_LOOP_TEST", windowProc, 320, 240);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowProc(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(quitRequested, 1);
    MSG msg;
    bool sawQuit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        sawQuit = sawQuit || msg.message == WM_QUIT;
    }
    EXPECT_TRUE(sawQuit);
    quitRequested = 0;
    EXPECT_EQ(windowProc(window, WM_DESTROY, 0, 0), 1);
    EXPECT_EQ(quitRequested, 1);
}

} // namespace
