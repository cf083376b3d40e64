#!/usr/bin/env bash
# Self-check of the end-to-end suite: broken copies of Quindle.dll (see make_mutant.py) must
# fail it. Each row loads one broken copy into the test host, runs the group that covers the
# fault and expects the named step to fail; a pass, a failure elsewhere or a launch that never
# completed fails the row.
# Usage: run-mutants.sh <win32-build-dir> <state-dir>   (exit codes as run-suite.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

qw_begin "run-mutants.sh <win32-build-dir> <state-dir>" "$@" || { echo "wine-mutants: not run (infrastructure)"; exit 1; }

# mutant  group  step that must fail
rows=(
  "stack    abi       abi-BKC_OnOpenFolder"
  "device   notify    notify-no-file"
  "gate     variants  bind-nosetstatus-2.00.06"
  "key      notify    notify-runon-0"
  "caption  dialog    dialog-no-file-ok"
)
status=0
for row in "${rows[@]}"; do
  read -r mutant group step <<<"$row"
  python3 -B "$here/make_mutant.py" "$QW_BUILD/Quindle.dll" "$QW_PLUGIN_FILE" "$mutant"
  rm -f "${QW_PLUGIN_FILE%.dll}.ini"
  qw_launch "mutant-$mutant" --plugin "$QW_PLUGIN" --work "$QW_WORK" "$group"
  result="$QW_STATE/logs/mutant-$mutant.result"
  case $QW_LAUNCH_STATUS in
    pass) echo "FAIL mutant-$mutant: the $group group passed a DLL with this fault"; status=1 ;;
    fail)
      if grep -Eq "^FAIL $step(:|$)" "$result"; then
        echo "ok mutant-$mutant: $(grep -Ec '^FAIL ' "$result") $group step(s) failed, $step among them"
      else
        echo "FAIL mutant-$mutant: $step did not fail; failed: $(grep -E '^FAIL ' "$result" | cut -d: -f1 | tr '\n' ' ')"
        status=1
      fi ;;
    *) echo "FAIL mutant-$mutant: not run (infrastructure, see $QW_STATE/logs)"; status=1 ;;
  esac
done
cp "$QW_BUILD/Quindle.dll" "$QW_PLUGIN_FILE"
echo "wine mutants: $([ $status = 0 ] && echo PASS || echo FAIL)"
exit $status
