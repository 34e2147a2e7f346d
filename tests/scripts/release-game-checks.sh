# Sourced by tests/e2e/run-scenario.sh for release-game.sh: after the
# install, the game's files, links and Add/Remove Programs entry; the
# scenario's own check then shows the removal took exactly them.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/areas/shortcuts.sh"

after_prepare() {
  local name differ=0 installed
  local shipped
  while IFS= read -r -d '' name; do
    # Zorvane.exe is shipped as release.sh signed it.
    shipped=$ZV_GAME/$name
    [ "$name" != Zorvane.exe ] || shipped=$ZV_SIGNED_APP
    cmp -s "$shipped" "$UN_PROG/$name" || { differ=$((differ + 1)); fail "$name differs or is missing"; }
  done < <(cd "$ZV_GAME" && find . -type f -printf '%P\0')
  [ $differ -eq 0 ] && ok "all $ZV_GAME_FILES files of the game installed byte for byte (Zorvane.exe as signed)"
  osslsigncode verify -CAfile "$ZV_CERT" -in "$UN_PROG/Zorvane.exe" > "$OUT/verify-app.log" 2>&1 &&
    ok "the installed Zorvane.exe carries the release's signature" || fail "the installed Zorvane.exe is not signed"
  installed=$(cd "$UN_PROG" && find . -type f | grep -vx './uninstall.exe' | wc -l)
  [ "$installed" = "$ZV_GAME_FILES" ] && ok "no other file but uninstall.exe beside them" ||
    fail "$installed files installed besides uninstall.exe, $ZV_GAME_FILES shipped"
  [ -d "$UN_PROG/AImages" ] && ok "AImages made" || fail "no AImages"
  zv_expect_registry "$ZV_PROGRAMS_WIN\\The Zorvane"
  zv_expect_group_links "$ZV_PROGRAMS_WIN\\The Zorvane"
  local kb
  kb=$(( ($(cd "$UN_PROG" && find . -type f -printf '%s\n' | awk '{s += $1} END {print s}') + 1023) / 1024 ))
  wine reg query "$ZV_UNINSTALL" /v EstimatedSize 2> /dev/null | tr -d '\r' |
    grep -qiE "EstimatedSize[[:space:]]+REG_DWORD[[:space:]]+0x$(printf '%x' "$kb")\$" &&
    ok "EstimatedSize is $kb KiB, the files installed" ||
    fail "EstimatedSize is not $kb KiB: $(wine reg query "$ZV_UNINSTALL" /v EstimatedSize 2>&1 | tr -d '\r' | tail -2)"
}

after_check() {
  [ ! -e "$UN_PROG" ] && ok "the program folder is gone" || fail "the program folder is left"
}
