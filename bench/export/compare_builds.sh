#!/usr/bin/env bash
# Renders the same signals with two builds of zephyra-render and counts the
# samples in which their WAV files differ: the check that a faster renderer
# still gives the samples of the one before it. For white and pink noise and
# every crest choice: 120 s of 44.1 kHz stereo 16-bit (10.6 million
# samples), Cosine modulation 1 s 100 %, Peaking 1 kHz Q 3 -10 dB, seed 1.
#   bench/export/compare_builds.sh NEW_BIN_DIR OLD_BIN_DIR [SECONDS]
set -euo pipefail
new=${1:?usage: compare_builds.sh NEW_BIN_DIR OLD_BIN_DIR [SECONDS]}
old=${2:?usage: compare_builds.sh NEW_BIN_DIR OLD_BIN_DIR [SECONDS]}
seconds=${3:-120}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for noise in 0 1; do
  for crest in 0 1 2 3 4 5 6; do
    sed -e "s/^Duration = .*/Duration = $seconds/" -e "s/^WaveForm\(Left\|Right\) = .*/WaveForm\1 = $noise/" \
      -e "s/^CrestFactor\(Left\|Right\) = .*/CrestFactor\1 = $crest/" \
      "$here/../sox/SoxComparison.txt" >"$tmp/signal.txt"
    "$new/zephyra-make-presets" "$tmp/signal.txt" "$tmp/signal.zep"
    "$new/zephyra-render" "$tmp/signal.zep" 1 "$tmp/new.wav" --seed 1 >/dev/null
    "$old/zephyra-render" "$tmp/signal.zep" 1 "$tmp/old.wav" --seed 1 >/dev/null
    samples=$((($(stat -c %s "$tmp/new.wav") - 44) / 2))
    # cmp -l lists differing bytes (1-based offsets); two bytes make a sample.
    differing=$({ cmp -l "$tmp/new.wav" "$tmp/old.wav" || true; } | awk '{ print int(($1 - 45) / 2) }' | uniq | wc -l)
    printf '%s crest %d: %d of %d samples differ\n' "$([ $noise = 0 ] && echo white || echo pink)" "$crest" \
      "$differing" "$samples"
  done
done
