#include <SDL.h>
#include <gtest/gtest.h>

#include "PlatformOptions.h"
#include "SdlBridge.h"
#include "WindowTestSupport.h"

#ifdef LETTERBOX_TEST_X11
#include <SDL_syswm.h>
#endif

namespace {

TEST(WindowClass, RegistrationRefusesDuplicatesAndBadInput) {
    testClass();
    WNDCLASSEXA wc{};
    wc.cbSize = 48; // the 32-bit size that the program writes is accepted too
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = "letterbox_test"; // class names ignore case
    EXPECT_EQ(0, RegisterClassExA(&wc));
    EXPECT_EQ(ERROR_CLASS_ALREADY_EXISTS, GetLastError());

    wc.lpszClassName = "ANOTHER_CLASS";
    wc.cbSize = 12;
    EXPECT_EQ(0, RegisterClassExA(&wc));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ(0, RegisterClassExA(nullptr));

    wc.cbSize = 48;
    const ATOM atom = RegisterClassExA(&wc);
    EXPECT_NE(0, atom);
    EXPECT_TRUE(UnregisterClassA("ANOTHER_CLASS", nullptr));
    EXPECT_FALSE(UnregisterClassA("ANOTHER_CLASS", nullptr));
    EXPECT_EQ(ERROR_CLASS_DOES_NOT_EXIST, GetLastError());
}

TEST(Window, UnknownClassCreatesNothing) {
    EXPECT_EQ(nullptr, CreateWindowExA(0, "NO_SUCH_CLASS", "", DEMO_STYLE, 0, 0, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_CANNOT_FIND_WND_CLASS, GetLastError());
}

TEST(Window, FrameMetricsGiveAnExact800By600ClientArea) {
    const int frameX = GetSystemMetrics(SM_CXDLGFRAME);
    const int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_GT(frameX, 0);
    EXPECT_GT(caption, 0);

    // The program's centring arithmetic, on whatever screen this is.
    const int outerWidth = 800 + 2 * frameX;
    const int outerHeight = 600 + 2 * frameY + caption;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;

    HWND window = createDemoWindow(x, y);
    ASSERT_NE(nullptr, window);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(800, client.right);
    EXPECT_EQ(600, client.bottom);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(x, outer.left);
    EXPECT_EQ(y, outer.top);
    EXPECT_EQ(outerWidth, outer.right - outer.left);

    SDL_Window* sdl = sdlWindowFromHwnd(window);
    ASSERT_NE(nullptr, sdl);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(800, width);
    EXPECT_EQ(600, height);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL);
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, AdjustWindowRectMatchesTheMetrics) {
    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&rect, DEMO_STYLE, FALSE));
    EXPECT_EQ(800 + 2 * GetSystemMetrics(SM_CXDLGFRAME), rect.right - rect.left);
    EXPECT_EQ(600 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION),
              rect.bottom - rect.top);
    // A popup without border has no frame at all.
    RECT popup{0, 0, 320, 200};
    AdjustWindowRect(&popup, WS_POPUP, FALSE);
    EXPECT_EQ(320, popup.right);
    EXPECT_EQ(200, popup.bottom);
}

TEST(Window, NegativePositionIsKeptWithoutClamping) {
    HWND window = createDemoWindow(-3, -12);
    ASSERT_NE(nullptr, window);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(-3, outer.left);
    EXPECT_EQ(-12, outer.top);
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, HiddenUntilShown) {
    drainQueue();
    HWND window = createDemoWindow();
    ASSERT_NE(nullptr, window);
    SDL_Window* sdl = sdlWindowFromHwnd(window);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_SHOW)); // answers the earlier visibility
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);

    // Creation and showing reach the procedure in Windows' order.
    std::vector<UINT> messages;
    for (const Received& r : received()) {
        messages.push_back(r.message);
    }
    const std::vector<UINT> expected{WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW, WM_SHOWWINDOW};
    EXPECT_EQ(expected, messages);
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, SetWindowPosMovesAndSizesTheOuterRectangle) {
    PlatformOptions::get().windowed = false;
    HWND window = createDemoWindow();
    ASSERT_NE(nullptr, window);
    const int outerWidth = 640 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int outerHeight =
        480 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    ASSERT_TRUE(SetWindowPos(window, nullptr, 10, 20, outerWidth, outerHeight, SWP_SHOWWINDOW));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
    EXPECT_TRUE(IsWindowVisible(window));
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdlWindowFromHwnd(window), &width, &height);
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);

    // SWP_NOSIZE keeps the size while moving.
    SetWindowPos(window, nullptr, 5, 6, 1, 1, SWP_NOSIZE);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(5, outer.left);
    EXPECT_EQ(outerWidth, outer.right - outer.left);
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, AWindowedRunKeepsItsWindowThroughPlacementAndFullScreen) {
    PlatformOptions::get().windowed = true;
    HWND window = createDemoWindow(40, 30);
    ASSERT_NE(nullptr, window);
    // The device's way to full screen: placement at the corner, then Reset.
    EXPECT_TRUE(SetWindowPos(window, nullptr, 0, 0, 800, 600, SWP_SHOWWINDOW));
    EXPECT_FALSE(sdlSetWindowFullscreen(window, true));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(800, client.right);
    EXPECT_EQ(600, client.bottom);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(40, outer.left);
    EXPECT_TRUE(IsWindowVisible(window));
    PlatformOptions::get().windowed = false;
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, RectanglesFollowTheSdlWindow) {
    HWND window = createDemoWindow(100, 50);
    ASSERT_NE(nullptr, window);
    // As the device does for a windowed run: size and place the SDL window itself.
    SDL_SetWindowSize(sdlWindowFromHwnd(window), 320, 240);
    SDL_SetWindowPosition(sdlWindowFromHwnd(window), 200, 150);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(240, client.bottom);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(200 - GetSystemMetrics(SM_CXDLGFRAME), outer.left);
    EXPECT_EQ(150 - GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYCAPTION), outer.top);
    EXPECT_EQ(320 + 2 * GetSystemMetrics(SM_CXDLGFRAME), outer.right - outer.left);
    DestroyWindow(window);
    drainQueue();
}

