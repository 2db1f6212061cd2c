#!/usr/bin/env bash
# scripts/setup.sh on a machine whose package archive is mid-sync, with a
# stand-in apt-get that fails as the real one does then:
#   setup_test.sh SETUP_SCRIPT
# each row: index updates that fail before one works, whether the install
# works, and what the set-up must do (exit status, updates tried, a message).
set -uo pipefail
setup=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-setup.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# Every package is missing, i386 is known, and we are root: only apt-get acts.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
cat >"$work/bin/apt-get" <<'STAND_IN'
#!/bin/sh
echo "$1" >>"$APT_CALLS"
case "$1" in
  update)
    failures=$(grep -c '^update$' "$APT_CALLS")
    if [ "$failures" -le "$APT_UPDATE_FAILURES" ]; then
      echo "E: File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      exit 100
    fi ;;
  install) [ "$APT_INSTALL_WORKS" = yes ] || { echo "E: held broken packages" >&2; exit 100; } ;;
esac
exit 0
STAND_IN
chmod +x "$work/bin/"*

failed=0
# update failures, install works, expected exit, expected updates, expected message
while read -r failures works status updates message; do
  : >"$work/calls"
  APT_CALLS="$work/calls" APT_UPDATE_FAILURES=$failures APT_INSTALL_WORKS=$works \
    VELMO_APT_PAUSE=0 PATH="$work/bin:$PATH" bash "$setup" >"$work/out" 2>&1
  got=$?
  got_updates=$(grep -c '^update$' "$work/calls")
  got_installs=$(grep -c '^install$' "$work/calls")
  if [ "$got" -ne "$status" ] || [ "$got_updates" -ne "$updates" ] || [ "$got_installs" -ne 1 ] ||
     { [ "$message" != - ] && ! grep -q "$message" "$work/out"; }; then
    echo "FAIL: $failures failing updates, install $works: exit $got, $got_updates updates," \
         "$got_installs installs; wanted exit $status, $updates updates, '$message'" >&2
    sed 's/^/  | /' "$work/out" >&2
    failed=1
  fi
done <<'ROWS'
0 yes 0 1 -
2 yes 0 3 -
9 yes 0 4 trying.again
9 no 1 4 try.again.later
ROWS
[ "$failed" -eq 0 ] && echo "setup_test: every row passed"
exit "$failed"
