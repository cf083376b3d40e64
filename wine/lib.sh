# Shared shell functions for running the Windows test programs under 32-bit Wine.
# Sourced by setup-prefix.sh, run-suite.sh, run-mutants.sh and run-demo.sh; not run on its own.

# Time limits (seconds) for every Wine command.
: "${QW_PREFIX_TIMEOUT:=600}"
: "${QW_LAUNCH_TIMEOUT:=300}"
: "${QW_SHORT_TIMEOUT:=120}"
: "${QW_RETRIES:=3}"

qw_log() { echo "[wine $(date +%H:%M:%S)] $*" >&2; }

# Skip (exit 77), or fail when running in CI, where a skip counts as a failure.
qw_skip() {
  echo "skipped: $*"
  if [ "${CI:-}" = true ]; then
    echo "CI=true: a skipped Wine suite counts as a failure" >&2
    exit 1
  fi
  exit 77
}

# Make 32-bit ELF binaries runnable: kernels without IA-32 support need qemu-i386
# registered with binfmt_misc (flag F so it works inside other mount namespaces).
qw_ensure_i386() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    return 0
  fi
  local bm=/proc/sys/fs/binfmt_misc
  [ -x /usr/bin/qemu-i386-static ] || qw_skip "32-bit binaries cannot run and qemu-i386-static is not installed"
  if [ ! -e "$bm/register" ]; then
    mount -t binfmt_misc binfmt_misc "$bm" 2>/dev/null ||
      qw_skip "cannot mount binfmt_misc (needs root) to run 32-bit Wine"
  fi
  if [ ! -e "$bm/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      > "$bm/register" 2>/dev/null || qw_skip "cannot register qemu-i386 with binfmt_misc"
  fi
  [ "$(head -1 "$bm/qemu-i386" 2>/dev/null)" = enabled ] || echo 1 > "$bm/qemu-i386"
  # Under qemu before 8, Wine's processes crash while a session starts and take a minute each.
  local major
  major=$(qemu-i386-static --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\).*/\1/p')
  [ "${major:-0}" -ge 8 ] ||
    qw_skip "qemu-i386-static ${major:-?}.x is too old to run 32-bit Wine reliably (scripts/install-deps.sh installs qemu 10)"
  /usr/lib/wine/wine --version >/dev/null 2>&1 || qw_skip "32-bit Wine still cannot start after the binfmt_misc registration"
}

# qw_env <state-dir>: exports the Wine environment for one state folder.
qw_env() {
  local state
  state=$(cd "$1" && pwd)
  export QW_STATE="$state"
  export WINEPREFIX="$state/prefix"
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEDEBUG=-all
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  command -v wine >/dev/null || qw_skip "wine is not installed"
  command -v wineserver >/dev/null || qw_skip "wineserver is not installed"
}

# Stop this prefix's wineserver (and with it every Wine process of the prefix).
qw_server_stop() {
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w >/dev/null 2>&1 || true
}

