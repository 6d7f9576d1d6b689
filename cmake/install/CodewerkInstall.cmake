# What an installation gives a host program: the libraries, the headers under include/codewerk,
# a CMake package and pkg-config files.
include(CMakePackageConfigHelpers)
include(${PROJECT_SOURCE_DIR}/src/PublicHeaders.cmake)

foreach(header ${CODEWERK_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/codewerk/${folder})
endforeach()

set_target_properties(codewerk-core PROPERTIES EXPORT_NAME core)
set_target_properties(codewerk-reading PROPERTIES EXPORT_NAME reading)
install(EXPORT CodewerkTargets NAMESPACE Codewerk:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Codewerk)
set(CODEWERK_WX_COMPONENTS "propgrid aui xrc html xml core base")
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/CodewerkConfig.cmake.in
  ${PROJECT_BINARY_DIR}/CodewerkConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Codewerk)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CodewerkConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CodewerkConfig.cmake ${PROJECT_BINARY_DIR}/CodewerkConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Codewerk)

# The wx-config the build itself used; the .pc files find the prefix from where they lie.
execute_process(COMMAND ${wxWidgets_CONFIG_EXECUTABLE} --cxxflags OUTPUT_VARIABLE CODEWERK_WX_CFLAGS
  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE wx_cflags_failed)
execute_process(COMMAND ${wxWidgets_CONFIG_EXECUTABLE} --libs std,propgrid,aui OUTPUT_VARIABLE CODEWERK_WX_LIBS
  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE wx_libs_failed)
if(wx_cflags_failed OR wx_libs_failed)
  message(FATAL_ERROR "${wxWidgets_CONFIG_EXECUTABLE} gave no flags for codewerk.pc")
endif()
file(RELATIVE_PATH CODEWERK_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" CODEWERK_PC_TO_PREFIX "${CODEWERK_PC_TO_PREFIX}")
foreach(module codewerk-core codewerk)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${module}.pc.in ${PROJECT_BINARY_DIR}/${module}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${module}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# For people: the menu entry, its icon and the software centre's description.
set(CODEWERK_DESKTOP ${PROJECT_SOURCE_DIR}/res/desktop)
install(FILES ${CODEWERK_DESKTOP}/de.codewerk.Codewerk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CODEWERK_DESKTOP}/de.codewerk.Codewerk.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CODEWERK_DESKTOP}/de.codewerk.Codewerk.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
