# The Debian packages behind these are listed in scripts/debian-packages.txt.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET zbar)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET GLOBAL gtk+-3.0)

# zint ships no pkg-config file.
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)
add_library(Zint::Zint UNKNOWN IMPORTED)
set_target_properties(Zint::Zint PROPERTIES
  IMPORTED_LOCATION ${ZINT_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${ZINT_INCLUDE_DIR})
# The core loads zint when a code is first made with it; it asks for the name the library answers to.
execute_process(COMMAND objdump -p ${ZINT_LIBRARY} OUTPUT_VARIABLE ZINT_DYNAMIC_SECTION)
string(REGEX MATCH "SONAME +([^\n]+)" ZINT_SONAME_LINE "${ZINT_DYNAMIC_SECTION}")
set(ZINT_SONAME ${CMAKE_MATCH_1})
if(NOT ZINT_SONAME)
  message(FATAL_ERROR "zint: no SONAME in ${ZINT_LIBRARY}")
endif()

find_package(ZXing REQUIRED)

# Picture files: the libraries that can bound the work a hostile file causes.
find_package(TIFF REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(GIF 5 REQUIRED)
# Tests write pictures with an independent writer, and hostile ones by hand.
find_package(ZLIB REQUIRED)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)

# FindwxWidgets gives variables only; one target carries them.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS propgrid aui xrc html xml core base)
add_library(Wx::Wx INTERFACE IMPORTED)
target_include_directories(Wx::Wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(Wx::Wx INTERFACE ${wxWidgets_DEFINITIONS})
target_link_libraries(Wx::Wx INTERFACE ${wxWidgets_LIBRARIES})

pkg_check_modules(GSTREAMER REQUIRED IMPORTED_TARGET gstreamer-1.0 gstreamer-app-1.0 gstreamer-video-1.0)
pkg_check_modules(SANE REQUIRED IMPORTED_TARGET sane-backends)
