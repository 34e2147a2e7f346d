# Files on disk for the payload scenarios (sourced by run-scenario.sh).
# The reference is the staged application tree of the same build
# (app-stage next to setup.exe); faulty installers are made from the copied
# setup.exe by zv-payload-variant of the native build.

pay_build() { dirname "$ZV_SETUP_EXE"; }
pay_stage() { echo "$(pay_build)/app-stage"; }
pay_dest() { echo "$DRIVE_C/Program Files/The Zorvane"; }
pay_tools() { grep '^ZV_HOST_TOOLS:' "$(pay_build)/CMakeCache.txt" | cut -d= -f2-; }
pay_variant() {
  "$(pay_tools)/zv-payload-variant" "$1" "$DRIVE_C/zvtest/setup.exe" \
    "$(pay_build)/generated/payload.gz"
}
# The archive's order: the staged names sorted byte-wise with "\" separators.
pay_names() {
  (cd "$(pay_stage)" && find . -type f | sed 's|^\./||' | tr '/' '\\' | LC_ALL=C sort | tr '\\' '/')
}
pay_temp() { echo "$DRIVE_C/users/$(ls "$DRIVE_C/users" | grep -v Public | head -1)/Temp"; }
# Where setup's work folder goes: the Windows folder's Temp, since under Wine
# every process is elevated.
pay_work_parent() { echo "$DRIVE_C/windows/temp"; }
pay_count_installed() {
  find "$(pay_dest)" -type f 2>/dev/null | wc -l
}
expect_count() {
  local n; n=$(pay_count_installed)
  if [ "$n" -eq "$1" ]; then ok "$1 files below the destination"; else fail "$n files below the destination, expected $1"; fi
}
# expect_same NAME: the installed file equals the staged one.
expect_same() {
  if cmp -s "$(pay_stage)/$1" "$(pay_dest)/$1"; then ok "$1 installed byte for byte"; else fail "$1 differs from the application's or is missing"; fi
}
# Neither temporary file nor the folder setup made for them in Temp.
expect_no_temporaries() {
  local left; left=$(find "$DRIVE_C" -name 'filesdata.*' 2>/dev/null; find "$(pay_temp)" "$(pay_work_parent)" -maxdepth 1 -name 'zv*' 2>/dev/null)
  if [ -z "$left" ]; then ok "temporary files and their folder deleted"; else fail "temporary files left: $left"; fi
}
expect_images_dir() {
  if [ -d "$(pay_dest)/AImages" ] && [ -z "$(ls -A "$(pay_dest)/AImages")" ]; then
    ok "AImages exists and is empty"; else fail "AImages missing or not empty"; fi
}

check_default_install() {
  local name
  [ "$(pay_names | wc -l)" -eq 19 ] || fail "the staged application has $(pay_names | wc -l) files"
  while read -r name; do expect_same "$name"; done < <(pay_names)
  expect_count 19
  expect_images_dir
  expect_no_temporaries
}

# A payload whose gzip step takes a while (zeros after the last entry), so
# the click surely comes before the first entry is written.
# A first installation: the copy stops after the first entry, and what
# this run wrote goes, with the install folder the destination page made.
prepare_cancel_at_once() { pay_variant slow; }
check_cancel_at_once() {
  expect_no_file "Program Files/The Zorvane"
  expect_no_temporaries
}

