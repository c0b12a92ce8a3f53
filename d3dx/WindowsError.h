// A Windows error code (GetLastError) as the HRESULT the library answers with.
#pragma once

#include <windef.h>

// 0x80070000 with the code's low 16 bits; a code that is already 0 or negative
// as a signed value passes unchanged.
inline HRESULT hresultFromWindowsError(DWORD error) {
    auto code = static_cast<int32_t>(error);
    if (code <= 0) {
        return code;
    }
    return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}
