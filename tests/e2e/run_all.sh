#!/usr/bin/env bash
# Runs every end-to-end scenario of the real stub under Wine, one after the
# other, each in its own prefix and on its own display, and ends with
# "N passed, M failed" (the PASS and FAIL lines of all scenarios).
#
# 32-bit Wine runs the shipped build (build/win32) in a win32 prefix. Where
# the kernel cannot execute 32-bit code, 64-bit Wine runs the same sources
# built as a 64-bit program (build/win64) in a win64 prefix. E2E_ARCH=win32
# or win64 forces the choice. When neither can run, or a tool the scenarios
# need is missing, the run is reported as skipped, with the reason.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
source tests/e2e/wine_env.sh

forced="${E2E_ARCH:-}"
if ! wine_pick; then
  echo "SKIP: end-to-end tests under Wine: $E2E_WHY"
  exit 0
fi
if [[ -z "$forced" && "$E2E_ARCH" == win64 ]]; then
  echo "NOTE: $E2E_WHY: running the 64-bit build of the stub (build/win64) under 64-bit Wine in a win64 prefix"
fi
wine_setup_arch

missing=()
for tool in Xvfb xdotool import python3 strings cmp wineserver; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "SKIP: end-to-end tests under Wine: missing ${missing[*]} (scripts/deps --wine installs them)"
  exit 0
fi

passed=0
failed=0
note_fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}
if [[ ! -f "$E2E_STUB" ]]; then
  note_fail "no stub at $E2E_STUB (scripts/build $E2E_ARCH builds it)"
elif [[ ! -x build/host/bin/qxpack ]]; then
  note_fail "no build/host/bin/qxpack to encode the sample files (scripts/build host builds it)"
elif ! wine_template; then
  failed=$((failed + 1))
else
  for scenario in bare_stub install uninstall cancel; do
    output=$(timeout 300 bash "tests/e2e/$scenario.sh" 2>&1)
    status=$?
    echo "$output"
    scenario_passed=$(grep -c '^PASS:' <<<"$output")
    scenario_failed=$(grep -c '^FAIL:' <<<"$output")
    passed=$((passed + scenario_passed))
    failed=$((failed + scenario_failed))
    if [[ $status -ne 0 && $scenario_failed -eq 0 ]]; then
      note_fail "$scenario: ended with status $status without a FAIL line"
    fi
  done
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
