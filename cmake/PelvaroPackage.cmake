# The Debian package of the application (`cpack -G DEB` in the build folder):
# the program, the three engine libraries, the receiver's udev rule and the
# menu entry, i.e. the "runtime" component. Its dependencies come from
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelvaro)
set(CPACK_PACKAGE_VERSION ${PELVARO_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelvaro")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop companion of the wireless presenter")
set(CPACK_PACKAGE_DESCRIPTION
  "Moves the pointer with the presenter's motion, shows pointer, magnifier and black-screen overlays and drives slide shows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the runtime component, as one package named after the program.
set(CPACK_COMPONENTS_ALL runtime)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelvaro developers <pelvaro@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The engine libraries travel in the same package: dpkg-shlibdeps finds them
# in the staging folder instead of asking for a package that provides them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/core ${CMAKE_BINARY_DIR}/bundle ${CMAKE_BINARY_DIR}/ext)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/app/packaging/postinst
  ${PROJECT_SOURCE_DIR}/app/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
