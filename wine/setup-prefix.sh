#!/usr/bin/env bash
# Creates (once) and configures the 32-bit Wine prefix of one state folder:
#   drives C: fixed, D: and E: CD-ROM (empty folders), Z: fixed (/), nothing else;
#   "cdaudio" routed to the recording MCI driver C:\qtest\mcirec.dll;
#   title bars drawn by Wine itself, so that windows show them under a bare X server.
# Usage: setup-prefix.sh <state-dir> [<recorder-dll>]
# Creation (about 20 seconds under qemu 10) is cached by the marker file <state>/prefix.ready;
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
  local t0 deadline log="$QW_STATE/prefix-create-$1.log"
  t0=$(date +%s)
  deadline=$(( t0 + QW_PREFIX_TIMEOUT ))
  rm -rf "$WINEPREFIX"
  qw_log "creating prefix $WINEPREFIX (WINEARCH=win32), attempt $1"
  # Under emulation the first process may give up waiting for the prefix's initialisation
  # ("could not load kernel32.dll") while the initialisation goes on in the background: its exit
  # code is not the verdict. The initialisation is over once wineboot and the setup programs it
  # runs have ended.
  timeout "$QW_PREFIX_TIMEOUT" wineboot -i >"$log" 2>&1 || qw_log "wineboot -i exited with $? (see $log)"
  while [ -n "$(qw_prefix_processes 'wineboot|rundll32|winemenubuilder|regsvr32')" ]; do
    if [ "$(date +%s)" -ge $deadline ]; then
      qw_log "prefix initialisation still running after $QW_PREFIX_TIMEOUT s"
      break
    fi
    sleep 5
  done
  # What is left (services, device drivers, the desktop) has nothing more to do, but under
  # emulation it sometimes never notices that the session is over: a short wait, then stop.
  timeout 60 wineserver -w || true
  qw_server_stop
  qw_kill_strays
  if [ "$(date +%s)" -ge $deadline ] || ! grep -qi '^cdaudio=' "$WINEPREFIX/drive_c/windows/system.ini" 2>/dev/null ||
     [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] ||
     ! grep -q '^\[System\\\\CurrentControlSet\\\\Services\\\\MountMgr\]' "$WINEPREFIX/system.reg" 2>/dev/null ||
     [ ! -f "$WINEPREFIX/user.reg" ]; then
    qw_log "prefix creation failed after $(( $(date +%s) - t0 )) s (log $log)"
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

# Services: of those that start with every session, keep only the mount manager (drive types).
# Each further process slows a session's start under emulation, and the event log, network and
# plug-and-play services are nothing the tests use.
set_reg_value() {  # file key-path name value: replaces the value in that key
  local file=$1 key=$2 name=$3 value=$4 tmp
  tmp=$(mktemp)
  QW_KEY="[$key]" QW_NAME="\"$name\"=" QW_VALUE="$value" awk '
    BEGIN { key = ENVIRON["QW_KEY"]; name = ENVIRON["QW_NAME"] }
    /^\[/ { inside = index($0, key) == 1 }
    inside && index($0, name) == 1 { $0 = name ENVIRON["QW_VALUE"]; found = 1 }
    { print }
    END { exit !found }' "$file" > "$tmp" || { rm -f "$tmp"; echo "infra: no $name in $key" >&2; exit 2; }
  cat "$tmp" > "$file"
  rm -f "$tmp"
}
# (Which of them a prefix has varies: a setup step that died under emulation leaves some out.)
for service in Eventlog NDIS nsiproxy PlugPlay; do
  grep -qF "[System\\\\CurrentControlSet\\\\Services\\\\$service]" "$WINEPREFIX/system.reg" || continue
  set_reg_value "$WINEPREFIX/system.reg" "System\\\\CurrentControlSet\\\\Services\\\\$service" Start dword:00000004
done

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
