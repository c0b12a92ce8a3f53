// The fixed-function state combinations the demo draws with, as ShaderCache::keyText
// gives them: the device compiles their programs while the loading screen shows, so
// no program is compiled (a visible hitch on a software rasteriser) during playback.
#pragma once

#include <cstddef>

extern const char* const KNOWN_PROGRAM_KEYS[];
extern const size_t KNOWN_PROGRAM_COUNT;
