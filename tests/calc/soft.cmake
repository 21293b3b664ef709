# The calculation tests once more against the software extended format, the
# differential test between the two formats, and the build for aarch64 (no
# x87) run under emulation. Included at the end of tests/calc/CMakeLists.txt.

# Every test program of this directory that links calc, again: built from the
# same sources and linked with calc_soft instead. Each program is one ctest
# test (labels of gtest_discover_tests keep only their first entry, and these
# need several).
if(TARGET calc_soft)
  get_property(calc_test_programs DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(suite IN LISTS calc_test_programs)
    get_target_property(suite_type ${suite} TYPE)
    get_target_property(suite_libraries ${suite} LINK_LIBRARIES)
    if(suite_type STREQUAL "EXECUTABLE" AND "calc" IN_LIST suite_libraries)
      get_target_property(suite_sources ${suite} SOURCES)
      list(TRANSFORM suite_libraries REPLACE "^calc$" calc_soft)
      add_executable(${suite}_soft ${suite_sources})
      target_link_libraries(${suite}_soft PRIVATE ${suite_libraries})
      add_test(NAME ${suite}_soft COMMAND ${suite}_soft)
      set_tests_properties(${suite}_soft PROPERTIES LABELS "unit;calc;soft" TIMEOUT 300)
    endif()
  endforeach()
endif()

# The software format's hand-worked roundings, on every processor.
add_executable(soft_extended_tests soft_extended_test.cpp)
target_link_libraries(soft_extended_tests PRIVATE calc project_warnings GTest::gtest GTest::gtest_main)
gtest_discover_tests(soft_extended_tests PROPERTIES LABELS "unit")

if(HYDRANT_HAVE_X87_EXTENDED)
  # Both formats in one program, bit for bit on millions of operands.
  add_executable(extended_differential_tests extended_differential_test.cpp)
  target_link_libraries(extended_differential_tests PRIVATE calc project_warnings GTest::gtest GTest::gtest_main)
  add_test(NAME extended_differential_tests COMMAND extended_differential_tests)
  set_tests_properties(extended_differential_tests PROPERTIES LABELS "unit;calc;soft;slow" TIMEOUT 300)
endif()

# One press for each of 100,000 random pressure texts, through each format:
# the two traces must be identical.
add_executable(press_trace press_trace.cpp)
target_link_libraries(press_trace PRIVATE calc project_warnings)
if(TARGET calc_soft)
  add_executable(press_trace_soft press_trace.cpp)
  target_link_libraries(press_trace_soft PRIVATE calc_soft project_warnings)
  add_test(NAME press_trace_x87_against_soft
           COMMAND ${CMAKE_COMMAND} -DFIRST=$<TARGET_FILE:press_trace> -DSECOND=$<TARGET_FILE:press_trace_soft>
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/compare_traces.cmake)
  set_tests_properties(press_trace_x87_against_soft PROPERTIES LABELS "unit;calc;soft" TIMEOUT 300)
endif()

# Cross-compiles calc and these tests for aarch64 and runs them under
# qemu-user, in a build tree of its own below this one.
if(NOT CMAKE_CROSSCOMPILING AND HYDRANT_HAVE_X87_EXTENDED)
  add_test(NAME calc_aarch64_under_emulation
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/cross-aarch64 ${CMAKE_BINARY_DIR}/cross-aarch64 $<TARGET_FILE:press_trace>)
  set_tests_properties(calc_aarch64_under_emulation PROPERTIES LABELS "cross;slow" TIMEOUT 1500)
endif()
