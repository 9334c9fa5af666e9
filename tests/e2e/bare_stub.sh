#!/usr/bin/env bash
# The bare stub (no payload) started under Wine ends at once, silently, with
# exit code 0.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/wine_env.sh
wine_template
prefix=$(wine_prefix bare)
stub="$PWD/build/win32/bin/qxsetup.exe"

run() {
  local exe="$1" code=0
  WINEPREFIX="$prefix" timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" >/dev/null 2>&1 || code=$?
  WINEPREFIX="$prefix" wineserver -w
  echo "$code"
}

cp "$stub" "$prefix/drive_c/setup.exe"
cp "$stub" "$prefix/drive_c/Qxunins3.exe.bak"
for exe in "$prefix/drive_c/setup.exe" "$prefix/drive_c/Qxunins3.exe.bak"; do
  code=$(run "$exe")
  if [[ "$code" != 0 ]]; then
    echo "FAIL: bare stub $(basename "$exe") ended with $code under Wine"
    exit 1
  fi
done
# Nothing may have been written to the temporary directory.
if compgen -G "$prefix/drive_c/users/*/Temp/Uninstal.inf" >/dev/null; then
  echo "FAIL: the bare stub wrote a script"
  exit 1
fi
echo "PASS: bare stub under Wine ends silently with exit code 0"
