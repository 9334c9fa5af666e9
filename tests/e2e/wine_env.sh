# Shared set-up for the end-to-end tests under Wine; sourced, not run.
# A win32 template prefix is made once per build directory and copied per
# scenario (see the notes on running under Wine in the project's docs).

E2E_ROOT="${E2E_ROOT:-$PWD/build/e2e}"
export WINEDEBUG=-all WINEARCH=win32 TZ=UTC LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$E2E_ROOT/home"
mkdir -p "$HOME"

# Makes $E2E_ROOT/template once: a booted win32 prefix with a virtual
# desktop, no crash dialog, no menu entries, and real user folders.
wine_template() {
  local template="$E2E_ROOT/template"
  [[ -f "$template/.ready" ]] && return 0
  rm -rf "$template"
  WINEPREFIX="$template" timeout 300 wineboot -i >/dev/null 2>&1
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
  WINEPREFIX="$template" timeout 120 wine regedit /S "$E2E_ROOT/settings.reg" >/dev/null 2>&1
  WINEPREFIX="$template" wineserver -w
  local user_dir
  for user_dir in "$template"/drive_c/users/*/; do
    local link
    for link in "$user_dir"*; do
      if [[ -L "$link" ]]; then
        rm "$link"
        mkdir -p "$link"
      fi
    done
    mkdir -p "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp" "$user_dir/Desktop"
  done
  touch "$template/.ready"
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
