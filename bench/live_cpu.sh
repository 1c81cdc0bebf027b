#!/usr/bin/env bash
# The editor's processor use with the live view running: the example uploaded to
# the virtual controller on 127.0.0.1, the editor connected to it, "LiveView
# Starten " clicked in the real window, the controller's values coming in.
# Target: at most 5 % of one core. Needs a build, Xvfb, xdotool (it clicks the
# toolbar button from outside) and a free display. Everything it sends goes to
# 127.0.0.1.
#
#   bench/live_cpu.sh [SECONDS]    (default 30; counted once the live view runs)
#   V7300_BIN=DIR bench/live_cpu.sh    (the programs from DIR instead of build/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bin="${V7300_BIN:-build/bin}"
example=examples/treppenlicht.v7k

fail() { echo "$*" >&2; exit 1; }
command -v xdotool >/dev/null ||
  fail "live_cpu.sh braucht xdotool (apt-get install xdotool): es klickt den Knopf \"LiveView Starten\" im Fenster"
command -v Xvfb >/dev/null || fail "live_cpu.sh braucht Xvfb (apt-get install xvfb)"
for program in v7300 v7300-logik; do
  [ -x "$bin/$program" ] || fail "kein $program in $bin (V7300_BIN=VERZEICHNIS setzen)"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display=""
for n in $(seq 150 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "kein freies Display"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb auf $display startet nicht"

# The virtual controller on 127.0.0.1:4000; the editor then listens on the next free port.
log="$work/emulate.log"
"$bin/v7300" emulate --address 127.0.0.1 --port 4000 --verbose </dev/null >"$log" 2>&1 &
emulator=$!
pids+=("$emulator")
for _ in $(seq 50); do grep -q 'Emulator auf' "$log" && break; sleep 0.1; done
if ! kill -0 "$emulator" 2>/dev/null || ! grep -q 'Emulator auf 127.0.0.1:4000' "$log"; then
  fail "der Emulator startet nicht auf 127.0.0.1:4000 (Port belegt?): $(head -3 "$log")"
fi

# A copy of the example that names 127.0.0.1 as its controller. The link starts
# at V7300_DEVICE; a project opened through "Öffnen" turns it to the project's
# address. Both say 127.0.0.1.
project="$work/treppenlicht.v7k"
"$bin/v7300" dump "$example" |
  sed 's#<V7300NETIO.IP>[^<]*</V7300NETIO.IP>#<V7300NETIO.IP>127.0.0.1</V7300NETIO.IP>#' >"$work/treppenlicht.xml"
"$bin/v7300" pack "$work/treppenlicht.xml" -o "$project" >/dev/null
"$bin/v7300" info "$project" | grep -x 'address 127.0.0.1' >/dev/null || fail "die Kopie des Beispiels nennt nicht 127.0.0.1"

# The controller runs this very program: the live view stops at a foreign checksum.
"$bin/v7300" upload "$project" --device 127.0.0.1 >"$work/upload.log" 2>&1 ||
  fail "Übertragung zum Emulator gescheitert: $(tail -3 "$work/upload.log")"
crc=$("$bin/v7300" checksum "$project")
crcBytes=$(printf '%02X %02X' $((crc >> 8 & 0xFF)) $((crc & 0xFF)))

# The emulator's log lines from line $1 on that begin with $2: how many, the first.
countFrom() { awk -v from="$1" -v head="$2" 'NR >= from && index($0, head) == 1 { n++ } END { print n + 0 }' "$log"; }
firstFrom() { awk -v from="$1" -v head="$2" 'NR >= from && index($0, head) == 1 { print; exit }' "$log"; }

editorStart=$(($(wc -l <"$log") + 1))
DISPLAY="$display" HOME="$work" V7300_SETTINGS="$work/config.ini" V7300_NO_START_PAUSE=1 \
  V7300_DEVICE=127.0.0.1 "$bin/v7300-logik" "$project" >"$work/editor.log" 2>&1 &
editor=$!
pids+=("$editor")

# Connected once the controller has answered a few of the link watch's pings.
for _ in $(seq 300); do
  [ "$(countFrom "$editorStart" '-> PING')" -ge 5 ] && break
  kill -0 "$editor" 2>/dev/null || fail "der Editor hat sich beendet: $(tail -3 "$work/editor.log")"
  sleep 0.1
done
[ "$(countFrom "$editorStart" '-> PING')" -ge 5 ] || fail "der Editor verbindet sich nicht mit 127.0.0.1"

# The main window (the one at its stored place, not Qt's helper windows). The
# toolbar's live-view button stands at 143..166 × 3..23 under the menu bar of
# some 22 pixels: its middle is at 154, 35 in the window.
window=""
for _ in $(seq 100); do
  for id in $(DISPLAY="$display" xdotool search --name '^V7300 - Logik' 2>/dev/null); do
    size=$(DISPLAY="$display" xdotool getwindowgeometry "$id" | awk '/Geometry/ {print $2}')
    [ "${size%x*}" -ge 200 ] 2>/dev/null && { window=$id; break; }
  done
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "kein Hauptfenster auf $display"
# A click that came before the window was up is repeated.
liveStart=$(($(wc -l <"$log") + 1))
for _ in 1 2 3; do
  sleep 1 # the link watch's next ticks enable the button
  DISPLAY="$display" xdotool mousemove --window "$window" 154 35 click 1
  for _ in $(seq 20); do
    [ "$(countFrom "$liveStart" '<- LOGIK_OUTPUT (18)')" -gt 0 ] && break 2
    sleep 0.1
  done
done

# Running: the live requests (code 18) keep coming and the replies carry this
# program's checksum.
[ "$(countFrom "$liveStart" '<- LOGIK_OUTPUT (18)')" -gt 0 ] || fail "keine Live-Anfragen: die LiveView läuft nicht"
sleep 3
[[ "$(firstFrom "$liveStart" '-> LOGIK_OUTPUT (18)')" == *"["??" $crcBytes "* ]] ||
  fail "der Emulator antwortet mit fremder Prüfsumme (erwartet $crcBytes)"

ticks() { awk '{print $14 + $15}' "/proc/$editor/stat"; }
hz=$(getconf CLK_TCK)
load0=$(cut -d' ' -f1 /proc/loadavg)
asked0=$(countFrom "$liveStart" '<- LOGIK_OUTPUT (18)')
answered0=$(countFrom "$liveStart" '-> LOGIK_OUTPUT (18)')
t0=$(ticks)
start=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks)
end=$(date +%s.%N)
asked1=$(countFrom "$liveStart" '<- LOGIK_OUTPUT (18)')
answered1=$(countFrom "$liveStart" '-> LOGIK_OUTPUT (18)')
load1=$(cut -d' ' -f1 /proc/loadavg)
kill -0 "$editor" 2>/dev/null || fail "der Editor hat sich während der Messung beendet"
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$start" -v e="$end" \
  'BEGIN { printf "LiveView: %.2f %% eines Kerns über %.1f s\n", (b - a) / hz / (e - s) * 100, e - s }'
# The live requests the controller answered meanwhile: the live view was at work.
awk -v n="$((answered1 - answered0))" -v m="$((asked1 - asked0))" -v s="$start" -v e="$end" \
  'BEGIN { printf "Live-Anfragen beantwortet: %d von %d (%.1f je s)\n", n, m, n / (e - s) }'
# Two cores may be shared: the machine's load tells how far to trust the figure.
echo "Systemlast (1 min): $load0 zu Beginn, $load1 am Ende"
[ "$((answered1 - answered0))" -gt 0 ] || fail "die LiveView ist während der Messung stehen geblieben"
