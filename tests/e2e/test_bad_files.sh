#!/bin/bash
# The bad-file matrix, end to end: each of the four data files missing, empty,
# cut short at several points, of the wrong format or sizes, a directory, or
# unreadable, and the game run on it under the X and sound servers of
# ./test.sh. Every case must end with exit code 0, no crash, no hang and no
# sanitizer report, and do what the game does for that file:
#   finger.jpg that can't be decoded: the start-up stops at the picture
#     surface with "Error: CreateSurface lpDDbmp1", the window never shows;
#   music.mp3 that can't be rendered: "Error: DXshow RenderFile", then the
#     game runs without music;
#   a WAV that can't be read: that sound is silent, and nothing is said.
# QEL_MATRIX_BINARY runs another build of the game (./test.sh gives the
# sanitizer build's); the last line of the output is "N cases ok".
source "$(dirname "$0")/lib.sh"
[[ -n ${DISPLAY:-} ]] || fail "no X server: DISPLAY is not set (./test.sh starts one)"
if [[ -n ${QEL_MATRIX_BINARY:-} ]]; then
  QEL=$(cd "$(dirname "$QEL_MATRIX_BINARY")" && pwd)/$(basename "$QEL_MATRIX_BINARY")
fi
[[ -x $QEL ]] || fail "no game at $QEL"
good=$(data_dir)

# Only a sanitizer build reads these. The sound server's and fontconfig's
# libraries keep caches for the life of the process.
printf 'leak:libdbus-1.so\nleak:libpulse.so\nleak:libfontconfig.so\n' >"$CASE/lsan.supp"
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$CASE/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cases=0
problems=0
dir=

