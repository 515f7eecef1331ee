#!/usr/bin/env bash
# Drives the real binary in a real X server, as a user would with the
# keyboard: open a prepared folder, Alt+S, Alt+C, read the clipboard from
# another program; then paste another folder's path into the folder list,
# Alt+S, Alt+C again; then click into the names and edit, copy and paste
# there, text offered only as STRING or text/plain too, or sent slowly in
# parts, and twenty megabytes of it; Alt+X. It checks
# first that the window's X class is the one the desktop file names, so that
# a task bar shows the window with its icon.
# Usage: scan_and_copy.sh path/to/tobrel path/to/the.desktop path/to/hung_clipboard
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

# A program that sends its text in parts, slowly: the window goes on
# serving its own selection meanwhile, and the paste lands whole.
slow_owner() {
  "$3" --trickle "$1" "$2" >"$work/owner.out" &
  on_exit "kill $! 2>/dev/null"
  wait_for "the slow program to take the clipboard" grep -q owning "$work/owner.out"
  rm "$work/owner.out"
}
slow_owner 300 10 "$3"
xdotool mousemove --window "$window" 250 150 click 1
xdotool key ctrl+a ctrl+v
asked=$(date +%s%N)
[ -n "$(timeout 5 xclip -o -selection primary)" ] || { echo "the window's own selection went unserved"; exit 1; }
served_ms=$((($(date +%s%N) - asked) / 1000000))
echo "during a paste sent in parts over 3 s, the window served its selection in $served_ms ms"
[ "$served_ms" -lt 1500 ] || { echo "the paste held the window"; exit 1; }
xdotool key alt+c
wait_for_clipboard "$(for n in $(seq 10); do printf 'part %d of 10\\r' "$n"; done)"

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

# One that stops for longer than a second between parts is given up, with
# a message, and the text stays as it was.
slow_owner 1500 3 "$3"
boxes() { xdotool search --onlyvisible --name '^Tobrel$' | wc -l; }
message_up() { [ "$(boxes)" -ge 2 ]; }
message_gone() { [ "$(boxes)" -eq 1 ]; }
xdotool mousemove --window "$window" 250 150 click 1
xdotool key ctrl+v
wait_for "the message that the clipboard did not answer" message_up
xdotool key Return
wait_for "the message to go" message_gone
wait_for "the focus" xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 250 150 click 1
xdotool key alt+c
wait_for "the text as it was" \
  bash -c 'timeout 10 xclip -o -selection clipboard | cmp -s - "$0"' "$work/big.cr"

end_tool
