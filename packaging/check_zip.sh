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
# What Windows reads from the exe, decompiled by windres: the version
# information Explorer's Properties > Details shows, its version the zip's,
# and the manifest with its supported versions and DPI awareness (and not
# Common Controls 6, which Wine faults on after the About box).
version=$(basename "$zip" -win64.zip)
version=${version#qel-}
IFS=. read -r major minor patch <<<"$version"
rc=$(x86_64-w64-mingw32-windres -i "$dir/qel.exe" -O rc 2>&1) || fail "windres cannot read qel.exe: $rc"
grep -qx " FILEVERSION $major, $minor, $patch, 0" <<<"$rc" ||
  fail "qel.exe's FILEVERSION is not $version: $(grep FILEVERSION <<<"$rc")"
for value in '"ProductName", "Qel"' "\"FileVersion\", \"$version\"" \
             "\"ProductVersion\", \"$version\"" '"CompanyName", "Qel developers"' \
             '"FileDescription", L"Qel ' '"LegalCopyright", L"Copyright \251 '; do
  grep -qF "VALUE $value" <<<"$rc" || fail "qel.exe's version information lacks $value"
done
manifest=$(sed -n '/^1 24 \/\* RT_MANIFEST \*\//,/^END/p' <<<"$rc")
for part in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a \
            PerMonitorV2 asInvoker; do
  grep -q "$part" <<<"$manifest" || fail "qel.exe's manifest lacks $part"
done
! grep -q Common-Controls <<<"$manifest" || fail "qel.exe's manifest asks for Common Controls 6"
echo "ok"
