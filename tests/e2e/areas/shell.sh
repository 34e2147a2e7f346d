# The shell area's staging. With ZV_WALK_DESKTOP naming a picture (as the
# run command's walk does), walk_defaults shows it full-screen as an X
# window before setup starts, so that the darkened snapshot shows a desktop
# (Wine's snapshot sees X windows, not the root window's background).
source "$(dirname "${BASH_SOURCE[0]}")/background.sh"

prepare_walk_defaults() {
  [ -z "${ZV_WALK_DESKTOP:-}" ] || bg_show "$ZV_WALK_DESKTOP" 0 0
}

cleanup_walk_defaults() {
  bg_cleanup
}

# The pictures of the pages lie in the scenario's own folder under their
# page names (the copy page may come and go too fast to be caught).
check_walk_defaults() {
  local page missing=0
  for page in 1-agreement 2-destination 4-shortcuts 5-finished; do
    [ -s "$OUT/$page.bmp" ] || { fail "no picture $OUT/$page.bmp"; missing=1; }
  done
  [ $missing -eq 0 ] && ok "the pictures of the pages are in $OUT"
}
