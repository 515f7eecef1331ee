#!/usr/bin/env bash
# The keyboard scenario of scan_and_copy.sh and two entries of the "Copy
# names as" menu, with the tool a native Wayland
# client: Debian's weston runs nested in the test's Xvfb (its X11 backend,
# the kiosk shell), xdotool types into weston's window, and wl-paste reads
# the clipboard as any Wayland program would, also once the tool has ended.
# Usage: wayland.sh path/to/tobrel
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool weston wl-paste

folder=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$folder"'
touch "$folder/b.txt" "$folder/a.txt" "$folder/with space" "$folder/.hidden" \
  "$folder/c,\"d\".txt" "$folder/$(printf 'zz\xff')"
mkdir "$folder/sub"

start_x
start_accessibility_bus
chmod 700 "$work"  # Wayland wants its runtime folder private.
weston --backend=x11-backend.so --shell=kiosk-shell.so --socket=wayland-tobrel \
  --width=800 --height=600 --use-pixman >"$work/weston.log" 2>&1 &
weston_pid=$!
on_exit "kill $weston_pid; wait $weston_pid"
wait_for "weston" test -S "$work/wayland-tobrel"
# Weston names its window only in _NET_WM_NAME, which search --name misses.
weston_window() {
  local window
  for window in $(xdotool search --onlyvisible --class '' 2>/dev/null); do
    [[ "$(xdotool getwindowname "$window")" == "Weston Compositor"* ]] && { echo "$window"; return 0; }
  done
  return 1
}
wait_for "weston's window" weston_window
compositor=$(weston_window)
wait_for "the focus on weston" xdotool windowfocus --sync "$compositor"
export WAYLAND_DISPLAY=wayland-tobrel

QT_QPA_PLATFORM=wayland "$1" 2>"$work/tobrel.log" &
tool_pid=$!
# The tool is up and has the keyboard once its window is active. wl-paste
# reads the clipboard by taking the keyboard for a moment, and a key that
# reaches weston then is lost: a step that follows a paste is tried again
# whole until its result arrives.
has_keyboard() { "$python" "$(dirname "${BASH_SOURCE[0]}")/has_keyboard.py"; }
wait_for "the tool to have the keyboard" has_keyboard

open_under_tmp "$(basename "$folder")"
# A line typed and selected in the box, copied by its own Ctrl+C.
xdotool key Tab
xdotool type --delay 50 typed
xdotool key shift+Home ctrl+c
expected=$(printf 'typed' | od -An -tx1)
pasted_is_expected() {
  wl-paste --no-newline >"$work/pasted" 2>&1 || true
  [ "$(od -An -tx1 <"$work/pasted")" = "$expected" ]
}
# A failed wait says what was pasted instead, and what weston saw.
on_exit '[ -n "${passed:-}" ] || { echo "last paste:"; od -c "$work/pasted" | head; tail -5 "$work/weston.log"; } 2>/dev/null'

wait_for "the typed line in a Wayland program's paste" pasted_is_expected

wait_for "the tool to have the keyboard again" has_keyboard
expected=$(printf '\ra.txt\rb.txt\rc,"d".txt\rwith space\rzz\xef\xbf\xbd' | od -An -tx1)
scanned_and_pasted() { xdotool key alt+s alt+c; pasted_is_expected; }
wait_for "the scanned names in a Wayland program's paste" scanned_and_pasted

# Copied as CSV and as full paths from the "Copy names as" menu.
wait_for "the tool to have the keyboard again" has_keyboard
expected=$(printf 'name\r\na.txt\r\nb.txt\r\n"c,""d"".txt"\r\nwith space\r\nzz\xef\xbf\xbd' | od -An -tx1)
copied_as_csv() { xdotool key ctrl+shift+c c; pasted_is_expected; }
wait_for "the names as CSV in a Wayland program's paste" copied_as_csv
wait_for "the tool to have the keyboard again" has_keyboard
expected=$(printf '%s/a.txt\n%s/b.txt\n%s/c,"d".txt\n%s/with space\n%s/zz\xef\xbf\xbd' \
  "$folder" "$folder" "$folder" "$folder" "$folder" | od -An -tx1)
copied_as_paths() { xdotool key ctrl+shift+c f; pasted_is_expected; }
wait_for "the full paths in a Wayland program's paste" copied_as_paths

exited() { xdotool key alt+x; ! kill -0 "$tool_pid"; }
wait_for "the tool to end" exited
tool_pid=""
# Weston keeps the last text copied once its program has gone.
wait_for "the full paths in a Wayland program's paste after the tool ended" pasted_is_expected
passed=1
# It really was a Wayland client, not one that fell back to X11.
if grep -qi "xcb\|could not load the qt platform plugin" "$work/tobrel.log"; then
  cat "$work/tobrel.log"; exit 1
fi
