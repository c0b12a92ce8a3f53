// The bounded relatives of wsprintfA: never more than `size` characters,
// terminator included, whatever the arguments.
#pragma once

#include <cstdarg>

#include <windef.h>

int wnsprintfA(LPSTR buffer, int size, LPCSTR format, ...);
int WINAPI wvnsprintfA(LPSTR buffer, int size, LPCSTR format, va_list args);
