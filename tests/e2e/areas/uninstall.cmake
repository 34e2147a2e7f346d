# The uninstaller on a real installation: /S back to the prefix as it was
# (part files of a killed setup and a squatted mark name included),
# Add/Remove Programs, No, user files, the game still running, an edited
# "Progdir", the Add/Remove Programs entry and its quiet command, "Scdir" at
# the public desktop, a retargeted group link, a foreign subkey then a
# foreign value and a last run, two uninstallers at once, the copy's private
# folder. The driver's "install" walk, run by uninstall.sh, is a step, no
# test of its own.
zv_e2e_area(uninstall)
