# Installation and the Debian package.
#   cmake --install build --prefix /opt/letterbox   puts bin/letterbox and share/letterbox/data
#   (cd build && cpack -G DEB)                       makes letterbox_<version>_<arch>.deb
# The program finds data\ in the working folder first, then beside itself, then in
# ../share/letterbox, so an installed copy plays from any folder.
include(GNUInstallDirs)
install(TARGETS letterbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# content_data is part of the default build, so data/ exists by install time.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/letterbox/data
        PATTERN .generated EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME letterbox)
set(CPACK_PACKAGE_VENDOR letterbox)
set(CPACK_PACKAGE_CONTACT "letterbox maintainers <letterbox@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D demo with a soundtrack")
set(CPACK_PACKAGE_DESCRIPTION
    "A loading screen, then six animated 3D scenes to a soundtrack, about 71 seconds in all, \
drawn through OpenGL 3.3 (a GPU driver or Mesa's software rasteriser).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The shared libraries the program links (SDL2, libepoxy, libpng, the C++ runtime) are
# turned into package names by dpkg-shlibdeps; OpenGL and EGL are opened at run time by
# libepoxy, and Mesa's drivers (llvmpipe among them) come with libgl1-mesa-dri.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg")
include(CPack)
