#!/usr/bin/env bash
# The processor time the program takes to play with its window and meters
# shown: 192 kHz stereo 24-bit white noise through the paced null sink of
# sink.sh, started over the bus, on a virtual display (Xvfb).
#   bench/realtime/cpu.sh BIN_DIR [BUFFERS BUFFER_SIZE [SECONDS]]
# Prints the program's processor time per second of sound (user + system, all
# threads), in per cent of one core. Needs pulseaudio, pulseaudio-utils,
# libasound2-plugins and xvfb (Debian); installs nothing.
set -euo pipefail
bin=${1:?usage: cpu.sh BIN_DIR [BUFFERS BUFFER_SIZE [SECONDS]]}
buffers=${2:-4} size=${3:-16384} seconds=${4:-10}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/sink.sh"
"$bin/zephyra-make-presets" "$here/WhiteNoise.txt" "$tmp/noise.zep"

Xvfb :71 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=:71
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
dbus-run-session -- bash -c '
  "$0/zephyra" "$2" 2>/dev/null & z=$!
  for _ in $(seq 100); do "$0/zephyra-remote" status >/dev/null 2>&1 && break; sleep 0.1; done
  "$0/zephyra-remote" recall 1 >/dev/null; "$0/zephyra-remote" loop on >/dev/null; "$0/zephyra-remote" on >/dev/null
  sleep 2
  a=$(awk "{ print \$14 + \$15 }" /proc/$z/stat); sleep "$1"; b=$(awk "{ print \$14 + \$15 }" /proc/$z/stat)
  "$0/zephyra-remote" status | grep -E "^(playing|dropouts)=" | tr "\n" " "
  "$0/zephyra-remote" off >/dev/null
  kill $z; wait $z 2>/dev/null
  echo "cpu $(echo "($b - $a) * 100 / $(getconf CLK_TCK) / $1" | bc -l | cut -c1-5) % of one core"
' "$bin" "$seconds" "$tmp/noise.zep"
