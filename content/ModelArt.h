#pragma once

#include "content/Image.h"
#include "content/MeshBuilder.h"

namespace content {

// The three models and the textures they name.
class ModelArt {
public:
    // The grid object of the mirror-floor scene: an extruded W standing on y = -0.1, mirror
    // symmetric about x = 0.075, so that the upside-down copy the scene moves by (+0.15, -0.15)
    // lands right under it. Material 0 (the faces) is textured, material 1 (the sides) is not.
    static MeshBuilder w();
    // The room the glass balls bounce in: a cube of side 2 around the origin, seen from inside.
    static MeshBuilder box();
    // A sphere of radius 0.5 with positions, normals and texture coordinates.
    static MeshBuilder ball();

    static constexpr const char* W_TEXTURE = "data/w_face.bmp";
    static constexpr const char* WALL_TEXTURE = "data/box_wall.bmp";
    static constexpr const char* FLOOR_TEXTURE = "data/box_floor.bmp";

    static Image wFace();
    static Image boxWall();
    static Image boxFloor();
};

} // namespace content
