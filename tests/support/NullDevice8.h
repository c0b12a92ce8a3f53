// A Direct3D 8 device for tests that does nothing: every call notes its name
// and fails with D3DERR_INVALIDCALL (counts and flags answer 0). A test double
// derives from it and overrides only the calls it records or fakes; it also
// supplies IUnknown, since the doubles keep their lifetimes differently.
#pragma once

#include <Direct3D8Methods.h>
#include <d3d8.h>

#include <string>
#include <vector>

class NullDevice8 : public IDirect3DDevice8 {
public:
    // The names of the calls that reached this base, in order.
    std::vector<std::string> noted;

// Every method of the interface notes its name and answers the failure for its result.
#define NULL_DEVICE8_ANSWER_HRESULT return D3DERR_INVALIDCALL;
#define NULL_DEVICE8_ANSWER_UINT return 0;
#define NULL_DEVICE8_ANSWER_BOOL return 0;
#define NULL_DEVICE8_ANSWER_void
#define NULL_DEVICE8_METHOD(Result, Name, Parameters)                                              \
    Result Name Parameters override {                                                              \
        note(#Name);                                                                               \
        NULL_DEVICE8_ANSWER_##Result                                                               \
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
    IDIRECT3DDEVICE8_METHODS(NULL_DEVICE8_METHOD)
#pragma GCC diagnostic pop

protected:
    virtual void note(const char* name) {
        noted.emplace_back(name);
    }
};
