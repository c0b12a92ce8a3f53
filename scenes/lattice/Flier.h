// One group of four cubes of the lattice: they stand at (x, y), (-x, y),
// (x, -y) and (-x, -y).
#pragma once

struct Flier {
    double x;
    double y;
};
