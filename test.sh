#!/bin/bash
# Installs what is missing, builds (also under AddressSanitizer and
# UndefinedBehaviorSanitizer), starts its own X server and sound server, runs
# every test and ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD
jobs=$(nproc)

scripts/packages.sh test || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
skipped=0
work=$(mktemp -d /tmp/qel-test.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# build DIR [cmake options]: a failed build counts as one failure.
build() {
  local dir=$1; shift
  local log="$work/$(basename "$dir").build.log"
  local source=.
  if [[ "${1:-}" == "-S" ]]; then source=$2; shift 2; fi
  if cmake -S "$source" -B "$dir" "$@" >"$log" 2>&1 &&
     cmake --build "$dir" -j"$jobs" >>"$log" 2>&1; then
    return 0
  fi
  echo "== build of $dir failed:"
  grep -E "error|Error" "$log" | head -n 30
  tail -n 30 "$log"
  failed=$((failed + 1))
  return 1
}

# tests DIR [ctest options]: adds ctest's counts; a skipped test counts as
# skipped, not passed, and is named.
tests() {
  local dir=$1; shift
  local log="$work/$(basename "$dir").ctest.log"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@") >"$log" 2>&1
  grep -E "\*\*\*(Failed|Timeout|Exception)|Not Run" "$log" | head -n 50
  local line
  line=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -n 1)
  if [[ -z "$line" ]]; then
    echo "== ctest in $dir ran no test:"; tail -n 40 "$log"
    failed=$((failed + 1)); return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  echo "$dir: $line"
  local skips
  skips=$(grep -E "^[[:space:]]*[0-9]+ - .* \(Skipped\)$" "$log")
  if [[ -n "$skips" ]]; then
    sed -E 's/^[[:space:]]*[0-9]+ - (.*) \(Skipped\)$/skipped: \1/' <<<"$skips"
    skipped=$((skipped + $(wc -l <<<"$skips")))
    total=$((total - $(wc -l <<<"$skips")))
  fi
  if [[ $bad -gt 0 ]]; then
    sed -n '/The following tests FAILED/,$p' "$log" | head -n 40
    grep -B5 -A30 -E "\[  FAILED  \]|ERROR: (Address|Leak|Undefined)|runtime error" "$log" | head -n 120
    # An end-to-end script says why it failed in one FAIL: line, then the
    # game's and the session's last words.
    grep -E "^FAIL: |^  (stderr|session): " "$log" | head -n 80
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# An X server of our own, on the first free display it finds. -noreset:
# when its last client leaves, Xvfb otherwise starts over, and a client that
# connects meanwhile (the game, as a test's xdotool ends) is turned away.
start_x() {
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset 4>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
  done
  [[ -s "$work/display" ]] || return 1
  export DISPLAY=":$(head -n 1 "$work/display")"
}

# A sound server with one null sink whose monitor the tests record.
start_pulse() {
  mkdir -p "$work/pulse"
  export PULSE_RUNTIME_PATH="$work/pulse" XDG_RUNTIME_DIR="$work/pulse" HOME="${HOME:-/root}"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --system=false \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" \
    -L "module-null-sink sink_name=qel rate=44100" \
    -L "module-always-sink" >"$work/pulse.log" 2>&1 &
  pids+=($!)
  export PULSE_SERVER="unix:$work/pulse/native"
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && { pactl set-default-sink qel >/dev/null 2>&1; return 0; }
    sleep 0.1
  done
  return 1
}

started=$(date +%s)
# Warnings are errors here, in the project's own checks, and nowhere else.
# The .deb is made from this build: with Debian's hardening flags.
if build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_WERROR=ON -DQEL_DEB_HARDENING=ON; then
  start_x || { echo "== Xvfb did not start"; cat "$work/xvfb.log"; failed=$((failed + 1)); }
  start_pulse || { echo "== PulseAudio did not start"; cat "$work/pulse.log"; failed=$((failed + 1)); }
  tests build
fi
if build build-asan -DCMAKE_BUILD_TYPE=Debug -DQEL_SANITIZE=ON -DQEL_WERROR=ON; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 tests build-asan -LE e2e
fi

# The optimised type a distribution builds (-O3), where the compiler warns
# of other things than at -O2: the game and the generator, warnings as errors.
if build build-release -DCMAKE_BUILD_TYPE=Release -DQEL_TESTS=OFF -DQEL_WERROR=ON; then
  echo "build-release: built"
  passed=$((passed + 1))
fi

# A short run of each fuzz target (long runs are made by hand), on the seeds
# scripts/fuzz_seeds.sh makes from the Linux build: a minute in all.
# fuzz NAME SECONDS: one run of the target (with tests/fuzz/<first word of
# NAME>.dict when there is one).
fuzz() {
  local name=$1 seconds=$2
  local log="$work/fuzz-$name.log"
  local extra=()
  [[ -f tests/fuzz/${name%%_*}.dict ]] && extra=(-dict="tests/fuzz/${name%%_*}.dict")
  # -timeout: an input that runs 10 s is a hang, reported at once.
  if "build-fuzz/${name}_fuzz" "${extra[@]}" -max_total_time="$seconds" -timeout=10 \
       -print_final_stats=1 -artifact_prefix="$work/" "$work/seeds/$name" >"$log" 2>&1; then
    echo "fuzz $name: $(awk '/stat::number_of_executed_units/ {print $2}' "$log") runs"
    passed=$((passed + 1))
  else
    echo "== ${name}_fuzz found a fault:"; tail -n 60 "$log"
    failed=$((failed + 1))
  fi
}
if build build-fuzz -S tests/fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DQEL_WERROR=ON; then
  if scripts/fuzz_seeds.sh "$work/seeds" build >"$work/seeds.log" 2>&1; then
    fuzz wave_reader 30
    fuzz image 30
  else
    echo "== no fuzz seeds:"; tail -n 20 "$work/seeds.log"
    failed=$((failed + 1))
  fi
fi

# The bad-file matrix again, on the sanitizer build (the e2e run above used
# build/qel): no report of AddressSanitizer, LeakSanitizer or UBSan.
if [[ -x build-asan/qel && -n "${DISPLAY:-}" ]]; then
  if QEL_MATRIX_BINARY=build-asan/qel bash tests/e2e/test_bad_files.sh build \
       >"$work/matrix-asan.log" 2>&1; then
    echo "bad files under the sanitizers: $(tail -n 1 "$work/matrix-asan.log")"
    passed=$((passed + 1))
  else
    echo "== the bad-file matrix failed under the sanitizers:"
    tail -n 60 "$work/matrix-asan.log"
    failed=$((failed + 1))
  fi
fi

# ---------------------------------------------------------------- Windows
# The same game cross-built for Windows (build-win/qel.exe) and run under
# Wine in the X server and sound server above, and the packages of both
# builds. The Linux build draws the icon and the data files for it.
windows_started=$(date +%s)
if [[ ! -x build/qel-assets ]]; then
  echo "== no Windows build: the Linux build has no qel-assets"
  failed=$((failed + 1))
elif build build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
       -DQEL_HOST_ASSETS="$root/build/qel-assets" -DQEL_WERROR=ON; then
  # package DIR GENERATOR PATTERN CHECK: cpack in DIR, then CHECK on the
  # one package named PATTERN that it made.
  package() {
    local dir=$1 generator=$2 pattern=$3 check=$4 made
    rm -f "$dir"/$pattern
    if ! (cd "$dir" && cpack -G "$generator") >"$work/cpack.$generator.log" 2>&1; then
      echo "== cpack -G $generator in $dir failed:"; tail -n 20 "$work/cpack.$generator.log"
      failed=$((failed + 1)); return
    fi
    made=$(ls "$dir"/$pattern 2>/dev/null)
    if [[ $(wc -w <<<"$made") -eq 1 ]] && "$check" "$made" >"$work/check.$generator.log" 2>&1; then
      echo "package: $made ok"
      passed=$((passed + 1))
    else
      echo "== package $generator failed its check:"; cat "$work/check.$generator.log"
      failed=$((failed + 1))
    fi
  }
  package build DEB 'qel_*_amd64.deb' packaging/check_deb.sh
  package build-win ZIP 'qel-*-win64.zip' packaging/check_zip.sh
  # The installer, which tests/e2e/wine/test_installer.sh installs.
  rm -f build-win/qel-*-setup.exe
  if ! cmake --build build-win --target installer >"$work/installer.log" 2>&1; then
    echo "== the installer was not built:"; tail -n 20 "$work/installer.log"
    failed=$((failed + 1))
  fi

  # One fresh prefix for all the cases, its wineserver stopped by PID.
  source tests/e2e/wine/prefix.sh
  if wine_start "$work/wine" >"$work/wine.log" 2>&1; then
    pids+=("$WINE_SERVER_PID")
    for script in tests/e2e/wine/test_*.sh; do
      name=$(basename "$script" .sh)
      if timeout 180 bash "$script" "$root/build-win" "$root/build" \
           >"$work/wine.$name.log" 2>&1; then
        echo "wine: $name $(tail -n 1 "$work/wine.$name.log")"
        passed=$((passed + 1))
      else
        echo "== wine: $name failed:"; tail -n 30 "$work/wine.$name.log"
        failed=$((failed + 1))
      fi
    done
  else
    echo "== no Wine prefix:"; tail -n 30 "$work/wine.log"
    failed=$((failed + 1))
  fi
  wine_stop
fi
echo "windows: took $(( $(date +%s) - windows_started )) s"

echo "took $(( $(date +%s) - started )) s"
[[ $skipped -gt 0 ]] && echo "$skipped skipped"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
