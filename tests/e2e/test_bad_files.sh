#!/bin/bash
# The game on bad data files: each way a file can be bad (missing, empty, cut
# short, of the wrong format, too large, no file at all), for each data file
# whose code differs there. No case may crash, hang, swell (its peak memory
# held to a good run's and 64 MB more) or end with other than 0; a refused
# finger.jpg stops the start-up with its box (stops), a refused music.mp3 has
# its box before the game runs (box), a refused WAV is silent (runs).
# QEL_MATRIX_BINARY runs another build (./test.sh: the sanitizer build).
source "$(dirname "$0")/lib.sh"
[[ -n ${QEL_MATRIX_BINARY:-} ]] && QEL=$(realpath "$QEL_MATRIX_BINARY")
data_dir && good=$CASE/data
# The sound server's and fontconfig's libraries keep caches for the process's life.
printf 'leak:libdbus-1.so\nleak:libpulse.so\nleak:libfontconfig.so\n' >"$CASE/lsan.supp"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$CASE/lsan.supp:print_suppressions=0"

# Offsets in the good files: the JPEG's frame header, a WAV's fields (format
# tag at 20, data size at 40).
sof=$(LC_ALL=C grep -obUaP '\xFF\xC0' "$good/finger.jpg" | head -n 1 | cut -d: -f1)
# shellcheck disable=SC2034 # sizes the table's arithmetic names
read -r jpg mp3 < <(stat -c %s "$good/finger.jpg" "$good/music.mp3" | paste -sd ' ')
[[ -n $sof ]] || fail "no frame header in finger.jpg"

# FILES OUTCOMES HOW...: the files (comma-separated), what the game does (in
# the order it says it), and one case for each way (steps comma-separated).
table=(
  "finger.jpg stops missing empty text cut:sof+6 put:sof+5:FDE8FDE8 as:gif as:png,cut:200 directory fifo size:5G"
  "finger.jpg runs cut:jpg/2 as:png"
  "music.mp3 box missing empty noise wav fifo device size:5G"
  "music.mp3 runs cut:mp3/3"
  "damage_axe.wav runs missing empty cut:26 cut:1000 put:20:0300 put:40:F0FFFFFF fifo loop size:5G"
  "damage_axe.wav runs size:1536M,put:4:F8FFFF5F,put:40:D4FFFF5F"
  "finger.jpg,music.mp3,damage_axe.wav,item_specialdrop.wav box,stops missing"
)

# spoil FILE HOW: cut:BYTES, put:OFFSET:HEX and size:SIZE (truncate's, sparse)
# take arithmetic on the offsets above; the rest name what FILE becomes.
spoil() {
  local file=$dir/$1 at bytes
  case $2 in
    missing) rm "$file" ;;
    empty) : >"$file" ;;
    text) echo "this is not a picture" >"$file" ;;
    noise) head -c 300000 /dev/urandom >"$file" ;;
    wav) cp "$good/damage_axe.wav" "$file" ;;
    as:*) convert "$good/$1" "${2#as:}:$file" ;;
    cut:*) truncate -s $((${2#cut:})) "$file" ;;
    size:*) truncate -s "${2#size:}" "$file" ;;
    put:*)
      IFS=: read -r _ at bytes <<<"$2"
      printf '%b' "$(sed 's/../\\x&/g' <<<"$bytes")" | dd of="$file" bs=1 seek=$((at)) conv=notrunc status=none ;;
    directory) rm "$file" && mkdir "$file" ;;
    fifo) rm "$file" && mkfifo "$file" ;;
    device) ln -sf /dev/zero "$file" ;;
    loop) ln -sf "$1" "$file" ;;
    *) fail "no way $2 to spoil a file" ;;
  esac
}

# The game's memory high-water mark so far, in kB.
peak() { awk '/^VmHWM:/ { print $2 }' "/proc/$QEL_PID/status" 2>/dev/null; }

n=0 problems=0 limit=
# check FILES OUTCOMES [HOW]: one case, run to its end, each box answered.
check() {
  local files=$1 outcomes=$2 how=${3:-} file step box shown=0 high=
  n=$((n + 1)) dir=$CASE/case$n
  mkdir "$dir" && cp "$good"/* "$dir/"
  for file in ${files//,/ }; do
    for step in ${how//,/ }; do spoil "$file" "$step"; done
  done
  start_qel "$dir"
  for _ in $(seq 100); do
    alive || break
    if box=$(window_named Error || window_named ERROR); then
      high=$(peak)
      press_box "$box"
    elif window_named Qel >/dev/null; then
      # Held long enough for the slower frames of a sanitizer build.
      sleep 0.3; high=$(peak); shown=1; hold Escape 0.5; break
    fi
    sleep 0.2
  done
  wait_exit 20
  local code=$? said expected problem='' what="$n: ${files:-the good files} $how ($outcomes, peak ${high:-?} kB)"
  said=$(grep -E '^(Error|ERROR): ' "$CASE/stderr")
  expected=$(tr , '\n' <<<"$outcomes" |
    sed -e /runs/d -e 's/box/Error: DXshow RenderFile/' -e 's/stops/Error: CreateSurface lpDDbmp1/')
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$CASE/stderr"; then
    problem="a sanitizer report"
  elif ((code != 0)); then
    problem="exit code $code (124: it hung)"
  elif [[ $shown == 1 && $outcomes == *stops* || $shown == 0 && $outcomes != *stops* ]]; then
    problem="the window showed: $shown"
  elif [[ $said != "$expected" ]]; then
    problem="it said [${said//$'\n'/ | }]"
  elif [[ -z $high || -n $limit && $high -gt $limit ]]; then
    problem="peak memory ${high:-unknown} kB, over $limit kB"
  fi
  limit=${limit:-$((high + 65536))}
  [[ -z $problem ]] && { echo "ok   $what"; return; }
  echo "FAIL $what: $problem"
  sed 's/^/    stderr: /' "$CASE/stderr" | head -n 30
  problems=$((problems + 1))
}

check "" runs
for row in "${table[@]}"; do
  read -r files outcomes ways <<<"$row"
  for how in $ways; do check "$files" "$outcomes" "$how"; done
done
[[ $problems -eq 0 ]] || { echo "$problems of $n cases failed"; exit 1; }
echo "$n cases ok"
