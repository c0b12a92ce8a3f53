// The call trace: a wrapper around the Direct3D object that writes every call made on it,
// its devices and their resources to a text file, one line each, numbered by frame.
#pragma once

#include <d3d8.h>

#include <string>

// Wraps direct3d (taking over its reference); null when the file cannot be opened.
IDirect3D8* createTraceDirect3D8(IDirect3D8* direct3d, const std::string& path, UINT sdkVersion);
