#include "TraceDirect3D8.h"

IDirect3D8* createTraceDirect3D8(IDirect3D8*, const std::string&, UINT) {
    return nullptr;
}
