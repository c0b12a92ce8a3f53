#include "demo/Scene.h"

#include "gfx/GraphicsDevice.h"

int Scene::load(GraphicsDevice* graphics) {
    this->graphics = graphics;
    device = graphics->getDevice();
    return 0;
}
