// Frames handed to the worker thread arrive in order, and a failure comes back.
#include <gtest/gtest.h>

#include "AsyncFrameSink.h"

namespace {

class RecordingSink : public FrameSink {
public:
    explicit RecordingSink(std::vector<uint32_t>& seen, uint32_t failAt)
        : seen(seen), failAt(failAt) {}
    bool write(const PngImage& frame, uint32_t index, std::string& error) override {
        if (index == failAt) {
            error = "disk full";
            return false;
        }
        EXPECT_EQ(index, frame.pixel(0, 0)[0]); // the frame that came with the index
        seen.push_back(index);
        return true;
    }
    bool finish(const PcmFormat&, const std::vector<uint8_t>&, std::string&) override {
        finished = true;
        return true;
    }
    std::string soundPath() const override { return "sound"; }
    std::vector<uint32_t>& seen;
    uint32_t failAt;
    bool finished = false;
};

// The sink under test in front of a recording sink that fails at frame failAt.
struct SinkInFront {
    explicit SinkInFront(uint32_t failAt)
        : recording(new RecordingSink(seen, failAt)), sink(std::unique_ptr<FrameSink>(recording)) {}
    std::vector<uint32_t> seen;
    RecordingSink* recording;
    AsyncFrameSink sink;
};

TEST(AsyncFrameSinkTest, EveryFrameInOrderBeforeFinish) {
    SinkInFront front(1000);
    auto& [seen, recording, sink] = front;
    std::string error;
    // Frames come in both forms, mixed: RGB and as read back (B, G, R, A).
    for (uint32_t i = 0; i < 200; ++i) {
        if (i % 2 == 0) {
            ASSERT_TRUE(sink.write(PngImage(2, 2, static_cast<uint8_t>(i), 0, 0), i, error));
        } else {
            const uint8_t red = static_cast<uint8_t>(i);
            const uint8_t pixels[] = {0, 0, red, 255, 0, 0, red, 255,
                                      0, 0, red, 255, 0, 0, red, 255};
            ASSERT_TRUE(sink.write(std::make_shared<const BgraPicture>(pixels, 2, 2, 8), i, error));
        }
    }
    ASSERT_TRUE(sink.finish(PcmFormat{}, {}, error)) << error;
    EXPECT_TRUE(recording->finished);
    ASSERT_EQ(200u, seen.size());
    for (uint32_t i = 0; i < 200; ++i) {
        EXPECT_EQ(i, seen[i]);
    }
    EXPECT_EQ("sound", sink.soundPath());
}

TEST(AsyncFrameSinkTest, AFailureStopsTheWritesAndIsReported) {
    SinkInFront front(5);
    auto& [seen, recording, sink] = front;
    std::string error;
    bool refused = false;
    for (uint32_t i = 0; i < 100 && !refused; ++i) {
        refused = !sink.write(PngImage(2, 2, static_cast<uint8_t>(i), 0, 0), i, error);
    }
    std::string finishError;
    EXPECT_FALSE(sink.finish(PcmFormat{}, {}, finishError));
    EXPECT_EQ("disk full", finishError);
    EXPECT_TRUE(recording->finished); // what was open is closed all the same
    // Nothing after the failed frame was written.
    EXPECT_EQ(5u, seen.size());
    if (refused) {
        EXPECT_EQ("disk full", error);
    }
}

TEST(AsyncFrameSinkTest, DestroyedWithFramesWaitingDoesNotHang) {
    std::vector<uint32_t> seen;
    {
        AsyncFrameSink sink(std::make_unique<RecordingSink>(seen, 1000));
        std::string error;
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_TRUE(sink.write(PngImage(2, 2, static_cast<uint8_t>(i), 0, 0), i, error));
        }
    }
    EXPECT_LE(seen.size(), 3u);
}

} // namespace