# The install folder as it stands: every folder by name, every file by
# name, size, date and contents.
pay_tree() {
  (cd "$(pay_dest)" && find . -mindepth 1 -type d -printf 'folder %P\n' &&
    find . -type f -printf 'file %P %s %T@ ' -exec md5sum {} \;) | LC_ALL=C sort
}
# A kept folder or part file left inside shows as a name more. Names
# matching the regular expression $1, if given, are left out.
expect_tree_as_before() {
  local skip=${1:-^$}
  if diff <(grep -Ev "$skip" "$OUT/tree-before.txt") <(pay_tree | grep -Ev "$skip") \
    > "$OUT/tree-diff.txt"; then
    ok "the install folder is exactly as before ($(grep -cEv "$skip" "$OUT/tree-before.txt") names)"
  else fail "the install folder changed: $(tr '\n' ' ' < "$OUT/tree-diff.txt")"; fi
}
# An earlier installation whose files each hold "earlier " and their name
# (Music.dat MUSIC_BYTES of random bytes when set), a file and a folder only
# the earlier version had, and the user's own saved game and notes, dated in
# the past.
pay_earlier_with_own_files() {
  local name
  while read -r name; do
    mkdir -p "$(dirname "$(pay_dest)/$name")"
    if [ "$name" = Music.dat ] && [ -n "${MUSIC_BYTES:-}" ]; then
      head -c "$MUSIC_BYTES" /dev/urandom > "$(pay_dest)/$name"
    else printf 'earlier %s' "${name//\//\\}" > "$(pay_dest)/$name"; fi
  done < <(pay_names)
  mkdir -p "$(pay_dest)/AImages" "$(pay_dest)/OldLevels" "$(pay_dest)/Saves"
  echo "only the earlier version had this" > "$(pay_dest)/OldLevels/Retired.map"
  echo "the user's saved game" > "$(pay_dest)/Saves/slot1.sav"
  echo "the user's notes" > "$(pay_dest)/notes.txt"
  find "$(pay_dest)" -type f -exec touch -d '2024-03-01 12:00:00' {} +
  pay_tree > "$OUT/tree-before.txt"
}

# Killed while the 200 MB Textures.pak is written over an earlier
# installation (every entry before it has replaced its earlier file by
# then), then a second setup cancelled at the same point: it put the
# earlier installation back first, and its own rollback leaves it again.
prepare_killed_over_earlier() { pay_variant large; pay_earlier_with_own_files; }
check_killed_over_earlier() {
  expect_tree_as_before
  expect_no_temporaries
}

# Killed there, and a folder put at the name of the first entry (Fonts.dat)
# before the next setup: its kept file cannot go back. The box names it,
# and it stays in the kept folder as it was; the rest is as before.
prepare_kept_file_not_put_back() { pay_variant large; pay_earlier_with_own_files; }
check_kept_file_not_put_back() {
  local kept; kept=$(find "$(pay_dest)" -maxdepth 1 -name 'earlier.*.zvkeep')
  if [ -n "$kept" ] && [ "$(ls -A "$kept")" = Fonts.dat ] &&
    [ "$(cat "$kept/Fonts.dat")" = "earlier Fonts.dat" ]; then
    ok "the earlier Fonts.dat stays in its kept folder, unchanged"
  else fail "the kept folder holds: $(ls -A "$kept" 2>&1 | tr '\n' ' ')"; fi
  expect_tree_as_before 'Fonts\.dat|\.zvkeep'
}

prepare_corrupt_stream() { pay_variant corrupt; }
check_corrupt_stream() { expect_count 0; expect_no_temporaries; }

prepare_crc_mismatch() { pay_variant crc; }
check_crc_mismatch() { expect_count 0; expect_no_temporaries; }

# The archive ends inside the last entry, or inside Textures.pak in the
# second of its copy blocks: the copy fails there, and the first
# installation leaves nothing, the folder setup made included.
prepare_truncated_archive() { pay_variant truncated; }
check_truncated_archive() {
  expect_no_file "Program Files/The Zorvane"
  expect_no_temporaries
}
prepare_truncated_large_entry() { pay_variant truncated_large; }
check_truncated_large_entry() { check_truncated_archive; }

# The first entry is named "..\" + its name: nothing is written, least of
# all next to the destination.
prepare_traversal_name() { pay_variant traversal; }
check_traversal_name() {
  expect_no_file "Program Files/$(pay_names | head -1)"
  expect_count 0
  expect_no_temporaries
}

# The first entry holds no data: it is installed as an empty file.
prepare_size_zero_entry() { pay_variant size0; }
check_size_zero_entry() {
  local first name; first=$(pay_names | head -1)
  if [ -f "$(pay_dest)/$first" ] && [ ! -s "$(pay_dest)/$first" ]; then
    ok "$first installed empty"; else fail "$first not installed as an empty file"; fi
  while read -r name; do expect_same "$name"; done < <(pay_names | tail -n +2)
  expect_count 19
  expect_no_temporaries
}

