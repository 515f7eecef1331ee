#!/usr/bin/env bash
# Drives the real binary in a real X server, as a user would with the
# keyboard: open a prepared folder, Alt+S, Alt+C, read the clipboard from
# another program, Alt+X. Usage: scan_and_copy.sh path/to/tobrel
set -euo pipefail

tobrel=$1
for tool in Xvfb xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d /tmp/tobrel-e2e.XXXXXX)
# Right under /tmp, with a name of its own, so two type-ahead steps reach it.
folder=$(mktemp -d /tmp/zqXXXXXXXX)
folder_name=$(basename "$folder")
xvfb_pid=""
tool_pid=""
cleanup() {
  [ -n "$tool_pid" ] && kill "$tool_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work" "$folder"
}
trap cleanup EXIT

touch "$folder/b.txt" "$folder/a.txt" "$folder/with space" "$folder/.hidden"
mkdir "$folder/sub"

# wait_for DESCRIPTION COMMAND...: polls for up to 20 s.
wait_for() {
  local what=$1; shift
  for _ in $(seq 200); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "timed out waiting for $what"; exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for "the X server" test -s "$work/display"
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work

"$tobrel" 2>"$work/tobrel.log" &
tool_pid=$!
# A window is found by name before it is mapped, and focusing it then fails:
# wait until it is viewable, and ask for the focus until it takes.
wait_for "the window" xdotool search --onlyvisible --name '^Tobrel$'
window=$(xdotool search --onlyvisible --name '^Tobrel$' | head -1)
wait_for "the focus" xdotool windowfocus --sync "$window"

# Focus starts on the folder list, at the root. Type-ahead forgets what was
# typed after a short pause, so each step waits it out before the next.
xdotool type --delay 60 tmp
xdotool key Return
sleep 1
xdotool type --delay 60 "$folder_name"
xdotool key Return
sleep 1
xdotool key alt+s
xdotool key alt+c

expected=$(printf '\ra.txt\rb.txt\rwith space' | od -An -tx1)
clipboard_is_expected() {
  [ "$(xclip -o -selection clipboard | od -An -tx1)" = "$expected" ]
}
wait_for "the scanned names on the clipboard" clipboard_is_expected

xdotool key alt+x
wait_for "the tool to end" bash -c "! kill -0 $tool_pid"
tool_pid=""
