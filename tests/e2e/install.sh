#!/usr/bin/env bash
# A full installation of the sample product: Yes to the installation and to
# both shortcut offers, No to running Tool. Checks the files, the log, the
# uninstaller, the registry, the shortcuts and the temporary directory.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source tests/e2e/wine_env.sh
source tests/e2e/tool_setup.sh
scenario_begin install

setup=$(tool_setup_file)
source_dir="$(dirname "$setup")"
tool_install "$setup"
user=$(basename "$USER_DIR")

check_boxes "the questions asked, in order" \
  "Install Tool into|C:\\Program Files\\Tool?||Yes accepts the licence agreement in|C:\\users\\$user\\Temp\\License.txt" \
  "Add a desktop icon?" \
  "Add Quick Launch toolbar button?" \
  "Tool Setup is complete. If you need help getting started,|click the Tool Help menu item on your Start Menu.||Run Tool?"

# ---- Files ----
same_files() {
  cmp -s "$source_dir/files/Tool.exe" "$TOOL_DIR/Tool.exe" &&
    cmp -s "$source_dir/files/x.dll" "$TOOL_DIR/x.dll" &&
    cmp -s "$source_dir/files/Help.txt" "$TOOL_DIR/Help.txt" &&
    cmp -s "$source_dir/files/sub/readme.txt" "$TOOL_DIR/sub/readme.txt" &&
    cmp -s "$source_dir/licence.txt" "$TOOL_DIR/License.txt"
}
check "the four files and the licence are in C:\\Program Files\\Tool, byte for byte" same_files
# Each file carries its record's time six hours on (TZ=UTC).
stamp=$(date -u -r "$TOOL_DIR/sub/readme.txt" '+%F %T' 2>/dev/null)
check "a file's time is its record's time six hours on (got '$stamp')" test "$stamp" = "2024-03-15 16:20:30"

expected_log="dir=C:\\Program Files\\Tool
direa=sub
dlla=C:\\Program Files\\Tool\\x.dll
filea=C:\\Program Files\\Tool\\Tool.exe
fileb=C:\\Program Files\\Tool\\x.dll
filec=C:\\Program Files\\Tool\\Help.txt
filed=C:\\Program Files\\Tool\\sub\\readme.txt
filee=C:\\Program Files\\Tool\\License.txt
filef=C:\\Program Files\\Tool\\Uninstal.inf
fileg=C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tool\\Tool.LNK
fileh=C:\\users\\$user\\Desktop\\Tool.LNK
filei=C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\Tool.LNK
filej=C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tool\\Tool Help.LNK
linkdir=C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tool"
check_same "Uninstal.inf logs every file, the DLL, the directories and the shortcuts" \
  "$expected_log" "$(python3 tests/e2e/prefix_read.py ini "$TOOL_DIR/Uninstal.inf" Uninstall 2>&1)"
script_kept() {
  [[ "$(python3 tests/e2e/prefix_read.py ini "$TOOL_DIR/Uninstal.inf" Install)" == \
     "$(python3 tests/e2e/prefix_read.py ini "$source_dir/script.inf" Install)" ]]
}
check "Uninstal.inf keeps the script's [Install] section" script_kept

# The uninstaller is the stub alone: the setup file cut where its payload begins.
check "C:\\windows\\Qxunins3.exe is the stub without payload" cmp -s "$E2E_STUB" "$UNINSTALLER"

# ---- Registry ----
expected_key="DisplayName=Tool - 2.1
UninstallString=C:\\windows\\Qxunins3.exe C:\\Program Files\\Tool\\Uninstal.inf"
actual_key=$(python3 tests/e2e/prefix_read.py reg "$PREFIX/system.reg" "$TOOL_UNINSTALL_KEY")
check "HKLM ...\\Uninstall\\Tool holds DisplayName and UninstallString" test "$actual_key" = "$expected_key"
run_once=$(python3 tests/e2e/prefix_read.py reg "$PREFIX/system.reg" 'Software\Microsoft\Windows\CurrentVersion\RunOnce')
check "HKLM RunOnce schedules GrpConv" test "$run_once" = "GrpConv=grpconv -o"

# ---- Shortcuts ----
# shortcut_to LNK TARGET DESCRIPTION: the shell link names the target path
# (ANSI) and carries the description (UTF-16).
shortcut_to() {
  [[ -f "$1" ]] && strings "$1" | grep -qxF "$2" && strings -e l "$1" | grep -qxF "$3"
}
group=$(cd "$GROUP_DIR" 2>/dev/null && ls)
check "the group folder holds exactly the two links" test "$group" = $'Tool Help.LNK\nTool.LNK'
check "group Tool.LNK points at Tool.exe" \
  shortcut_to "$GROUP_DIR/Tool.LNK" 'C:\Program Files\Tool\Tool.exe' Tool
check "group 'Tool Help.LNK' points at Help.txt, described by its file name" \
  shortcut_to "$GROUP_DIR/Tool Help.LNK" 'C:\Program Files\Tool\Help.txt' 'Tool Help'
check "desktop Tool.LNK points at Tool.exe" \
  shortcut_to "$DESKTOP_DIR/Tool.LNK" 'C:\Program Files\Tool\Tool.exe' Tool
check "Quick Launch Tool.LNK points at Tool.exe" \
  shortcut_to "$QUICK_LAUNCH_DIR/Tool.LNK" 'C:\Program Files\Tool\Tool.exe' Tool

# ---- Temporary files ----
left=$(cd "$TEMP_DIR" && ls -A)
check "nothing is left in the temporary directory${left:+ (found: $left)}" test -z "$left"
