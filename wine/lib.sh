# Shared shell functions for running the Windows test programs under 32-bit Wine.
# Sourced by setup-prefix.sh, run-suite.sh and run-demo.sh; not run on its own.

# Time limits (seconds) for every Wine command.
: "${QW_PREFIX_TIMEOUT:=1500}"
: "${QW_LAUNCH_TIMEOUT:=480}"
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
  /usr/lib/wine/wine --version >/dev/null 2>&1 || qw_skip "32-bit Wine still cannot start after the binfmt_misc registration"
}

# qw_env <state-dir>: exports the Wine environment for one state folder.
qw_env() {
  local state
  state=$(cd "$1" && pwd)
  export QW_STATE="$state"
  export WINEPREFIX="$state/prefix"
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml="
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

# Linux path -> path as the Windows programs see it through drive Z:.
qw_winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
