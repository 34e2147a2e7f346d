# The background picture on the screen: the darkened desktop with the title
# and a closed window kept in the picture (24-bit display); the 8-bit display
# with its palette; the banner and the title at 200 % (192 dpi).
# time_to_background is a step, no test: the background bench runs it to
# time the first painted background.
zv_e2e_area(background)
# The 8-bit scenario also runs the palette-path unit test on its display.
add_dependencies(e2e_background background_8bit_tests)
