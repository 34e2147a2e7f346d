zv_e2e_area(destination SOURCES ${CMAKE_CURRENT_LIST_DIR}/destination.cpp
  SCENARIOS default_destination default_install extra_drive name_limit empty_name
            small_drive free_space_boundary existing_destination missing_parent cannot_create
            long_paths slash_name linked_destination)
