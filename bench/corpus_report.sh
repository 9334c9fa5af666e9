#!/usr/bin/env bash
# Sizes and encode times of qxpack's LZHUF encoder on the shared corpus,
# against the published encoder's sizes from the corpus README.
#
#   bench/corpus_report.sh            (after scripts/build host)
#   RUNS=5 bench/corpus_report.sh     (best of 5 timings per file and level)
#
# Sizes are of the file format qxpack writes (4-byte length, then the
# stream); every output is decoded again and compared with its input.
set -euo pipefail
cd "$(dirname "$0")/.."
qxpack=${QXPACK:-build/host/bin/qxpack}
corpus=../shared/corpus
runs=${RUNS:-3}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

now() { date +%s%N; }

# Encodes $1 at level flag $2 $runs times; prints "size seconds" (fastest run).
measure() {
  local in=$1 flag=$2 best=0
  for ((run = 0; run < runs; ++run)); do
    local start end
    start=$(now)
    "$qxpack" lzhuf encode "$in" "$tmp/out.lzh" $flag
    end=$(now)
    if ((best == 0 || end - start < best)); then best=$((end - start)); fi
  done
  "$qxpack" lzhuf decode "$tmp/out.lzh" "$tmp/out.bin"
  cmp -s "$tmp/out.bin" "$in" || { echo "round trip failed: $in $flag" >&2; exit 1; }
  echo "$(stat -c %s "$tmp/out.lzh") $best"
}

printf '%-12s %10s | %10s %7s %7s | %10s %7s %7s\n' file published fast ratio seconds best ratio seconds
total_pub=0 total_fast=0 total_best=0 time_fast=0 time_best=0
# Rows of the README table: | name | bytes | published bytes |
while IFS='|' read -r _ name _ published _; do
  name=$(echo "$name" | tr -d ' ')
  published=$(echo "$published" | tr -d ' ,')
  [[ -f $corpus/$name && $published =~ ^[0-9]+$ ]] || continue
  read -r fast fast_ns < <(measure "$corpus/$name" "")
  read -r best best_ns < <(measure "$corpus/$name" --best)
  awk -v n="$name" -v p="$published" -v f="$fast" -v fn="$fast_ns" -v b="$best" -v bn="$best_ns" \
    'BEGIN { printf "%-12s %10d | %10d %6.2f%% %7.3f | %10d %6.2f%% %7.3f\n", n, p, f, 100*f/p, fn/1e9, b, 100*b/p, bn/1e9 }'
  total_pub=$((total_pub + published)) total_fast=$((total_fast + fast)) total_best=$((total_best + best))
  time_fast=$((time_fast + fast_ns)) time_best=$((time_best + best_ns))
done < "$corpus/README.md"
awk -v p="$total_pub" -v f="$total_fast" -v fn="$time_fast" -v b="$total_best" -v bn="$time_best" \
  'BEGIN { printf "%-12s %10d | %10d %6.2f%% %7.3f | %10d %6.2f%% %7.3f\n", "total", p, f, 100*f/p, fn/1e9, b, 100*b/p, bn/1e9 }'
