#!/usr/bin/env bash
# Runs every command of README.md's code blocks that can run without a sound
# device or a running generator, as the README writes it, and checks that it
# does what the README says; the others are listed below with the reason.
#   ReadmeCommands.sh SOURCE_DIR BIN_DIR
set -uo pipefail
source_dir=$1 bin_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 ran=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The lines of the indented code blocks, continuation lines joined, comments dropped.
commands() {
  awk '
    /^    / && (prev == "" || block) {
      block = 1; line = $0; sub(/^    /, "", line)
      if (held != "") { sub(/^ +/, "", line); line = held " " line; held = "" }
      if (line ~ /\\$/) { held = substr(line, 1, length(line) - 1); prev = $0; next }
      sub(/ +# .*$/, "", line); print line; prev = $0; next }
    { block = 0; prev = $0 }' "$source_dir/README.md"
}

# The one command run: "build/bin/" is the program folder, which is also first in PATH.
run() {
  local expected=$1 command=$2
  ran=$((ran + 1))
  local status=0
  local line
  line=$(sed "s#\(^\| \)build/bin/#\1$bin_dir/#g" <<<"$command")
  (cd "$work" && PATH="$bin_dir:$PATH" eval "$line") >"$work/out" 2>"$work/err" || status=$?
  cat "$work/out" >>"$work/all"
  case $expected in
    ok) [ $status -eq 0 ] || fail "'$command' ended with $status: $(head -c 300 "$work/err")" ;;
    # Parsed: a bad command line would be status 2.
    parses) [ $status -ne 2 ] || fail "'$command' was refused: $(head -c 300 "$work/err")" ;;
  esac
}

while IFS= read -r command; do
  case $command in
    # What the README tells, kept true by running it.
    "./dev help") run ok "$source_dir/dev help"
      for word in $(grep -o '\./dev [a-z]*' "$source_dir/README.md" | sort -u | cut -d' ' -f2); do
        grep -q "\./dev $word" "$work/out" || fail "./dev help does not list '$word'"
      done ;;
    build/bin/zephyra-render*) run ok "$command" ;;
    "zephyra-remote --help") run ok "$command" ;;
    # Without a session bus each says that no generator runs; its command line is checked.
    zephyra-remote*) run parses "DBUS_SESSION_BUS_ADDRESS=unix:path=$work/none $command" ;;
    # Skipped, and why.
    ./dev*) ;;                    # installs packages and builds: the build that runs this test did
    "zephyra tests.zes") ;;       # plays on a sound device
    "zephyra-render PRESET_FILE"*) ;;  # the synopsis, not a command
    gdbus* | dbus-send*) ;;       # needs a running generator on the session bus
    "cmake --install"*) ;;        # the Install test installs into a temporary prefix
    "@audio"*) ;;                 # a line of a limits file, not a command
    rem* | play* | pause* | delay* | end) ;;  # the lines of a script
    "["* | *=*) ;;                # zephyra-remote status's output
    *) fail "README.md shows a command this test does not know: '$command' (add it above)" ;;
  esac
done < <(commands)

# The rendered files exist as the README says they do.
[ -s "$work/pink-band.wav" ] || fail "the render example wrote no pink-band.wav"
grep -q "^PASS" "$work/all" || fail "the reference check printed no PASS"
[ $ran -ge 8 ] || fail "only $ran commands found in README.md"
echo "$ran commands run, $failures failed"
[ $failures -eq 0 ]
