#pragma once

#include <array>
#include <vector>

namespace content {

// The soundtrack, composed in code: six sections that change exactly where the scenes do,
// rendered through the Voices, a reverb, a loudness normaliser and a peak limiter.
class Song {
public:
    static constexpr double RATE = 44100.0;
    static constexpr double LENGTH = 72.0;   // seconds of audio written
    static constexpr double FADE_END = 71.0; // silent from here on
    static constexpr std::array<double, 6> SECTION_STARTS = {0.0, 8.2, 21.5, 32.0, 43.0, 54.0};
    static constexpr double TARGET_LUFS = -14.5;
    static constexpr double CEILING_DB = -1.3;

    struct Stereo {
        std::vector<float> left;
        std::vector<float> right;
    };
    static Stereo render();
};

} // namespace content
