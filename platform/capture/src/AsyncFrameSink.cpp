#include "AsyncFrameSink.h"

AsyncFrameSink::AsyncFrameSink(std::unique_ptr<FrameSink> sink)
    : inner(std::move(sink)), worker([this] { work(); }) {}

AsyncFrameSink::~AsyncFrameSink() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    worker.join();
}

void AsyncFrameSink::work() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return stopping || !waiting.empty(); });
        if (waiting.empty()) {
            return; // stopping, nothing left
        }
        auto [frame, index] = std::move(waiting.front());
        waiting.pop_front();
        busy = true;
        const bool failedBefore = !failure.empty();
        lock.unlock();
        std::string error;
        const bool ok = failedBefore || inner->write(*frame, index, error);
        frame.reset(); // the last reference may be this one: let go outside the lock
        lock.lock();
        busy = false;
        if (!ok && failure.empty()) {
            failure = error;
        }
        changed.notify_all();
    }
}

bool AsyncFrameSink::write(const PngImage& frame, uint32_t index, std::string& error) {
    return write(std::make_shared<const PngImage>(frame), index, error);
}

bool AsyncFrameSink::write(std::shared_ptr<const PngImage> frame, uint32_t index,
                           std::string& error) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return waiting.size() < MAX_WAITING || !failure.empty(); });
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    waiting.emplace_back(std::move(frame), index);
    lock.unlock();
    changed.notify_all();
    return true;
}

bool AsyncFrameSink::drain(std::string& error) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return (waiting.empty() && !busy) || !failure.empty(); });
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    return true;
}

bool AsyncFrameSink::finish(const PcmFormat& format, const std::vector<uint8_t>& sound,
                            std::string& error) {
    if (!drain(error)) {
        std::string ignored;
        inner->finish(format, sound, ignored); // still close what is open
        return false;
    }
    return inner->finish(format, sound, error);
}
