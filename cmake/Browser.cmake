# The browser build (Emscripten): the program, its platform layer and the browser backend.
# The packages the desktop build finds are stood in for by targets of the same names:
# SDL2 is the browser backend, OpenGL is WebGL 2, and nothing else is needed.
set(CMAKE_EXECUTABLE_SUFFIX ".js")
add_compile_options(
    "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/platform/browser/include/LibcxxGaps.h>")
# The platform layer catches its own exceptions: Emscripten only ignores them by default.
add_compile_options(-fexceptions)
add_link_options(-fexceptions
    # As on Windows, nothing lives in the lowest 64 KB: the stand-ins take pointers below
    # 0x10000 for atoms and ordinals (MAKEINTATOM, GetProcAddress), so static data starts
    # above them here too.
    -sGLOBAL_BASE=65536)

add_subdirectory(platform/browser)
add_library(PkgConfig::SDL2 ALIAS platform_browser)
add_library(browser_webgl INTERFACE)
target_link_options(browser_webgl INTERFACE -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2)
add_library(PkgConfig::EPOXY ALIAS browser_webgl)
add_library(browser_nothing INTERFACE)
add_library(PkgConfig::X11 ALIAS browser_nothing)
add_library(Threads::Threads ALIAS browser_nothing)
add_library(PNG::PNG ALIAS browser_nothing)

foreach(folder IN ITEMS
    common
    platform/win32 platform/mci platform/d3d8 platform/d3d8/trace platform/xfile
    d3dx gfx audio demo
    scenes/cloud scenes/tunnel scenes/fan scenes/floor scenes/glass scenes/lattice
    app launcher/browser)
  add_subdirectory(${folder})
endforeach()
