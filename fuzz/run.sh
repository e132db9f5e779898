#!/usr/bin/env bash
# Builds a fuzzer (clang, libFuzzer + ASan + UBSan) and runs it: the INI-tree
# fuzzer, or the one named by FUZZER (ini_tree_fuzzer, stream_reader_fuzzer).
#
# usage: [FUZZER=name] fuzz/run.sh [seconds=30] [jobs=1] [extra libFuzzer options...]
# The fuzzer runs `jobs` processes in parallel (-jobs and -workers), each for
# `seconds`, over a copy of fuzz/corpus, so the seed corpus stays as it is.
# Logs and any crash files are left in the printed work folder.
set -euo pipefail

fuzzer="${FUZZER:-ini_tree_fuzzer}"
case "$fuzzer" in
  ini_tree_fuzzer | stream_reader_fuzzer) ;;
  *) echo "unknown fuzzer '$fuzzer'" >&2; exit 2 ;;
esac
seconds="${1:-30}"
jobs="${2:-1}"
shift $(( $# > 2 ? 2 : $# ))

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

cmake --preset fuzz
cmake --build build/fuzz -j2 --target "$fuzzer"

work="$(mktemp -d "${TMPDIR:-/tmp}/kestrine-fuzz.XXXXXX")"
mkdir -p "$work/corpus"
cp fuzz/corpus/* "$work/corpus/"
echo "work folder: $work"

cd "$work"
status=0
"$root/build/fuzz/fuzz/$fuzzer" -max_total_time="$seconds" -jobs="$jobs" \
  -workers="$jobs" -artifact_prefix="$work/" "$@" corpus || status=$?

# With -jobs each process logs to fuzz-N.log; sum up their executions.
if ls fuzz-*.log >/dev/null 2>&1; then
  grep -h '^Done ' fuzz-*.log || true
  grep -h '^Done ' fuzz-*.log | awk '{ runs += $2 } END { print "total executions:", runs + 0 }'
fi
exit "$status"
