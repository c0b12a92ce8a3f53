// mciSendCommandA: the command messages the program sends, for the one device
// type this platform carries, "waveaudio".
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

#include "MciDeviceTable.h"
#include "WaveDevice.h"
#include <mmsystem.h>

namespace {
// Device types MCI knows by name but for which no driver is installed here.
constexpr const char* ABSENT_TYPES[] = {"sequencer", "mpegvideo", "cdaudio",
                                        "avivideo",  "videodisc", "digitalvideo"};

// Which device type opens a file with this extension when no type is given.
const char* typeForExtension(const char* element) {
    const char* dot = element ? std::strrchr(element, '.') : nullptr;
    if (!dot) {
        return nullptr;
    }
    if (strcasecmp(dot, ".wav") == 0) {
        return "waveaudio";
    }
    if (strcasecmp(dot, ".mid") == 0 || strcasecmp(dot, ".rmi") == 0) {
        return "sequencer";
    }
    if (strcasecmp(dot, ".mp3") == 0 || strcasecmp(dot, ".mpg") == 0 ||
        strcasecmp(dot, ".mpeg") == 0) {
        return "mpegvideo";
    }
    if (strcasecmp(dot, ".avi") == 0) {
        return "avivideo";
    }
    return nullptr;
}

MCIERROR open(DWORD_PTR flags, MCI_OPEN_PARMSA* params) {
    if (!params) {
        return MCIERR_NULL_PARAMETER_BLOCK;
    }
    if (flags & (MCI_OPEN_TYPE_ID | MCI_OPEN_ELEMENT_ID | MCI_OPEN_ALIAS | MCI_OPEN_SHAREABLE)) {
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    const bool hasType = (flags & MCI_OPEN_TYPE) != 0;
    const bool hasElement = (flags & MCI_OPEN_ELEMENT) != 0;
    if ((hasType && !params->lpstrDeviceType) || (hasElement && !params->lpstrElementName)) {
        return MCIERR_MISSING_STRING_ARGUMENT;
    }
    const char* type = nullptr;
    if (hasType) {
        type = params->lpstrDeviceType;
    } else if (hasElement) {
        type = typeForExtension(params->lpstrElementName);
        if (!type) {
            return MCIERR_EXTENSION_NOT_FOUND;
        }
    } else {
        return MCIERR_MISSING_DEVICE_NAME;
    }
    if (strcasecmp(type, "waveaudio") != 0) {
        for (const char* absent : ABSENT_TYPES) {
            if (strcasecmp(type, absent) == 0) {
                return MCIERR_DEVICE_NOT_INSTALLED;
            }
        }
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (!hasElement || !params->lpstrElementName[0]) {
        return MCIERR_FILENAME_REQUIRED;
    }
    auto device = std::make_unique<WaveDevice>();
    if (const MCIERROR error = device->open(params->lpstrElementName)) {
        return error;
    }
    params->wDeviceID = MciDeviceTable::instance().add(std::move(device));
    return 0;
}

MCIERROR play(WaveDevice& device, DWORD_PTR flags, const MCI_PLAY_PARMS* params) {
    if ((flags & (MCI_FROM | MCI_TO)) && !params) {
        return MCIERR_NULL_PARAMETER_BLOCK;
    }
    const uint32_t from = (flags & MCI_FROM) ? params->dwFrom : device.positionMs();
    const uint32_t to = (flags & MCI_TO) ? params->dwTo : device.lengthMs();
    if (const MCIERROR error = device.play(from, to)) {
        return error;
    }
    if (flags & MCI_WAIT) {
        device.waitUntilDone();
    }
    return 0;
}

MCIERROR status(WaveDevice& device, DWORD_PTR flags, MCI_STATUS_PARMS* params) {
    if (!params) {
        return MCIERR_NULL_PARAMETER_BLOCK;
    }
    if (!(flags & MCI_STATUS_ITEM)) {
        return MCIERR_MISSING_PARAMETER;
    }
    switch (params->dwItem) {
    case MCI_STATUS_LENGTH:
        params->dwReturn = device.lengthMs();
        return 0;
    case MCI_STATUS_POSITION:
        params->dwReturn = device.positionMs();
        return 0;
    case MCI_STATUS_MODE:
        params->dwReturn = device.mode();
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MCIERROR seek(WaveDevice& device, DWORD_PTR flags, const MCI_SEEK_PARMS* params) {
    const DWORD_PTR targets = flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
    if (targets == 0) {
        return MCIERR_MISSING_PARAMETER;
    }
    if ((targets & (targets - 1)) != 0) {
        return MCIERR_FLAGS_NOT_COMPATIBLE;
    }
    if (targets == MCI_TO && !params) {
        return MCIERR_NULL_PARAMETER_BLOCK;
    }
    const uint32_t to = targets == MCI_SEEK_TO_START ? 0
                        : targets == MCI_SEEK_TO_END ? device.lengthMs()
                                                     : params->dwTo;
    return device.seek(to);
}
} // namespace

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID deviceId, UINT message, DWORD_PTR flags,
                                DWORD_PTR param) {
    // Completion notices would need a window to post to; nothing here asks for them.
    if (flags & MCI_NOTIFY) {
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    MciDeviceTable& table = MciDeviceTable::instance();
    if (message == MCI_OPEN) {
        return open(flags, reinterpret_cast<MCI_OPEN_PARMSA*>(param));
    }
    if (deviceId == MCI_ALL_DEVICE_ID) {
        if (message != MCI_CLOSE) {
            return MCIERR_CANNOT_USE_ALL;
        }
        table.removeAll();
        return 0;
    }
    WaveDevice* device = table.find(deviceId);
    if (!device) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    switch (message) {
    case MCI_CLOSE:
        table.remove(deviceId);
        return 0;
    case MCI_PLAY:
        return play(*device, flags, reinterpret_cast<const MCI_PLAY_PARMS*>(param));
    case MCI_STOP:
        device->stop();
        return 0;
    case MCI_PAUSE:
        device->pause();
        return 0;
    case MCI_RESUME:
        device->resume();
        return 0;
    case MCI_SEEK:
        return seek(*device, flags, reinterpret_cast<const MCI_SEEK_PARMS*>(param));
    case MCI_STATUS:
        return status(*device, flags, reinterpret_cast<MCI_STATUS_PARMS*>(param));
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}
