// The Direct3D object: one adapter, the display it shows on, and device creation.
#pragma once

#include <Direct3D8Methods.h>
#include <ComObject.h>
#include <d3d8.h>

class Direct3D8 : public ComObject<IDirect3D8> {
public:
    Direct3D8() = default;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    IDIRECT3D8_METHODS(DECLARE_D3D8_OVERRIDE)

    // The capabilities of this layer's device of the given type.
    static void fillCaps(D3DDEVTYPE type, D3DCAPS8* caps);
    static bool validDeviceType(D3DDEVTYPE type) {
        return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF;
    }
    // The largest point size the device draws.
    static constexpr float MAX_POINT_SIZE = 64.0f;

private:
    ~Direct3D8() override = default;
};