// Where the window really is: on an X server as the server has it (SDL reports what it asked
// for, whether or not anybody acted on it), elsewhere as SDL has it.
SDL_Rect placedRect(SDL_Window* sdl) {
    SDL_Rect rect{};
    SDL_GetWindowPosition(sdl, &rect.x, &rect.y);
    SDL_GetWindowSize(sdl, &rect.w, &rect.h);
#ifdef LETTERBOX_TEST_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(sdl, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        XSync(display, False);
        XWindowAttributes attributes{};
        Window child = 0;
        if (XGetWindowAttributes(display, info.info.x11.window, &attributes) &&
            XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &rect.x,
                                  &rect.y, &child)) {
            rect.w = attributes.width;
            rect.h = attributes.height;
        }
    }
#endif
    return rect;
}

// Full screen covers the whole display, also on an X server without a window manager,
// where nobody acts on the request (the test runs there too: see the CMake file), and
// leaving it gives the window back.
TEST(Window, FullScreenIsDesktopFullScreenCoveringTheDisplay) {
    PlatformOptions::get().windowed = false;
    HWND window = createDemoWindow(40, 30);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    SDL_Window* sdl = sdlWindowFromHwnd(window);
    const SDL_Rect windowed = placedRect(sdl);
    SDL_Rect bounds{};
    ASSERT_EQ(0, SDL_GetDisplayBounds(0, &bounds));
    ASSERT_TRUE(bounds.w != 800 || bounds.h != 600) << "the display must differ from the window";

    EXPECT_TRUE(sdlSetWindowFullscreen(window, true));
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_EQ(SDL_WINDOW_FULLSCREEN_DESKTOP, flags & SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_PumpEvents();
    SDL_Rect placed = placedRect(sdl);
    EXPECT_EQ(bounds.x, placed.x);
    EXPECT_EQ(bounds.y, placed.y);
    EXPECT_EQ(bounds.w, placed.w);
    EXPECT_EQ(bounds.h, placed.h);
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(sdl, &width, &height);
    EXPECT_EQ(bounds.w, width);
    EXPECT_EQ(bounds.h, height);
    // Asking again changes nothing, and leaving still restores the window.
    EXPECT_TRUE(sdlSetWindowFullscreen(window, true));

    EXPECT_FALSE(sdlSetWindowFullscreen(window, false));
    SDL_PumpEvents();
    placed = placedRect(sdl);
    EXPECT_EQ(800, placed.w);
    EXPECT_EQ(600, placed.h);
    EXPECT_EQ(windowed.x, placed.x);
    EXPECT_EQ(windowed.y, placed.y);
    EXPECT_EQ(0u, SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS);
    DestroyWindow(window);
    drainQueue();
}

TEST(Window, DestroyedHandlesAreDeadEverywhere) {
    drainQueue();
    HWND window = createDemoWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, sdlWindowFromHwnd(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_FALSE(SetWindowPos(window, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(nullptr, sdlWindowFromHwnd(nullptr));
    // A fresh window never gets a dead window's handle.
    HWND next = createDemoWindow();
    EXPECT_NE(window, next);
    DestroyWindow(next);
    drainQueue();
}

TEST(Cursor, ShowCursorKeepsWindowsDisplayCount) {
    EXPECT_EQ(-1, ShowCursor(FALSE));
    EXPECT_EQ(-2, ShowCursor(FALSE));
    EXPECT_EQ(-1, ShowCursor(TRUE));
    EXPECT_EQ(0, ShowCursor(TRUE));
}

} // namespace
