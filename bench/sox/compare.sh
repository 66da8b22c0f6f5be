#!/usr/bin/env bash
# Renders the same signals with zephyra-render and with sox, in turn,
# several times, and prints how many times faster zephyra-render is (the
# median of the run-by-run ratios of wall-clock and of processor time). The
# signals: 60 s of filtered, modulated stereo pink noise at 44.1 kHz, 16
# bits; 60 s of plain stereo white noise at 192 kHz, 24 bits. Installs
# nothing (./dev bench does); without sox it says so and ends successfully.
#   bench/sox/compare.sh BIN_DIR [RUNS [OUT_DIR]]
# BIN_DIR holds zephyra-render and zephyra-make-presets (a Release build's bin/).
# The WAV files go to OUT_DIR (default: a new temporary folder). zephyra-render
# makes the finished file durable (it waits for the disk), sox does not: a
# folder in memory (/dev/shm) compares the rendering alone.
set -euo pipefail
bin=${1:?usage: compare.sh BIN_DIR [RUNS]}
runs=${2:-7}
out_dir=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v sox >/dev/null 2>&1; then
  echo "sox comparison: sox is not installed, skipped"
  exit 0
fi

tmp=$(mktemp -d ${out_dir:+-p "$out_dir"})
trap 'rm -rf "$tmp"' EXIT
echo "sox comparison: files in $tmp"

# Prints "wall cpu" in seconds for one run of the command.
timed() {
  local TIMEFORMAT='%R %U %S' line
  line=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk '{ printf "%.4f %.4f\n", $1, $2 + $3 }' <<<"$line"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# compare TITLE: runs the arrays zephyra and sox_cmd in turn and prints the medians and ratios.
compare() {
  timed "${zephyra[@]}" >/dev/null  # warm-up of both, not counted
  timed "${sox_cmd[@]}" >/dev/null
  : >"$tmp/runs"
  for ((i = 0; i < runs; i++)); do
    read -r zw zc < <(timed "${zephyra[@]}")
    read -r sw sc < <(timed "${sox_cmd[@]}")
    echo "$zw $zc $sw $sc" >>"$tmp/runs"
  done
  column() { awk -v c="$1" '{ print $c }' "$tmp/runs" | median; }
  wall_ratio=$(awk '{ print $3 / $1 }' "$tmp/runs" | median)
  cpu_ratio=$(awk '{ print $4 / $2 }' "$tmp/runs" | median)
  echo "sox comparison: $1; $runs runs each"
  printf '  zephyra-render  wall %ss  cpu %ss (medians)\n' "$(column 1)" "$(column 2)"
  printf '  sox             wall %ss  cpu %ss (medians)\n' "$(column 3)" "$(column 4)"
  printf '  zephyra-render is %.2fx as fast as sox by wall-clock time, %.2fx by processor time (median of run-by-run ratios)\n' \
    "$wall_ratio" "$cpu_ratio"
}

"$bin/zephyra-make-presets" "$here/SoxComparison.txt" "$tmp/sox.zep"
zephyra=("$bin/zephyra-render" "$tmp/sox.zep" 1 "$tmp/zephyra.wav" --seed 1)
sox_cmd=(sox -n -r 44100 -c 2 -b 16 "$tmp/sox.wav" synth 60 pinknoise tremolo 1 100 equalizer 1000 3q -10)
compare "60 s of 44.1 kHz stereo 16-bit pink noise, Cosine modulation 1 s 100 %, Peaking 1 kHz Q 3 -10 dB"

"$bin/zephyra-make-presets" "$here/SoxWhiteNoise.txt" "$tmp/white.zep"
zephyra=("$bin/zephyra-render" "$tmp/white.zep" 1 "$tmp/zephyra.wav" --rate 192000 --bits 24 --seed 1)
sox_cmd=(sox -n -r 192000 -c 2 -b 24 "$tmp/sox.wav" synth 60 whitenoise)
compare "60 s of 192 kHz stereo 24-bit white noise"
