# Paths in any language: the temporary folder and the chosen folder named in
# Cyrillic and Chinese under a Western code page; setup installs there and
# the uninstaller removes it all. The driver's "install" walk, run by
# language.sh, is a step, no test of its own.
zv_e2e_area(language)
