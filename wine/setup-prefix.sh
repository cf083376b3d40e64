#!/usr/bin/env bash
# Creates (once) and configures the 32-bit Wine prefix of one state folder:
#   drives C: fixed, D: and E: CD-ROM (empty folders), Z: fixed (/), nothing else;
#   "cdaudio" routed to the recording MCI driver C:\qtest\mcirec.dll;
#   title bars drawn by Wine itself, so that windows show them under a bare X server.
# Usage: setup-prefix.sh <state-dir> [<recorder-dll>]
# Creation (about 9 minutes under emulation) is cached by the marker file <state>/prefix.ready;
# configuration edits the prefix's files directly while its wineserver is down, so it costs no launch.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

state=${1:?usage: setup-prefix.sh <state-dir> [<recorder-dll>]}
recorder=${2:-}
mkdir -p "$state"
qw_ensure_i386
qw_env "$state"

create_prefix() {
  local t0 rc=0 log="$QW_STATE/prefix-create-$1.log"
  t0=$(date +%s)
  rm -rf "$WINEPREFIX"
  qw_log "creating prefix $WINEPREFIX (WINEARCH=win32), attempt $1"
  # Under emulation the first process gives up waiting for the prefix's initialisation after a
  # few minutes ("could not load kernel32.dll") while the initialisation itself goes on in the
  # background: its exit code is not the verdict; waiting for the server to go idle and then
  # looking at the prefix is.
  timeout "$QW_PREFIX_TIMEOUT" wineboot -i >"$log" 2>&1 || qw_log "wineboot -i exited with $? (see $log)"
  local left=$(( QW_PREFIX_TIMEOUT - ($(date +%s) - t0) ))
  [ $left -gt 60 ] || left=60
  timeout "$left" wineserver -w || rc=$?
  qw_server_stop
  qw_kill_strays
  if [ $rc != 0 ] || ! grep -qi '^cdaudio=' "$WINEPREFIX/drive_c/windows/system.ini" 2>/dev/null ||
     [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] || [ ! -f "$WINEPREFIX/user.reg" ]; then
    qw_log "prefix creation failed (exit $rc after $(( $(date +%s) - t0 )) s, log $log)"
    return 1
  fi
  echo "$(( $(date +%s) - t0 ))" > "$QW_STATE/prefix-create.seconds"
  qw_log "prefix created in $(cat "$QW_STATE/prefix-create.seconds") s"
}

if [ ! -f "$QW_STATE/prefix.ready" ]; then
  # A hung or broken creation is retried once from scratch.
  create_prefix 1 || create_prefix 2 || { echo "infra: Wine prefix creation failed twice" >&2; exit 2; }
  touch "$QW_STATE/prefix.ready"
fi

# --- configuration (idempotent; the server must be down while files are edited) ---
qw_server_stop

# Drives: exactly c: d: e: z:.
mkdir -p "$QW_STATE/cd-d" "$QW_STATE/cd-e" "$WINEPREFIX/drive_c/qtest/plugins" "$WINEPREFIX/drive_c/qtest/work"
dd="$WINEPREFIX/dosdevices"
find "$dd" -mindepth 1 -maxdepth 1 ! -name 'c:' -exec rm -f {} +
ln -sfn ../drive_c "$dd/c:"
ln -sfn "$QW_STATE/cd-d" "$dd/d:"
ln -sfn "$QW_STATE/cd-e" "$dd/e:"
ln -sfn / "$dd/z:"

# Registry: drive types (read by mountmgr at start) and the virtual desktop.
# Keys are rewritten as whole sections so that repeated runs leave one copy.
set_reg_section() {  # file key-path body (empty body: remove the key)
  local file=$1 key=$2 body=$3 tmp
  tmp=$(mktemp)
  QW_KEY="[$key]" awk '
    BEGIN { key = ENVIRON["QW_KEY"] }
    index($0, key) == 1 { skip = 1; next }
    skip && /^\[/ { skip = 0 }
    !skip { print }' "$file" > "$tmp"
  [ -z "$body" ] || printf '\n[%s] %s\n%s\n' "$key" "$(date +%s)" "$body" >> "$tmp"
  cat "$tmp" > "$file"
  rm -f "$tmp"
}
set_reg_section "$WINEPREFIX/system.reg" 'Software\\Wine\\Drives' \
'"c:"="hd"
"d:"="cdrom"
"e:"="cdrom"
"z:"="hd"'
# No virtual desktop (its start raced under emulation: "BadWindow" in X_CreateWindow killed
# programs); instead Wine draws the title bars itself, so screenshots under a bare X server
# show them.
set_reg_section "$WINEPREFIX/user.reg" 'Software\\Wine\\Explorer' ''
set_reg_section "$WINEPREFIX/user.reg" 'Software\\Wine\\Explorer\\Desktops' ''
set_reg_section "$WINEPREFIX/user.reg" 'Software\\Wine\\X11 Driver' '"Decorated"="N"
"Managed"="N"'

# MCI: the "cdaudio" device type loads the recording driver instead of mcicda.
ini="$WINEPREFIX/drive_c/windows/system.ini"
if grep -qi '^cdaudio=' "$ini"; then
  sed -i 's/^[Cc][Dd][Aa][Uu][Dd][Ii][Oo]=.*/cdaudio=C:\\qtest\\mcirec.dll\r/' "$ini"
else
  echo "infra: $ini has no cdaudio line to reroute" >&2
  exit 2
fi
if [ -n "$recorder" ]; then
  cp "$recorder" "$WINEPREFIX/drive_c/qtest/mcirec.dll"
fi
exit 0
