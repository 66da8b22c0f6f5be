#!/usr/bin/env bash
# Plays white noise through a paced sound device and counts the gaps in what
# the device heard, beside the dropouts the program counted itself.
#   bench/realtime/measure.sh [BIN_DIR [BUFFERS BUFFER_SIZE [SECONDS [LOAD]]]]
# BIN_DIR: the build's bin/ folder (default: build/bin of this tree);
# BUFFERS: 2 to 4 (default 4); BUFFER_SIZE: 4096 to 64536 bytes (default 8192); SECONDS: 30 or 6 (the
# memory of WhiteNoise.txt that lasts so long); LOAD: busy loops started
# beside it (one per core: 2). The device is a private PulseAudio server
# with a null sink at 192 kHz stereo 24-bit, run at real-time priority like a
# desktop's; the program plays one memory in batch mode (a script play line,
# whose waits sleep on the GUI thread). Needs pulseaudio, pulseaudio-utils
# and libasound2-plugins (Debian); installs nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/bin}
buffers=${2:-4} size=${3:-8192} seconds=${4:-30} load=${5:-0}
[ -x "$bin/zephyra" ] || { echo "measure.sh: no zephyra in $bin; build first (./dev build)" >&2; exit 2; }

. "$here/sink.sh"
"$bin/zephyra-make-presets" "$here/WhiteNoise.txt" "$tmp/noise.zep"
memory=$([ "$seconds" = 6 ] && echo 2 || echo 1)
printf 'play %s %s\nend\n' "$memory" "$tmp/noise.zep" >"$tmp/play.zes"

for ((i = 0; i < load; i++)); do sh -c 'while :; do :; done' & pids+=($!); done
chrt -f 40 parec -d zsink.monitor --rate=192000 --channels=2 --format=s24le --raw >"$tmp/rec.raw" &
recorder=$!
pids+=($recorder)
sleep 0.5
status=0
QT_QPA_PLATFORM=offscreen "$bin/zephyra" "$tmp/play.zes" 2>"$tmp/zephyra.err" || status=$?
[ -z "${ZEPHYRA_MEASURE_LOG:-}" ] || cp "$tmp/zephyra.err" "$ZEPHYRA_MEASURE_LOG"
sleep 0.5
kill "$recorder"
# A gap: a run of all-zero frames between two frames of noise (white noise at -6 dBFS is never 0 on both channels).
gaps=$(python3 - "$tmp/rec.raw" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
frames = len(data) // 6
silent = [data[i*6:i*6+6] == b'\0' * 6 for i in range(frames)]
first = next((i for i, s in enumerate(silent) if not s), frames)
last = frames - next((i for i, s in enumerate(reversed(silent)) if not s), frames)
count = total = run = 0
where = []
for i, s in enumerate(silent[first:last]):
    if s: run += 1
    elif run: count += 1; total += run; where.append(f"{(i - run) / 192000:.2f} s: {run / 192:.1f} ms"); run = 0
print(f"{count} gaps, {total / 192:.1f} ms of silence in {(last - first) / 192000:.2f} s of sound",
      f"({', '.join(where[:4])})" if where else "")
PY
)
dropouts=$(grep -o 'had [0-9]* dropouts*, [0-9]* ms' "$tmp/zephyra.err" || echo "had 0 dropouts, 0 ms")
echo "$buffers x $size B, ${seconds} s, load $load: recording $gaps; program: exit $status, $dropouts"
