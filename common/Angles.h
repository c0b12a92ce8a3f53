// Degrees to radians, in the two precisions the demo uses: multiply an angle in degrees
// by one of them.
#pragma once

// Pi rounded to single precision, then divided by 180 in double precision.
inline constexpr double DEG_TO_RAD = 0.017453293005625408;
// The single-precision value nearest pi / 180.
inline constexpr float DEG_TO_RAD_F = 0.017453292f;
