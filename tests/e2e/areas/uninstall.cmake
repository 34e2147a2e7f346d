# The uninstaller on a real installation: /S back to the prefix as it was
# (part files of a killed setup and a squatted mark name included),
# Add/Remove Programs, No, user files, the game still running, an edited
# "Progdir", the Add/Remove Programs entry and its quiet command, "Scdir" at
# the public desktop, a retargeted group link, a foreign subkey then a
# foreign value and a last run, two uninstallers at once, the copy's private
# folder. The driver's "install" walk, run by uninstall.sh, is no test of its
# own.
zv_e2e_area(uninstall SOURCES ${CMAKE_CURRENT_LIST_DIR}/uninstall.cpp
  SCENARIOS silent_restores add_remove_programs answer_no user_files_kept files_in_use
            bad_progdir add_remove_entry public_desktop_group group_link_retargeted
            foreign_subkey two_at_once copy_folder_private)
