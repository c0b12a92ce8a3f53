#include "Launcher.h"

#include <SDL_log.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AsyncFrameSink.h"
#include "BgraPicture.h"
#include "ContactSheet.h"
#include "FrameSink.h"
#include "PngImage.h"
#include "ProgressMeter.h"
#include "RunStats.h"
#include "SystemClock.h"
#include "WavWriter.h"
#include <windows.h>

namespace {
// Ctrl+C during a capture ends the run at the next frame, so the files are complete.
volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}
} // namespace

Launcher::Launcher(const PlatformOptions& runOptions)
    : options(runOptions), wallStart(std::chrono::steady_clock::now()) {
    capturing = !options.capturePath.empty() || !options.contactSheetPath.empty();
    fromMs = static_cast<uint32_t>(std::llround(std::max(0.0, options.fromSeconds) * 1000.0));
    if (options.toSeconds >= 0.0) {
        toMs = static_cast<uint32_t>(std::llround(options.toSeconds * 1000.0));
    }
}

Launcher::~Launcher() {
    if (LoopObserver::active == this) {
        LoopObserver::active = nullptr;
    }
    if (PresentObserver::active == this) {
        PresentObserver::active = nullptr;
    }
    if (WaveObserver::active == this) {
        WaveObserver::active = nullptr;
    }
}

double Launcher::wallMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
        .count();
}

bool Launcher::begin(std::string& error) {
    if (!options.capturePath.empty()) {
        std::unique_ptr<FrameSink> file = FrameSink::open(options.capturePath, error);
        if (!file) {
            return false;
        }
        sink = std::make_unique<AsyncFrameSink>(std::move(file));
    }
    if (!options.contactSheetPath.empty()) {
        sheet = std::make_unique<ContactSheet>(options.renderScale);
    }
    if (capturing) {
        const uint32_t endMs = toMs ? std::min(*toMs, DEMO_MS) : DEMO_MS;
        progress = std::make_unique<ProgressMeter>((endMs + TICK_MS - 1) / TICK_MS, stderr,
                                                   isatty(STDERR_FILENO) != 0);
    }
    if (options.stats) {
        stats = std::make_unique<RunStats>();
    }
    if (capturing) {
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
    }
    if (!capturing && !stats && !toMs) {
        return true; // nothing to watch
    }
    LoopObserver::active = this;
    PresentObserver::active = this;
    WaveObserver::active = this;
    return true;
}

void Launcher::messagePeeked() {
    if (stats && playback) {
        stats->iterationStarted(wallMs(), SystemClock::instance().milliseconds());
    }
}

void Launcher::slept(uint32_t) {
    if (stats && playback) {
        stats->slept();
    }
}

void Launcher::timerPeriodBegun(uint32_t) {
    // The program raises the timer resolution once, when start-up is over and
    // just before its loop: every frame presented from now on is playback.
    playback = true;
}

void Launcher::sceneBegun(IDirect3DDevice8*) {
    if (stats && playback) {
        stats->sceneBegun(wallMs());
    }
}

void Launcher::presented(IDirect3DDevice8* device, uint64_t shaderCompiles) {
    if (!playback) {
        if (stats) {
            stats->loadingFrame(shaderCompiles);
        }
        return; // the loading screen
    }
    const uint32_t clockMs = SystemClock::instance().milliseconds();
    if (!originMs) {
        originMs = clockMs;
    }
    const uint32_t playbackMs = clockMs - *originMs;
    if (stats) {
        stats->presented(wallMs());
        stats->playbackFrame(clockMs, shaderCompiles);
    }
    const uint32_t frame = frameAt(playbackMs);
    if (capturing && !failed) {
        capture(frame);
    }
    // The run ends with the last frame before the end time: the window is closed
    // as a user would, so the program's own teardown runs.
    if (!endRequested && ((toMs && uint64_t{playbackMs} + TICK_MS >= *toMs) || interrupted)) {
        requestEnd(device);
    }
}

