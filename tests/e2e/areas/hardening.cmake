# Hardening seen from outside: a comctl32.dll planted beside setup.exe is
# never loaded, and the install completes all the same; the programs of the
# payload start with their manifests; with the user's TEMP pointed at a
# folder of the user's, setup (elevated) puts nothing there. The planted DLL
# is built next to the driver (ZV_E2E_BIN); hardening.sh puts it in place.
add_library(zv_planted_comctl32 SHARED ${CMAKE_CURRENT_LIST_DIR}/../plant/planted_comctl32.cpp)
set_target_properties(zv_planted_comctl32 PROPERTIES OUTPUT_NAME planted_comctl32 PREFIX "")
# Undecorated export names, as comctl32's own; the runtime linked in, as
# for the programs (a DLL does not get their linker flags).
target_link_options(zv_planted_comctl32 PRIVATE -Wl,--kill-at -static -static-libgcc
  -static-libstdc++)
zv_warnings(zv_planted_comctl32)

zv_e2e_area(hardening SOURCES ${CMAKE_CURRENT_LIST_DIR}/hardening.cpp
  SCENARIOS planted_comctl32 installed_programs_start user_temp_untouched)
add_dependencies(e2e_hardening zv_planted_comctl32)
