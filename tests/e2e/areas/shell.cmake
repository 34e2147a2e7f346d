zv_e2e_area(shell SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell.cpp
  SCENARIOS decline_licence accept_licence keyboard walk_defaults command_line_ignored)
