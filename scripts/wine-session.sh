#!/usr/bin/env bash
# Starts or stops the Wine session shared by a test run:
#   wine-session.sh start|start-clean|stop STATE_DIR
# start: a virtual display when none is set, the project's own Wine prefix
# (made once, with windows unmanaged and Japanese font replacements) and one
# persistent wineserver, so each Wine start costs about 0.1 s.
# start-clean: the same with the prefix as Wine makes it and nothing added,
# as a user's machine is (the package test).
# stop: ends the wineserver and the display that start began.
# Wine's output always goes to files: the services it leaves running would
# inherit a pipe and keep it open forever.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
source "$here/wine-env.sh" "$2"
log="$wine_dir/session.log"

start_display() {
  [ -n "${DISPLAY:-}" ] && return
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >>"$log" 2>&1 &
  echo $! >"$wine_dir/xvfb.pid"
  local ready=0
  for _ in $(seq 100); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then
      ready=1
      break
    fi
    sleep 0.1
  done
  if [ "$ready" != 1 ]; then
    echo "wine-session: Xvfb on :$n did not answer within 10 s (log: $log)" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
  echo ":$n" >"$wine_dir/display"
  export DISPLAY=":$n"
}

make_prefix() {
  [ -f "$WINEPREFIX/.velmo-ready" ] && return
  rm -rf "$WINEPREFIX"
  wine wineboot -i </dev/null >>"$log" 2>&1
  if [ "$action" = start-clean ]; then
    wineserver -w
    touch "$WINEPREFIX/.velmo-ready"
    return
  fi
  # Unmanaged windows: without a window manager a managed top-level window
  # takes 2 s to destroy.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$log" 2>&1
  local face
  for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'ＭＳ ゴシック' 'MS Gothic' 'MS UI Gothic'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f \
      </dev/null >>"$log" 2>&1
  done
  # Caption buttons are glyphs of the Marlett symbol font; Wine does not find
  # the packaged one by itself and draws them as "0 1 r".
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wineserver -w
  touch "$WINEPREFIX/.velmo-ready"
}

# Whether a wineserver serves this prefix: one of this user's wineserver
# processes (Debian names it wineserver32) started with this WINEPREFIX.
wineserver_running() {
  local i pid
  for i in $(seq 50); do
    # A listed process may end before its environment is read (a wine
    # start's short-lived server, another session's): grep -s takes a
    # vanished one for what it is, not this prefix's server, where reading
    # it through a shell redirect made the shell report the missing file.
    for pid in $(pgrep -u "$(id -u)" wineserver); do
      grep -qszxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" && return 0
    done
    sleep 0.1
  done
  return 1
}

case "$action" in
  start | start-clean)
    start_display
    make_prefix
    # A wineserver already running for this prefix makes -p fail; that one
    # serves as well. Any other failure to have a server is the end.
    setsid wineserver -p </dev/null >>"$log" 2>&1 || true
    if ! wineserver_running; then
      echo "wine-session: wineserver did not start (log: $log)" >&2
      tail -n 20 "$log" >&2
      exit 1
    fi
    # Load the core services once now, not inside the first test.
    if ! wine cmd /c exit </dev/null >>"$log" 2>&1; then
      echo "wine-session: wine cannot run a program in $WINEPREFIX (log: $log)" >&2
      tail -n 20 "$log" >&2
      exit 1
    fi
    echo "wine session ready: prefix $WINEPREFIX display $DISPLAY"
    ;;
  stop)
    wineserver -k </dev/null >>"$log" 2>&1 || true
    if [ -f "$wine_dir/xvfb.pid" ]; then
      kill "$(cat "$wine_dir/xvfb.pid")" 2>/dev/null || true
      rm -f "$wine_dir/xvfb.pid" "$wine_dir/display"
    fi
    echo "wine session stopped"
    ;;
  *)
    echo "usage: $0 start|start-clean|stop STATE_DIR" >&2
    exit 2
    ;;
esac
