// Lets a watcher outside the program follow its main loop: every message peek,
// every sleep, and the timer period that is raised once start-up is over. The
// process entry installs one for capture and statistics; nothing else does.
#pragma once

#include <cstdint>

class LoopObserver {
public:
    virtual void messagePeeked() {}
    virtual void slept(uint32_t /*ms*/) {}
    virtual void timerPeriodBegun(uint32_t /*period*/) {}

    // The one observer of the process, or null.
    static inline LoopObserver* active = nullptr;

protected:
    ~LoopObserver() = default;
};
