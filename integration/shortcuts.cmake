# Shortcuts and registration: the shortcut page, the program-group browser,
# shell links and the registry routines. The path and navigation rules are
# pure and build natively too; the windows are in setup.exe only.
target_sources(zv_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/shortcut_paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/group_navigation.cpp)

if(WIN32)
  target_sources(setup PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_link.cpp
    ${CMAKE_CURRENT_LIST_DIR}/group_browser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shortcut_page.cpp)
endif()