void Launcher::playStarted(const std::shared_ptr<const WaveFile>& wave, uint32_t firstFrame,
                           uint32_t endFrame, uint32_t clockMs) {
    if (soundStarted || !playback || !wave) {
        return;
    }
    soundStarted = true;
    soundChannels = wave->channels;
    soundRate = wave->sampleRate;
    soundBits = wave->bitsPerSample;
    // The samples stay in the file, which the device shares: no copy of the soundtrack.
    soundFile = wave;
    soundBegin = std::min(size_t{firstFrame} * wave->blockAlign, wave->samples.size());
    soundEnd =
        std::max(soundBegin, std::min(size_t{endFrame} * wave->blockAlign, wave->samples.size()));
    // Playback starts right after the first frame is presented; should it come
    // before, the offset is negative and the sound starts earlier.
    soundStartMs = originMs ? static_cast<int32_t>(clockMs - *originMs) : 0;
}

bool Launcher::inRange(uint32_t frame) const {
    const uint64_t ms = uint64_t{frame} * TICK_MS;
    return ms >= fromMs && (!toMs || ms < *toMs);
}

void Launcher::capture(uint32_t frame) {
    framesSeen = frame + 1;
    if (progress) {
        progress->update(framesSeen);
    }
    const bool write = sink && inRange(frame);
    const bool sheetFrame = sheet && inRange(frame) && ContactSheet::wants(frame, TICK_MS);
    if (write || sheetFrame) {
        pendingPictures.push_back({frame, write, sheetFrame});
        pictureWanted = true;
    }
}

bool Launcher::wantsPicture() {
    const bool wanted = pictureWanted;
    pictureWanted = false;
    return wanted;
}

void Launcher::pictureRead(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch) {
    if (pendingPictures.empty()) {
        return;
    }
    const PendingPicture pending = pendingPictures.front();
    pendingPictures.pop_front();
    if (failed) {
        return;
    }
    if (bgra == nullptr) {
        fail("cannot read the presented picture back from the device");
        return;
    }
    // Only a copy here: the writing thread converts the picture.
    keep(pending, std::make_shared<const BgraPicture>(bgra, width, height, pitch));
}

void Launcher::keep(const PendingPicture& pending, std::shared_ptr<const BgraPicture> image) {
    const uint32_t frame = pending.frame;
    if (pending.write) {
        std::string error;
        // A tick that was not rendered keeps the picture before it on screen.
        if (lastWritten && previous) {
            for (uint32_t missing = *lastWritten + 1; missing < frame; ++missing) {
                if (!sink->write(previous, missing, error)) {
                    fail(error);
                    return;
                }
                ++repeatedFrames;
            }
        }
        if (lastWritten && frame <= *lastWritten) {
            return; // two presents in one tick: the first one stands
        }
        // Shared with the writing thread, not copied; nobody changes it from here on.
        if (!sink->write(image, frame, error)) {
            fail(error);
            return;
        }
        if (!firstWritten) {
            firstWritten = frame;
        }
        lastWritten = frame;
    }
    if (pending.sheetFrame) {
        sheet->add(image->toRgb(), static_cast<uint32_t>(uint64_t{frame} * TICK_MS / 1000));
    }
    previous = std::move(image);
}

void Launcher::requestEnd(IDirect3DDevice8* device) {
    D3DDEVICE_CREATION_PARAMETERS created{};
    if (SUCCEEDED(device->GetCreationParameters(&created)) && created.hFocusWindow != nullptr) {
        endRequested = PostMessageA(created.hFocusWindow, WM_CLOSE, 0, 0) != FALSE;
    }
}

void Launcher::fail(const std::string& message) {
    if (failed) {
        return;
    }
    failed = true;
    failure = message;
    std::fputc('\n', stderr); // ends the progress line
    SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "letterbox: capture stopped: %s", message.c_str());
}

