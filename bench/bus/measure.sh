#!/usr/bin/env bash
# Three generators on a private session bus, each playing into an ALSA file
# device of its own. Measures the time from ON in one window (the ON/OFF key
# message to the instance whose Sync box is ticked) to sound in each
# instance, first with all awake, then with the instance called first frozen
# (SIGSTOP); then sends 2000 ON/OFF key messages in a burst and prints every
# instance's final state (an even count leaves all stopped).
#   bench/bus/measure.sh BIN_DIR [BURST_BIN_DIR]
# BURST_BIN_DIR holds zephyra-bus-burst when BIN_DIR is another build's.
set -euo pipefail
bin=${1:?usage: measure.sh BIN_DIR [BURST_BIN_DIR]}
burst=${2:-$bin}/zephyra-bus-burst
tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -CONT "$p" 2>/dev/null || true; kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | {
  read -r address; read -r pid; echo "export DBUS_SESSION_BUS_ADDRESS='$address'; daemon=$pid"; })"
pids+=("$daemon")
mkdir -p "$tmp/config/Vellacor"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n"Welcome"=dword:00000001\n' \
  >"$tmp/config/Vellacor/Zephyra.reg"
for n in 0 1 2; do
  printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$tmp/out$n.raw" >"$tmp/asound$n.conf"
  : >"$tmp/out$n.raw"
  XDG_CONFIG_HOME=$tmp/config QT_QPA_PLATFORM=offscreen \
    ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$tmp/asound$n.conf \
    "$bin/zephyra" /nosplash 2>"$tmp/err$n.txt" &
  pids+=($!)
  pid[n]=$!
done
names() { gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.ListNames | grep -o 'org.vellacor.Zephyra.Generator.p[0-9]*' | sort; }
for _ in $(seq 100); do [ "$(names | wc -l)" = 3 ] && break; sleep 0.1; done
mapfile -t sorted < <(names)
index_of() { for n in 0 1 2; do [ "${sorted[$1]}" = "org.vellacor.Zephyra.Generator.p${pid[n]}" ] && echo "$n"; done; }
first=$(index_of 0) broadcaster=$(index_of 1) third=$(index_of 2)
remote() { "$bin/zephyra-remote" "$@"; }
size() { stat -c %s "$tmp/out$1.raw"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Milliseconds from t0 until each listed instance's file grows (or "none in 30 s").
time_to_sound() {
  local t0=$1 n; shift
  local -A before=() done_=()
  for n in "$@"; do before[$n]=$(size "$n"); done
  while [ ${#done_[@]} -lt $# ]; do
    for n in "$@"; do
      [ -n "${done_[$n]:-}" ] && continue
      if [ "$(size "$n")" != "${before[$n]}" ]; then done_[$n]=$(($(now_ms) - t0)); fi
    done
    if [ $(($(now_ms) - t0)) -gt 30000 ]; then break; fi
    sleep 0.005
  done
  for n in "$@"; do echo "  instance $n: ${done_[$n]:-none in 30 s} ms"; done
}

remote --pid "${pid[broadcaster]}" sync on >/dev/null
sleep 1
echo "ON in instance $broadcaster, all awake:"
t0=$(now_ms); remote --pid "${pid[broadcaster]}" 786 1
time_to_sound "$t0" "$broadcaster" "$first" "$third"
remote --pid "${pid[broadcaster]}" 786 1; sleep 1

echo "ON in instance $broadcaster, instance $first (called first) frozen:"
kill -STOP "${pid[first]}"
t0=$(now_ms); remote --pid "${pid[broadcaster]}" 786 1
time_to_sound "$t0" "$broadcaster" "$third"
remote --pid "${pid[broadcaster]}" 786 1
kill -CONT "${pid[first]}"; sleep 2
for n in "$first" "$broadcaster" "$third"; do
  echo "  instance $n after OFF and waking: $(remote status --pid "${pid[n]}" | grep playing=)"
done

echo "2000 ON/OFF key messages in a burst to instance $broadcaster:"
"$burst" "${sorted[1]}" 2000 786 1
sleep 3
for n in "$first" "$broadcaster" "$third"; do
  echo "  instance $n: $(remote status --pid "${pid[n]}" | grep playing=), $(wc -l <"$tmp/err$n.txt") stderr lines"
done
