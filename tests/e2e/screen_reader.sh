#!/usr/bin/env bash
# Reads the real binary through a real accessibility bus, as a screen reader
# does: the keyboard order with each control's name and role, and the names
# a scan puts in the text box. Usage: screen_reader.sh path/to/tobrel ADDRESS
# (ADDRESS: the maker's, which the link shows)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool

# Right under /tmp, with a name of its own, so two type-ahead steps reach it.
folder=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$folder"'
mkdir "$folder/sub"
touch "$folder/b.txt" "$folder/a é.txt" "$folder/c $(printf '\xf0\x9f\x98\x80').png"

start_x
start_accessibility_bus

start_tool "$1"
"$python" "$(dirname "${BASH_SOURCE[0]}")/screen_reader.py" "$(basename "$folder")" "$2"
end_tool
