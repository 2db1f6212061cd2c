#!/usr/bin/env bash
# Runs the demo: orla-server with simulated users on a free port of 127.0.0.1
# and the host program palaver.exe under Wine with the client plug-in
# velmo.dll.
# With a display the host opens on it, ready to connect (the address and a
# nickname to type are printed here), and the demo ends when you close it.
# Without one, scripts/tour/demo_tour.exe drives the client through its
# windows on a virtual display (connect, chat in a channel, open five
# channels) and the screenshots go to build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# A shell that started before setup made the ja_JP.UTF-8 locale cannot switch
# to it (bash warns "cannot change locale" where wine-env.sh sets it): the
# rest runs in a new shell, which can.
if [ -z "${VELMO_DEMO_AFTER_SETUP:-}" ]; then
  VELMO_DEMO_AFTER_SETUP=1 exec bash "$0" "$@"
fi
cmake --preset native >/dev/null
cmake --build --preset native --target orla-server
cmake --preset windows >/dev/null
cmake --build --preset windows --target palaver velmo demo_tour

demo=build/demo
mkdir -p "$demo"
rm -f "$demo"/*.done "$demo"/*.png
# Two channels beside the demo's three, so five open channels need two rows of tabs.
channels=(雑談 lobby anime music ゲーム)
extra=(--channel 'music=Music night: share what you are listening to'
       --channel 'ゲーム=ゲームの話ならここで / games')

server=""
host=""
cleanup() {
  [ -n "$host" ] && kill "$host" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  scripts/wine-session.sh stop build/windows/wine >/dev/null
}
trap cleanup EXIT

# The first port from 4000 on that is free; the server's first line says it listens.
port=""
for candidate in $(seq 4000 4019); do
  # Made here, not by the redirect below: the server's shell may open it only
  # after the first grep has looked.
  : >"$demo/server.out"
  build/native/server/orla-server --demo --port "$candidate" "${extra[@]}" \
    </dev/null >"$demo/server.out" 2>"$demo/server.log" &
  server=$!
  while kill -0 "$server" 2>/dev/null && ! grep -q '^orla-server: listening' "$demo/server.out"; do
    sleep 0.05
  done
  if grep -q '^orla-server: listening' "$demo/server.out"; then
    port=$candidate
    break
  fi
  wait "$server" || true
  server=""
  if ! grep -qi 'in use' "$demo/server.log"; then
    echo "demo: orla-server did not start on port $candidate:" >&2
    cat "$demo/server.log" >&2
    exit 1
  fi
done
if [ -z "$port" ]; then
  echo "demo: ports 4000 to 4019 of 127.0.0.1 are all in use; free one and run again" >&2
  exit 1
fi
address=127.0.0.1:$port
echo "demo: orla-server --demo is listening on $address (log: $demo/server.log)"

had_display=${DISPLAY:-}
scripts/wine-session.sh start build/windows/wine
source scripts/wine-env.sh build/windows/wine
velmo=(--plugin "$(winepath -w build/windows/plugin/velmo.dll)")

if [ -n "$had_display" ]; then
  echo "demo: in the window \"Orlaマネージャー\", type the server address $address into"
  echo "demo: サーバアドレス, keep the nickname it offers or type one (say guest$((RANDOM % 1000))),"
  echo "demo: then press 接続 (connect), pick a channel from the list and press 入室 (join)"
  wine build/windows/host/palaver.exe "${velmo[@]}" </dev/null >"$demo/host.log" 2>&1
  exit 0
fi

wine build/windows/host/palaver.exe "${velmo[@]}" </dev/null >"$demo/host.log" 2>&1 &
host=$!
: >"$demo/tour.out"
wine build/windows/scripts/tour/demo_tour.exe "$address" velmo-demo "$(winepath -w "$PWD/$demo")" \
  "${channels[@]}" </dev/null >"$demo/tour.out" 2>"$demo/tour.log" &
tour=$!
# Each "ready NAME LEFT TOP WIDTH HEIGHT" of the tour: a picture of the host window.
taken=0
while kill -0 "$tour" 2>/dev/null || [ "$(grep -c '^ready ' "$demo/tour.out")" -gt "$taken" ]; do
  while read -r _ name left top width height; do
    import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage \
      "$demo/$name.png"
    touch "$demo/$name.done"
    echo "demo: screenshot $demo/$name.png"
    taken=$((taken + 1))
  done < <(grep '^ready ' "$demo/tour.out" | tail -n +$((taken + 1)))
  sleep 0.1
done
if ! wait "$tour"; then
  import -display "$DISPLAY" -window root "$demo/failed.png"
  echo "demo: the tour failed (the screen then: $demo/failed.png):" >&2
  cat "$demo/tour.log" >&2
  exit 1
fi
# The tour closed the host's window as its user would; the program ends after it.
for _ in $(seq 200); do
  kill -0 "$host" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$host" 2>/dev/null; then
  echo "demo: palaver.exe was still running 20 s after its window closed (log: $demo/host.log)" >&2
  exit 1
fi
host=""
rm -f "$demo"/*.done
echo "demo: the tour is done; screenshots: $demo/online.png $demo/channel.png $demo/tabs.png $demo/marker.png"
