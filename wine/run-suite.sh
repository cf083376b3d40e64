#!/usr/bin/env bash
# End-to-end suite: the cross-built Quindle.dll inside the test host under 32-bit Wine.
# Usage: run-suite.sh <win32-build-dir> <state-dir>
# Exit 0 all scenarios passed; 1 a failure (or a scenario that could not be run); 77 skipped
# ("skipped: <reason>"), which becomes 1 when CI=true.
# Two launches, each retried on infrastructure deaths (see lib.sh):
#   main:   binding (with the three host variants), calling convention, notifications, stand-in tables
#   dialog: the options dialog under Xvfb, with a screenshot saved as <state-dir>/dialog.png
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

t_start=$(date +%s)
qw_begin "run-suite.sh <win32-build-dir> <state-dir>" "$@" || { echo "wine-suite: not run (infrastructure)"; exit 1; }
common=(--plugin "$QW_PLUGIN" --work "$QW_WORK")
main_args=("${common[@]}" variants bind abi notify truth)
dialog_args=("${common[@]}" --shot "$(qw_winpath "$QW_STATE/shot")" dialog)

# launch_and_report <name> <host-args...>: one launch (with its retries), then its result lines.
status=0
launch_and_report() {
  local name=$1
  shift
  qw_launch "$name" "$@"
  echo "== $name: $QW_LAUNCH_STATUS"
  cat "$QW_STATE/logs/$name.result" 2>/dev/null || true
  [ "$QW_LAUNCH_STATUS" = pass ] || status=1
}
# One launch after the other: both load the same Quindle.dll, whose settings file sits beside it.
launch_and_report main "${main_args[@]}"
launch_and_report dialog "${dialog_args[@]}"
if [ -f "$QW_STATE/dialog.png" ]; then echo "dialog screenshot: $QW_STATE/dialog.png"; fi
[ -f "$QW_STATE/logs/infra.log" ] && { echo "== infrastructure retries:"; cat "$QW_STATE/logs/infra.log"; }
passed=$(cat "$QW_STATE"/logs/*.result 2>/dev/null | grep -c '^ok ' || true)
failed=$(cat "$QW_STATE"/logs/*.result 2>/dev/null | grep -c '^FAIL ' || true)
echo "wine e2e: $passed passed, $failed failed, $([ $status = 0 ] && echo PASS || echo FAIL) in $(( $(date +%s) - t_start )) s"
exit $status
