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

# One launch after the other: both load the same Quindle.dll, whose settings file sits beside it.
qw_launch main "${main_args[@]}"
echo "$QW_LAUNCH_STATUS" > "$QW_STATE/logs/main.status"
qw_launch dialog "${dialog_args[@]}"
echo "$QW_LAUNCH_STATUS" > "$QW_STATE/logs/dialog.status"

status=0
for name in main dialog; do
  s=$(cat "$QW_STATE/logs/$name.status" 2>/dev/null || echo infra)
  echo "== $name: $s"
  cat "$QW_STATE/logs/$name.result" 2>/dev/null || true
  [ "$s" = pass ] || status=1
done
if [ -f "$QW_STATE/dialog.png" ]; then echo "dialog screenshot: $QW_STATE/dialog.png"; fi
[ -f "$QW_STATE/logs/infra.log" ] && { echo "== infrastructure retries:"; cat "$QW_STATE/logs/infra.log"; }
passed=$(cat "$QW_STATE"/logs/*.result 2>/dev/null | grep -c '^ok ' || true)
failed=$(cat "$QW_STATE"/logs/*.result 2>/dev/null | grep -c '^FAIL ' || true)
echo "wine e2e: $passed passed, $failed failed, $([ $status = 0 ] && echo PASS || echo FAIL) in $(( $(date +%s) - t_start )) s"
exit $status
