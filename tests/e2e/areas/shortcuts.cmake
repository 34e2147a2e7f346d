zv_e2e_area(shortcuts SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcuts.cpp
  SCENARIOS full_install desktop_link cancel_no_finish cancel_yes second_install
            browse_short_path browse_to_drive deep_descent no_common_programs desktop_too_long
            registry_calls link_calls finish_without_verb)