# The third entry exists already and cannot be replaced (Wine as root
# writes read-only files, so the immutable flag stands in): the copy stops
# there, the two files before it go again, and the folder the user chose
# stays with the old file alone.
prepare_readonly_destination() {
  local third; third=$(pay_names | sed -n 3p)
  mkdir -p "$(pay_dest)/$(dirname "$third")"
  echo "the old file" > "$(pay_dest)/$third"
  chattr +i "$(pay_dest)/$third"
}
check_readonly_destination() {
  local third; third=$(pay_names | sed -n 3p)
  if [ "$(cat "$(pay_dest)/$third")" = "the old file" ]; then ok "$third left as it was"; else fail "$third was changed"; fi
  expect_count 1
  expect_no_file "Program Files/The Zorvane/AImages"
  [ -z "$(find "$DRIVE_C" -name '*.zvkeep' -o -name '*.zvpart' 2>/dev/null)" ] && ok "no kept folder or part file is left" ||
    fail "left: $(find "$DRIVE_C" -name '*.zvkeep' -o -name '*.zvpart')"
  expect_no_temporaries
}
cleanup_readonly_destination() {
  chattr -i "$(pay_dest)/$(pay_names | sed -n 3p)" 2>/dev/null || true
}

# A 3 MB temporary directory: filesdata.gz fits, the archive does not. A
# 1 MB one: not even filesdata.gz (1.9 MB) fits.
pay_temp_disk() { mkdir -p "$(pay_work_parent)" && mount -t tmpfs -o "size=$1" zvtemp "$(pay_work_parent)"; }
prepare_full_temp_disk() { pay_temp_disk 3m; }
prepare_no_room_for_gzip() { pay_temp_disk 1m; }
check_full_temp_disk() { expect_count 0; expect_no_temporaries; }
check_no_room_for_gzip() { check_full_temp_disk; }
cleanup_full_temp_disk() { umount "$(pay_work_parent)" 2>/dev/null || true; }
cleanup_no_room_for_gzip() { cleanup_full_temp_disk; }

# A 3 MB disk as the destination: the application does not fit, and the
# entry whose write runs out of room stops the copy (no message of its own);
# what was written before it goes again, and the empty folder the user
# chose stays.
prepare_full_destination_disk() {
  mkdir -p "$(pay_dest)" && mount -t tmpfs -o size=3m zvdest "$(pay_dest)"
}
check_full_destination_disk() {
  if [ -d "$(pay_dest)" ] && [ -z "$(ls -A "$(pay_dest)")" ]; then
    ok "the folder the user chose is there and empty"
  else fail "the destination holds: $(ls -A "$(pay_dest)" 2>&1 | tr '\n' ' ')"; fi
  expect_no_temporaries
}
cleanup_full_destination_disk() { umount "$(pay_dest)" 2>/dev/null || true; }

# Links planted at the old fixed temporary names, pointing at files outside
# the prefix: setup keeps its temporaries in a folder of its own and never
# opens those names, so the victims and the links stay as they were, and
# nothing setup made is left in the temporary directory.
pay_victims() { echo "$OUT/victims"; }
prepare_planted_temp_links() {
  mkdir -p "$(pay_temp)" "$(pay_victims)"
  echo "victim of filesdata.gz" > "$(pay_victims)/gz.txt"
  echo "victim of filesdata.dat" > "$(pay_victims)/dat.txt"
  ln -s "$(pay_victims)/gz.txt" "$(pay_temp)/filesdata.gz"
  ln -s "$(pay_victims)/dat.txt" "$(pay_temp)/filesdata.dat"
  ls -A "$(pay_temp)" | sort > "$OUT/temp-before.txt"
}
check_planted_temp_links() {
  local name kind
  while read -r name; do expect_same "$name"; done < <(pay_names)
  expect_count 19
  for kind in gz dat; do
    if [ "$(cat "$(pay_victims)/$kind.txt")" = "victim of filesdata.$kind" ]; then
      ok "the victim of filesdata.$kind is unchanged"; else fail "the victim of filesdata.$kind was written"; fi
    if [ -L "$(pay_temp)/filesdata.$kind" ] &&
      [ "$(readlink "$(pay_temp)/filesdata.$kind")" = "$(pay_victims)/$kind.txt" ]; then
      ok "the link filesdata.$kind is still there, untouched"; else fail "the link filesdata.$kind was changed"; fi
  done
  if diff <(ls -A "$(pay_temp)" | sort) "$OUT/temp-before.txt" > "$OUT/temp-diff.txt"; then
    ok "nothing setup made is left in the temporary directory"
  else
    fail "the temporary directory changed: $(tr '\n' ' ' < "$OUT/temp-diff.txt")"
  fi
}

