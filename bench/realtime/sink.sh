# Sourced by measure.sh and cpu.sh: a private PulseAudio server with a null sink
# at 192 kHz stereo 24-bit that plays in real time, run at real-time priority
# like a desktop's, reached through ALSA's default device; and the program's
# settings: 192000 Hz, 24 bits, $buffers buffers of $size bytes, the system's
# default device. Expects $buffers and $size; makes the folder $tmp and the
# array pids, whose processes end (and the folder goes) when the script exits.
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