std::vector<uint8_t> Launcher::soundOfFrames() const {
    PcmFormat format{soundChannels, soundRate, soundBits};
    const size_t block = format.blockAlign();
    std::vector<uint8_t> out;
    if (!firstWritten || block == 0) {
        return out;
    }
    const int64_t rate = soundRate;
    const int64_t first = int64_t{*firstWritten} * TICK_MS * rate / 1000;
    const int64_t end = (int64_t{*lastWritten} + 1) * TICK_MS * rate / 1000;
    // Sample 0 of what was played sits at soundStartMs on the timeline.
    const int64_t offset = static_cast<int64_t>(
        std::floor(static_cast<double>(soundStartMs) * static_cast<double>(rate) / 1000.0));
    const uint8_t* played = soundFile ? soundFile->samples.data() + soundBegin : nullptr;
    const int64_t available = static_cast<int64_t>((soundEnd - soundBegin) / block);
    out.assign(static_cast<size_t>(end - first) * block, format.silence());
    for (int64_t n = first; n < end; ++n) {
        const int64_t source = n - offset;
        if (soundStarted && source >= 0 && source < available) {
            std::memcpy(&out[static_cast<size_t>(n - first) * block],
                        played + static_cast<size_t>(source) * block, block);
        }
    }
    return out;
}

int Launcher::finish() {
    LoopObserver::active = nullptr;
    PresentObserver::active = nullptr;
    WaveObserver::active = nullptr;
    int status = failed ? 1 : 0;
    if (stats) {
        stats->finish(wallMs());
    }
    if (progress) {
        progress->finish(framesSeen);
    }
    if (capturing && !originMs) {
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION,
                     "letterbox: no frame of playback was presented; nothing captured");
        status = 1;
    }
    if (!pendingPictures.empty() && !failed) {
        // The device hands every picture back when it is released; it never was.
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION,
                     "letterbox: %zu frames were never read back from the device",
                     pendingPictures.size());
        status = 1;
    }
    if (sink) {
        // The program has torn down: hand what the rasteriser and the textures held back
        // to the system before the soundtrack of the frames is put together, so writing it
        // does not raise the run's peak memory.
        malloc_trim(0);
        std::string error;
        const PcmFormat format{soundChannels, soundRate, soundBits};
        if (!sink->finish(format, soundOfFrames(), error)) {
            SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "letterbox: %s", error.c_str());
            status = 1;
        } else if (!firstWritten) {
            SDL_LogError(SDL_LOG_CATEGORY_APPLICATION,
                         "letterbox: no frame of playback lies in the range asked for");
            status = 1;
        } else {
            std::fprintf(stderr,
                         "letterbox: wrote frames %u to %u (%u in all, %.3f s to %.3f s) to %s, "
                         "%s%s\n",
                         *firstWritten, *lastWritten, *lastWritten - *firstWritten + 1,
                         *firstWritten * TICK_MS / 1000.0, (*lastWritten + 1) * TICK_MS / 1000.0,
                         options.capturePath.c_str(),
                         sink->soundPath() == options.capturePath ? "with the sound in it"
                                                                  : "sound to ",
                         sink->soundPath() == options.capturePath ? "" : sink->soundPath().c_str());
        }
        if (repeatedFrames > 0) {
            std::fprintf(stderr,
                         "letterbox: %u ticks were not rendered; their frames repeat the "
                         "one before\n",
                         repeatedFrames);
        }
        sink.reset();
    }
    if (capturing) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
    if (sheet) {
        std::string error;
        if (sheet->empty()) {
            SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "letterbox: no frame for the contact sheet");
            status = 1;
        } else if (!sheet->compose().write(options.contactSheetPath, error)) {
            SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "letterbox: %s", error.c_str());
            status = 1;
        } else {
            std::fprintf(stderr, "letterbox: contact sheet of %zu frames in %s\n", sheet->size(),
                         options.contactSheetPath.c_str());
        }
    }
    if (stats) {
        std::fputs(stats->report().c_str(), stdout);
        std::fflush(stdout);
    }
    return status;
}
