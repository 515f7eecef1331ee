# Shared by the end-to-end tests: a private X server, the tool in it, and
# waiting for conditions. Source it, then call start_x and start_tool.

work=$(mktemp -d /tmp/tobrel-e2e.XXXXXX)
xvfb_pid=""
tool_pid=""
cleanups=()

# on_exit COMMAND: run at exit, before the tool and the X server are ended.
on_exit() { cleanups+=("$1"); }

end_all() {
  local command
  for command in "${cleanups[@]}"; do eval "$command" || true; done
  [ -n "$tool_pid" ] && kill "$tool_pid" 2>/dev/null || true
  # Waited for: an X server still going down removes the socket of the next
  # one, which may have been given the same display number.
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap end_all EXIT

# need TOOL...: fails the test when one of them is missing.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
  done
}

# skip REASON: the test cannot run on this machine; CTest counts it skipped.
skip() { echo "skipped: $1"; exit 77; }

python=/usr/bin/python3  # Debian's, which has the python3-* packages the tests use.

# need_fuse: skips the test where a FUSE file system cannot be mounted.
need_fuse() {
  [ -c /dev/fuse ] || skip "this machine has no /dev/fuse"
  "$python" -c "import fusepy" 2>/dev/null || skip "python3-fusepy is not installed"
}

# mount_slow_fs FOLDER SECONDS [--statfs-hangs]: mounts the slow file system
# on FOLDER, its reads logged to $work/NAME.log (NAME being FOLDER's own
# name), and returns once it is mounted; sets $fs_pid. A test unmounts it
# lazily and kills it at exit (on_exit), so a test failed halfway never hangs.
mount_slow_fs() {
  local folder=$1 name
  name=$(basename "$1")
  shift
  "$python" "$(dirname "${BASH_SOURCE[0]}")/slow_fs.py" "$folder" "$work/$name.log" "$@" \
    2>"$work/$name.err" &
  fs_pid=$!
  for _ in $(seq 100); do
    grep -q " $folder " /proc/self/mountinfo && return 0
    kill -0 $fs_pid 2>/dev/null || skip "FUSE cannot mount here: $(tail -1 "$work/$name.err")"
    sleep 0.1
  done
  echo "the file system on $folder did not mount"; exit 1
}

# wait_for DESCRIPTION COMMAND...: polls for up to 20 s.
wait_for() {
  local what=$1; shift
  for _ in $(seq 200); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "timed out waiting for $what"; exit 1
}

start_x() {
  # Without -noreset the server resets whenever its last client leaves, and
  # refuses the next one meanwhile: the probe below, dbus-launch, xdotool.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for "the X server" test -s "$work/display"
  export DISPLAY=:$(cat "$work/display")
  export XDG_RUNTIME_DIR=$work
  wait_for "the X server to take clients" xdotool getdisplaygeometry
}

# start_accessibility_bus: a session bus and the accessibility bus on it, as
# a desktop with a screen reader has; the tool started after joins it.
start_accessibility_bus() {
  local launcher=/usr/libexec/at-spi-bus-launcher
  need dbus-launch
  [ -x "$launcher" ] || { echo "missing $launcher (at-spi2-core)"; exit 1; }
  "$python" -c "import pyatspi" || { echo "missing python3-pyatspi"; exit 1; }
  eval "$(dbus-launch --sh-syntax)"
  on_exit 'kill $DBUS_SESSION_BUS_PID'
  "$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
  on_exit "kill $!"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# start_tool PATH: starts it and gives it the keyboard; sets $window.
start_tool() {
  "$1" 2>"$work/tobrel.log" &
  tool_pid=$!
  # A window is found by name before it is mapped, and focusing it then
  # fails: wait until it is viewable, and ask for the focus until it takes.
  wait_for "the window" xdotool search --onlyvisible --name '^Tobrel$'
  window=$(xdotool search --onlyvisible --name '^Tobrel$' | head -1)
  wait_for "the focus" xdotool windowfocus --sync "$window"
}

# tool_ended: the tool's process has ended. Ended, it may stay a zombie:
# the test's shell is not always its parent.
tool_ended() { [ ! -e "/proc/$tool_pid" ] || [[ "$(ps -o stat= -p "$tool_pid")" == Z* ]]; }

# open_under_tmp NAME: from the folder list at the root, as a user types:
# "tmp", Enter, the folder's name, Enter.
open_under_tmp() {
  xdotool type --delay 60 tmp
  xdotool key Return
  xdotool type --delay 60 "$1"
  xdotool key Return
}

# wait_for_clipboard TEXT: TEXT is printf's format for the expected bytes.
wait_for_clipboard() {
  expected=$(printf "$1" | od -An -tx1)
  wait_for "the clipboard to hold $1" bash -c '[ "$(xclip -o -selection clipboard | od -An -tx1)" = "$0" ]' "$expected"
}

end_tool() {
  xdotool key alt+x
  wait_for "the tool to end" bash -c "! kill -0 $tool_pid"
  tool_pid=""
}
