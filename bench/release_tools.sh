# Sourced by the benchmark scripts: builds the generator (bench preset) and
# the release tool, and names them. Sets `root` (the source tree, also the
# working folder), `gen` and `tool`.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target kestrine_bench_gen >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target kestrine_tool >/dev/null
gen=$root/build/bench/bench/kestrine_bench_gen
tool=$root/build/release/tools/kestrine
