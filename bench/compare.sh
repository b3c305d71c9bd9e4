#!/usr/bin/env bash
# Times certcheck against wc -l and cat on one generated certificate file, side by side: the
# three take turns, several rounds, with the file in the page cache; prints each one's median
# wall-clock time and certcheck's ratio to the other two, and certcheck's peak memory.
#   bench/compare.sh [RECORDS] [ROUNDS]      (defaults: 1000000 records, 11 rounds)
# CERT_BENCH_DIR chooses where the file goes (default /tmp); it is made once by certsamples.
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}
rounds=${2:-11}
dir=${CERT_BENCH_DIR:-/tmp}
file=$dir/certcompare-$records.dat
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build --target certcheck certsamples >/dev/null
[[ -f $file ]] || build/samples/certsamples --records "$records" "$file" >/dev/null
cat "$file" >/dev/null  # into the page cache

# Wall-clock seconds of one run, output discarded.
run() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", (e - s) / 1e9 }'
}

times_wc=() times_cat=() times_check=()
for ((i = 0; i < rounds; ++i)); do
  times_wc+=("$(run wc -l "$file")")
  times_cat+=("$(run cat "$file")")
  times_check+=("$(run build/app/certcheck "$file" || true)")
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wc_m=$(median "${times_wc[@]}")
cat_m=$(median "${times_cat[@]}")
check_m=$(median "${times_check[@]}")
size=$(stat -c %s "$file")
echo "file: $file, $records records, $((size / 1000000)) MB; $rounds rounds; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %8s s\n' "wc -l" "$wc_m" "cat" "$cat_m" "certcheck" "$check_m"
awk -v c="$check_m" -v w="$wc_m" -v k="$cat_m" \
  'BEGIN { printf "certcheck / wc -l = %.2f, certcheck / cat = %.2f\n", c / w, c / k }'
if [[ -x /usr/bin/time ]]; then
  { /usr/bin/time -f "certcheck peak memory: %M KiB" build/app/certcheck "$file" 2>&1 >/dev/null ||
    true; } | tail -1
fi
