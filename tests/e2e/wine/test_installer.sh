#!/bin/bash
# The installer, as a Windows player meets it: qel-<version>-setup.exe /S
# installs for the user alone into the user's programs folder; the
# Start-menu shortcut, read back from its .lnk, starts qel.exe in the install
# folder; Apps & features finds the uninstall key with every value it shows;
# the game started as the shortcut starts it shows its pause screen and ends
# with 0; the key's quiet uninstall leaves none of the files, the shortcut or
# the key.
source "$(dirname "$0")/lib.sh"
setup=$(ls "$WIN_BUILD"/qel-*-setup.exe 2>/dev/null)
[[ -n $setup && $(wc -l <<<"$setup") -eq 1 ]] || fail "not one installer in $WIN_BUILD: $setup"
version=$(basename "$setup" -setup.exe)
version=${version#qel-}
# Wine would copy the shortcut into the host's desktop menu: not here.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

win() { LC_ALL=$QEL_WINE_LOCALE timeout 60 wine64 "$@" 2>>"$CASE/wine.log"; }
# A variable of the Windows environment, and a Windows path as a Unix one.
env_var() { win cmd /c echo "%$1%" | tr -d '\r'; }
unix_path() { win winepath -u "$1" | tr -d '\r'; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qel'
# reg_value NAME: the data of value NAME of the uninstall key ("TYPE DATA").
reg_value() {
  win reg query "$key" /v "$1" | tr -d '\r' |
    sed -n "s/^ *$1 \{4\}\(REG_[A-Z_]*\) \{4\}\(.*\)$/\1 \2/p"
}

dir="$(env_var LOCALAPPDATA)\\Programs\\Qel"
lnk_win="$(env_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Qel.lnk"
[[ $dir == [A-Z]:\\* ]] || fail "no LOCALAPPDATA under Wine: $dir"
win "$setup" /S || fail "the silent install ended with $?"

# The files of the zip and the uninstaller, nothing else.
unix_dir=$(unix_path "$dir")
lnk=$(unix_path "$lnk_win")
files=$(cd "$unix_dir" && LC_ALL=C ls | paste -sd ' ')
[[ $files == "README.txt damage_axe.wav finger.jpg item_specialdrop.wav music.mp3 qel.exe uninstall.exe" ]] ||
  fail "$dir holds: $files"
cmp -s "$unix_dir/finger.jpg" "$WIN_BUILD/package/data/finger.jpg" || fail "finger.jpg is not the build's"

link=$(perl "$(dirname "$0")/lnk.pl" "$lnk") || fail "cannot read the Start-menu shortcut $lnk_win"
target=$(sed -n 's/^target=//p' <<<"$link")
workdir=$(sed -n 's/^workdir=//p' <<<"$link")
# Windows paths compare without case.
[[ ${target,,} == "${dir,,}\\qel.exe" ]] || fail "the shortcut starts $target, not $dir\\qel.exe"
[[ ${workdir,,} == "${dir,,}" ]] || fail "the shortcut starts the game in '$workdir', not in $dir"

# What Apps & features shows and runs.
declare -A want=(
  [DisplayName]="REG_SZ Qel"
  [DisplayVersion]="REG_SZ $version"
  [Publisher]="REG_SZ Qel developers"
  [DisplayIcon]="REG_SZ $dir\\qel.exe,0"
  [UninstallString]="REG_SZ \"$dir\\uninstall.exe\""
  [QuietUninstallString]="REG_SZ \"$dir\\uninstall.exe\" /S"
)
for name in "${!want[@]}"; do
  got=$(reg_value "$name")
  [[ ${got,,} == "${want[$name],,}" ]] || fail "$name is '$got', not '${want[$name]}'"
done
# The size in KiB, of the files there are (within one KiB a file).
size=$(reg_value EstimatedSize)
[[ $size =~ ^REG_DWORD\ 0x([0-9a-f]+)$ ]] || fail "EstimatedSize is '$size'"
size=$((16#${BASH_REMATCH[1]}))
bytes=$(cat "$unix_dir"/* | wc -c)
((size * 1024 <= bytes + 8 * 1024 && size * 1024 + 8 * 1024 >= bytes)) ||
  fail "EstimatedSize is $size KiB for $bytes bytes"

# The game as the shortcut starts it: its target, in its working folder.
# (Wine's start /wait on the .lnk itself returns at once, without the game's
# exit code.)
start_game "$(unix_path "$workdir")" "" "$target"
game_window >/dev/null || fail "no game window from the shortcut's target"
sleep 1
screenshot "$CASE/pause.xwd"
top=$(menu_height "$CASE/pause.xwd") || fail "no grey background on the pause screen"
grey=$(count_colour "$CASE/pause.xwd" 'rgb(200,200,200)' 4 32 $((top + 240)) 960 288)
[[ $grey -lt 20000 ]] || fail "no picture on the pause screen ($grey grey pixels)"
quits "the installed game"

# The quiet uninstall as Apps & features runs it. The uninstaller goes on in
# a copy of itself in the temporary folder, so its end is waited for.
quiet=$(reg_value QuietUninstallString)
[[ $quiet =~ ^REG_SZ\ \"([^\"]+)\"\ (.*)$ ]] || fail "QuietUninstallString is '$quiet'"
win "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} || fail "the quiet uninstall ended with $?"
gone() { [[ ! -e $unix_dir && ! -e $lnk ]] && ! win reg query "$key" >/dev/null; }
until_true 30 gone ||
  fail "the uninstall left: $(ls -d "$unix_dir"/* "$lnk" 2>/dev/null | paste -sd ' ') $(win reg query "$key" | head -n 2)"
echo "ok (EstimatedSize $size KiB; shortcut: $target in $workdir)"
