// The C runtime's pseudo-random generator as the program was built against it:
// state = state * 214013 + 2531011 (mod 2^32), each draw (state >> 16) & 0x7FFF.
// The state is 1 at process start. Named apart from the C library's rand and
// srand, whose generator on Linux is a different one.
#pragma once

#define CRT_RAND_MAX 0x7FFF

int crtRand();
void crtSrand(unsigned int seed);
