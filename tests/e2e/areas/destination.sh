# Staging for the destination scenarios: extra drives, existing and locked
# directories, and the checks of where the files landed.
# Sourced by run-scenario.sh (WINEPREFIX, DRIVE_C, OUT, ok, fail, ...).

# Drives live beside the scenario's output folder, never inside the prefix,
# so removing a prefix never meets a mount point.
mounts="${OUT}-mnt"

# release_mount DIR: unmounts DIR if something is mounted there.
release_mount() {
  if mountpoint -q "$1" 2>/dev/null; then
    umount "$1" || umount -l "$1"
  fi
}

# link_drive LETTER DIR: DIR becomes drive LETTER: of the prefix. Wine's
# mount manager reads the drive links when the prefix's services start, so
# they are restarted (with nothing of ours inherited) to see the new drive.
link_drive() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  wine cmd /c exit < /dev/null > /dev/null 2>&1
}

# expect_installed DIR COUNT: the payload landed in DIR (a Linux path):
# Zorvane.exe, Readme.rtf, the AImages folder and COUNT files in all.
expect_installed() {
  local dir=$1 count=$2 files
  for f in Zorvane.exe Readme.rtf uninstall.exe; do
    if [ -f "$dir/$f" ]; then ok "$dir/$f installed"; else fail "$dir/$f missing"; fi
  done
  if [ -d "$dir/AImages" ]; then ok "$dir/AImages made"; else fail "$dir/AImages missing"; fi
  files=$(find "$dir" -type f | wc -l)
  if [ "$files" -eq "$count" ]; then ok "$files files in $dir"; else fail "$files files in $dir, expected $count"; fi
}

check_default_install() {
  expect_installed "$DRIVE_C/Program Files/The Zorvane" 19
}

prepare_extra_drive() {
  release_mount "$mounts/d"
  mkdir -p "$mounts/d"
  mount -t tmpfs -o size=64m tmpfs "$mounts/d" || return 1
  mkdir -p "$mounts/d/Games/Sub" "$mounts/d/Alpha" "$mounts/d/.hidden"
  echo "not a directory" > "$mounts/d/afile.txt"
  link_drive d "$mounts/d"
}
check_extra_drive() {
  expect_installed "$mounts/d/The Zorvane/The Zorvane" 19
}
cleanup_extra_drive() { release_mount "$mounts/d"; }

prepare_small_drive() {
  release_mount "$mounts/e"
  mkdir -p "$mounts/e"
  mount -t tmpfs -o size=3m tmpfs "$mounts/e" || return 1
  link_drive e "$mounts/e"
}
check_small_drive() {
  expect_installed "$DRIVE_C/The Zorvane" 19
}
cleanup_small_drive() { release_mount "$mounts/e"; }

# Wine reports free space in clusters of 4096 bytes, truncated, so exactly
# 5000 units (5,000,000 to 5,000,999 bytes) cannot be staged under it: the
# nearest values are 1220 clusters (4997 units) and 1221 clusters (5001).
# Drive G holds 4997, drive F 5001: the two sides of the boundary.
prepare_free_space_boundary() {
  release_mount "$mounts/g"
  release_mount "$mounts/f"
  mkdir -p "$mounts/g" "$mounts/f"
  mount -t tmpfs -o size=$((1220 * 4096)) tmpfs "$mounts/g" || return 1
  mount -t tmpfs -o size=$((1221 * 4096)) tmpfs "$mounts/f" || return 1
  link_drive g "$mounts/g"
  link_drive f "$mounts/f"
}
check_free_space_boundary() {
  expect_installed "$mounts/f/The Zorvane" 19
  if [ ! -e "$mounts/g/The Zorvane" ]; then ok "nothing made on G"; else fail "G:/The Zorvane made"; fi
}
cleanup_free_space_boundary() {
  release_mount "$mounts/g"
  release_mount "$mounts/f"
}

prepare_existing_destination() {
  mkdir -p "$DRIVE_C/Program Files/The Zorvane"
  echo "kept" > "$DRIVE_C/Program Files/The Zorvane/keep.txt"
}
check_existing_destination() {
  expect_file "Program Files/The Zorvane/keep.txt"
  expect_installed "$DRIVE_C/Program Files/The Zorvane" 20
}

zv_uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\The Zorvane'
check_missing_parent() {
  local dir='C:\Program files\Apps\The Zorvane'
  expect_installed "$DRIVE_C/Program Files/Apps/The Zorvane" 19
  expect_reg "$zv_uninstall_key" InstallLocation "$dir"
  expect_reg "$zv_uninstall_key" Progdir "$dir"
  expect_reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\The Zorvane' Path "$dir"
  # and the folder the page resolved is the one the uninstaller removes
  wine "$dir\\uninstall.exe" /S > /dev/null 2>&1 && ok "uninstall.exe /S exits with 0" ||
    fail "uninstall.exe /S failed"
  # Its copy removes the folder after handing the result back.
  for _ in $(seq 1 100); do [ -e "$DRIVE_C/Program Files/Apps/The Zorvane" ] || break; sleep 0.1; done
  expect_no_file "Program Files/Apps/The Zorvane"
}

