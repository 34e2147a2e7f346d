# The background picture on the screen: the darkened desktop with the title
# and a closed window kept in the picture (24-bit display); the 8-bit display
# with its palette; the banner and the title at 200 % (192 dpi).
# time_to_background is no test: scripts/bench-background.sh runs it to time
# the first painted background.
zv_e2e_area(background SOURCES ${CMAKE_CURRENT_LIST_DIR}/background.cpp
  SCENARIOS darkened_desktop eight_bit_display scaled_display)
# The 8-bit scenario also runs the palette-path unit test on its display.
add_dependencies(e2e_background background_8bit_tests)
