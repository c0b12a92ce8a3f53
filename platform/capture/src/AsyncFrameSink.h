// Hands frames to another sink on a worker thread, so that converting and
// writing one frame overlaps rendering the next. Frames keep their order; at most
// a few wait, so memory stays bounded. A failure shows at the next write.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "FrameSink.h"

class AsyncFrameSink : public FrameSink {
public:
    static constexpr size_t MAX_WAITING = 3;

    explicit AsyncFrameSink(std::unique_ptr<FrameSink> inner);
    ~AsyncFrameSink() override;

    bool write(const PngImage& frame, uint32_t index, std::string& error) override;
    bool writeBgra(const BgraPicture& frame, uint32_t index, std::string& error) override;
    // The same without a copy: the frame is shared with the caller, who must not change it.
    bool write(std::shared_ptr<const PngImage> frame, uint32_t index, std::string& error);
    bool write(std::shared_ptr<const BgraPicture> frame, uint32_t index, std::string& error);
    bool finish(const PcmFormat& format, const std::vector<uint8_t>& sound,
                std::string& error) override;
    std::string soundPath() const override { return inner->soundPath(); }

private:
    // A frame handed over in one of the two forms.
    struct Waiting {
        std::shared_ptr<const PngImage> rgb;
        std::shared_ptr<const BgraPicture> bgra;
        uint32_t index = 0;
    };

    void work();
    bool handOver(Waiting frame, std::string& error);
    // Waits until every frame handed over is written; false after a failure.
    bool drain(std::string& error);

    std::unique_ptr<FrameSink> inner;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Waiting> waiting;
    bool busy = false;
    bool stopping = false;
    std::string failure;
    std::thread worker;
};
