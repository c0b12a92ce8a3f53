// Lets go of a COM interface the caller holds and forgets it; nothing when it holds none.
#pragma once

template <class Interface> void releaseInterface(Interface*& held) {
    if (held != nullptr) {
        held->Release();
        held = nullptr;
    }
}
