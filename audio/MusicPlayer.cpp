#include "audio/MusicPlayer.h"

#include <cstring>

namespace {
struct DeviceTypeRow {
    const char* extension;
    const char* deviceType;
};

const DeviceTypeRow mciDeviceTypes[] = {
    {"wav", "waveaudio"},
    {"mid", "Sequencer"},
    {"mp3", "MPEGVideo"},
};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) {
            return false;
        }
    }
    return *a == *b;
}

const size_t TYPE_NAME_SIZE = 128;
} // namespace

int deviceTypeForFile(const char* fileName, char* typeName) {
    size_t length = fileName != nullptr ? std::strlen(fileName) : 0;
    // No dot is looked for: the extension is simply the last three characters.
    if (length >= 3) {
        const char* extension = fileName + length - 3;
        for (int row = 0; row < static_cast<int>(sizeof mciDeviceTypes / sizeof mciDeviceTypes[0]);
             ++row) {
            if (sameIgnoringCase(extension, mciDeviceTypes[row].extension)) {
                if (typeName != nullptr) {
                    std::strcpy(typeName, mciDeviceTypes[row].deviceType);
                }
                return row;
            }
        }
    }
    if (typeName != nullptr) {
        std::strcpy(typeName, "unknown");
    }
    return -1;
}

MusicPlayer::MusicPlayer(const char* fileName) : openParams{}, playParams{}, genericParams{} {
    open(fileName);
}

MusicPlayer::~MusicPlayer() {}

int MusicPlayer::open(const char* fileName) {
    char typeName[TYPE_NAME_SIZE];
    if (deviceTypeForFile(fileName, typeName) == -1) {
        return -1;
    }
    openParams.dwCallback = 0;
    openParams.lpstrDeviceType = typeName;
    openParams.lpstrElementName = fileName;
    playParams.dwCallback = 0;
    genericParams.dwCallback = 0;
    MCIERROR result = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                      reinterpret_cast<DWORD_PTR>(&openParams));
    // The names only had to live for the call; don't keep pointers to them.
    openParams.lpstrDeviceType = nullptr;
    openParams.lpstrElementName = nullptr;
    return result == 0 ? 0 : -1;
}

int MusicPlayer::play() {
    // No MCI_WAIT and no MCI_NOTIFY: playback starts from the beginning and
    // runs on while this call returns at once.
    mciSendCommandA(openParams.wDeviceID, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&playParams));
    return 0;
}

int MusicPlayer::stop() {
    mciSendCommandA(openParams.wDeviceID, MCI_STOP, 0, reinterpret_cast<DWORD_PTR>(&genericParams));
    return 0;
}

int MusicPlayer::close() {
    mciSendCommandA(openParams.wDeviceID, MCI_CLOSE, 0,
                    reinterpret_cast<DWORD_PTR>(&genericParams));
    return 0;
}
