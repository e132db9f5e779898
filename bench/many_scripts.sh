#!/usr/bin/env bash
# Many scripts: a tree of script folders, each with its own services file,
# searched with `kestrine find --under` and `kestrine scan`, against reading
# every services file with cat and against a shell loop of one-folder finds;
# and the peak resident size of `find --under` and `check --under`.
#
# usage: bench/many_scripts.sh [FOLDERS=10000] [SERVICES=20] [ROUNDS=5]
# The tree is generated once under ${KESTRINE_TREE:-/tmp/kestrine-tree-FOLDERS-SERVICES}
# (one generated file, copied into every folder) and kept for later runs.
# Prints the median wall-clock seconds of each command over ROUNDS
# interleaved rounds, files per second, the ratios of bench/README.md and the
# peak RSS (getrusage, through /usr/bin/time). LOOP=0 leaves out the shell
# loop of one-folder finds (minutes for a large tree).
set -euo pipefail

folders=${1:-10000}
services=${2:-20}
rounds=${3:-5}
source "$(dirname "${BASH_SOURCE[0]}")/release_tools.sh"

tree=${KESTRINE_TREE:-/tmp/kestrine-tree-$folders-$services}
if [[ ! -f $tree/.complete ]]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  "$gen" "$services" "$tree/.seed" >/dev/null
  # Two levels, 100 folders each, so that no folder lists 10,000 names: the
  # first group folder by folder, the others copied from it (real copies).
  for ((i = 0; i < folders && i < 100; i++)); do
    mkdir -p "$tree/group0/script$i/WSDL"
    cp "$tree/.seed/WSDL/web_services.ini" "$tree/group0/script$i/WSDL/"
  done
  for ((g = 1; g < folders / 100; g++)); do cp -r "$tree/group0" "$tree/group$g"; done
  rm -rf "$tree/.seed"
  touch "$tree/.complete"
fi
bytes=$(find "$tree" -name web_services.ini -printf '%s\n' | awk '{ s += $1 } END { print s }')
endpoint=$(grep -m1 '^ServiceAddress=' "$(find "$tree" -name web_services.ini | head -n1)" | cut -d= -f2-)
wsdl=$(grep -m1 '^WSDLLocation=' "$(find "$tree" -name web_services.ini | head -n1)" | cut -d= -f2-)

seconds() {  # seconds COMMAND...: wall-clock seconds of one run, output discarded
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
cat_all() { find "$tree" -name web_services.ini -exec cat {} + >/dev/null; }
find_under() { "$tool" find --under "$tree" --match-endpoint "$endpoint" --quiet --jobs "$1"; }
scan() { "$tool" scan "$tree" --quiet --jobs "$1"; }
loop() {  # one `find` process per folder, as a shell loop would do it
  while IFS= read -r ini; do
    "$tool" find "${ini%/WSDL/web_services.ini}" --wsdl "$wsdl"
  done < <(find "$tree" -name web_services.ini)
}

cat_all  # warm the page cache
declare -A runs=()
for ((r = 0; r < rounds; r++)); do
  runs[cat]+="$(seconds cat_all) "
  runs[find1]+="$(seconds find_under 1) "
  runs[find2]+="$(seconds find_under 2) "
  runs[scan1]+="$(seconds scan 1) "
  runs[scan2]+="$(seconds scan 2) "
done
if [[ ${LOOP:-1} != 0 ]]; then loop_seconds=$(seconds loop); else loop_seconds=; fi
peak() {  # peak COMMAND...: the command's peak resident size in MiB
  /usr/bin/time -f %M -o "$tree/.peak" "$@" >/dev/null 2>&1 || true
  echo "scale=1; $(cat "$tree/.peak") / 1024" | bc -l
}

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "tree: $folders folders x $services services, $((bytes / 1048576)) MiB; nproc $(nproc); load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-28s %8s %12s\n' command seconds files/s
for key in cat find1 find2 scan1 scan2; do
  m=$(median "${runs[$key]}")
  printf '%-28s %8.3f %12.0f\n' "$key" "$m" "$(echo "$folders / $m" | bc -l)"
done
[[ -n $loop_seconds ]] && printf '%-28s %8.3f %12.0f\n' "loop of one-folder finds" "$loop_seconds" "$(echo "$folders / $loop_seconds" | bc -l)"
c=$(median "${runs[cat]}"); f1=$(median "${runs[find1]}"); f2=$(median "${runs[find2]}")
echo "find --under, 2 threads / cat:       $(echo "$f2 / $c" | bc -l | cut -c1-5)"
echo "find --under, 1 thread / 2 threads:  $(echo "$f1 / $f2" | bc -l | cut -c1-5)"
[[ -n $loop_seconds ]] && echo "shell loop / find --under (2):       $(echo "$loop_seconds / $f2" | bc -l | cut -c1-6)"
echo "check --under, seconds:              $(seconds "$tool" check --under "$tree" --quiet)"
find_args=(find --under "$tree" --match-endpoint "$endpoint" --quiet)
echo "peak RSS, MiB: find --under (2 threads) $(peak "$tool" "${find_args[@]}" --jobs 2)," \
  "(1 thread) $(peak "$tool" "${find_args[@]}" --jobs 1); check --under $(peak "$tool" check --under "$tree" --quiet)"