# Process ids of this prefix's Wine (or emulated Wine) processes, one a line, with their command
# lines; only those whose command line matches the extended regular expression, if one is given.
# Our own scripts and timeout wrappers are not Wine processes.
qw_prefix_processes() {
  local pattern=${1:-.} p exe cmd
  for p in /proc/[0-9]*; do
    exe=$(readlink "$p/exe" 2>/dev/null) || continue
    case $exe in /usr/bin/qemu-i386|/usr/bin/qemu-i386-static|/usr/lib/wine/*|/usr/lib/i386-linux-gnu/wine/*) ;; *) continue ;; esac
    tr '\0' '\n' < "$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    cmd=$(tr '\0' ' ' < "$p/cmdline" 2>/dev/null | cut -c1-100)
    printf '%s\n' "$cmd" | grep -Eq "$pattern" && printf '%s %s\n' "${p#/proc/}" "$cmd"
  done
  return 0
}

# Kills what is left of this prefix's Wine processes after its wineserver vanished (they would
# spin for ever).
qw_kill_strays() {
  local pid cmd
  qw_prefix_processes | while read -r pid cmd; do
    qw_log "killing stray Wine process $pid: $cmd"
    kill -9 "$pid" 2>/dev/null || true
  done
}

# Linux path -> path as the Windows programs see it through drive Z:.
qw_winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# ---------------------------------------------------------------------------------------------
# Run preparation shared by the runners (through qw_begin).
# qw_prepare <win32-build-dir> <state-dir>: checks the build, sets up the prefix, installs the
# programs into it, starts Xvfb and one persistent wineserver. Sets QW_BIN (Windows folder of the
# host programs), QW_PLUGIN (and QW_PLUGIN_FILE, the same file seen from Linux), QW_WORK.
qw_prepare() {
  local build=$1 state=$2 here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  [ -f "$build/Quindle.dll" ] || qw_skip "no Quindle.dll in $build (run the cross build first)"
  for f in wine/quindle-host.exe wine/quindle-host-no-setstatus.exe wine/quindle-host-no-connect.exe \
           wine/quindle-host-no-nextunread.exe wine/mcirec.dll; do
    [ -f "$build/$f" ] || qw_skip "no $f in $build (the cross build did not make the Wine test programs)"
  done
  command -v Xvfb >/dev/null || qw_skip "Xvfb is not installed"
  mkdir -p "$state/logs"
  local t0
  t0=$(date +%s)
  timeout "$((QW_PREFIX_TIMEOUT * 2 + 300))" "$here/setup-prefix.sh" "$state" "$build/wine/mcirec.dll" ||
    { echo "infra: the Wine prefix could not be set up" >&2; return 2; }
  qw_env "$state"
  qw_log "prefix ready after $(( $(date +%s) - t0 )) s"

  local c="$WINEPREFIX/drive_c/qtest"
  rm -rf "$c/bin" "$c/work" "$c/plugins"
  mkdir -p "$c/bin" "$c/work" "$c/plugins" "$QW_STATE/shot"
  cp "$build"/wine/quindle-host*.exe "$c/bin/"
  QW_PLUGIN_FILE="$c/plugins/Quindle.dll"
  cp "$build/Quindle.dll" "$QW_PLUGIN_FILE"
  QW_BIN='C:\qtest\bin'
  QW_PLUGIN='C:\qtest\plugins\Quindle.dll'
  QW_WORK='C:\qtest\work'

  # X display for the dialog (and Wine's virtual desktop).
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >"$QW_STATE/logs/xvfb.log" 2>&1 &
  QW_XVFB_PID=$!
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { rm -f "$fdfile"; echo "infra: Xvfb did not start" >&2; return 2; }
  export DISPLAY=":$(head -1 "$fdfile")"
  rm -f "$fdfile"
  trap qw_cleanup EXIT
  rm -f "$QW_STATE/logs/"*.result "$QW_STATE/logs/infra.log"
  qw_session_start || { echo "infra: the Wine session did not start" >&2; return 2; }
}

# qw_begin <usage> <win32-build-dir> <state-dir>: the common start of every runner: checks its two
# arguments, readies 32-bit Wine and its environment, then qw_prepare. Sets QW_BUILD (absolute).
qw_begin() {
  local usage=$1
  if [ $# -ne 3 ]; then echo "usage: $usage" >&2; exit 2; fi
  QW_BUILD=$(cd "$2" 2>/dev/null && pwd) || qw_skip "win32 build folder $2 does not exist"
  mkdir -p "$3"
  qw_ensure_i386
  qw_env "$3"
  qw_prepare "$QW_BUILD" "$QW_STATE"
}

qw_cleanup() {
  qw_server_stop
  if [ -n "${QW_XVFB_PID:-}" ]; then kill "$QW_XVFB_PID" 2>/dev/null || true; fi
}

# Answers screenshot requests of the test host while the given process runs:
# qw_screenshot_server <pid> <png>
qw_screenshot_server() {
  local pid=$1 png=$2 req="$QW_STATE/shot/shot-request.txt" x y w h
  while kill -0 "$pid" 2>/dev/null; do
    if [ -f "$req" ]; then
      read -r x y w h < <(tr -d '\r' < "$req")
      rm -f "$req"
      if import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$png" 2>>"$QW_STATE/logs/import.log"; then
        qw_log "screenshot ${w}x${h}+${x}+${y} -> $png"
      fi
      : > "$QW_STATE/shot/shot-done.txt"
    fi
    sleep 0.5
  done
}

# Starts this run's Wine session: one persistent wineserver, then the test host's "env" group so
# that the session's own processes (wineboot, services, the mount manager, the desktop) come up
# before any test program and outside the test programs' process groups; the group checks code
# page 932, D: as a CD-ROM drive and that a window can be made. Retries a dead or broken start
# (under emulation a service sometimes crashes on the way up). Returns 2 when it never came up.
qw_session_start() {
  local attempt t0 out
  for attempt in $(seq 1 "$QW_RETRIES"); do
    t0=$(date +%s)
    timeout "$QW_SHORT_TIMEOUT" wineserver -p || true
    out=$(timeout --foreground -k 30 "$QW_LAUNCH_TIMEOUT" wine "$QW_BIN\\quindle-host.exe" --plugin "$QW_PLUGIN" \
          --work "$QW_WORK" env 2>>"$QW_STATE/logs/session.log" | tr -d '\r') || true
    printf '%s\n' "$out" >> "$QW_STATE/logs/session.log"
    if printf '%s\n' "$out" | grep -q '^wine-suite: [0-9]* passed, 0 failed$'; then
      qw_log "Wine session up in $(( $(date +%s) - t0 )) s (attempt $attempt)"
      return 0
    fi
    qw_log "Wine session start failed after $(( $(date +%s) - t0 )) s (attempt $attempt)"
    echo "infra: session start attempt $attempt failed" >> "$QW_STATE/logs/infra.log"
    qw_server_stop
    qw_kill_strays
  done
  return 2
}

# A launch that died leaves the session in an unknown state: start a fresh one.
qw_session_restart() {
  qw_server_stop
  qw_kill_strays
  qw_session_start
}

# qw_attempt <name> <attempt> <host-args...>: one launch of the test host. Sets QW_LAUNCH_STATUS
# to pass | fail | infra; result lines go to $QW_STATE/logs/<name>.result. Only the host itself
# is under the time limit (--foreground), so a kill does not take the session's processes along.
qw_attempt() {
  local name=$1 attempt=$2 rc=0 log t0 why=""
  shift 2
  log="$QW_STATE/logs/$name-attempt$attempt.log"
  rm -f "$QW_STATE/shot/shot-request.txt" "$QW_STATE/shot/shot-done.txt"
  t0=$(date +%s)
  timeout --foreground -k 30 "$QW_LAUNCH_TIMEOUT" wine "$QW_BIN\\quindle-host.exe" "$@" >"$log" 2>"$log.stderr" &
  local pid=$!
  if [ "$name" = dialog ]; then qw_screenshot_server "$pid" "$QW_STATE/dialog.png" & fi
  wait "$pid" || rc=$?
  tr -d '\r' < "$log" > "$log.lf"
  if [ $rc = 124 ] || [ $rc = 137 ]; then
    why="timed out after $QW_LAUNCH_TIMEOUT s"
  elif grep -q 'qemu: uncaught target signal' "$log.stderr" "$log"; then
    why="qemu: $(grep -h -m1 'qemu: uncaught target signal' "$log.stderr" "$log")"
  elif ! grep -q '^wine-suite: ' "$log.lf"; then
    why="no closing line (exit code $rc)"
  elif grep -q '^infra ' "$log.lf"; then
    why="$(grep -m1 '^infra ' "$log.lf")"
  fi
  qw_log "$name attempt $attempt: exit $rc after $(( $(date +%s) - t0 )) s${why:+ ($why)}"
  if [ -n "$why" ]; then
    echo "infra: $name attempt $attempt: $why" >> "$QW_STATE/logs/infra.log"
    { echo "# $name: not complete (infrastructure, attempt $attempt): $why"
      grep -E '^(ok|FAIL) ' "$log.lf" | sed 's/^/# partial: /' || true; } > "$QW_STATE/logs/$name.result"
    QW_LAUNCH_STATUS=infra
    return 0
  fi
  grep -E '^(ok|FAIL|#|demo:|wine-suite:) ?' "$log.lf" > "$QW_STATE/logs/$name.result" || true
  if grep -q '^wine-suite: [0-9]* passed, 0 failed$' "$log.lf" && ! grep -q '^FAIL ' "$log.lf" && [ $rc = 0 ]; then
    QW_LAUNCH_STATUS=pass
  else
    QW_LAUNCH_STATUS=fail
  fi
}

# qw_launch <name> <host-args...>: attempts until one completes, at most QW_RETRIES, with a fresh
# session before each retry.
qw_launch() {
  local name=$1 attempt
  shift
  for attempt in $(seq 1 "$QW_RETRIES"); do
    if [ "$attempt" -gt 1 ]; then qw_session_restart || { QW_LAUNCH_STATUS=infra; return 0; }; fi
    qw_attempt "$name" "$attempt" "$@"
    [ "$QW_LAUNCH_STATUS" = infra ] || return 0
  done
}
