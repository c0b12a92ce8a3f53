// Reference counting shared by the Direct3D objects of this layer.
#pragma once

#include <d3d8.h>

#include <atomic>

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
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        return E_NOINTERFACE;
    }
    ULONG refs() const { return refCount; }

protected:
    virtual void onFinalRelease() { delete this; }
    ULONG refCount = 1;
};
