# The main window on Qt's offscreen platform: real clicks and keys, the error
# boxes they raise, and the window's layout read back and rendered.

foreach(name window_behaviour window_layout window_radio_group)
  add_executable(${name}_test ${name}_test.cpp window_test_support.h)
  target_link_libraries(${name}_test PRIVATE ui_window ui_frame Qt6::Test project_warnings)
  set_target_properties(${name}_test PROPERTIES AUTOMOC ON)
  add_test(NAME ${name}_test COMMAND ${name}_test)
  set_tests_properties(${name}_test PROPERTIES LABELS "gui" ENVIRONMENT "${OFFSCREEN_TEST_ENVIRONMENT}")
endforeach()

# The layout once more on a display scaled to twice its size: positions and
# fonts are the same in logical pixels, the rendering has twice the pixels.
add_test(NAME window_layout_scaled_test COMMAND window_layout_test)
set_tests_properties(window_layout_scaled_test PROPERTIES
  LABELS "gui" ENVIRONMENT "${OFFSCREEN_TEST_ENVIRONMENT};QT_SCALE_FACTOR=2")

# And with the fonts' resolution raised to 144 dpi.
add_test(NAME window_layout_font_dpi_test COMMAND window_layout_test)
set_tests_properties(window_layout_font_dpi_test PROPERTIES
  LABELS "gui" ENVIRONMENT "${OFFSCREEN_TEST_ENVIRONMENT};QT_FONT_DPI=144")
