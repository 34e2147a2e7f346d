# Sourced: zv_start_xvfb LOG_DIR GEOMETRY starts a private Xvfb on the first
# display number from 90 up that no X server holds, and sets DISPLAY and
# ZV_XVFB_PID. Another run may pick the same number at the same moment, so
# the server's own lock file decides and a failed start moves on.
zv_start_xvfb() {
  local logdir=$1 screen=$2 n pid
  for n in $(seq 90 250); do
    [ -e /tmp/.X$n-lock ] && continue
    [ -e /tmp/.X11-unix/X$n ] && continue
    setsid Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >"$logdir/xvfb.log" 2>&1 < /dev/null &
    pid=$!
    for _ in $(seq 1 50); do
      if [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' ' < /tmp/.X$n-lock 2>/dev/null)" = "$pid" ]; then
        export DISPLAY=":$n"
        ZV_XVFB_PID=$pid
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null
  done
  echo "no free X display" >&2
  return 1
}
