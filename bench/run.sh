#!/usr/bin/env bash
# Configures and builds the bench preset, runs every benchmark with TZ unset
# and with TZ set, measures the peak memory of loading a file and the
# instructions of one load, and prints the tables of bench/README.md.
#
# Environment: KESTRINE_BENCH_REPETITIONS (default 5),
#              KESTRINE_BENCH_OUT (default build/bench/results),
#              KESTRINE_BENCH_ARGS (extra arguments for kestrine_bench).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
repetitions=${KESTRINE_BENCH_REPETITIONS:-5}
out=${KESTRINE_BENCH_OUT:-$root/build/bench/results}
bin=$root/build/bench/bench

cmake --preset bench >/dev/null
cmake --build --preset bench -j2 >/dev/null

if [[ -f /usr/share/zoneinfo/Europe/Berlin ]]; then
  tz_set=Europe/Berlin
else
  tz_set='CET-1CEST,M3.5.0,M10.5.0/3'
fi

mkdir -p "$out"
rm -f "$out"/bench_tz_*.json "$out"/peak_tz_*.txt "$out"/instructions_tz_*.txt
{
  echo "date:       $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "nproc:      $(nproc)"
  echo "cpu:        $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "memory:     $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
  echo "load:       $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min, before the runs)"
  echo "filesystem: $(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 {print $2}') (${TMPDIR:-/tmp}, where the files are written)"
  echo "compiler:   $(c++ --version | head -n1)"
  echo "benchmark:  repetitions=$repetitions, medians reported, wall-clock time"
} > "$out/conditions.txt"

# Peak memory: generated files of 20,000 and 100,000 services, and two
# pathological shapes of 1,000,000 sections or keys.
data=$(mktemp -d "${TMPDIR:-/tmp}/kestrine-peak-XXXXXX")
trap 'rm -rf "$data"' EXIT
for n in 20000 100000; do
  "$bin/kestrine_bench_gen" "$n" "$data/script$n" >/dev/null
done
shapes="empty-sections many-keys"
for shape in $shapes; do
  "$bin/kestrine_bench_gen" --shape "$shape" 1000000 "$data/$shape" >/dev/null
done

# Instructions of one load (callgrind), when valgrind is there: the process
# doing nothing, inih's ini_parse, the streaming reader, the full load.
instructions() {  # instructions MODE PATH [env assignments...]
  local mode=$1 path=$2
  shift 2
  env "$@" valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$bin/kestrine_load_once" "$mode" "$path" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

run() {  # run LABEL [env assignments...]
  local label=$1
  shift
  echo "== TZ $label: benchmarks" >&2
  env "$@" "$bin/kestrine_bench" \
    --benchmark_repetitions="$repetitions" \
    --benchmark_display_aggregates_only=true \
    --benchmark_out="$out/bench_tz_$label.json" \
    --benchmark_out_format=json \
    ${KESTRINE_BENCH_ARGS:-} >&2
  echo "== TZ $label: peak memory" >&2
  {
    echo "none 0 $(env "$@" "$bin/kestrine_load_peak" --none)"
    for n in 20000 100000; do
      echo "$n $(stat -c %s "$data/script$n/WSDL/web_services.ini") $(env "$@" "$bin/kestrine_load_peak" "$data/script$n")"
    done
    for shape in $shapes; do
      echo "$shape $(stat -c %s "$data/$shape/WSDL/web_services.ini") $(env "$@" "$bin/kestrine_load_peak" "$data/$shape")"
    done
  } > "$out/peak_tz_$label.txt"
  if command -v valgrind >/dev/null; then
    echo "== TZ $label: instructions (callgrind)" >&2
    local file=$data/script20000/WSDL/web_services.ini
    {
      echo "none $(instructions none - "$@")"
      echo "inih $(instructions inih "$file" "$@")"
      echo "stream $(instructions stream "$file" "$@")"
      echo "full $(instructions full "$data/script20000" "$@")"
    } > "$out/instructions_tz_$label.txt"
  fi
}

run unset -u TZ
run set TZ="$tz_set"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min, after the runs)" >> "$out/conditions.txt"

python3 "$root/bench/report.py" "$out" | tee "$out/report.md"
