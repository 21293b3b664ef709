# The error box's period rule, without Qt.
add_executable(error_box_text_test error_box_text_test.cpp)
target_link_libraries(error_box_text_test PRIVATE error_box_text project_warnings GTest::gtest GTest::gtest_main)
gtest_discover_tests(error_box_text_test PROPERTIES LABELS "unit")

# Start-up order, observed through the program's own start-up sequence. The
# German locale makes the separator read at start-up visible (",").
add_executable(frame_start_up_test frame_start_up_test.cpp)
target_link_libraries(frame_start_up_test PRIVATE ui_window ui_frame project_warnings GTest::gtest GTest::gtest_main)
add_test(NAME frame_start_up_test COMMAND frame_start_up_test)
set_tests_properties(frame_start_up_test PROPERTIES
  LABELS "gui"
  ENVIRONMENT "${OFFSCREEN_TEST_ENVIRONMENT};LC_ALL=de_DE.UTF-8")

# Error boxes, recovery after them, and the locale change notice.
add_executable(frame_error_box_test frame_error_box_test.cpp)
target_link_libraries(frame_error_box_test PRIVATE ui_window ui_frame project_warnings Qt6::Test)
set_target_properties(frame_error_box_test PROPERTIES AUTOMOC ON)
add_test(NAME frame_error_box_test COMMAND frame_error_box_test)
set_tests_properties(frame_error_box_test PROPERTIES
  LABELS "gui"
  ENVIRONMENT "${OFFSCREEN_TEST_ENVIRONMENT}")

# What an installation puts on the desktop: program, menu entry, icon.
add_test(NAME desktop_installation
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR}/install)
set_tests_properties(desktop_installation PROPERTIES LABELS "unit;desktop")

# The real program on Xvfb with a window manager, driven from outside.
set(program_test ${PROJECT_SOURCE_DIR}/tests/xvfb/program_test.sh)
foreach(scenario title error_box close_button close_keyboard alt_f4 wm_close minimise)
  add_test(NAME program_${scenario} COMMAND ${program_test} ${scenario} $<TARGET_FILE:hydrant-discharge>)
  set_tests_properties(program_${scenario} PROPERTIES LABELS "xvfb" TIMEOUT 60)
endforeach()

# One run from start to exit, through an error box, under the leak checker:
# a definitely lost block fails it. The test machine has no session bus; the
# unreachable address keeps libdbus from forking a bus launcher (whose own
# leaks would be reported) and from leaking its read buffer.
add_test(NAME program_leak_check COMMAND ${program_test} error_box $<TARGET_FILE:hydrant-discharge>)
set_tests_properties(program_leak_check PROPERTIES
  LABELS "leak;slow"
  TIMEOUT 180
  ENVIRONMENT "PROGRAM_WRAPPER=valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99 --suppressions=${PROJECT_SOURCE_DIR}/tests/xvfb/valgrind.supp;PROGRAM_START_SECONDS=60;DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent")
