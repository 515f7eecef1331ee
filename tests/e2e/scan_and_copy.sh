#!/usr/bin/env bash
# Drives the real binary in a real X server, as a user would with the
# keyboard: open a prepared folder, Alt+S, Alt+C, read the clipboard from
# another program; then paste another folder's path into the folder list,
# Alt+S, Alt+C again; Alt+X. Usage: scan_and_copy.sh path/to/tobrel
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip

# Right under /tmp, with a name of its own, so two type-ahead steps reach it.
folder=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$folder"'
touch "$folder/b.txt" "$folder/a.txt" "$folder/with space" "$folder/.hidden"
mkdir "$folder/sub"
other=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$other"'
touch "$other/pasted.txt"

start_x
start_tool "$1"

# Focus starts on the folder list, at the root.
open_under_tmp "$(basename "$folder")"
xdotool key alt+s alt+c
wait_for_clipboard '\ra.txt\rb.txt\rwith space'

# Alt+C left the focus on its button; Tab goes round to the folder list.
printf '%s' "$other" | xclip -selection clipboard
wait_for "the path on the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$0" ]' "$other"
xdotool key Tab Tab Tab ctrl+v alt+s alt+c
wait_for_clipboard '\rpasted.txt'

end_tool
