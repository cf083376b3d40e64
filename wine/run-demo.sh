#!/usr/bin/env bash
# Shows the plug-in at work: loads the cross-built Quindle.dll into the test host under Wine,
# simulates a fetch of three new messages with "Drive" = all drives (D: and E:, both CD-ROM drives
# of the Wine prefix) and prints the tray commands that reached the recording MCI driver.
# Usage: run-demo.sh <win32-build-dir> <state-dir>   (the first run also creates the Wine prefix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

echo "demo: preparing the 32-bit Wine prefix in ${2:-?} (made once, then reused)"
qw_begin "run-demo.sh <win32-build-dir> <state-dir>" "$@" || { echo "demo: not run (infrastructure)"; exit 1; }
echo "demo: starting the test host under Wine"
qw_launch demo --plugin "$QW_PLUGIN" --work "$QW_WORK" demo
grep -E '^(demo:|ok |FAIL )' "$QW_STATE/logs/demo.result" || true
case $QW_LAUNCH_STATUS in
  pass) echo "demo: the plug-in opened the trays of D: and E:"; exit 0 ;;
  fail) echo "demo: FAILED (see above)"; exit 1 ;;
  *) echo "demo: Wine did not complete the run (see $QW_STATE/logs)"; exit 1 ;;
esac