# An earlier installation (a Music.dat of 200,000 bytes, every other file a
# few bytes, beside the user's own files) on a disk that fills up in the
# middle of the new Music.dat (600,004 bytes): 1656 kB hold the 1.19 MB of
# entries before it, the earlier files and about 300 kB more, less than the
# new file needs. The copy stops there and puts the earlier installation
# back: the folder is exactly as before, with no part file or kept folder.
prepare_full_disk_over_earlier() {
  mkdir -p "$(pay_dest)" && mount -t tmpfs -o size=1656k zvearly "$(pay_dest)" || return 1
  MUSIC_BYTES=200000 pay_earlier_with_own_files
}
check_full_disk_over_earlier() {
  expect_tree_as_before
  expect_no_temporaries
}
cleanup_full_disk_over_earlier() { umount "$(pay_dest)" 2>/dev/null || true; }

# The last entry's name puts its part file one character over the path
# limit below the default destination: nothing is written at all.
prepare_long_name() { pay_variant long_name; }
check_long_name() {
  expect_count 0
  expect_no_file "Program Files/The Zorvane/AImages"
  expect_no_temporaries
}

# An earlier installation: every file holds "earlier " and its name, only
# Zorvane.exe is the real program (the driver runs it).
prepare_file_in_use() {
  local name
  while read -r name; do
    mkdir -p "$(dirname "$(pay_dest)/$name")"
    if [ "$name" = Zorvane.exe ]; then cp "$(pay_stage)/$name" "$(pay_dest)/$name"
    else printf 'earlier %s' "${name//\//\\}" > "$(pay_dest)/$name"; fi
  done < <(pay_names)
  mkdir -p "$(pay_dest)/AImages"
}
check_file_in_use() { check_default_install; }

