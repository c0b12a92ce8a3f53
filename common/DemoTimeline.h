// Where the demo's six scenes end on the scene clock, in seconds from the first frame of
// playback: the sequencer moves on there, the soundtrack changes section (and falls silent
// at the last) and the run statistics split their figures there.
#pragma once

#include <array>

inline constexpr std::array<double, 6> SCENE_END_SECONDS = {8.2, 21.5, 32.0, 43.0, 54.0, 71.0};
