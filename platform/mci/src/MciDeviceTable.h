// The open MCI devices by identifier. Identifiers start at 1; the lowest free
// one is handed out, as MCI does.
#pragma once

#include <map>
#include <memory>

#include "WaveDevice.h"

class MciDeviceTable {
public:
    static MciDeviceTable& instance();

    MCIDEVICEID add(std::unique_ptr<WaveDevice> device);
    WaveDevice* find(MCIDEVICEID id) const;
    bool remove(MCIDEVICEID id);
    void removeAll();

private:
    std::map<MCIDEVICEID, std::unique_ptr<WaveDevice>> devices;
};
