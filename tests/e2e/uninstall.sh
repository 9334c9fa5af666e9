#!/usr/bin/env bash
# Installs the sample product, then removes it through the command line the
# installation registered, as the system's list of installed software does.
# Afterwards only the uninstaller itself may remain on drive C:, and the
# registry holds the keys it held before the installation.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source tests/e2e/wine_env.sh
source tests/e2e/tool_setup.sh
scenario_begin uninstall

# HKLM's key names (without their time stamps), one a line. Wine itself
# rebuilds the network card keys when a session starts.
hklm_keys() {
  sed -n 's/^\(\[.*\]\) [0-9]*$/\1/p' "$PREFIX/system.reg" | grep -v 'CurrentVersion\\\\NetworkCards' | sort
}

files_before=$(drive_listing)
keys_before=$(hklm_keys)
tool_install "$(tool_setup_file)"

command=$(python3 tests/e2e/prefix_read.py reg "$PREFIX/system.reg" "$TOOL_UNINSTALL_KEY" |
  sed -n 's/^UninstallString=//p')
if [[ -z "$command" ]]; then
  fail "no UninstallString was registered"
  exit
fi
# The system starts the registered text as it stands. Given word by word,
# Wine joins the words with single blanks into exactly that command line
# (an argument with blanks would reach the program in quotes).
read -r -a words <<<"$command"
program_start "${words[@]}"
ANSWERED=""
answer "Uninstall" Return "confirmation" && answer "Uninstall" Return "report"
code=$(program_wait 60)
check "the uninstaller ends with exit code 0 (got $code)" test "$code" = 0
check_boxes "it asks, then reports the removal without leftovers" \
  "Are you sure you want to completely|remove Tool from your computer?" \
  "Tool has been uninstalled."

check_same "files, shortcuts, group folder and directory are gone; only Qxunins3.exe remains" \
  "$(printf '%s\n%s\n' "$files_before" "./windows/Qxunins3.exe" | sort)" "$(drive_listing)"
check "the Uninstall\\Tool key is gone" \
  not python3 tests/e2e/prefix_read.py reg "$PREFIX/system.reg" "$TOOL_UNINSTALL_KEY"
# The removal opens the company's key for the product, creating it, to
# delete its "settings" and "Recent File List" subkeys: that key stays.
check_same "HKLM holds the keys it held before, and the company key the removal opened" \
  "$(printf '%s\n%s\n' "$keys_before" '[Software\\ToolSoft\\Tool]' | sort)" "$(hklm_keys)"
