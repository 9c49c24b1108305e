#!/bin/bash
# Installs the Debian packages Qel needs and nothing else; a no-op when they
# are all there. Usage: scripts/packages.sh play|test
set -euo pipefail

PLAY=(cmake g++ make pkg-config
      libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libsdl2-mixer-dev
      libfontconfig-dev libpixman-1-dev libmp3lame-dev binutils-mingw-w64-x86-64
      fonts-liberation fonts-wqy-zenhei)
TEST=(googletest libgtest-dev libbenchmark-dev clang clang-format lame
      # libFuzzer's runtime is not pulled in by clang itself.
      libclang-rt-14-dev
      xvfb xdotool x11-apps x11-utils imagemagick
      # /usr/bin/time -v: the bad-file matrix holds the game's peak memory.
      time
      pulseaudio pulseaudio-utils
      # The desktops the end-to-end tests also run under (xfwm4 reads its
      # settings over a session bus of the test's own).
      openbox xfwm4 dbus-daemon
      # The checks Debian and the software centres make of the package.
      lintian appstream desktop-file-utils
      # hardening-check, on the package's program.
      devscripts
      # The packages (cpack's deb needs dpkg-shlibdeps and file) and the
      # Windows build, run under 64-bit Wine alone (no i386, no wine).
      dpkg-dev file g++-mingw-w64-x86-64-win32
      wine64 gstreamer1.0-plugins-base gstreamer1.0-plugins-good locales
      # The Windows installer (makensis, with its 64-bit stubs).
      nsis
      # A player's desktop: input methods with pinyin, keys pressed by keycode
      # (XTest) on other layouts, PipeWire, weston with XWayland.
      ibus ibus-libpinyin fcitx5 fcitx5-pinyin python3-xlib x11-xkb-utils
      pipewire pipewire-pulse wireplumber weston xwayland)

case "${1:-play}" in
  play) wanted=("${PLAY[@]}") ;;
  test) wanted=("${PLAY[@]}" "${TEST[@]}") ;;
  *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Qel needs these packages, and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A package the local lists do not know yet means the lists are old.
if ! "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
