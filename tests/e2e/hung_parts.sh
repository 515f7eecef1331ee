#!/usr/bin/env bash
# The parts of a desktop that can hang, real ones, and a window that never
# waits for them: started from a folder whose read never ends, it appears at
# once; a folder whose file system never answers statfs still opens; Ctrl+V
# while the clipboard's owner never answers gives up within a second, with
# a message; a path whose stat never answers, pasted again and again, leaves
# one thread waiting, not one a paste; Alt+X during a read that never ends takes the window away at
# once, and the process as soon as the kernel lets it. On a file system that
# reports no changes, a file added behind the kernel's back shows while the
# window is active.
# Usage: hung_parts.sh path/to/tobrel path/to/hung_clipboard
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip
need_fuse

# Under /tmp, with a name of its own, so type-ahead reaches the mounts.
base=$(mktemp -d /tmp/zqXXXXXXXX)
mkdir "$base/hung" "$base/nostatfs"
pids=()
on_exit 'for m in hung nostatfs; do fusermount3 -uz "$base/$m" 2>/dev/null; done; kill -KILL ${pids[*]} 2>/dev/null; rm -rf "$base"'
mount_slow_fs "$base/hung" 100000
pids+=("$fs_pid")
mount_slow_fs "$base/nostatfs" 0 --statfs-hangs --more "$work/more" --stat-hangs deep/stuck
pids+=("$fs_pid")

start_x
# Started from inside the folder whose read never ends.
started=$(date +%s%N)
(cd "$base/hung" && start_tool "$1")
window=$(xdotool search --onlyvisible --name '^Tobrel$' | head -1)
shown_ms=$((($(date +%s%N) - started) / 1000000))
echo "started in a folder that never answers, the window appeared in $shown_ms ms"
[ "$shown_ms" -lt 10000 ] || { echo "the window waited for the working folder"; exit 1; }
tool_pid=$(pgrep -n -f "^$1" || true)
[ -n "$tool_pid" ] || { echo "the tool is not running"; exit 1; }
wait_for "the focus" xdotool windowfocus --sync "$window"

# Opens although statfs never answers: its entries are read at once.
open_under_tmp "$(basename "$base")"
xdotool type --delay 60 nostatfs
xdotool key Return alt+s alt+c
wait_for_clipboard '\rone.txt\rthree.txt\rtwo.txt'

# A file added behind the kernel's back, as on a share another machine
# writes to: with the window active, a look every few seconds finds it.
echo four.txt >"$work/more"
added=$(date +%s%N)
scans_to() {
  xdotool key alt+s alt+c
  [ "$(xclip -o -selection clipboard | od -An -tx1)" = "$(printf "$1" | od -An -tx1)" ]
}
wait_for "the added file" scans_to '\rfour.txt\rone.txt\rthree.txt\rtwo.txt'
echo "a file added behind the kernel's back showed in $((($(date +%s%N) - added) / 1000000)) ms"
# Keys that came while the tool was busy act later, in order: once one last
# Copy has acted, none is left to take the clipboard back from the program
# started next.
printf x | xclip -selection clipboard
xdotool key alt+c
wait_for_clipboard '\rfour.txt\rone.txt\rthree.txt\rtwo.txt'

# Ctrl+V in the folder list while the clipboard's owner never answers.
"$2" >"$work/owner.out" &
pids+=($!)
wait_for "the hung program to take the clipboard" grep -q owning "$work/owner.out"
boxes() { xdotool search --onlyvisible --name '^Tobrel$' | wc -l; }
message_up() { [ "$(boxes)" -ge 2 ]; }
message_gone() { [ "$(boxes)" -eq 1 ]; }
# A click in the folder list gives it the keyboard, wherever the scans
# (which disable the buttons for their while) left it.
xdotool mousemove --window "$window" 50 100 click 1
asked=$(date +%s%N)
xdotool key ctrl+v
wait_for "the message that the clipboard did not answer" message_up
answered_ms=$((($(date +%s%N) - asked) / 1000000))
echo "Ctrl+V with a hung clipboard owner answered in $answered_ms ms"
[ "$answered_ms" -lt 3000 ] || { echo "Ctrl+V waited for the clipboard's owner"; exit 1; }
xdotool key Return
wait_for "the message to go" message_gone
# With no window manager, nothing gives the window the keyboard back; a
# click in the folder list gives it the focus again.
wait_for "the focus" xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 50 100 click 1

# A path whose question never ends, pasted and given up with Esc five
# times: the later questions join the first, so no more threads are left
# waiting on the file system than the first left. The scan after them runs
# once they all have.
threads() {
  local task
  for task in /proc/"$tool_pid"/task/*/wchan; do cat "$task"; echo; done 2>/dev/null |
    grep -c '^request_wait_answer\|^fuse_\|^d_alloc_parallel' || true
}
printf '%s' "$base/nostatfs/deep/stuck" | xclip -selection clipboard
wait_for "the path on the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$0" ]' "$base/nostatfs/deep/stuck"
xdotool key ctrl+v
wait_for "the question about the path to hang" grep -q '^stat hangs /deep/stuck$' "$work/nostatfs.log"
xdotool key Escape
printf x | xclip -selection clipboard
xdotool key alt+s alt+c
wait_for_clipboard '\rfour.txt\rone.txt\rthree.txt\rtwo.txt'
after_one=$(threads)
printf '%s' "$base/nostatfs/deep/stuck" | xclip -selection clipboard
wait_for "the path on the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$0" ]' "$base/nostatfs/deep/stuck"
for _ in 1 2 3 4; do xdotool key ctrl+v Escape; done
printf x | xclip -selection clipboard
xdotool key alt+s alt+c
wait_for_clipboard '\rfour.txt\rone.txt\rthree.txt\rtwo.txt'
no_more_threads() { [ "$(threads)" -le "$after_one" ]; }
wait_for "no more threads waiting on the file system than after the first paste ($after_one)" no_more_threads

# Into the folder whose read never ends, then Alt+X: the window goes at
# once, and the process as soon as the kernel lets it.
xdotool type --delay 60 "$(basename "$base")"
xdotool key Return
xdotool type --delay 60 hung
xdotool key Return
wait_for "the endless read to begin" grep -q '^read begins /$' "$work/hung.log"
xdotool key alt+x
window_gone() { ! xdotool search --onlyvisible --name '^Tobrel$'; }
wait_for "the window to go" window_gone
# The kernel holds a thread whose read the file system has taken until it
# answers; once the file system is gone, so is the process.
kill -KILL "${pids[0]}"
wait_for "the tool to end" tool_ended
tool_pid=""
