#!/usr/bin/env bash
# `kestrine import` of many records: COUNT generated services exported as
# JSON, imported into an empty services file (every record added) and into a
# copy of the generated file with every endpoint changed (every record
# updated in place). Each import is one lock, one load and one atomic save.
#
# usage: bench/import.sh [COUNT=4000] [ROUNDS=5]
# Prints the median wall-clock seconds of each kind over ROUNDS rounds
# (release build, fresh target file each round, output checked) and the
# verdict for the target of bench/README.md: 4,000 records in under 1 s.
set -euo pipefail

count=${1:-4000}
rounds=${2:-5}
source "$(dirname "${BASH_SOURCE[0]}")/release_tools.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrine-import-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$gen" "$count" "$work/source" >/dev/null
"$tool" export "$work/source" --show-secrets > "$work/records.json"
sed 's|"ServiceAddress": "|"ServiceAddress": "https://moved.example.com/|' \
  "$work/records.json" > "$work/moved.json"

seconds() {  # seconds EXPECTED_LINES COMMAND...: wall-clock seconds of one run, output checked
  local expected=$1 start end lines
  shift
  start=$(date +%s.%N)
  "$@" > "$work/out"
  end=$(date +%s.%N)
  lines=$(grep -c "$expected" "$work/out" || true)
  if [[ $lines != "$count" ]]; then
    echo "expected $count lines '$expected', got $lines" >&2
    exit 1
  fi
  echo "$end - $start" | bc -l
}

declare -A runs=()
for ((r = 0; r < rounds; r++)); do
  rm -rf "$work/target"
  mkdir -p "$work/target/WSDL"
  printf '[Services]\n' > "$work/target/WSDL/web_services.ini"
  runs[add]+="$(seconds '^add ' "$tool" import "$work/target" "$work/records.json") "
  rm -rf "$work/target"
  cp -r "$work/source" "$work/target"
  runs[update]+="$(seconds '^update ' "$tool" import "$work/target" "$work/moved.json") "
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "import of $count records ($(($(stat -c %s "$work/records.json") / 1024)) KiB of JSON); nproc $(nproc); load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %8s %12s\n' "import" seconds records/s
for key in add update; do
  m=$(median "${runs[$key]}")
  printf '%-34s %8.3f %12.0f\n' "every record $key (median of $rounds)" "$m" "$(echo "$count / $m" | bc -l)"
done
for key in add update; do
  m=$(median "${runs[$key]}")
  if (($(echo "$m < 1" | bc -l))); then verdict=met; else verdict=missed; fi
  echo "target: import of $count records ($key) under 1 s: $verdict"
done
