#!/usr/bin/env bash
# The "Copy names as" menu in the real binary on a real X server, opened
# from the keyboard only: Ctrl+Shift+C from the folder list, the Menu key on
# the file list, Shift+F10 in the text box (as a submenu there); each
# entry's bytes as another program reads them with xclip.
# Usage: copy_names_as.sh path/to/tobrel
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need Xvfb xdotool xclip

folder=$(mktemp -d /tmp/zqXXXXXXXX)
on_exit 'rm -rf "$folder"'
# Commas, quotes, spaces, dots, no extension, a byte that is not UTF-8.
for name in 'a,b.txt' 'archive.tar.gz' 'noext' 'say "hi".txt' 'two words' \
  "$(printf 'zz\xff.bin')" .hidden; do
  touch -d '2026-12-09 13:03:07 UTC' "$folder/$name"
done
printf '12345' >"$folder/noext"
touch -d '2026-12-09 13:03:07 UTC' "$folder/noext"
mkdir "$folder/sub"

start_x
TZ=UTC0 start_tool "$1"
open_under_tmp "$(basename "$folder")"

# copy_as KEYS... EXPECTED: the keys open the menu and choose an entry.
copy_as() {
  local expected=${*: -1}
  xdotool key "${@:1:$#-1}"
  wait_for_clipboard "$expected"
}
bad='zz\xef\xbf\xbd'
copy_as ctrl+shift+c l 'a,b.txt\narchive.tar.gz\nnoext\nsay "hi".txt\ntwo words\n'"$bad"'.bin'
copy_as ctrl+shift+c w 'a,b.txt\r\narchive.tar.gz\r\nnoext\r\nsay "hi".txt\r\ntwo words\r\n'"$bad"'.bin'
copy_as ctrl+shift+c t 'a,b.txt\tarchive.tar.gz\tnoext\t"say ""hi"".txt"\ttwo words\t'"$bad"'.bin'
copy_as ctrl+shift+c c 'name\r\n"a,b.txt"\r\narchive.tar.gz\r\nnoext\r\n"say ""hi"".txt"\r\ntwo words\r\n'"$bad"'.bin'
copy_as ctrl+shift+c e 'a,b\narchive.tar\nnoext\nsay "hi"\ntwo words\n'"$bad"
at="$folder/"
copy_as ctrl+shift+c f "${at}a,b.txt\n${at}archive.tar.gz\n${at}noext\n${at}say \"hi\".txt\n${at}two words\n${at}$bad.bin"
when='2026-12-09T13:03:07+00:00'
copy_as ctrl+shift+c a "name\tsize\tmodified\na,b.txt\t0\t$when\narchive.tar.gz\t0\t$when\nnoext\t5\t$when\n\"say \"\"hi\"\".txt\"\t0\t$when\ntwo words\t0\t$when\n$bad.bin\t0\t$when"

# The Menu key on the file list (Tab: text box, then files), and Shift+F10
# in the text box, where the menu is the editing menu's submenu.
printf 'other' | xclip -selection clipboard
xdotool key Tab Tab
copy_as Menu l 'a,b.txt\narchive.tar.gz\nnoext\nsay "hi".txt\ntwo words\n'"$bad"'.bin'
xdotool key shift+Tab
copy_as shift+F10 n w 'a,b.txt\r\narchive.tar.gz\r\nnoext\r\nsay "hi".txt\r\ntwo words\r\n'"$bad"'.bin'

# Scan and Copy are as they were.
xdotool key alt+s alt+c
wait_for_clipboard '\ra,b.txt\rarchive.tar.gz\rnoext\rsay "hi".txt\rtwo words\r'"$bad"'.bin'
end_tool
