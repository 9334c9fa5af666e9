# shellcheck shell=bash
# The sample product "Tool" for the end-to-end scenarios; sourced after
# wine_env.sh and scenario_begin.
#
# Four files (Tool.exe, x.dll, Help.txt, sub\readme.txt), one DLL to
# register, two links, desktop and Quick Launch offers. Tool.exe is a copy
# of the bare stub: a real program that ends at once.

TOOL_DIR_WIN='C:\Program Files\Tool'
TOOL_UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tool'

# Writes the setup file into $E2E_ROOT/tool/ and prints its path.
tool_setup_file() {
  local dir="$E2E_ROOT/tool"
  rm -rf "$dir"
  mkdir -p "$dir/files/sub"
  printf '%s\r\n' \
    '[Install]' 'DefDir=Tool' 'AppName=Tool' 'AppFile=Tool.exe' 'AppBy=Tool Software Ltd.' \
    'CompReg=ToolSoft' 'VerNum=2.1' 'FileNum=4' 'dlla=x.dll' 'Desk=1' 'QLaunch=1' '' \
    '[Links]' 'linka=Tool.exe' 'linkfilea=Tool.LNK' 'linkb=Help.txt' 'linkfileb=Tool Help.LNK' 'Desca=Tool' '' \
    '[Copymode]' 'filea=1' 'fileb=1' 'filec=1' 'filed=1' >"$dir/script.inf"
  printf 'Tool licence agreement.\r\nUse it well.\r\n' >"$dir/licence.txt"
  cp "$E2E_STUB" "$dir/files/Tool.exe"
  printf 'not a real DLL\r\n' >"$dir/files/x.dll"
  printf 'Help for Tool.\r\n' >"$dir/files/Help.txt"
  printf 'Read me, from a subdirectory.\r\n' >"$dir/files/sub/readme.txt"
  python3 tests/e2e/make_setup.py "$E2E_STUB" "$dir/ToolSetup.exe" "$dir/script.inf" "$dir/licence.txt" \
    "Tool.exe=$dir/files/Tool.exe" "x.dll=$dir/files/x.dll" "Help.txt=$dir/files/Help.txt" \
    "sub\\readme.txt=$dir/files/sub/readme.txt" >&2
  echo "$dir/ToolSetup.exe"
}

# The Linux path of a path under C:\ in the prefix ("C:\a\b" -> .../drive_c/a/b).
c_path() {
  local win="${1#[Cc]:\\}"
  echo "$PREFIX/drive_c/${win//\\//}"
}

TOOL_DIR="" # set by tool_paths
# Where the installation lands in this prefix.
tool_paths() {
  TOOL_DIR=$(c_path "$TOOL_DIR_WIN")
  PROGRAMS_DIR="$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  GROUP_DIR="$PROGRAMS_DIR/Tool"
  DESKTOP_DIR="$USER_DIR/Desktop"
  QUICK_LAUNCH_DIR="$USER_DIR/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
  UNINSTALLER="$PREFIX/drive_c/windows/Qxunins3.exe"
  TEMP_DIR="$USER_DIR/Temp"
}

# Answers one message box: waits for a window titled CAPTION that is not
# among the ids already answered, sends KEY, and records the id in
# $ANSWERED. Returns 1 (with a FAIL line) when the box does not come.
ANSWERED=""
answer() {
  local caption="$1" key="$2" what="$3" id
  if ! id=$(window_wait "$caption" $ANSWERED); then
    fail "$what: no box captioned '$caption'"
    return 1
  fi
  ANSWERED="$ANSWERED $id"
  window_answer "$id" "$key" || { fail "$what: the box did not close"; return 1; }
}

# Runs the Tool setup to its end: Yes to the installation, Yes to both
# offers, No to running Tool. Prints nothing; FAIL lines on the way.
tool_install() {
  local setup="$1" code
  tool_paths
  program_start "$setup"
  ANSWERED=""
  answer "Tool Setup" Return "install question" &&
    answer "Setup" Return "desktop offer" &&
    answer "Setup" Return "Quick Launch offer" &&
    answer "Setup Complete" n "closing question"
  code=$(program_wait 60)
  check "setup ends with exit code 0 (got $code)" test "$code" = 0
}
