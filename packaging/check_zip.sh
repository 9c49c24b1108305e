#!/bin/bash
# The Windows zip holds qel.exe, the four data files beside it and the
# readme, and nothing else. Prints "ok" or what failed.
# Usage: packaging/check_zip.sh ZIP
set -uo pipefail
zip=$(readlink -f "${1:?usage: $0 ZIP}")
fail() { echo "FAIL: $*" >&2; exit 1; }
listing=$(cmake -E tar tf "$zip" 2>&1) || fail "cannot read $zip: $listing"
want=$(printf '%s\n' README.txt damage_axe.wav finger.jpg item_specialdrop.wav music.mp3 qel.exe)
[[ $(sort <<<"$listing") == "$want" ]] || fail "the zip holds: $(paste -sd ' ' <<<"$listing")"
dir=$(mktemp -d /tmp/qel-zip.XXXXXX)
trap 'rm -rf "$dir"' EXIT
(cd "$dir" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
file -b "$dir/qel.exe" | grep -q 'PE32+ executable (GUI) x86-64' ||
  fail "qel.exe is $(file -b "$dir/qel.exe")"
# Nothing beyond Windows' own DLLs.
dlls=$(x86_64-w64-mingw32-objdump -p "$dir/qel.exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for dll in $dlls; do
  case $dll in
    ddraw.dll|dsound.dll|gdi32.dll|gdiplus.dll|kernel32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|user32.dll|winmm.dll) ;;
    *) fail "qel.exe needs $dll" ;;
  esac
done
echo "ok"
