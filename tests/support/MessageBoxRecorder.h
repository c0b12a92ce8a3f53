// Takes the program's message boxes while it lives and keeps them, one line
// each as "caption: text", the way they read on standard error.
#pragma once

#include <MessageBoxSink.h>

#include <string>

class MessageBoxRecorder : public MessageBoxSink {
public:
    MessageBoxRecorder() : previous(active) { active = this; }
    ~MessageBoxRecorder() { active = previous; }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void shown(const char* caption, const char* text, UINT) override {
        lines += caption;
        lines += ": ";
        lines += text;
        lines += '\n';
        count += 1;
    }

    // The boxes shown since the last take, which are then forgotten.
    std::string take() {
        std::string taken;
        taken.swap(lines);
        return taken;
    }

    int count = 0; // every box since construction

private:
    MessageBoxSink* previous;
    std::string lines;
};
