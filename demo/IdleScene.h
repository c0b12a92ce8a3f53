// A slot that shows nothing and never finishes by itself.
#pragma once

#include "demo/Scene.h"

class IdleScene : public Scene {
public:
    int update() override { return 0; }
    int render() override { return 0; }
    int start() override { return 0; }
    virtual ~IdleScene() = default;
};
