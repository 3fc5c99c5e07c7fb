#!/usr/bin/env bash
# Starts the window TransVestranoBrivo under Xvfb and saves a PNG picture of it.
# Usage: tools/window_screenshot.sh PROGRAM OUTPUT.png
# Needs the packages xvfb, xdotool, x11-apps (xwd) and netpbm.
set -euo pipefail
program=$(realpath "${1:?program TransVestranoBrivo}")
output=${2:?output PNG file}
here=$(dirname "$(realpath "$0")")
source "$here/xvfb_session.sh"

work=$(mktemp -d)
tool_pid=""
cleanup() {
  [ -n "$tool_pid" ] && kill "$tool_pid" 2>/dev/null
  kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work"
VTEMP_DIR="$work" "$program" &
tool_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Exportar e importar datos')
sleep 1  # let the first painting finish
xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$output"
echo "$output"
