#!/usr/bin/env bash
# The launch protocol for real, on a virtual X display: the window embeds itself
# in another program's window, a person answers the file dialog and the message
# box with the keyboard, the tool ends by itself and leaves its result code in
# Vestrano.ini beside the program file.
# Usage: launch_under_x11.sh TransVestranoBrivo foreign_window
set -euo pipefail
tool_build=$(realpath "$1")
foreign_window=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/../../tools/xvfb_session.sh"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

start_xvfb "$work"
# Under AddressSanitizer: libxkbcommon-x11 hands strndup a buffer without a
# terminating zero, within its length, which the strict string check reports.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The program in a folder of its own, where it writes Vestrano.ini.
mkdir "$work/bin"
cp "$tool_build" "$work/bin/TransVestranoBrivo"
tool="$work/bin/TransVestranoBrivo"
ini="$work/bin/Vestrano.ini"
export VTEMP_DIR="$work/VTEMP"
mkdir -p "$VTEMP_DIR/brivo"
document="$VTEMP_DIR/brivo/horario.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<SERVICIO><SALIDAS/></SERVICIO>\n' >"$document"

# Starts the foreign window; its id in PARENT_ID, its process in PARENT_PID.
start_parent() {
  "$foreign_window" >"$work/parent-id" &
  PARENT_PID=$!
  pids+=("$PARENT_PID")
  for _ in $(seq 200); do [ -s "$work/parent-id" ] && break; sleep 0.05; done
  PARENT_ID=$(cat "$work/parent-id")
  [ -n "$PARENT_ID" ] || fail "the foreign window did not start"
}

# The visible window whose title matches $1 (waits for it).
find_window() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1 ||
    fail "no window titled $1"
}

press() {  # press WINDOW KEY...
  local window=$1
  shift
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers "$@"
}

wait_end() {
  local pid=$1
  for _ in $(seq 600); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || fail "the tool ended with status $?"
      return
    fi
    sleep 0.05
  done
  fail "the tool did not end by itself"
}

is_child_of() {  # is_child_of HEX_ID TITLE
  xwininfo -children -id "0x$1" | grep -q "\"$2"
}

main_title='Exportar e importar datos entre Vestrano y Brivo'

echo "== launched export, completed"
start_parent
"$tool" exportar "$PARENT_ID" &
tool_pid=$!
pids+=("$tool_pid")
dialog=$(find_window '^Archivo XML$')
is_child_of "$PARENT_ID" "$main_title" || fail "the window is not a child of the foreign window"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 5 "$document"
press "$dialog" Return
press "$(find_window '^TransVestranoBrivo$')" Return
wait_end "$tool_pid"
grep -q $'^Transformado=1\r$' "$ini" || fail "Vestrano.ini: $(cat "$ini")"
[ -f "$VTEMP_DIR/ASIGNOMT.DBF" ] || fail "the export wrote no tables"
kill "$PARENT_PID"

echo "== launched, the foreign window destroyed while the file dialog is open"
rm -f "$ini"
start_parent
"$tool" importar "$PARENT_ID" &
tool_pid=$!
pids+=("$tool_pid")
find_window '^Archivo XML$' >/dev/null
kill "$PARENT_PID"
wait "$PARENT_PID" 2>/dev/null || true
wait_end "$tool_pid"
grep -q $'^Transformado=0\r$' "$ini" || fail "Vestrano.ini: $(cat "$ini" 2>&1)"

echo "== an id that names no window: said in the error box, then a window of its own"
rm -f "$ini"
"$tool" nada "$PARENT_ID" &
tool_pid=$!
pids+=("$tool_pid")
press "$(find_window '^TransVestranoBrivo$')" Return
window=$(find_window "^$main_title")
xwininfo -tree -id "$window" | grep -q 'Parent window id: .*(the root window)' ||
  fail "the window is not a window of its own"
press "$window" alt+s
wait_end "$tool_pid"
[ ! -e "$ini" ] || fail "Vestrano.ini written in standalone mode"

echo "3 passed, 0 failed"
