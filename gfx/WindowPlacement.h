// Where a window whose client area is width x height sits centred on the
// screen, with the dialog frame and caption the window style adds around it.
#pragma once

struct WindowPlacement {
    int x;
    int y;
    int outerWidth;
    int outerHeight;
};

// Reads the frame, caption and screen metrics, in that order. Not clamped: a
// screen smaller than the window gives a negative position.
WindowPlacement centredWindowPlacement(int width, int height);
