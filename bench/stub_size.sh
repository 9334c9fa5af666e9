#!/usr/bin/env bash
# The stub's size against its budget: the program without payload must stay
# within 43008 bytes. Prints the size of each section and the total.
set -euo pipefail
cd "$(dirname "$0")/.."
stub=${1:-build/win32/bin/qxsetup.exe}
budget=43008
[[ -f "$stub" ]] || scripts/build win32 >/dev/null
size=$(stat -c %s "$stub")
i686-w64-mingw32-objdump -h "$stub" | while read -r index name size _; do
  if [[ "$index" =~ ^[0-9]+$ ]]; then printf '  %-8s %6d bytes\n' "$name" "$((16#$size))"; fi
done
echo "qxsetup.exe: $size bytes (budget $budget, $((size * 100 / budget)) %)"
[[ $size -le $budget ]]
