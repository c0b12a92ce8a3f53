// Plays the soundtrack through the MCI command interface. The device type
// comes from the file name's extension. Failures leave the demo silent.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// Looks the last three characters of fileName up in the table of known
// extensions (ASCII case ignored); copies the MCI device type, or "unknown",
// into typeName when given. Returns the table row, or -1.
int deviceTypeForFile(const char* fileName, char* typeName);

class MusicPlayer {
public:
    explicit MusicPlayer(const char* fileName);
    // Sends no MCI command: the device stays open and plays on.
    virtual ~MusicPlayer();
    virtual int open(const char* fileName);
    virtual int play();
    virtual int stop();
    virtual int close();

    MCI_OPEN_PARMSA openParams;
    MCI_PLAY_PARMS playParams;
    MCI_GENERIC_PARMS genericParams;
};
