// The sphere parametrisation the particle fan scene's clouds share: azimuth
// theta about the y axis and elevation phi above the x-z plane, in degrees.
#pragma once

#include <cmath>

// Pi rounded to single precision, divided by 180, as a 64-bit value.
constexpr double DEG_TO_RAD = 0.017453293005625408;

struct SpherePoint {
    double x;
    double y;
    double z;
};

// The point at (theta, phi) on the sphere of this radius about the origin.
inline SpherePoint spherePoint(double radius, double thetaDegrees, double phiDegrees) {
    double theta = thetaDegrees * DEG_TO_RAD;
    double phi = phiDegrees * DEG_TO_RAD;
    return SpherePoint{radius * std::cos(theta) * std::cos(phi), radius * std::sin(phi),
                       radius * std::sin(theta) * std::cos(phi)};
}
