// Reference counting and interface lookup shared by the COM objects of the platform
// layer and the utility library above it.
#pragma once

#include <unknwn.h>
#include <winerror.h>

#include <initializer_list>

// The identifier of IUnknown, which the objects that answer it list among their own.
inline constexpr GUID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Counts the references the program holds. The object deletes itself when the count
// reaches zero; onFinalRelease lets an owner veto that (objects that live inside another).
template <class Interface> class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++refCount; }
    ULONG Release() override {
        if (refCount == 0) {
            return 0; // an unbalanced Release must not underflow into a huge count
        }
        ULONG count = --refCount;
        if (count == 0) {
            onFinalRelease();
        }
        return count;
    }
    ULONG refs() const { return refCount; }

protected:
    // Hands this object out, with a reference added, when riid is one of ids (the
    // interface itself and those it derives from); otherwise clears *object.
    HRESULT answerInterface(REFIID riid, void** object, std::initializer_list<GUID> ids) {
        if (object == nullptr) {
            return E_POINTER;
        }
        for (const GUID& id : ids) {
            if (riid == id) {
                AddRef();
                *object = static_cast<Interface*>(this);
                return S_OK;
            }
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    virtual void onFinalRelease() { delete this; }
    ULONG refCount = 1;
};
