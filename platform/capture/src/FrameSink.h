// Where captured frames go: a YUV4MPEG2 stream (a .y4m file, or ffmpeg's input
// for .mp4 and .mkv) or a folder of numbered PNG files; the soundtrack follows
// at the end as a WAV beside them or muxed into the video.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BgraPicture.h"
#include "PngImage.h"
#include "WavWriter.h"

class FrameSink {
public:
    // The frame rate: one frame per 17 ms tick.
    static constexpr uint32_t RATE_NUMERATOR = 1000;
    static constexpr uint32_t RATE_DENOMINATOR = 17;

    virtual ~FrameSink() = default;
    // Frame `index` of the run (its time is index x 17 ms); frames come in order.
    virtual bool write(const PngImage& frame, uint32_t index, std::string& error) = 0;
    // The same from a picture as read back; by default through its RGB.
    virtual bool writeBgra(const BgraPicture& frame, uint32_t index, std::string& error);
    // The sound of the frames written, then everything closed.
    virtual bool finish(const PcmFormat& format, const std::vector<uint8_t>& sound,
                        std::string& error) = 0;
    // Where the sound went, for the closing message.
    virtual std::string soundPath() const = 0;

    // The sink for `path`: .y4m, .mp4 or .mkv by its ending, else a folder.
    // Null, with `error` set, when it cannot be opened (ffmpeg missing, say).
    static std::unique_ptr<FrameSink> open(const std::string& path, std::string& error);

    // The stream header of a width x height picture at 1000/17 frames a second.
    static std::string y4mHeader(uint32_t width, uint32_t height);
    // BT.601 studio-range 4:2:0 planes (Y, then Cb, then Cr) of an RGB picture.
    static std::vector<uint8_t> toYuv420(const PngImage& frame);
    // The same planes straight from a picture as read back.
    static std::vector<uint8_t> toYuv420(const BgraPicture& frame);
    // The same into `planes`, whose storage is reused.
    static void toYuv420(const BgraPicture& frame, std::vector<uint8_t>& planes);
    // Where ffmpeg is on PATH, or empty.
    static std::string findProgram(const char* name);
};
