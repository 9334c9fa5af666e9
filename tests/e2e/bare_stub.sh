#!/usr/bin/env bash
# The bare stub (no payload) ends at once, silently, with exit code 0, and
# writes nothing: started by its plain name and with a command tail.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source tests/e2e/wine_env.sh
scenario_begin bare_stub

cp "$E2E_STUB" "$PREFIX/drive_c/setup.exe"
before=$(drive_listing)
for tail in "" 'C:\Program Files\Tool\Uninstal.inf'; do
  # Unquoted on purpose: each word an argument, so the tail arrives as written.
  # shellcheck disable=SC2086
  program_start 'C:\setup.exe' $tail
  code=$(program_wait 60)
  label="setup.exe${tail:+ with a command tail}"
  check "$label ends with exit code 0 (got $code)" test "$code" = 0
  check_boxes "$label shows no message box"
done
check_same "nothing was written to drive C:" "$before" "$(drive_listing)"
