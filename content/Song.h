#pragma once

#include "common/DemoTimeline.h"

#include <array>
#include <vector>

namespace content {

// The soundtrack, composed in code: six sections that change exactly where the scenes do,
// rendered through the Voices, a reverb, a loudness normaliser and a peak limiter.
class Song {
public:
    static constexpr double RATE = 44100.0;
    static constexpr double LENGTH = 72.0; // seconds of audio written
    // Silent from the end of the last scene on; each later section starts where a scene ends.
    static constexpr double FADE_END = SCENE_END_SECONDS[5];
    static constexpr std::array<double, 6> SECTION_STARTS = {0.0,
                                                             SCENE_END_SECONDS[0],
                                                             SCENE_END_SECONDS[1],
                                                             SCENE_END_SECONDS[2],
                                                             SCENE_END_SECONDS[3],
                                                             SCENE_END_SECONDS[4]};
    static constexpr double TARGET_LUFS = -14.5;
    static constexpr double CEILING_DB = -1.3;

    struct Stereo {
        std::vector<float> left;
        std::vector<float> right;
    };
    static Stereo render();
};

} // namespace content
