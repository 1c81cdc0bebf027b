#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor with an example project.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
example="examples/treppenlicht.v7k"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden (DISPLAY/WAYLAND_DISPLAY ist nicht gesetzt)." >&2
  echo "Der Editor braucht eine Desktop-Sitzung. Starten Sie ihn dort mit:" >&2
  echo "  build/bin/v7300-logik $example" >&2
  echo "Ohne Fenster arbeitet das Kommandozeilenwerkzeug, z. B.: build/bin/v7300 library list" >&2
  exit 1
fi
exec build/bin/v7300-logik "$example"
