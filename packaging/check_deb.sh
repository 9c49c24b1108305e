#!/bin/bash
# The Debian package as a player's machine gets it: unpacked into a scratch
# root with dpkg -x, its files where Debian keeps a game, its dependencies
# declared, its program built with Debian's hardening, lintian (pedantic)
# finding no tag, desktop-file-validate and appstreamcli no error and no
# warning in it, and its launcher starting the game from the data
# folder, under the X server (and sound server) of ./test.sh. Prints "ok" or
# what failed.
# Usage: packaging/check_deb.sh DEB
set -uo pipefail
deb=$(readlink -f "${1:?usage: $0 DEB}")
root=$(mktemp -d /tmp/qel-deb.XXXXXX)
pid=
trap '[[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; [[ -f $root/log ]] && cat "$root/log" >&2; exit 1; }

[[ $(basename "$deb") =~ ^qel_[0-9.]+_amd64\.deb$ ]] || fail "package named $(basename "$deb")"
dpkg -x "$deb" "$root/fs" || fail "dpkg -x failed"
fs=$root/fs/usr
[[ -x $fs/games/qel ]] || fail "no launcher /usr/games/qel"
file -b "$fs/lib/games/qel/qel" | grep -q '^ELF 64-bit.*executable' || fail "no program in /usr/lib/games/qel"
for data in finger.jpg music.mp3 damage_axe.wav item_specialdrop.wav; do
  [[ -s $fs/share/games/qel/$data ]] || fail "no $data in /usr/share/games/qel"
done
# The desktop entry and the AppStream metadata are named by one id, the
# metadata launches that entry, and the entry starts qel with its icon.
id=org.qel.Qel
desktop=$fs/share/applications/$id.desktop
metainfo=$fs/share/metainfo/$id.metainfo.xml
[[ -f $desktop ]] || fail "no desktop entry /usr/share/applications/$id.desktop"
[[ -f $metainfo ]] || fail "no AppStream metadata /usr/share/metainfo/$id.metainfo.xml"
grep -qx 'Exec=qel' "$desktop" && grep -qx 'Icon=qel' "$desktop" &&
  grep -qx 'Type=Application' "$desktop" || fail "$id.desktop does not start qel with its icon"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $out ]]; then
  fail "desktop-file-validate: ${out:-failed}"
fi
if ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || grep -q '^[EW]:' <<<"$out"; then
  fail "appstreamcli validate: $out"
fi

# The documents Debian wants: the manual page, the copyright file and the
# changelog, whose latest entry is this version, by the package's maintainer.
version=$(dpkg-deb -f "$deb" Version)
man=$fs/share/man/man6/qel.6.gz
[[ $(file -b "$man") == *'gzip compressed data, max compression'* ]] &&
  zcat "$man" | grep -q '^\.TH QEL 6 ' || fail "no gzipped qel(6) manual page"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
  "$fs/share/doc/qel/copyright" 2>/dev/null || fail "no machine-readable copyright file"
changelog=$fs/share/doc/qel/changelog.gz
zcat "$changelog" >"$root/changelog" 2>/dev/null || fail "no changelog.gz in /usr/share/doc/qel"
[[ $(dpkg-parsechangelog -l "$root/changelog" -S Version) == "$version" ]] ||
  fail "the changelog's latest entry is not version $version"
[[ $(dpkg-parsechangelog -l "$root/changelog" -S Maintainer) == "$(dpkg-deb -f "$deb" Maintainer)" ]] ||
  fail "the changelog is not signed by the package's maintainer"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata lacks release $version"

# Debian's hardening, as hardening-check reads it from the packaged program.
# (Its stack-clash and control-flow lines are left alone: they say unknown
# or no even for a small program built with the same flags here.)
hardening=$(hardening-check "$fs/lib/games/qel/qel" 2>&1)
for feature in "Position Independent Executable" "Stack protected" \
               "Fortify Source functions" "Read-only relocations" "Immediate binding"; do
  grep -q "^ $feature: yes" <<<"$hardening" ||
    fail "hardening-check: ${feature}: $(grep -o "$feature: .*" <<<"$hardening" | cut -d: -f2-)"
done

# lintian, as Debian checks a package, pedantic and with its notes at the
# level of information shown: not one tag.
if ! out=$(lintian --pedantic --info --fail-on error,warning "$deb" 2>&1) ||
   grep -q '^[EWIPXO]: ' <<<"$out"; then
  fail "lintian: $(grep -v 'root privileges' <<<"$out")"
fi

for size in 16 32 48; do
  png=$fs/share/icons/hicolor/${size}x$size/apps/qel.png
  [[ $(identify -format '%m %wx%h' "$png" 2>/dev/null) == "PNG ${size}x$size" ]] ||
    fail "no ${size}x$size PNG icon in the hicolor theme"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0 \
               libx11-6 libfontconfig1 libpixman-1-0 fonts-wqy-zenhei fonts-liberation; do
  grep -q "\b$package\b" <<<"$depends" || fail "Depends lacks $package: $depends"
done
# Nothing else: the C and C++ runtimes besides.
extra=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' |
        grep -vxE 'libc6|libgcc-s1|libstdc\+\+6|libsdl2(-mixer|-ttf|-image)?-2\.0-0|libx11-6|libfontconfig1|libpixman-1-0|fonts-wqy-zenhei|fonts-liberation')
[[ -z $extra ]] || fail "Depends names what the game does not need: $extra"
# mp3 and JPEG decoding come with SDL2_mixer and SDL2_image only as long as
# these link mpg123 and libjpeg; were either loaded at run time instead,
# Depends would have to name it.
for pair in libSDL2_mixer:libmpg123 libSDL2_image:libjpeg; do
  lib=$(ldd "$fs/lib/games/qel/qel" | awk -v l="${pair%%:*}-" 'index($1, l) == 1 {print $3}')
  [[ -n $lib ]] || fail "the game does not link ${pair%%:*}"
  objdump -p "$lib" | grep -q "NEEDED *${pair#*:}\.so" ||
    fail "$lib does not link ${pair#*:}: Depends must name the package that has it"
done

# Started from elsewhere, the launcher finds the data: the pause screen
# shows the picture, and Escape ends the game with 0.
(cd / && exec timeout 30 "$fs/games/qel" >"$root/log" 2>&1) &
pid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Qel$' >/dev/null 2>&1 && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended at start-up"
  sleep 0.1
done
sleep 1
import -window root "$root/screen.png" 2>/dev/null
grey=$(convert "$root/screen.png" -crop 960x288+32+240 +repage -fuzz 4% \
         -fill black +opaque 'rgb(200,200,200)' -fill white -opaque 'rgb(200,200,200)' \
         -format '%[fx:round(mean * w * h)]' info: 2>/dev/null)
[[ -n "$grey" && $grey -lt 20000 ]] || fail "no keyboard picture on the screen"
xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid"; code=$?
pid=
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
