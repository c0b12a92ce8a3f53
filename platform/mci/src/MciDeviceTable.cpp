#include "MciDeviceTable.h"

MciDeviceTable& MciDeviceTable::instance() {
    static MciDeviceTable table;
    return table;
}

MCIDEVICEID MciDeviceTable::add(std::unique_ptr<WaveDevice> device) {
    MCIDEVICEID id = 1;
    while (devices.count(id)) {
        ++id;
    }
    devices[id] = std::move(device);
    return id;
}

WaveDevice* MciDeviceTable::find(MCIDEVICEID id) const {
    auto it = devices.find(id);
    return it == devices.end() ? nullptr : it->second.get();
}

bool MciDeviceTable::remove(MCIDEVICEID id) {
    return devices.erase(id) != 0;
}

void MciDeviceTable::removeAll() {
    devices.clear();
}
