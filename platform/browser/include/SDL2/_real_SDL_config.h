// What SDL's headers (Debian's libsdl2-dev) need to know of the browser build's C library.
// The browser backend implements the SDL calls the platform layer makes; no SDL library is
// linked in this build.
#pragma once

#define HAVE_LIBC 1
#define HAVE_STDARG_H 1
#define HAVE_STDDEF_H 1
#define HAVE_STDINT_H 1
#define HAVE_STDIO_H 1
#define HAVE_STDLIB_H 1
#define HAVE_STRING_H 1
#define HAVE_INTTYPES_H 1
#define HAVE_LIMITS_H 1
#define HAVE_CTYPE_H 1
#define HAVE_MATH_H 1
