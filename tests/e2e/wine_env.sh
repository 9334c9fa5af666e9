# shellcheck shell=bash
# Shared set-up for the end-to-end tests under Wine; sourced, not run.
#
# The stub is a 32-bit program and runs under 32-bit Wine in a win32 prefix.
# A machine whose kernel cannot execute 32-bit x86 code cannot run 32-bit
# Wine at all; there the same sources, built as a 64-bit program (preset
# win64), run under 64-bit Wine in a win64 prefix. A 64-bit program in a
# win64 prefix sees the plain paths and registry keys, as the 32-bit one does
# in a win32 prefix, so the scenarios check the same places either way.
#
# E2E_ARCH (win32 or win64) chooses; wine_pick sets it when it is unset.
# A template prefix is made once per architecture and copied per scenario.

export WINEDEBUG=-all TZ=UTC LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

E2E_TOP="${E2E_TOP:-$PWD/build/e2e}"
E2E_SCREEN=1024x768x24

# Sets E2E_ARCH when unset, or returns 1 with the reason in E2E_WHY.
# A loader that cannot even print its version cannot run anything.
wine_pick() {
  local out
  if [[ -n "${E2E_ARCH:-}" ]]; then
    return 0
  fi
  if out=$(/usr/lib/wine/wine --version 2>&1); then
    E2E_ARCH=win32
    return 0
  fi
  E2E_WHY="32-bit Wine cannot run here (${out##*: })"
  if out=$(/usr/lib/wine/wine64 --version 2>&1); then
    E2E_ARCH=win64
    return 0
  fi
  E2E_WHY="$E2E_WHY; 64-bit Wine cannot run either (${out##*: })"
  return 1
}

# Everything that follows from E2E_ARCH: the loader, the prefix kind, the
# stub's build directory and the scratch tree.
wine_setup_arch() {
  export E2E_ARCH WINEARCH="$E2E_ARCH"
  if [[ "$E2E_ARCH" == win64 ]]; then
    WINE=/usr/lib/wine/wine64
    # Processes the program starts (regsvr32, the application) must come up
    # under the 64-bit loader too; the "wine" wrapper would pick 32-bit Wine.
    export WINELOADER="$WINE"
  else
    WINE=/usr/lib/wine/wine
  fi
  E2E_STUB="$PWD/build/$E2E_ARCH/bin/qxsetup.exe"
  E2E_ROOT="$E2E_TOP/$E2E_ARCH"
  export HOME="$E2E_ROOT/home"
  mkdir -p "$HOME"
}

# Makes $E2E_ROOT/template once: a booted prefix with a virtual desktop, no
# crash dialog, no menu entries, and real user folders.
wine_template() {
  local template="$E2E_ROOT/template" recipe
  # The template is remade when this file, which describes it, changes.
  recipe=$(sha256sum "${BASH_SOURCE[0]}" | cut -d' ' -f1)
  [[ "$(cat "$template/.ready" 2>/dev/null)" == "$recipe" ]] && return 0
  rm -rf "$template"
  if ! WINEPREFIX="$template" timeout 300 "$WINE" wineboot -i >/dev/null 2>&1; then
    echo "FAIL: could not boot a $E2E_ARCH template prefix in $template"
    return 1
  fi
  cat > "$E2E_ROOT/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
  WINEPREFIX="$template" timeout 120 "$WINE" regedit /S "$E2E_ROOT/settings.reg" >/dev/null 2>&1
  WINEPREFIX="$template" timeout 60 wineserver -w
  local user_dir link
  for user_dir in "$template"/drive_c/users/*/; do
    for link in "$user_dir"*; do
      if [[ -L "$link" ]]; then
        rm "$link"
        mkdir -p "$link"
      fi
    done
    # The Quick Launch folder exists on a system with the Quick Launch
    # toolbar; a fresh prefix has none.
    mkdir -p "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp" "$user_dir/Desktop" \
      "$user_dir/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
  done
  echo "$recipe" >"$template/.ready"
}

# A fresh copy of the template for one scenario: prints its path.
wine_prefix() {
  local name="$1"
  local prefix="$E2E_ROOT/prefixes/$name"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  cp -a "$E2E_ROOT/template" "$prefix"
  echo "$prefix"
}

# The user folder of a prefix (its only entry under drive_c/users other than Public).
wine_user_dir() {
  local prefix="$1" dir
  for dir in "$prefix"/drive_c/users/*/; do
    [[ "$(basename "$dir")" == "Public" ]] && continue
    echo "${dir%/}"
    return 0
  done
}

# ---- One scenario: its prefix, its display, its results ---------------------

E2E_FAILED=0
E2E_XVFB_PID=""

pass() { echo "PASS: $E2E_SCENARIO: $*"; }
fail() {
  echo "FAIL: $E2E_SCENARIO: $*"
  E2E_FAILED=1
}
# Succeeds when the command fails.
not() { ! "$@"; }

