# libFuzzer targets of every library. Configure a build directory of their own
# with clang:
#   cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
#         -DKINEMORA_FUZZ=ON -DKINEMORA_BUILD_TESTS=OFF -DKINEMORA_BUILD_BENCH=OFF
# Every engine source of that build is instrumented for the fuzzer and runs
# under AddressSanitizer and UndefinedBehaviorSanitizer, aborting at the first
# finding so that the fuzzer reports it as a crash. scripts/test.sh runs the
# targets on their seed corpora.

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KINEMORA_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
endif()

target_compile_options(kinemora_build_flags INTERFACE
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_link_options(kinemora_build_flags INTERFACE
  -fsanitize=address,undefined -fno-sanitize-recover=all)

# kinemora_add_fuzzer(<name> SOURCES ... LIBS ...)
function(kinemora_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
