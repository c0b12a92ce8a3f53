// The base of the top-level object the main loop drives.
#pragma once

class GraphicsDevice;

class Task {
public:
    Task() : graphics(nullptr) {}

    virtual void setGraphics(GraphicsDevice* graphics) { this->graphics = graphics; }
    virtual int update() = 0;
    virtual int render() = 0;

    GraphicsDevice* graphics;

protected:
    ~Task() = default;
};
