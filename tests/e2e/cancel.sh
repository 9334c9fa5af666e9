#!/usr/bin/env bash
# No to the installation question: the setup ends with exit code 0, installs
# nothing, registers nothing, and deletes the script and licence it had
# extracted to the temporary directory.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source tests/e2e/wine_env.sh
source tests/e2e/tool_setup.sh
scenario_begin cancel

setup=$(tool_setup_file)
tool_paths
files_before=$(drive_listing)
program_start "$setup"
if id=$(window_wait "Tool Setup"); then
  # While the question is open, the script and licence wait in the temporary directory.
  extracted=$(cd "$TEMP_DIR" && ls -A | tr '\n' ' ')
  check "the script and licence are extracted while the question is open (found: $extracted)" \
    test "$extracted" = "License.txt Uninstal.inf "
  window_answer "$id" n || fail "the question did not close"
else
  fail "no installation question"
fi
code=$(program_wait 60)
check "setup ends with exit code 0 (got $code)" test "$code" = 0
check_boxes "only the installation question was asked" \
  "Install Tool into|C:\\Program Files\\Tool?||Yes accepts the licence agreement in|C:\\users\\$(basename "$USER_DIR")\\Temp\\License.txt"

check_same "nothing installed and the temporary files deleted: drive C: is as before" \
  "$files_before" "$(drive_listing)"
check "no Uninstall\\Tool key was written" \
  not python3 tests/e2e/prefix_read.py reg "$PREFIX/system.reg" "$TOOL_UNINSTALL_KEY"