# Two folders of 100 characters below Program Files: with "The Zorvane"
# below them the destination has 230 characters. Every staged file lands
# there byte for byte, and no part file stays.
long_destination() { echo "$DRIVE_C/Program Files/$(printf 'a%.0s' {1..100})/$(printf 'b%.0s' {1..100})/The Zorvane"; }
prepare_long_destination() { mkdir -p "$(dirname "$(long_destination)")"; }
check_long_destination() {
  local stage name differ=0
  stage="$(dirname "$ZV_SETUP_EXE")/app-stage"
  expect_installed "$(long_destination)" 19
  while read -r name; do
    cmp -s "$stage/$name" "$(long_destination)/$name" || differ=$((differ + 1))
  done < <(cd "$stage" && find . -type f)
  [ "$differ" -eq 0 ] && ok "every staged file installed byte for byte" || fail "$differ files differ"
  [ -z "$(find "$(long_destination)" -name '*.zvpart')" ] && ok "no part file left" || fail "a part file is left"
}

# Wine run as root writes anywhere; only the immutable flag stops it.
prepare_cannot_create() {
  mkdir -p "$DRIVE_C/Program Files/Locked"
  chattr +i "$DRIVE_C/Program Files/Locked"
}
check_cannot_create() {
  expect_no_file "Program Files/Locked/The Zorvane"
}
cleanup_cannot_create() {
  chattr -i "$DRIVE_C/Program Files/Locked" 2>/dev/null || true
}

# The destination links to C:\Elsewhere, holding one file; its mode bits
# show whether setup changed its access.
prepare_linked_destination() {
  mkdir -p "$DRIVE_C/Elsewhere" && echo "kept" > "$DRIVE_C/Elsewhere/keep.txt"
  ln -sfn "$DRIVE_C/Elsewhere" "$DRIVE_C/Program Files/The Zorvane"
  linked_mode=$(stat -c %a "$DRIVE_C/Elsewhere")
}
check_linked_destination() {
  [ "$(find "$DRIVE_C/Elsewhere" -mindepth 1 | wc -l)" -eq 1 ] && ok "nothing written through the link" || fail "written through the link"
  [ "$(stat -c %a "$DRIVE_C/Elsewhere")" = "$linked_mode" ] && ok "access behind the link unchanged" || fail "mode of C:/Elsewhere changed"
  [ -z "$(reg_value "$zv_uninstall_key" InstallLocation)" ] && ok "nothing registered" || fail "an Uninstall key was written"
}

# "C:\Program files" becomes a link into a user's folder; the real one is
# kept aside.
linked_program_files_target() { echo "$DRIVE_C/users/$(id -un)/Owned by the user"; }
prepare_linked_program_files() {
  mkdir -p "$(linked_program_files_target)"
  mv "$DRIVE_C/Program Files" "$DRIVE_C/Program Files.real"
  ln -sfn "$(linked_program_files_target)" "$DRIVE_C/Program Files"
}
check_linked_program_files() {
  [ -z "$(find "$(linked_program_files_target)" -mindepth 1)" ] && ok "nothing written through the link" || fail "written through the link"
  [ -z "$(reg_value "$zv_uninstall_key" InstallLocation)" ] && ok "nothing registered" || fail "an Uninstall key was written"
}
cleanup_linked_program_files() {
  if [ -L "$DRIVE_C/Program Files" ] && [ -d "$DRIVE_C/Program Files.real" ]; then
    rm "$DRIVE_C/Program Files" && mv "$DRIVE_C/Program Files.real" "$DRIVE_C/Program Files"
  fi
}

# What ProgramData and the Windows folder hold, and their modes, before
# and after.
system_folders_state() {
  local dir
  for dir in "$DRIVE_C/ProgramData" "$DRIVE_C/windows"; do
    stat -c '%a %n' "$dir"
    find "$dir" -maxdepth 1 | sort
  done
}
prepare_system_folders() { system_folders_state > "$OUT/system-folders.before"; }
check_system_folders() {
  system_folders_state > "$OUT/system-folders.after"
  cmp -s "$OUT/system-folders.before" "$OUT/system-folders.after" && ok "ProgramData and windows unchanged" || fail "ProgramData or windows changed: $(diff "$OUT/system-folders.before" "$OUT/system-folders.after" | head -5)"
  [ -z "$(reg_value "$zv_uninstall_key" InstallLocation)" ] && ok "nothing registered" || fail "an Uninstall key was written"
}
