// Pixel formats: sizes, which ones textures may use, and the conversion of their texels to
// the 32-bit B, G, R, A layout every texture and render target is kept in on the GL side.
#pragma once

#include <d3d8types.h>

#include <cstdint>

// Bytes per texel, or 0 for formats this layer cannot store.
uint32_t formatBytesPerPixel(D3DFORMAT format);

// Formats usable for textures and image surfaces.
bool isColorFormat(D3DFORMAT format);
bool isDepthFormat(D3DFORMAT format);
bool formatHasAlpha(D3DFORMAT format);
bool formatHasStencil(D3DFORMAT format);

// Converts width texels of one row in format to B, G, R, A bytes (alpha 255 where the
// format has none).
void convertRowToBgra8(D3DFORMAT format, const uint8_t* source, uint8_t* destination,
                       uint32_t width);

// The reverse, for reading a render target back into an image surface of another format.
void convertRowFromBgra8(D3DFORMAT format, const uint8_t* source, uint8_t* destination,
                         uint32_t width);
