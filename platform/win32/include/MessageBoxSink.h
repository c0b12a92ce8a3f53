// Lets a watcher take the program's message boxes: while one is installed,
// every box goes to it, neither to the screen nor to standard error, and is
// answered at once with its first button. The program installs none; tests
// install one to read what it reported.
#pragma once

#include <windef.h>

class MessageBoxSink {
public:
    // The caption and text are those the box would show ("Error" for no caption).
    virtual void shown(const char* caption, const char* text, UINT type) = 0;

    // The one sink of the process, or null.
    static inline MessageBoxSink* active = nullptr;

protected:
    ~MessageBoxSink() = default;
};
