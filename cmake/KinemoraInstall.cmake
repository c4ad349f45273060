# Install rules: libraries in lib/, public headers under include/kinemora/,
# a CMake package (find_package(Kinemora) -> Kinemora::core, ...) and one
# pkg-config file per library. The shared libraries are the "runtime"
# component (what the application's package carries); headers, the
# development symlinks and the package files are "devel".
include(CMakePackageConfigHelpers)

# Every library the tree builds, in link order (core, bundle, ext).
get_property(KINEMORA_INSTALLED_LIBS GLOBAL PROPERTY KINEMORA_BUILT_LIBS)
set(KINEMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kinemora)

file(RELATIVE_PATH KINEMORA_PC_PREFIX_FROM_PCDIR
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)

foreach(lib IN LISTS KINEMORA_INSTALLED_LIBS)
  install(TARGETS Kinemora-${lib} EXPORT KinemoraTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT devel
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT devel
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${lib}/src/
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kinemora COMPONENT devel
    FILES_MATCHING PATTERN "*.h")

  set(KINEMORA_PC_LIB ${lib})
  get_property(required GLOBAL PROPERTY KINEMORA_${lib}_REQUIRES)
  list(TRANSFORM required PREPEND kinemora-)
  list(JOIN required ", " KINEMORA_PC_REQUIRES)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kinemora.pc.in
    ${CMAKE_CURRENT_BINARY_DIR}/kinemora-${lib}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kinemora-${lib}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT devel)
endforeach()

install(EXPORT KinemoraTargets NAMESPACE Kinemora:: DESTINATION ${KINEMORA_CMAKE_DIR} COMPONENT devel)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KinemoraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/KinemoraConfig.cmake
  INSTALL_DESTINATION ${KINEMORA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KinemoraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/KinemoraConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/KinemoraConfigVersion.cmake
  DESTINATION ${KINEMORA_CMAKE_DIR} COMPONENT devel)
