# The Debian packages behind these are listed in scripts/debian-packages.txt.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET zbar)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET GLOBAL gtk+-3.0)

# zint ships no pkg-config file.
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)
add_library(Zint::Zint UNKNOWN IMPORTED)
set_target_properties(Zint::Zint PROPERTIES
  IMPORTED_LOCATION ${ZINT_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${ZINT_INCLUDE_DIR})

find_package(ZXing REQUIRED)

pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
find_package(TIFF REQUIRED)

# FindwxWidgets gives variables only; one target carries them.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS propgrid aui xrc html xml core base)
add_library(Wx::Wx INTERFACE IMPORTED)
target_include_directories(Wx::Wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(Wx::Wx INTERFACE ${wxWidgets_DEFINITIONS})
target_link_libraries(Wx::Wx INTERFACE ${wxWidgets_LIBRARIES})

pkg_check_modules(GSTREAMER REQUIRED IMPORTED_TARGET gstreamer-1.0 gstreamer-app-1.0 gstreamer-video-1.0)
