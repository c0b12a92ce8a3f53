// Where the demo's six scenes end on the scene clock, in seconds from the first frame of
// playback: the sequencer moves on there, the soundtrack changes section (and falls silent
// at the last) and the run statistics split their figures there.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::array<double, 6> SCENE_END_SECONDS = {8.2, 21.5, 32.0, 43.0, 54.0, 71.0};

// A run on the virtual clock advances 17 ms per tick of the paced loop, the cadence its loop
// has on a 1-millisecond clock, and draws one frame per tick.
inline constexpr uint32_t VIRTUAL_TICK_MS = 17;

// The frame of playback nearest to a time of playback (frame 0 the first after loading).
constexpr uint32_t playbackFrameAt(uint32_t playbackMs) {
    return (playbackMs + VIRTUAL_TICK_MS / 2) / VIRTUAL_TICK_MS;
}
