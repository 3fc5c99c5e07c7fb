# Sourced by scripts that show the window on a virtual X display of their own.
#   start_xvfb DIR   starts Xvfb on a free display, exports DISPLAY, and leaves
#                    its process id in XVFB_PID; DIR is a scratch directory.
# The caller kills "$XVFB_PID" when done.

start_xvfb() {
  local dir=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
  XVFB_PID=$!
  local _
  for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || { cat "$dir/xvfb.log" >&2; return 1; }
    sleep 0.05
  done
  [ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  DISPLAY=":$(cat "$dir/display")"
  export DISPLAY
  # The window talks X11 here, whatever the session around it is.
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
}
