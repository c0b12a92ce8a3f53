// The sphere parametrisation the particle fan scene's clouds share: azimuth
// theta about the y axis and elevation phi above the x-z plane, in degrees.
#pragma once

#include "common/Angles.h"

#include <cmath>

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
