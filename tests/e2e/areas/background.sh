# The background area's staging: each scenario runs on an X display of its
# own, where known pictures are shown as X windows before the setup starts
# (Wine's display snapshot sees X windows, not the root window's
# background). The pixel formulas match tests/e2e/areas/background.cpp.
#
# Every process started here is recorded in BG_PIDS and ended by its id in
# the cleanup.

BG_PIDS=()
BG_XVFB_PID=

# Width x height of $DISPLAY, e.g. 1024x768.
bg_screen_size() {
  xdpyinfo -display "$DISPLAY" 2>/dev/null | awk '/dimensions:/ {print $2; exit}'
}

# bg_write_picture KIND WIDTH HEIGHT FILE: a binary PPM. KIND is desktop,
# small (24-bit pictures of many colours) or desktop8, small8 (few colours,
# for an 8-bit display).
bg_write_picture() {
  perl -e '
    my ($kind, $w, $h, $file) = @ARGV;
    open(my $f, ">", $file) or die "$file: $!";
    binmode $f;
    print $f "P6\n$w $h\n255\n";
    for my $y (0 .. $h - 1) {
      my $row = "";
      for my $x (0 .. $w - 1) {
        my @c;
        if ($kind eq "desktop") {
          @c = (16 + ($x * 5 + $y) % 200, 20 + ($y * 3) % 180, 30 + ($x + 2 * $y) % 150);
        } elsif ($kind eq "small") {
          @c = (230, 40 + ($x * 11 + $y) % 150, 90 + ($y * 7) % 100);
        } elsif ($kind eq "desktop8") {
          my $b = (int($x / 32) + int($y / 32)) % 16;
          @c = (32 + ($b % 4) * 48, 48 + int($b / 4) * 40, 200 - ($b % 4) * 30);
        } else {
          @c = (224, 96, 32);
        }
        $row .= pack("CCC", @c);
      }
      print $f $row;
    }
    close $f;
  ' "$@"
}

# bg_window_shown NAME: an X window of that name is viewable.
bg_window_shown() {
  xwininfo -display "$DISPLAY" -name "$1" 2>/dev/null | grep -q IsViewable
}

# bg_show FILE X Y: shows FILE in a borderless X window at (X, Y) and waits
# until it is on screen. Sets BG_LAST_PID.
bg_show() {
  local name="ImageMagick: $(basename "$1")"
  display -borderwidth 0 -geometry "+$2+$3" "$1" >/dev/null 2>&1 < /dev/null &
  BG_LAST_PID=$!
  BG_PIDS+=("$BG_LAST_PID")
  local i
  for i in $(seq 1 100); do
    if bg_window_shown "$name"; then
      sleep 0.5   # let it draw its picture
      ok "X window $name shown at +$2+$3"
      return 0
    fi
    sleep 0.1
  done
  fail "X window $name did not appear"
  return 1
}

# bg_close_on_request PID NAME: once the driver asks (file close-small.request
# in OUT), ends the display process PID, waits until its window NAME is gone
# and answers with close-small.done.
bg_close_on_request() {
  local pid=$1 name=$2
  (
    while [ ! -f "$OUT/close-small.request" ]; do sleep 0.1; done
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do
      xwininfo -display "$DISPLAY" -name "$name" >/dev/null 2>&1 || break
      sleep 0.1
    done
    touch "$OUT/close-small.done"
  ) &
  BG_PIDS+=("$!")
}

# bg_stage KIND-PREFIX: the full-screen desktop picture and the small one.
bg_stage() {
  local size w h dir="$WINEPREFIX/zv-pictures"
  size=$(bg_screen_size)
  w=${size%x*} h=${size#*x}
  [ -n "$w" ] && [ -n "$h" ] || { fail "screen size of $DISPLAY unknown"; return 1; }
  mkdir -p "$dir"
  bg_write_picture "desktop$1" "$w" "$h" "$dir/desktop$1.ppm"
  bg_write_picture "small$1" 160 120 "$dir/small$1.ppm"
  bg_show "$dir/desktop$1.ppm" 0 0 || return 1
  bg_show "$dir/small$1.ppm" 40 560 || return 1
}

# bg_start_display WxHxD: an X display of our own, so that no other
# scenario's windows come into the snapshot and our full-screen pictures
# come into no other scenario's. The first free number from 180 up; the
# server's own lock decides between runs that pick the same number. Sets
# DISPLAY and BG_XVFB_PID.
bg_start_display() {
  local n pid
  for n in $(seq 180 250); do
    [ -e "/tmp/.X$n-lock" ] && continue
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 "$1" -nolisten tcp -noreset >"$OUT/xvfb.log" 2>&1 < /dev/null &
    pid=$!
    for _ in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' < "/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
        BG_XVFB_PID=$pid
        export DISPLAY=":$n"
        ok "display $DISPLAY of $1"
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null
  done
  fail "no X display of $1 could be started"
  return 1
}

# Ends what the staging started: the picture windows, the helper, the display.
bg_cleanup() {
  local pid
  for pid in "${BG_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  BG_PIDS=()
  [ -n "$BG_XVFB_PID" ] && kill "$BG_XVFB_PID" 2>/dev/null
  BG_XVFB_PID=
  return 0
}

prepare_darkened_desktop() {
  bg_start_display 1024x768x24 || return 1
  bg_stage "" || return 1
  bg_close_on_request "$BG_LAST_PID" "ImageMagick: small.ppm"
}

cleanup_darkened_desktop() {
  bg_cleanup
}

prepare_eight_bit_display() {
  bg_start_display 1024x768x8 || return 1
  bg_stage 8
}

cleanup_eight_bit_display() {
  bg_cleanup
}

# The palette path seen from inside a process: the 8-bit unit test program on
# the same display, over the same pictures.
check_eight_bit_display() {
  local tests="$ZV_E2E_BIN/../shell/background_8bit_tests.exe"
  [ -f "$tests" ] || { fail "background_8bit_tests.exe not built"; return 1; }
  if wine "$tests" > "$OUT/eight-bit-tests.log" 2>&1; then
    ok "background_8bit_tests passed on the 8-bit display"
  else
    tr -d '\r' < "$OUT/eight-bit-tests.log" | grep -E "Failure|Expected|Which is|FAILED|error" | head -20
    fail "background_8bit_tests failed on the 8-bit display (log: $OUT/eight-bit-tests.log)"
    return 1
  fi
}

# 200 %: the prefix's display scale, as the control panel sets it, read by
# the next wineserver, on a screen that holds the larger page.
prepare_scaled_display() {
  bg_start_display 2560x1440x24 || return 1
  local key
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f < /dev/null > /dev/null 2>&1
  done
  wineserver -w
  bg_stage ""
}

cleanup_scaled_display() {
  bg_cleanup
}
