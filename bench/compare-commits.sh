#!/usr/bin/env bash
# Builds certbench of another commit beside this one and runs both in turns on the same files,
# so that their figures are taken side by side under the same load; prints each one's median.
#   bench/compare-commits.sh OLD_COMMIT [ROUNDS] [FILTER]
# CERT_BENCH_DIR chooses where the test files go (default /tmp; /dev/shm for memory speed).
set -euo pipefail
cd "$(dirname "$0")/.."
old=${1:?usage: bench/compare-commits.sh OLD_COMMIT [ROUNDS] [FILTER]}
rounds=${2:-5}
filter=${3:-BM_(Read|Write)CertFile}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive "$old" | tar -x -C "$work"
opts=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCERT_WITH_QT=OFF -DCERT_WITH_TESTS=OFF
      -DCERT_WITH_FUZZ=OFF)
cmake -S "$work" -B "$work/build" "${opts[@]}" >/dev/null
cmake --build "$work/build" --target certbench >/dev/null
cmake -S . -B build >/dev/null
cmake --build build --target certbench >/dev/null
for ((i = 1; i <= rounds; ++i)); do
  for side in old new; do
    bin=build/bench/certbench
    [[ $side == old ]] && bin=$work/build/bench/certbench
    "$bin" --benchmark_filter="$filter" --benchmark_format=csv 2>/dev/null |
      awk -F, -v side="$side" 'NR > 1 && $1 ~ /BM_/ { gsub(/"/, "", $1); print side, $1, $7 }'
  done
done | sort -k1,2 -k3,3g | awk '
  BEGIN { printf "%-34s %12s %12s %8s\n", "benchmark (lines/s, median)", "old", "new", "new/old" }
  { k = $2 " " $1; v[k, ++n[k]] = $3; names[$2] = 1 }
  function median(k) { return n[k] % 2 ? v[k, (n[k] + 1) / 2] : (v[k, n[k] / 2] + v[k, n[k] / 2 + 1]) / 2 }
  END {
    for (b in names) {
      o = median(b " old"); w = median(b " new")
      printf "%-34s %12.0f %12.0f %7.1f%%\n", b, o, w, 100 * w / o
    }
  }'
