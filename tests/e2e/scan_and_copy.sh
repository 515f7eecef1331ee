#!/usr/bin/env bash
# Drives the real binary in a real X server, as a user would with the
# keyboard: open a prepared folder, Alt+S, Alt+C, read the clipboard from
# another program; then paste another folder's path into the folder list,
# Alt+S, Alt+C again; then click into the names and edit, copy and paste
# there, text offered only as STRING or text/plain too; Alt+X. It checks
# first that the window's X class is the one the desktop file names, so that
# a task bar shows the window with its icon.
# Usage: scan_and_copy.sh path/to/tobrel path/to/the.desktop
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip xprop

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

# WM_CLASS(STRING) = "instance", "class"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
named=$(sed -n 's/^StartupWMClass=//p' "$2")
[ -n "$class" ] && [ "$class" = "$named" ] ||
  { echo "the window's class is '$class', the desktop file names '$named'"; exit 1; }

# Focus starts on the folder list, at the root.
open_under_tmp "$(basename "$folder")"
xdotool key alt+s alt+c
wait_for_clipboard '\ra.txt\rb.txt\rwith space'

# Alt+C left the focus on its button; Tab goes round to the folder list.
printf '%s' "$other" | xclip -selection clipboard
wait_for "the path on the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$0" ]' "$other"
xdotool key Tab Tab Tab ctrl+v alt+s alt+c
wait_for_clipboard '\rpasted.txt'

# Edited in the box, clicked into: typed, selected by keys, copied, undone;
# the clipboard and the primary selection read by another program, and a
# paste from another program.
xdotool mousemove --window "$window" 250 150 click 1
xdotool key ctrl+End
xdotool type --delay 50 typed
xdotool key shift+Home ctrl+c
wait_for_clipboard 'pasted.txttyped'
xdotool key ctrl+z ctrl+a
wait_for "the whole text as the primary selection" \
  bash -c '[ "$(xclip -o -selection primary | od -An -tx1)" = "$0" ]' "$(printf '\rpasted.txt' | od -An -tx1)"
printf 'one\ntwo' | xclip -selection clipboard
wait_for "the lines on the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$(printf "one\ntwo")" ]'
xdotool key ctrl+End ctrl+v alt+c
wait_for_clipboard '\rpasted.txtone\rtwo'

# Owners that offer text only as Latin-1 (STRING) or as text/plain.
paste_offered_as() {
  printf "$2" | xclip -selection clipboard -t "$1"
  wait_for "the text offered as $1" \
    bash -c '[ "$(xclip -o -selection clipboard -t "$0" | od -An -tx1)" = "$1" ]' "$1" "$(printf "$2" | od -An -tx1)"
  xdotool mousemove --window "$window" 250 150 click 1
  xdotool key ctrl+End ctrl+v alt+c
}
paste_offered_as STRING ' caf\xe9'
wait_for_clipboard '\rpasted.txtone\rtwo caf\xc3\xa9'
paste_offered_as text/plain ' plain'
wait_for_clipboard '\rpasted.txtone\rtwo caf\xc3\xa9 plain'

# Twenty megabytes of lines, sent by their owner in many parts, pasted over
# the whole text and copied back with the box's own line breaks.
seq 1 1500000 | sed 's/.*/name &.txt/' >"$work/big.txt"
tr '\n' '\r' <"$work/big.txt" >"$work/big.cr"
xclip -selection clipboard -i "$work/big.txt"
wait_for "the big text on the clipboard" \
  bash -c 'xclip -o -selection clipboard | cmp -s - "$0"' "$work/big.txt"
xdotool mousemove --window "$window" 250 150 click 1
xdotool key ctrl+a ctrl+v alt+c
# xclip serves one reader at a time: the tool's own read comes first, and
# the copy is read back once the tool holds the clipboard (Qt offers SAVE_TARGETS).
wait_for "the tool holding the clipboard again" \
  bash -c 'timeout 2 xclip -o -selection clipboard -t TARGETS | grep -qx SAVE_TARGETS'
wait_for "the big text pasted and copied back" \
  bash -c 'timeout 10 xclip -o -selection clipboard | cmp -s - "$0"' "$work/big.cr"

end_tool
