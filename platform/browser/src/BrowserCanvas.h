// The page's canvas (#canvas) as the one display and window surface of the browser build:
// its size in device pixels, the keys pressed on the page, the WebGL 2 context drawn into
// it, and the moments the program lets the browser run (show a frame, handle input).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <string>

// What SDL_CreateWindow hands out: every window of the program is shown on the canvas.
struct SDL_Window {
    uint32_t id = 0;
    int x = 0, y = 0, width = 0, height = 0; // as the program placed and sized it
    uint32_t flags = 0;
};

class BrowserCanvas {
public:
    static BrowserCanvas& instance();

    // The canvas's drawing buffer in device pixels, kept to its size on the page.
    void drawableSize(int& width, int& height);
    // The page's size in device pixels, as the display the program sees.
    void displaySize(int& width, int& height);

    // The WebGL 2 context on the canvas, created once; 0 with `error` set when the browser
    // gives none.
    intptr_t context(std::string& error);

    // Keys and other input since the last call, as SDL events; false when none is waiting.
    bool nextEvent(SDL_Event& event);

    // A frame was finished in the drawing buffer: the browser shows it once it runs.
    void frameSwapped();
    // Lets the browser run (show the last frame, deliver input) if a frame waits for it.
    void yieldForFrame();
    // Lets the browser run for at least ms milliseconds.
    static void yieldFor(uint32_t ms);

    void queue(const SDL_Event& event) { events.push_back(event); }

private:
    BrowserCanvas();

    std::deque<SDL_Event> events;
    intptr_t webgl = 0;
    bool framePending = false;
};
