#!/usr/bin/env bash
# Plays white noise through a paced sound device and counts the gaps in what
# the device heard, beside the dropouts the program counted itself.
#   bench/realtime/measure.sh BIN_DIR BUFFERS BUFFER_SIZE [SECONDS [LOAD]]
# BUFFERS: 2 to 4; BUFFER_SIZE: 4096 to 64536 bytes; SECONDS: 30 or 6 (the
# memory of WhiteNoise.txt that lasts so long); LOAD: busy loops started
# beside it (one per core: 2). The device is a private PulseAudio server
# with a null sink at 192 kHz stereo 24-bit, run at real-time priority like a
# desktop's; the program plays one memory in batch mode (a script play line,
# whose waits sleep on the GUI thread). Needs pulseaudio, pulseaudio-utils
# and libasound2-plugins (Debian); installs nothing.
set -euo pipefail
bin=${1:?usage: measure.sh BIN_DIR BUFFERS BUFFER_SIZE [SECONDS [LOAD]]}
buffers=${2:?} size=${3:?} seconds=${4:-30} load=${5:-0}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT

mkdir -m 700 "$tmp/run"
export XDG_RUNTIME_DIR=$tmp/run PULSE_SERVER=unix:$tmp/run/pulse/native HOME=$tmp XDG_CONFIG_HOME=$tmp/config
printf '%s\n' 'load-module module-native-protocol-unix' \
  'load-module module-null-sink sink_name=zsink rate=192000 channels=2 format=s24le' \
  'set-default-sink zsink' >"$tmp/default.pa"
chrt -f 40 pulseaudio -n -F "$tmp/default.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit >"$tmp/pa.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
printf '%s\n' '</usr/share/alsa/alsa.conf>' 'pcm.!default { type pulse }' 'ctl.!default { type pulse }' >"$tmp/asound.conf"
export ALSA_CONFIG_PATH=$tmp/asound.conf

# Output settings: 192000 Hz, 24 bits, the ring asked for, the system's default device.
index_of() { local i=0; for v in "${@:2}"; do [ "$v" = "$1" ] && { echo $i; return; }; i=$((i + 1)); done; echo "no $1" >&2; exit 2; }
mkdir -p "$tmp/config/Vellacor"
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Vellacor\Zephyra]' \
  "\"Fs\"=dword:$(printf %08x 6)" "\"Quant\"=dword:$(printf %08x 1)" \
  "\"Buffers\"=dword:$(printf %08x "$(index_of "$buffers" 2 3 4)")" \
  "\"BufferSize\"=dword:$(printf %08x "$(index_of "$size" 4096 8192 16384 32768 64536)")" \
  "\"DisableSS\"=dword:00000000" "\"WaveDevice\"=dword:00000000" "\"Welcome\"=dword:00000001" >"$tmp/config/Vellacor/Zephyra.reg"
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
for s in silent[first:last]:
    if s: run += 1
    elif run: count += 1; total += run; run = 0
print(f"{count} gaps, {total / 192:.1f} ms of silence in {(last - first) / 192000:.2f} s of sound")
PY
)
dropouts=$(grep -o 'had [0-9]* dropouts*, [0-9]* ms' "$tmp/zephyra.err" || echo "had 0 dropouts, 0 ms")
echo "$buffers x $size B, ${seconds} s, load $load: recording $gaps; program: exit $status, $dropouts"