# check DESCRIPTION COMMAND...: PASS or FAIL by the command's status.
check() {
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# Starts a scenario: the architecture, the template, a fresh prefix in
# $PREFIX and its user folder in $USER_DIR, and a display of its own.
scenario_begin() {
  E2E_SCENARIO="$1"
  if ! wine_pick; then
    echo "SKIP: $E2E_SCENARIO: $E2E_WHY"
    exit 0
  fi
  wine_setup_arch
  wine_template || exit 1
  PREFIX=$(wine_prefix "$E2E_SCENARIO")
  export WINEPREFIX="$PREFIX"
  USER_DIR=$(wine_user_dir "$PREFIX")
  trap scenario_cleanup EXIT
  display_start
}

# Ends the scenario's Wine processes and display; the scenario's exit
# status is 1 when any check failed.
scenario_cleanup() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  if [[ -n "$E2E_XVFB_PID" ]]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
  fi
  exit "$E2E_FAILED"
}

# An Xvfb on a free display number, for this scenario only.
display_start() {
  local number_file="$PREFIX.display"
  rm -f "$number_file"
  Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    if [[ -s "$number_file" ]]; then
      export DISPLAY=":$(head -1 "$number_file")"
      return 0
    fi
    sleep 0.1
  done
  echo "FAIL: $E2E_SCENARIO: Xvfb did not start"
  exit 1
}

# Saves the screen next to the prefix and says where.
screenshot() {
  local file="$PREFIX.$1.png"
  if timeout 20 import -window root "$file" >/dev/null 2>&1; then
    echo "  screenshot: $file"
  fi
}

# Starts the program given as Windows path or Linux file, with its
# arguments, in the background; its exit code goes to $PREFIX.exit when it
# ends. Wine traces each message box's text into $PREFIX.out (see boxes).
program_start() {
  rm -f "$PREFIX.exit" "$PREFIX.out"
  (
    code=0
    WINEDEBUG=-all,+msgbox timeout 120 "$WINE" "$@" >"$PREFIX.out" 2>&1 || code=$?
    echo "$code" >"$PREFIX.exit"
  ) &
  E2E_PROGRAM_PID=$!
}

# Waits up to SECONDS for the program to end and for the prefix's Wine
# processes to finish; prints the exit code, or "timeout".
program_wait() {
  local limit="${1:-60}" deadline=$((SECONDS + ${1:-60}))
  while [[ ! -f "$PREFIX.exit" ]] && ((SECONDS < deadline)); do
    sleep 0.1
  done
  if [[ ! -f "$PREFIX.exit" ]]; then
    screenshot "exit-timeout" >&2
    timeout 20 wineserver -k >/dev/null 2>&1 || true
    wait "$E2E_PROGRAM_PID" 2>/dev/null || true
    echo "timeout after ${limit}s"
    return 0
  fi
  wait "$E2E_PROGRAM_PID" 2>/dev/null || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  cat "$PREFIX.exit"
}

# Prints the id of a visible window titled exactly TITLE that is not in the
# list of ids given after it (windows already handled), waiting up to 20 s.
# Windows as wide as the screen are passed over: the setup's background
# window carries the same title as its first question.
# On a timeout: a screenshot, and status 1.
window_wait() {
  local title="$1" pattern id
  shift
  pattern="^$(printf '%s' "$title" | sed 's/[][\.*^$+?(){}|]/\\&/g')\$"
  local deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    for id in $(timeout 5 xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
      if [[ " $* " != *" $id "* ]] && [[ "$(window_width "$id")" != "${E2E_SCREEN%%x*}" ]]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  echo "  no window titled '$title' appeared within 20 s" >&2
  screenshot "no-window" >&2
  return 1
}

# The texts of the message boxes the last program showed, in order, one a
# line, line breaks as "|".
boxes() { python3 tests/e2e/prefix_read.py boxes "$PREFIX.out"; }

# check_same DESCRIPTION EXPECTED ACTUAL: passes when the two texts are
# equal, else fails and shows how they differ.
check_same() {
  if [[ "$3" == "$2" ]]; then
    pass "$1"
  else
    fail "$1"
    diff <(echo "$2") <(echo "$3") | sed 's/^/  /'
  fi
}

# check_boxes DESCRIPTION TEXT...: the program showed exactly these boxes.
check_boxes() {
  local what="$1"
  shift
  check_same "$what" "$(printf '%s\n' "$@")" "$(boxes)"
}

# Lists the files and directories under the prefix's drive, one a line.
drive_listing() { (cd "$PREFIX/drive_c" && find . -mindepth 1 | sort); }

window_width() {
  timeout 5 xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'
}

# Sends keys to a window after giving it the focus; fails when the window
# cannot take the focus (it has gone).
window_keys() {
  local id="$1"
  shift
  timeout 10 xdotool windowfocus --sync "$id" >/dev/null 2>&1 || return 1
  timeout 10 xdotool key --delay 50 "$@"
}

window_visible() {
  timeout 5 xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1"
}

# Answers a message box: sends the keys and waits for the box to close.
# Keys that reach a box before it takes input are lost, so they are sent
# again, up to three times, while the box stays open. On failure: a
# screenshot, and status 1.
window_answer() {
  local id="$1" try deadline
  shift
  for try in 1 2 3; do
    window_keys "$id" "$@" || return 0
    deadline=$((SECONDS + 4))
    while ((SECONDS < deadline)); do
      window_visible "$id" || return 0
      sleep 0.1
    done
  done
  echo "  window $id stayed open after the keys $*" >&2
  screenshot "stuck-window" >&2
  return 1
}
