// OpenGL error checking for debug builds: every device entry point ends with a check, so
// a GL error is reported next to the call that caused it.
#pragma once

#include "GlApi.h"

#include <cstdint>

// Reads and clears every pending GL error; in debug builds each is written to standard
// error with the name of the call. Answers how many there were.
uint32_t glCheckErrors(const char* where);

// GL errors seen since the process started (debug builds count them; tests assert zero).
uint32_t glErrorTotal();

#ifndef NDEBUG
#define GL_CHECK(where) glCheckErrors(where)
#else
#define GL_CHECK(where) ((void)0)
#endif
