# Build conventions shared by every library of the engine.
#
# Each module family lives in <lib>/src/<family>/ and is compiled once as an
# object library. The objects feed both the shared library (libKinemora-<lib>)
# and a static library kin_<lib>_<family> that the unit tests link, so a test
# program needs only the families it exercises.

# Flags every engine source is built with. Several results depend on exact
# single-precision rounding, so no contraction into FMA and no fast-math.
add_library(kinemora_build_flags INTERFACE)
target_compile_options(kinemora_build_flags INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(KINEMORA_SANITIZE)
  target_compile_options(kinemora_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kinemora_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# kinemora_add_family(<lib> <family> [DEPENDS <family>...])
# Call from <lib>/src/<family>/CMakeLists.txt. Sources are every *.cpp of the
# directory; headers are included as "<family>/<file>.h".
function(kinemora_add_family lib family)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    # A family whose first source is still being written: skip it rather than
    # fail the whole configuration.
    message(STATUS "Family ${lib}/${family} has no sources yet; skipped")
    return()
  endif()
  set(obj kin_${lib}_${family}_obj)
  add_library(${obj} OBJECT ${sources})
  set_target_properties(${obj} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${obj} PUBLIC kinemora_build_flags kinemora_${lib}_includes)

  set(static kin_${lib}_${family})
  add_library(${static} STATIC $<TARGET_OBJECTS:${obj}>)
  target_link_libraries(${static} PUBLIC kinemora_build_flags kinemora_${lib}_includes)
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(${static} PUBLIC kin_${lib}_${dep})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY KINEMORA_${lib}_OBJECT_LIBS ${obj})
endfunction()

# Adds every family directory of <src_dir> that has a CMakeLists.txt.
function(kinemora_add_families src_dir)
  file(GLOB children LIST_DIRECTORIES true "${src_dir}/*")
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${child}" AND EXISTS "${child}/CMakeLists.txt")
      add_subdirectory("${child}")
    endif()
  endforeach()
endfunction()

# kinemora_add_test_dirs(<lib> <tests_dir>)
# Every subdirectory <name> of <tests_dir> with *.cpp files becomes the test
# program <lib>_<name>_tests linked against kin_<lib>_<name> (or whatever the
# directory's own CMakeLists.txt says, when it has one).
function(kinemora_add_test_dirs lib tests_dir)
  file(GLOB children LIST_DIRECTORIES true "${tests_dir}/*")
  foreach(child IN LISTS children)
    if(NOT IS_DIRECTORY "${child}")
      continue()
    endif()
    get_filename_component(name "${child}" NAME)
    if(EXISTS "${child}/CMakeLists.txt")
      add_subdirectory("${child}")
    else()
      file(GLOB sources CONFIGURE_DEPENDS "${child}/*.cpp")
      if(sources AND TARGET kin_${lib}_${name})
        kinemora_add_test(${lib}_${name}_tests SOURCES ${sources} LIBS kin_${lib}_${name})
      endif()
    endif()
  endforeach()
endfunction()

# kinemora_add_test(<name> SOURCES ... LIBS ...)
function(kinemora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
