// A scene for the sequencer's tests: logs each call into a shared journal and
// finishes when told to.
#pragma once

#include "demo/Scene.h"

#include <string>
#include <vector>

class ProbeScene : public Scene {
public:
    ProbeScene(std::vector<std::string>* journal, int index) : journal(journal), index(index) {}
    virtual ~ProbeScene() = default;

    int update() override {
        log("update");
        updates += 1;
        return finishAfter > 0 && updates >= finishAfter ? 1 : 0;
    }
    int render() override {
        log("render");
        return 0;
    }
    int start() override {
        log("start");
        return 0;
    }
    int load(GraphicsDevice* graphics) override {
        log("load");
        return Scene::load(graphics);
    }

    std::vector<std::string>* journal;
    int index;
    int updates = 0;
    int finishAfter = 0; // finish on this many-th update; 0 = never

private:
    void log(const char* what) {
        journal->push_back(std::string(what) + " " + std::to_string(index));
    }
};
