// The scenes' random placements: one draw of the C runtime's generator (crtrand.h)
// spread over a span.
#pragma once

// a + draw * (the single-precision value nearest 1/32767) * (b - a), computed
// in double precision and rounded to single: a value in [a, b].
float randRange(float a, float b);
