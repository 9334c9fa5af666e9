#!/usr/bin/env bash
# Runs every end-to-end scenario of the real stub under Wine. A machine that
# cannot execute 32-bit x86 code (no IA-32 emulation in its kernel) cannot
# run 32-bit Wine: the scenarios are then reported as skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! out=$(/usr/lib/wine/wine --version 2>&1); then
  echo "SKIP: end-to-end tests under Wine: this machine cannot run 32-bit code ($out)"
  exit 0
fi
failed=0
for scenario in tests/e2e/bare_stub.sh; do
  bash "$scenario" || failed=1
done
exit "$failed"
