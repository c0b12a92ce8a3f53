// What the process entry sets up around the program's run, from the options:
// capture of every frame of playback and of its soundtrack, the contact sheet,
// statistics, and the end time. It watches the run through the observers of the
// main loop, the device and the wave device, and changes nothing in the program.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LoopObserver.h"
#include "common/DemoTimeline.h"
#include "PlatformOptions.h"
#include "WaveObserver.h"
#include "d3d8observer.h"

class ContactSheet;
class AsyncFrameSink;
class BgraPicture;
class ProgressMeter;
class RunStats;

class Launcher : public LoopObserver, public PresentObserver, public WaveObserver {
public:
    // One tick of the paced loop on the virtual clock, and so one frame.
    static constexpr uint32_t TICK_MS = VIRTUAL_TICK_MS;
    // How long the demo plays (the end of the last scene and its three closing
    // ticks), for the progress estimate.
    static constexpr uint32_t DEMO_MS = 71000 + 3 * TICK_MS;

    explicit Launcher(const PlatformOptions& options);
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Opens the outputs and installs the observers; false (with `error`) when an
    // output cannot be opened.
    bool begin(std::string& error);
    // After the run: the soundtrack, the contact sheet, the statistics; the
    // observers are removed. 0, or 1 when something could not be written.
    int finish();

    // The frame index nearest to a time of playback.
    static uint32_t frameAt(uint32_t playbackMs) { return playbackFrameAt(playbackMs); }

    void messagePeeked() override;
    void slept(uint32_t ms) override;
    void timerPeriodBegun(uint32_t period) override;
    void sceneBegun(IDirect3DDevice8* device) override;
    void presented(IDirect3DDevice8* device, uint64_t shaderCompiles) override;
    bool wantsPicture() override;
    void pictureRead(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch) override;
    void playStarted(const std::shared_ptr<const WaveFile>& wave, uint32_t firstFrame,
                     uint32_t endFrame, uint32_t clockMs) override;

private:
    // A presented frame whose picture is on its way back from the device.
    struct PendingPicture {
        uint32_t frame;
        bool write;      // to the capture
        bool sheetFrame; // to the contact sheet
    };

    bool inRange(uint32_t frame) const;
    void capture(uint32_t frame);
    void keep(const PendingPicture& pending, std::shared_ptr<const BgraPicture> image);
    void requestEnd(IDirect3DDevice8* device);
    void fail(const std::string& message);
    // The soundtrack as heard over the frames written.
    std::vector<uint8_t> soundOfFrames() const;
    double wallMs() const;

    PlatformOptions options;
    bool capturing = false;
    uint32_t fromMs = 0;
    std::optional<uint32_t> toMs;

    bool playback = false;            // start-up is over
    std::optional<uint32_t> originMs; // clock time of the first frame of playback
    bool endRequested = false;
    bool failed = false;
    std::string failure;

    std::unique_ptr<AsyncFrameSink> sink;
    std::unique_ptr<ContactSheet> sheet;
    std::unique_ptr<ProgressMeter> progress;
    std::unique_ptr<RunStats> stats;
    std::deque<PendingPicture> pendingPictures;  // oldest first, as the device hands them back
    bool pictureWanted = false;                  // by the Present being handled
    std::shared_ptr<const BgraPicture> previous; // the last frame written, to fill a gap
    std::optional<uint32_t> firstWritten, lastWritten;
    uint32_t framesSeen = 0;
    uint32_t repeatedFrames = 0;

    // The sound that started playing: its format, its samples and when.
    bool soundStarted = false;
    uint16_t soundChannels = 2, soundBits = 16;
    uint32_t soundRate = 44100;
    // The file played, shared with its device, and the bytes of its samples that were played.
    std::shared_ptr<const WaveFile> soundFile;
    size_t soundBegin = 0, soundEnd = 0;
    int64_t soundStartMs = 0; // on the playback timeline

    std::chrono::steady_clock::time_point wallStart;
};
