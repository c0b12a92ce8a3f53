#include <SDL.h>
#include <gtest/gtest.h>

#include "SdlBridge.h"
#include "WindowTestSupport.h"

namespace {

void pushWindowClose(HWND window) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(sdlWindowFromHwnd(window));
    SDL_PushEvent(&event);
}

void pushKey(HWND window, SDL_Keycode key, Uint16 mod, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = SDL_GetWindowID(sdlWindowFromHwnd(window));
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    SDL_PushEvent(&event);
}

std::vector<UINT> messagesTo(HWND window) {
    std::vector<UINT> result;
    for (const Received& r : received()) {
        if (r.window == window) {
            result.push_back(r.message);
        }
    }
    return result;
}

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = createDemoWindow();
        ASSERT_NE(nullptr, window);
        drainQueue();
        destroyCount() = 0;
    }
    void TearDown() override {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        drainQueue();
    }
    HWND window = nullptr;
};

// The demo's loop: one PM_REMOVE peek and one dispatch per iteration.
TEST_F(MessageQueueTest, CloseButtonEndsWithQuitOneMessagePerPeek) {
    pushWindowClose(window);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(WM_CLOSE, msg.message);
    EXPECT_EQ(window, msg.hwnd);
    EXPECT_TRUE(messagesTo(window).empty()); // nothing dispatched by the peek itself

    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    // WM_CLOSE -> DestroyWindow -> WM_DESTROY, sent at once, inside the dispatch.
    const std::vector<UINT> expected{WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(expected, messagesTo(window));
    EXPECT_EQ(1, destroyCount());
    EXPECT_FALSE(IsWindow(window));

    // The quit posted by WM_DESTROY comes with the next peek, and only once.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(WM_QUIT, msg.message);
    EXPECT_EQ(nullptr, msg.hwnd);
    EXPECT_EQ(0u, msg.wParam);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, EscapeAndAltF4AreCloseRequests) {
    pushKey(window, SDLK_ESCAPE, KMOD_NONE);
    pushKey(window, SDLK_F4, KMOD_LALT);
    pushKey(window, SDLK_F4, KMOD_NONE);        // F4 alone is nothing
    pushKey(window, SDLK_a, KMOD_NONE);         // nor are other keys
    pushKey(window, SDLK_ESCAPE, KMOD_NONE, 1); // nor a held key's repeats
    MSG msg{};
    int closes = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_EQ(WM_CLOSE, msg.message);
        EXPECT_EQ(window, msg.hwnd);
        ++closes;
    }
    EXPECT_EQ(2, closes);
}

TEST_F(MessageQueueTest, NoRemoveLeavesTheMessageAndGetMessageTakesIt) {
    ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 7, 9));
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(WM_USER + 1, msg.message);
    EXPECT_EQ(TRUE, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(WM_USER + 1, msg.message);
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_EQ(9, msg.lParam);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueueTest, QuitWaitsForPostedMessagesAndEndsGetMessage) {
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_APP, 0, 0);
    MSG msg{};
    // A quit seen without removing stays pending.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(WM_QUIT, msg.message);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(WM_USER, msg.message);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(WM_APP, msg.message);
    EXPECT_EQ(nullptr, msg.hwnd);
    EXPECT_EQ(FALSE, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(WM_QUIT, msg.message);
    EXPECT_EQ(3u, msg.wParam);
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRange) {
    PostMessageA(window, WM_USER + 5, 0, 0);
    PostMessageA(nullptr, WM_USER + 6, 0, 0);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 7, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(
        PeekMessageA(&msg, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(WM_USER + 6, msg.message);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(WM_USER + 5, msg.message);
}

TEST_F(MessageQueueTest, MessagesForADestroyedWindowAreDropped) {
    PostMessageA(window, WM_USER, 0, 0);
    pushWindowClose(window);
    DestroyWindow(window);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(WM_QUIT, msg.message);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
    EXPECT_EQ(0, DispatchMessageA(&msg));
}

TEST_F(MessageQueueTest, ManyQueuedRequestsStillCloseOnce) {
    // Input waiting from the loading screen: several close clicks, one close.
    pushWindowClose(window);
    pushWindowClose(window);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(WM_QUIT, msg.message);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(1, destroyCount());
}

TEST_F(MessageQueueTest, DefWindowProcAnswersSystemClose) {
    SendMessageA(window, WM_SYSCOMMAND, 0xF060, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, destroyCount());
}

} // namespace