# A case folder with the four good files, made the current "$dir".
new_case() {
  cases=$((cases + 1))
  dir="$CASE/case$cases"
  mkdir -p "$dir"
  cp "$good"/* "$dir/"
}

# Byte offset of the first JPEG marker FF <hex> in a file.
marker() {
  LC_ALL=C grep -obUaP "\\xFF\\x$2" "$1" | head -n 1 | cut -d: -f1
}

# put FILE OFFSET HEXBYTES: overwrite bytes in place ("0300" writes 03 00).
put() {
  local bytes
  bytes=$(sed 's/../\\x&/g' <<<"$3")
  printf "$bytes" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

cut_to() { truncate -s "$2" "$1"; }

# unreadable FILE: a file that opens but can't be read. Root reads any file
# whatever its mode, so for root it is /proc/self/mem, whose first page is
# never mapped: every read fails (EIO). Anyone else gets mode 000.
unreadable() {
  if [[ $(id -u) -eq 0 ]]; then
    rm -rf "$1"
    ln -s /proc/self/mem "$1"
  else
    chmod 000 "$1"
  fi
}

# The id of a message box on screen, captioned "Error" or "ERROR".
find_box() {
  box_id Error || box_id ERROR
}

problem() {
  echo "FAIL case $cases ($1): $2"
  [[ -s "$dir.err" ]] && sed 's/^/    stderr: /' "$dir.err" | head -n 30
  problems=$((problems + 1))
}

# run_game: the game in "$dir", each message box answered, held to an end;
# sets shown (the window showed), code (exit code, empty when it hung) and
# said (its "caption: text" lines).
run_game() {
  (cd "$dir" && exec "$QEL" >"$dir.out" 2>"$dir.err") &
  QEL_PID=$!
  shown=0
  local box
  for _ in $(seq 150); do
    kill -0 "$QEL_PID" 2>/dev/null || break
    box=$(find_box)
    if [[ -n $box ]]; then press_box "$box"; continue; fi
    if [[ -n $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]]; then
      shown=1; break
    fi
    sleep 0.2
  done
  if [[ $shown -eq 1 ]]; then
    sleep 0.3
    hold Escape
  fi
  code=
  for _ in $(seq 150); do
    if ! kill -0 "$QEL_PID" 2>/dev/null; then
      wait "$QEL_PID"; code=$?; break
    fi
    sleep 0.1
  done
  if [[ -z $code ]]; then
    kill -9 "$QEL_PID" 2>/dev/null; wait "$QEL_PID" 2>/dev/null
  fi
  QEL_PID=
  said=$(grep -E '^(Error|ERROR): ' "$dir.err")
}

# check NAME runs|stops [MESSAGE...]: runs the game on the case and holds it
# to the outcome and the messages, in order.
check() {
  local name=$1 outcome=$2; shift 2
  local expected
  expected=$(printf '%s\n' "$@")
  run_game
  if [[ -z $code ]]; then
    problem "$name" "hung (window shown: $shown)"
  elif grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: ' "$dir.err"; then
    problem "$name" "sanitizer report"
  elif [[ $code -ne 0 ]]; then
    problem "$name" "exit code $code"
  elif [[ $outcome == runs && $shown -ne 1 ]]; then
    problem "$name" "the window never showed"
  elif [[ $outcome == stops && $shown -ne 0 ]]; then
    problem "$name" "the window showed although the start-up should stop"
  elif [[ "$said" != "$expected" ]]; then
    problem "$name" "messages were [${said//$'\n'/ | }], not [${expected//$'\n'/ | }]"
  else
    echo "ok   case $cases: $name ($outcome${said:+, ${said//$'\n'/, }})"
  fi
}

PICTURE="Error: CreateSurface lpDDbmp1"
MUSIC="Error: DXshow RenderFile"

# ------------------------------------------------------------ finger.jpg
jpg=$good/finger.jpg
sof=$(marker "$jpg" C0)
sos=$(marker "$jpg" DA)
[[ -n $sof && -n $sos ]] || fail "no frame or scan in the generated finger.jpg"

new_case; rm "$dir/finger.jpg";                 check "finger.jpg missing" stops "$PICTURE"
new_case; : >"$dir/finger.jpg";                 check "finger.jpg empty" stops "$PICTURE"
new_case; echo "this is not a picture" >"$dir/finger.jpg"
                                                check "finger.jpg is text" stops "$PICTURE"
new_case; cut_to "$dir/finger.jpg" 2;           check "finger.jpg cut after its first marker" stops "$PICTURE"
new_case; cut_to "$dir/finger.jpg" "$sof";      check "finger.jpg cut before its frame header" stops "$PICTURE"
new_case; cut_to "$dir/finger.jpg" $((sof + 6)); check "finger.jpg cut inside its frame header" stops "$PICTURE"
new_case; cut_to "$dir/finger.jpg" $((sos + 20)); check "finger.jpg cut where its scan begins" runs
new_case; cut_to "$dir/finger.jpg" $(( $(stat -c %s "$jpg") / 2 ))
                                                check "finger.jpg cut in half (the rest grey)" runs
new_case; cut_to "$dir/finger.jpg" $(( $(stat -c %s "$jpg") - 2 ))
                                                check "finger.jpg without its end marker" runs
new_case; put "$dir/finger.jpg" $((sof + 5)) FDE8FDE8
                                                check "finger.jpg claiming 65000 by 65000 pixels" stops "$PICTURE"
new_case; put "$dir/finger.jpg" $((sof + 5)) 00000000
                                                check "finger.jpg claiming 0 by 0 pixels" stops "$PICTURE"
new_case; convert -size 1x1 xc:'#3060c0' "jpg:$dir/finger.jpg"
                                                check "finger.jpg of 1 by 1 pixel" runs
new_case; convert -size 4000x4000 xc:white -fill '#3060c0' -draw 'rectangle 200,200 3800,1900' \
            -quality 85 "jpg:$dir/finger.jpg"
                                                check "finger.jpg of 4000 by 4000 pixels" runs
new_case; convert "$jpg" "png:$dir/finger.jpg"; check "finger.jpg holding a PNG" runs
# A GIF's header can't bound what decoding it takes: GIF is not decoded.
new_case; convert "$jpg" "gif:$dir/finger.jpg"; check "finger.jpg holding a GIF" stops "$PICTURE"
new_case; rm "$dir/finger.jpg"; mkdir "$dir/finger.jpg"
                                                check "finger.jpg is a directory" stops "$PICTURE"
new_case; unreadable "$dir/finger.jpg";         check "finger.jpg unreadable" stops "$PICTURE"

# ------------------------------------------------------------ music.mp3
mp3=$good/music.mp3
new_case; rm "$dir/music.mp3";                  check "music.mp3 missing" runs "$MUSIC"
new_case; : >"$dir/music.mp3";                  check "music.mp3 empty" runs "$MUSIC"
new_case; echo "this is not music" >"$dir/music.mp3"
                                                check "music.mp3 is text" runs "$MUSIC"
new_case; head -c 65536 /dev/zero | tr '\0' '\377' >"$dir/music.mp3"
                                                check "music.mp3 of 0xFF bytes (no frame)" runs "$MUSIC"
new_case; head -c 300000 /dev/urandom >"$dir/music.mp3"
                                                check "music.mp3 that is noise" runs "$MUSIC"
new_case; cut_to "$dir/music.mp3" $(( $(stat -c %s "$mp3") / 3 ))
                                                check "music.mp3 cut to a third" runs
# The player takes the file for what its name says: MPEG audio.
new_case; cp "$good/item_specialdrop.wav" "$dir/music.mp3"
                                                check "music.mp3 holding a WAV" runs "$MUSIC"
new_case; rm "$dir/music.mp3"; mkdir "$dir/music.mp3"
                                                check "music.mp3 is a directory" runs "$MUSIC"
new_case; unreadable "$dir/music.mp3";          check "music.mp3 unreadable" runs "$MUSIC"

# ------------------------------------------------------------ the WAVs
# damage_axe.wav: RIFF header 0-11, "fmt " 12-35 (tag at 20), "data" at
# 36 with its size at 40, samples from 44.
new_case; rm "$dir/damage_axe.wav";             check "damage_axe.wav missing" runs
new_case; : >"$dir/damage_axe.wav";             check "damage_axe.wav empty" runs
new_case; cut_to "$dir/damage_axe.wav" 6;       check "damage_axe.wav cut in its RIFF header" runs
new_case; cut_to "$dir/damage_axe.wav" 26;      check "damage_axe.wav cut in its format chunk" runs
new_case; cut_to "$dir/damage_axe.wav" 42;      check "damage_axe.wav cut in its data header" runs
new_case; cut_to "$dir/damage_axe.wav" 1000;    check "damage_axe.wav cut in its samples" runs
new_case; put "$dir/damage_axe.wav" 20 0300;    check "damage_axe.wav in floating point (tag 3)" runs
new_case; put "$dir/damage_axe.wav" 20 0200;    check "damage_axe.wav in ADPCM (tag 2)" runs
new_case; put "$dir/damage_axe.wav" 20 FEFF;    check "damage_axe.wav extensible (tag 0xFFFE)" runs
new_case; put "$dir/damage_axe.wav" 40 F0FFFFFF; check "damage_axe.wav data size past the file" runs
new_case; put "$dir/damage_axe.wav" 16 F0FFFF7F; check "damage_axe.wav format size past the file" runs
new_case; put "$dir/damage_axe.wav" 4 FFFFFFFF; check "damage_axe.wav RIFF size past the file" runs
new_case; put "$dir/damage_axe.wav" 8 41564920; check "damage_axe.wav of form AVI" runs
new_case; rm "$dir/damage_axe.wav"; mkdir "$dir/damage_axe.wav"
                                                check "damage_axe.wav is a directory" runs
new_case; unreadable "$dir/damage_axe.wav";     check "damage_axe.wav unreadable" runs
new_case; cp "$jpg" "$dir/item_specialdrop.wav"; check "item_specialdrop.wav holding a JPEG" runs
new_case; put "$dir/item_specialdrop.wav" 40 00000000
                                                check "item_specialdrop.wav with no samples" runs

# ------------------------------------------------------------ not files, or far too large
# Names that hold no data file: a FIFO nobody writes (a plain open of it
# waits for good), devices (/dev/zero never ends), a link to itself, and
# files of 5 GB that hold nothing (sparse). The game must neither wait on
# them nor read them, end as for any file it can't use, and stay small: the
# game runs under /usr/bin/time (the figures in "$dir.time"), its peak held
# to that of a run on the good files and 64 MB more. timeout ends a game
# that run_game gave up on, since run_game then stops only /usr/bin/time.
timed=$CASE/qel-timed
printf '#!/bin/bash\nexec /usr/bin/time -v -o "$(pwd).time" timeout -s KILL 120 %q\n' \
  "$QEL" >"$timed"
chmod +x "$timed"
untimed=$QEL
QEL=$timed
peak_limit=

# The peak resident size of the last case's game, in kB.
peak_kb() {
  awk -F': ' '/Maximum resident set size/ {print $2}' "$dir.time" 2>/dev/null
}

# check_small: check, and the game's peak memory within peak_limit.
check_small() {
  local before=$problems peak
  check "$@"
  [[ $problems -eq $before ]] || return 0
  peak=$(peak_kb)
  if [[ -z $peak ]]; then
    problem "$1" "no memory figure from /usr/bin/time"
  elif ((peak > peak_limit)); then
    problem "$1" "peak resident size $peak kB, over $peak_limit kB"
  fi
}

# not_a_file FILE KIND: the case's FILE made the KIND of name.
not_a_file() {
  local file=$dir/$1
  rm -rf "$file"
  case $2 in
    directory) mkdir "$file" ;;
    fifo) mkfifo "$file" ;;
    /dev/*) ln -s "$2" "$file" ;;
    loop) ln -s "$1" "$file" ;;
    zeros) truncate -s 5G "$file" ;;
    head) head -c 4096 "$good/$1" >"$file"; truncate -s 5G "$file" ;;
  esac
}

declare -A kind_name=(
  [directory]="a directory" [fifo]="a FIFO nobody writes"
  [/dev/zero]="a link to /dev/zero" [/dev/null]="a link to /dev/null"
  [/dev/urandom]="a link to /dev/urandom" [loop]="a link to itself"
  [zeros]="5 GB of zeros (sparse)" [head]="its first 4 KB, then sparse to 5 GB")

new_case;                                       check "the four good files" runs
peak=$(peak_kb)
[[ -n $peak ]] || fail "no memory figure from /usr/bin/time for the good files"
peak_limit=$((peak + 65536))
echo "     peak of the good run: $peak kB; limit $peak_limit kB"

for file in finger.jpg music.mp3 damage_axe.wav item_specialdrop.wav; do
  case $file in
    finger.jpg) outcome=(stops "$PICTURE") ;;
    music.mp3) outcome=(runs "$MUSIC") ;;
    *) outcome=(runs) ;;
  esac
  for kind in fifo /dev/zero /dev/null /dev/urandom loop zeros head; do
    new_case; not_a_file "$file" "$kind"
    check_small "$file is ${kind_name[$kind]}" "${outcome[@]}"
  done
done
new_case; not_a_file item_specialdrop.wav directory
                                                check_small "item_specialdrop.wav is a directory" runs
# The file holds all its data chunk claims (1.5 GB, sparse): only the size a
# sound may have keeps the reader from taking it whole.
new_case; truncate -s 1536M "$dir/damage_axe.wav"
put "$dir/damage_axe.wav" 4 F8FFFF5F; put "$dir/damage_axe.wav" 40 D4FFFF5F
                                                check_small "damage_axe.wav of 1.5 GB, its data chunk claiming it all" runs
QEL=$untimed

# ------------------------------------------------------------ together
new_case; rm "$dir"/*.wav "$dir/music.mp3";     check "music and both sounds missing" runs "$MUSIC"
new_case; rm "$dir"/*;                          check "all four files missing" stops "$MUSIC" "$PICTURE"

echo "$((cases - problems)) of $cases cases ok"
[[ $problems -eq 0 ]] || exit 1
echo "$cases cases ok"
