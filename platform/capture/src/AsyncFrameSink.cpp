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
        Waiting frame = std::move(waiting.front());
        waiting.pop_front();
        busy = true;
        const bool failedBefore = !failure.empty();
        lock.unlock();
        std::string error;
        const bool ok =
            failedBefore || (frame.rgb ? inner->write(*frame.rgb, frame.index, error)
                                       : inner->writeBgra(*frame.bgra, frame.index, error));
        frame = Waiting(); // the last reference may be this one: let go outside the lock
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

bool AsyncFrameSink::writeBgra(const BgraPicture& frame, uint32_t index, std::string& error) {
    return write(std::make_shared<const BgraPicture>(frame), index, error);
}

bool AsyncFrameSink::write(std::shared_ptr<const PngImage> frame, uint32_t index,
                           std::string& error) {
    return handOver({std::move(frame), nullptr, index}, error);
}

bool AsyncFrameSink::write(std::shared_ptr<const BgraPicture> frame, uint32_t index,
                           std::string& error) {
    return handOver({nullptr, std::move(frame), index}, error);
}

bool AsyncFrameSink::handOver(Waiting frame, std::string& error) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return waiting.size() < MAX_WAITING || !failure.empty(); });
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    waiting.push_back(std::move(frame));
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
