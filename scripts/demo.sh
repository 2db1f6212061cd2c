#!/usr/bin/env bash
# Runs the demo: orla-server with simulated users on 127.0.0.1:4000 and the
# host program palaver.exe under Wine, loading every plug-in built so far.
# With a display the host opens on it and the demo ends when you close it;
# without one it runs on a virtual display for a few seconds and saves a
# screenshot to build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target orla-server
cmake --preset windows >/dev/null
cmake --build --preset windows --target palaver

mkdir -p build/demo
build/native/server/orla-server --demo --port 4000 </dev/null >build/demo/server.log 2>&1 &
server=$!
had_display=${DISPLAY:-}
cleanup() {
  kill "$server" 2>/dev/null || true
  scripts/wine-session.sh stop build/windows/wine >/dev/null
}
trap cleanup EXIT
scripts/wine-session.sh start build/windows/wine
source scripts/wine-env.sh build/windows/wine

plugins=()
for dll in build/windows/plugin/*.dll; do
  [ -e "$dll" ] && plugins+=(--plugin "$(winepath -w "$dll")")
done
[ ${#plugins[@]} -gt 0 ] || echo "demo: no client plug-in is built yet; the host starts without it"
echo "demo: orla-server --demo is listening on 127.0.0.1:4000 (log: build/demo/server.log)"

if [ -n "$had_display" ]; then
  wine build/windows/host/palaver.exe "${plugins[@]}" </dev/null >build/demo/host.log 2>&1
else
  wine build/windows/host/palaver.exe "${plugins[@]}" </dev/null >build/demo/host.log 2>&1 &
  host=$!
  sleep 8
  import -display "$DISPLAY" -window root build/demo/host.png
  kill "$host" 2>/dev/null || true
  echo "demo: no display; screenshot saved to build/demo/host.png"
fi
