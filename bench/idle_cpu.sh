#!/usr/bin/env bash
# The idle editor's processor use: an example open, the link watch pinging the
# virtual controller on 127.0.0.1 every 100 ms, nobody touching anything.
# Target: under 3 % of one core. Needs a build (build/bin), Xvfb and a free
# display. Everything it sends goes to 127.0.0.1.
#
#   bench/idle_cpu.sh [SECONDS]    (default 30; the first 5 seconds are not counted)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bin=build/bin
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 150 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "kein freies Display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

# The virtual controller on 127.0.0.1:4000; the editor then listens on the next free port.
"$bin/v7300" emulate --address 127.0.0.1 --port 4000 --verbose </dev/null >"$work/emulate.log" 2>&1 &
pids+=($!)
sleep 0.5

cp examples/treppenlicht.v7k "$work/"
DISPLAY="$display" HOME="$work" V7300_SETTINGS="$work/config.ini" V7300_NO_START_PAUSE=1 \
  V7300_DEVICE=127.0.0.1 "$bin/v7300-logik" "$work/treppenlicht.v7k" >"$work/editor.log" 2>&1 &
editor=$!
pids+=("$editor")
sleep 5

ticks() { awk '{print $14 + $15}' "/proc/$editor/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
start=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks)
end=$(date +%s.%N)
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$start" -v e="$end" \
  'BEGIN { printf "Leerlauf: %.2f %% eines Kerns über %.1f s\n", (b - a) / hz / (e - s) * 100, e - s }'
# The pings the controller answered meanwhile: the link watch was at work.
echo "Telegramme am Emulator: $(grep -c -- '<-' "$work/emulate.log" || true)"
