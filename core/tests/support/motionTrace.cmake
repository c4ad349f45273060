# The motion-trace generator (MotionTrace.h, RawEncoder.h): presenter motion
# with known truth, turned into the raw records a device sends. The sensor
# tests and benchmarks use it, and so does the application's simulated
# presenter, so it is built with or without the tests. It holds no engine
# code of its own: a test links the core families it needs, the application
# the shared core library.
add_library(kin_motion_trace STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MotionTrace.cpp ${CMAKE_CURRENT_LIST_DIR}/RawEncoder.cpp)
set_target_properties(kin_motion_trace PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(kin_motion_trace PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(kin_motion_trace PUBLIC kinemora_build_flags kinemora_core_includes)
