#!/usr/bin/env bash
# Reads the real binary through a real accessibility bus, as a screen reader
# does: the keyboard order with each control's name and role, and the names
# a scan puts in the text box. Usage: screen_reader.sh path/to/tobrel ADDRESS
# (ADDRESS: the maker's, which the link shows)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool dbus-launch
python=/usr/bin/python3  # Debian's, which has python3-pyatspi
bus_launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$bus_launcher" ] || { echo "missing $bus_launcher (at-spi2-core)"; exit 1; }
"$python" -c "import pyatspi" || { echo "missing python3-pyatspi"; exit 1; }

# Right under /tmp, with a name of its own, so two type-ahead steps reach it.
folder=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$folder"'
touch "$folder/b.txt" "$folder/a é.txt" "$folder/c $(printf '\xf0\x9f\x98\x80').png"

start_x
eval "$(dbus-launch --sh-syntax)"
on_exit 'kill $DBUS_SESSION_BUS_PID'
"$bus_launcher" --launch-immediately >"$work/bus.log" 2>&1 &
on_exit "kill $!"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

start_tool "$1"
"$python" "$(dirname "${BASH_SOURCE[0]}")/screen_reader.py" "$(basename "$folder")" "$2"
end_tool