# What a killed setup may leave: its work folder, empty.
expect_at_most_empty_work_folder() {
  local entry left=""
  for entry in "$(pay_temp)"/* "$(pay_temp)"/.[!.]* "$(pay_work_parent)"/* "$(pay_work_parent)"/.[!.]*; do
    [ -e "$entry" ] || continue
    if [[ "$(basename "$entry")" =~ ^zv[0-9a-f]{16}$ ]] && [ -d "$entry" ] && [ -z "$(ls -A "$entry")" ]; then
      continue
    fi
    left="$left $entry"
  done
  if [ -z "$left" ]; then ok "nothing but an empty work folder in the temporary directory"
  else fail "left in the temporary directory:$left"; fi
  left=$(find "$DRIVE_C" -name 'filesdata.*' -o -name '*.zvpart' 2>/dev/null)
  if [ -z "$left" ]; then ok "no temporary or part file anywhere"; else fail "left: $left"; fi
}

prepare_killed_while_writing() { pay_variant large; }
check_killed_while_writing() {
  local name
  while read -r name; do
    [ "$name" = Textures.pak ] || expect_same "$name"
  done < <(pay_names)
  if [ "$(stat -c %s "$(pay_dest)/Textures.pak")" -eq $((200 << 20)) ] &&
    cmp -s -n $((200 << 20)) "$(pay_dest)/Textures.pak" /dev/zero; then
    ok "the 200 MB Textures.pak installed whole"; else fail "Textures.pak is not the 200 MB of zeros"; fi
  expect_count 19
  expect_images_dir
  expect_at_most_empty_work_folder
}

# An earlier installation where every file holds "earlier " and its name.
pay_earlier_install() {
  local name
  while read -r name; do
    mkdir -p "$(dirname "$(pay_dest)/$name")"
    printf 'earlier %s' "${name//\//\\}" > "$(pay_dest)/$name"
  done < <(pay_names)
}

# An earlier installation with what a setup killed at the wrong moment
# leaves: an empty part file, and a complete one that was never renamed.
# Beside them, what the sweep must leave: names of another form, a folder
# and a link of the part-file form (its target outside), and a part file in
# a folder the payload does not name.
pay_first_map() { pay_names | grep -m1 '/'; }
prepare_sweep_earlier_parts() {
  local map; map=$(pay_first_map)
  pay_earlier_install
  : > "$(pay_dest)/Readme.rtf.bdebc121432d3278.zvpart"
  cp "$(pay_stage)/$map" "$(pay_dest)/$map.6623371d82133607.zvpart"
  echo "the victim" > "$OUT/victim.txt"
  echo "keep" > "$(pay_dest)/notes.zvpart"
  echo "keep" > "$(pay_dest)/Readme.rtf.BDEBC121432D3278.zvpart"
  mkdir -p "$(pay_dest)/$(dirname "$map")/old.0123456789abcdef.zvpart"
  ln -s "$OUT/victim.txt" "$(pay_dest)/$(dirname "$map")/link.0123456789abcdef.zvpart"
  mkdir -p "$(pay_dest)/Other" && echo "keep" > "$(pay_dest)/Other/x.0123456789abcdef.zvpart"
  find "$(pay_dest)" -name '*.zvpart' | sort > "$OUT/parts-before.txt"
}
check_sweep_earlier_parts() {
  local name map; map=$(pay_first_map)
  while read -r name; do expect_same "$name"; done < <(pay_names)
  expect_no_file "Program Files/The Zorvane/Readme.rtf.bdebc121432d3278.zvpart"
  expect_no_file "Program Files/The Zorvane/$map.6623371d82133607.zvpart"
  local left; left=$(find "$(pay_dest)" -name '*.zvpart' | sort | tr '\n' ' ')
  local kept; kept=$(grep -v -e bdebc121432d3278 -e 6623371d82133607 "$OUT/parts-before.txt" | tr '\n' ' ')
  if [ "$left" = "$kept" ]; then ok "only setup's own part files went: $(grep -c -v -e bdebc121432d3278 -e 6623371d82133607 "$OUT/parts-before.txt") others stay"
  else fail "part-form names after the sweep: $left (expected $kept)"; fi
  if [ -L "$(pay_dest)/$(dirname "$map")/link.0123456789abcdef.zvpart" ] &&
    [ "$(cat "$OUT/victim.txt")" = "the victim" ]; then
    ok "the link of part-file form and its target stay"; else fail "the link or its target was touched"; fi
  expect_no_temporaries
}

# An earlier installation whose Maps folder is a link to a folder elsewhere
# that holds a file of the same name: setup refuses before writing anything.
prepare_link_in_destination() {
  local map; map=$(pay_first_map)
  pay_earlier_install
  rm -rf "$(pay_dest)/$(dirname "$map")"
  mkdir -p "$OUT/elsewhere" && echo "not setup's" > "$OUT/elsewhere/$(basename "$map")"
  ln -s "$OUT/elsewhere" "$(pay_dest)/$(dirname "$map")"
  (cd "$(pay_dest)" && find . | sort) > "$OUT/tree-before.txt"
}
check_link_in_destination() {
  local map; map=$(pay_first_map)
  if [ "$(ls -A "$OUT/elsewhere")" = "$(basename "$map")" ] &&
    [ "$(cat "$OUT/elsewhere/$(basename "$map")")" = "not setup's" ]; then
    ok "nothing was written through the link"; else fail "the link's target changed: $(ls -A "$OUT/elsewhere")"; fi
  if diff <(cd "$(pay_dest)" && find . | sort) "$OUT/tree-before.txt" > "$OUT/tree-diff.txt"; then
    ok "nothing was added below the destination"; else fail "the destination changed: $(tr '\n' ' ' < "$OUT/tree-diff.txt")"; fi
  local name unchanged=0 outside=0
  while read -r name; do
    [[ "$name" == "$(dirname "$map")"/* ]] && continue
    outside=$((outside + 1))
    [ "$(cat "$(pay_dest)/$name")" = "earlier ${name//\//\\}" ] && unchanged=$((unchanged + 1))
  done < <(pay_names)
  if [ "$unchanged" -eq "$outside" ]; then ok "the $outside earlier files outside the link as they were"
  else fail "$((outside - unchanged)) earlier files outside the link changed"; fi
  expect_no_temporaries
}
