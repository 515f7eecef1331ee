#!/usr/bin/env bash
# What was copied stays copied once the tool has ended, where a clipboard
# manager runs: after Alt+X, after the window manager's close button and
# after SIGTERM (a desktop ending its session), another program still
# pastes the exact bytes. A manager that refuses, one that hangs, and none
# at all each let the tool end.
# Usage: clipboard_at_exit.sh path/to/tobrel path/to/clipboard_manager path/to/hung_clipboard
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip

# Right under /tmp, with names of their own, so type-ahead reaches them.
folders=()
for names in "a.txt b.txt" "c.txt" "d.txt" "e.txt"; do
  folder=$(mktemp -d /tmp/zqXXXXXXXX)
  folders+=("$folder")
  for name in $names; do touch "$folder/$name"; done
done
on_exit 'rm -rf "${folders[@]}"'

manager_pid=""
on_exit '[ -n "$manager_pid" ] && kill $manager_pid'
# start_manager PROGRAM [ARGUMENT]: runs it until it says it holds its
# selection.
start_manager() {
  "$@" >"$work/manager.log" 2>&1 &
  manager_pid=$!
  wait_for "the clipboard manager" grep -qE '^(managing|owning)$' "$work/manager.log"
}
stop_manager() { kill "$manager_pid"; wait "$manager_pid" 2>/dev/null || true; manager_pid=""; }

# copy_from FOLDER BYTES: a fresh tool scans FOLDER and copies what it found.
copy_from() {
  start_tool "$tool"
  open_under_tmp "$(basename "$1")"
  xdotool key alt+s alt+c
  wait_for_clipboard "$2"
}

# ended_keeping BYTES: the tool has ended, and the clipboard, now the
# manager's, still holds BYTES.
ended_keeping() {
  wait_for "the tool to end" tool_ended
  tool_pid=""
  wait_for_clipboard "$1"
}

tool=$1
start_x
start_manager "$2"

copy_from "${folders[0]}" '\ra.txt\rb.txt'
xdotool key alt+x
ended_keeping '\ra.txt\rb.txt'
grep -q '^saved 12 bytes$' "$work/manager.log" || { cat "$work/manager.log"; exit 1; }

copy_from "${folders[1]}" '\rc.txt'
"$python" "$(dirname "${BASH_SOURCE[0]}")/close_window.py" "$window"
ended_keeping '\rc.txt'

copy_from "${folders[2]}" '\rd.txt'
kill -TERM "$tool_pid"
ended_keeping '\rd.txt'

# A manager that keeps nothing, one that never answers, and none: the tool
# ends all the same, and nothing of its text is left.
stop_manager
start_manager "$2" --refuse
copy_from "${folders[3]}" '\re.txt'
xdotool key alt+x
wait_for "the tool to end with a refusing manager" tool_ended
stop_manager

start_manager "$3" CLIPBOARD_MANAGER
copy_from "${folders[3]}" '\re.txt'
xdotool key alt+x
wait_for "the tool to end with a hung manager" tool_ended
stop_manager

copy_from "${folders[3]}" '\re.txt'
xdotool key alt+x
wait_for "the tool to end with no manager" tool_ended
tool_pid=""
[ -z "$(xclip -o -selection clipboard 2>/dev/null)" ] || { echo "the text outlived the tool"; exit 1; }
