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
if(KINEMORA_TSAN)
  target_compile_options(kinemora_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kinemora_build_flags INTERFACE -fsanitize=thread)
endif()
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
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    if(NOT headers)
      # A family whose first file is still being written: skip it rather than
      # fail the whole configuration.
      message(STATUS "Family ${lib}/${family} has no sources yet; skipped")
      return()
    endif()
    # Headers only (templates): users link what the headers need.
    add_library(kin_${lib}_${family} INTERFACE)
    target_link_libraries(kin_${lib}_${family} INTERFACE kinemora_build_flags kinemora_${lib}_includes)
    foreach(dep IN LISTS ARG_DEPENDS)
      kinemora_family_target(dep_target ${lib} ${dep})
      target_link_libraries(kin_${lib}_${family} INTERFACE ${dep_target})
    endforeach()
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
    kinemora_family_target(dep_target ${lib} ${dep})
    target_link_libraries(${static} PUBLIC ${dep_target})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY KINEMORA_${lib}_OBJECT_LIBS ${obj})
endfunction()

# The static library of family <dep> as seen from a family of <lib>: a sibling
# directory of the same library, or a family of a library added before it.
# Family names are unique across the libraries (their headers share one
# include directory), so the name alone says which library holds it.
function(kinemora_family_target out lib dep)
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/../${dep}/CMakeLists.txt")
    set(${out} kin_${lib}_${dep} PARENT_SCOPE)
    return()
  endif()
  foreach(other IN LISTS KINEMORA_LIBRARIES)
    if(TARGET kin_${other}_${dep})
      set(${out} kin_${other}_${dep} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: unknown family ${dep}")
endfunction()

# kinemora_begin_library(<lib> [REQUIRES <lib>...])
# Call from <lib>/CMakeLists.txt before its families. REQUIRES names the
# libraries this one links and whose headers it includes (core before bundle
# before ext); one that is not part of the tree is left out.
function(kinemora_begin_library lib)
  cmake_parse_arguments(ARG "" "" "REQUIRES" ${ARGN})
  add_library(kinemora_${lib}_includes INTERFACE)
  target_include_directories(kinemora_${lib}_includes INTERFACE
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/src>)
  set(required)
  foreach(req IN LISTS ARG_REQUIRES)
    if(TARGET Kinemora-${req})
      list(APPEND required ${req})
      target_link_libraries(kinemora_${lib}_includes INTERFACE kinemora_${req}_includes)
    else()
      message(STATUS "Library ${lib}: required library ${req} is not built; left out")
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY KINEMORA_${lib}_REQUIRES "${required}")
endfunction()

# kinemora_end_library(<lib>)
# Call after the families: the shared library libKinemora-<lib>.so.3 (alias
# Kinemora::<lib>) made of every family's objects, linking the required
# libraries rather than embedding their objects.
function(kinemora_end_library lib)
  get_property(object_libs GLOBAL PROPERTY KINEMORA_${lib}_OBJECT_LIBS)
  get_property(required GLOBAL PROPERTY KINEMORA_${lib}_REQUIRES)
  set(objects)
  foreach(obj IN LISTS object_libs)
    list(APPEND objects $<TARGET_OBJECTS:${obj}>)
  endforeach()

  add_library(Kinemora-${lib} SHARED ${objects})
  add_library(Kinemora::${lib} ALIAS Kinemora-${lib})
  set_target_properties(Kinemora-${lib} PROPERTIES
    OUTPUT_NAME Kinemora-${lib}
    VERSION ${PROJECT_VERSION}
    SOVERSION 3
    EXPORT_NAME ${lib})
  target_link_libraries(Kinemora-${lib} PRIVATE kinemora_build_flags)
  foreach(req IN LISTS required)
    target_link_libraries(Kinemora-${lib} PUBLIC Kinemora-${req})
  endforeach()
  target_include_directories(Kinemora-${lib} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/kinemora>)
  target_compile_features(Kinemora-${lib} PUBLIC cxx_std_20)
  set_property(GLOBAL APPEND PROPERTY KINEMORA_BUILT_LIBS ${lib})
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
