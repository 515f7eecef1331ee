#!/usr/bin/env bash
# Opens a folder whose read takes 3 s, on a real FUSE file system, and checks
# that the window goes on answering the X server meanwhile (another program
# asks what the clipboard holds), that the folder is read once, and that the
# keys typed during the read act once it is done, that a screen reader is
# told the window is busy while a read is out, that a lazy unmount
# during a read leaves nothing stale, and that the window goes at once when
# it is closed during a read.
# Usage: slow_folder.sh path/to/tobrel
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip
need_fuse

# Under /tmp, with a name of its own, so two type-ahead steps reach the
# mount point inside it.
base=$(mktemp -d /tmp/zqXXXXXXXX)
mkdir "$base/slow" "$base/hung"
touch "$base/before.txt"
# What the mount point holds under the file system, shown once it is gone.
touch "$base/slow/under.txt"
log=$work/slow.log
: >"$log"
fs_pid=""
hung_pid=""
on_exit 'fusermount3 -uz "$base/slow" 2>/dev/null; fusermount3 -uz "$base/hung" 2>/dev/null; kill $fs_pid 2>/dev/null; kill -9 $hung_pid 2>/dev/null; wait $fs_pid $hung_pid 2>/dev/null; rm -rf "$base"'
# A read that outlasts the test, given up with Esc.
mount_slow_fs "$base/hung" 600
hung_pid=$fs_pid
mount_slow_fs "$base/slow" 3

start_x
start_accessibility_bus
start_tool "$1"

# Put something on the clipboard first, so that the window is the one asked.
open_under_tmp "$(basename "$base")"
xdotool key alt+s alt+c
wait_for_clipboard '\rbefore.txt'
"$python" "$(dirname "${BASH_SOURCE[0]}")/busy_state.py" hung
# Its file system gone, the read given up fails and the thread ends.
fusermount3 -uz "$base/hung"
kill -9 $hung_pid  # Its handler sleeps on; only this ends it.
wait_for "the hung file system to go" bash -c "! kill -0 $hung_pid"

reads() { grep -c "^read begins /$" "$log" || true; }
# A mount anywhere on the machine rightly makes the tool read it again.
mounts_before=$(md5sum </proc/self/mountinfo)
xdotool type --delay 60 slow
xdotool key Return
wait_for "the slow read to begin" grep -q "^read begins /$" "$log"
# Typed during the read: they must act on the slow folder once it is read.
xdotool key alt+s alt+c

started=$(date +%s%N)
targets=$(timeout 10 xclip -o -selection clipboard -t TARGETS) ||
  { echo "the window did not answer a clipboard request during the read"; exit 1; }
answered_ms=$((($(date +%s%N) - started) / 1000000))
echo "a clipboard request during the read was answered in $answered_ms ms"
grep -q "^read ends /$" "$log" &&
  { echo "the clipboard request was answered only after the read ended"; exit 1; }
grep -qx "UTF8_STRING\|text/plain;charset=utf-8\|STRING" <<<"$targets" ||
  { echo "the answer lists no text: $targets"; exit 1; }

wait_for_clipboard '\rone.txt\rthree.txt\rtwo.txt'
[ "$(reads)" -eq 1 ] || [ "$(md5sum </proc/self/mountinfo)" != "$mounts_before" ] ||
  { echo "the slow folder was read $(reads) times, not once"; cat "$log"; exit 1; }

reads_after() { [ "$(reads)" -gt "$1" ]; }
# into_slow_again: back to the folder above, then into the slow one again;
# returns once its read has begun.
into_slow_again() {
  local before
  before=$(reads)
  xdotool type --delay 60 "$(basename "$base")"
  xdotool key Return
  xdotool type --delay 60 slow
  xdotool key Return
  wait_for "another read to begin" reads_after "$before"
}

# Unmounted lazily while it is read: once the read lands, the folder is read
# again, and what lies under the mount point is what the tool shows and scans.
into_slow_again
fusermount3 -uz "$base/slow"
wait_for "the file system to go" bash -c "! kill -0 $fs_pid"
# scans_to TEXT: Scan and Copy give TEXT, printf's format for the bytes.
scans_to() {
  xdotool key alt+s alt+c
  [ "$(xclip -o -selection clipboard | od -An -tx1)" = "$(printf "$1" | od -An -tx1)" ]
}
wait_for "a scan of what lies under the mount point" scans_to '\runder.txt'
# Mounted again once the tool has left it, so that it has nothing to read.
xdotool type --delay 60 "$(basename "$base")"
xdotool key Return
wait_for "the tool to go to the folder above" scans_to '\rbefore.txt'
mount_slow_fs "$base/slow" 3

# Into the slow folder again, and the window closed while it reads: the
# window goes at once, without waiting for the read.
ends_before=$(grep -c "^read ends /$" "$log")
into_slow_again
"$python" "$(dirname "${BASH_SOURCE[0]}")/close_window.py" "$window"
window_gone() { ! xdotool search --onlyvisible --name '^Tobrel$'; }
wait_for "the window to go" window_gone
[ "$(grep -c "^read ends /$" "$log")" -eq "$ends_before" ] ||
  { echo "the window went only once the read was over"; cat "$log"; exit 1; }
# The kernel holds the reading thread until the file system answers; the
# process is gone once it does.
wait_for "the tool to end" tool_ended
tool_pid=""
