// The base of everything that can stand in a slot of the sequence.
#pragma once

#include <d3d8.h>

class GraphicsDevice;

class Scene {
public:
    Scene() : graphics(nullptr), device(nullptr) {}

    // One tick of the scene's logic; non-zero means the scene is finished.
    virtual int update() = 0;
    virtual int render() = 0;
    // The scene becomes current.
    virtual int start() = 0;
    // Creates the scene's resources; this base version only keeps the device.
    virtual int load(GraphicsDevice* graphics);

    GraphicsDevice* graphics;
    IDirect3DDevice8* device;

protected:
    // Scenes are owned by value and never deleted through this base.
    ~Scene() = default;
};
