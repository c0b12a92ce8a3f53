// Owns the Direct3D 8 object and the program's one device: creates the device
// for the window with a fallback from hardware to the reference rasteriser,
// sets the default filtering and switches between windowed and full screen.
#pragma once

#include <d3d8.h>
#include <windows.h>

#include <cstdint>

class GraphicsDevice {
public:
    GraphicsDevice();
    ~GraphicsDevice();

    virtual int create(HWND window, int width, int height);
    virtual IDirect3DDevice8* getDevice();
    virtual D3DPRESENT_PARAMETERS* getPresentParameters(D3DPRESENT_PARAMETERS* destination);
    virtual int setWindowed(int windowed);
    virtual int getWidth();
    virtual int getHeight();

    int32_t width;
    int32_t height;
    IDirect3D8* direct3d;
    IDirect3DDevice8* device;
    D3DDISPLAYMODE displayMode;
    HWND window;
    D3DPRESENT_PARAMETERS presentParameters;

private:
    void setDefaultFilters();
    void describeBackBuffer(D3DFORMAT format, BOOL windowed);
};
