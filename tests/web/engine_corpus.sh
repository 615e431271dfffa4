#!/usr/bin/env bash
# The engine in WebAssembly against the native one: tests/calc/run_corpus
# compiled for wasm32-wasi with the engine's own flags (web/toolchain.sh) and
# run under Node; its block digests must be the recorded ones. Prints the runs
# of the first differing block (diff them with run_corpus --block of a native
# build to see the runs that changed), the count and the time.
set -euo pipefail
cd "$(dirname "$0")/../.."

for tool in clang++-22 node; do
    command -v $tool >/dev/null || { echo "engine_corpus: $tool missing; run: scripts/install-deps web" >&2; exit 1; }
done
out=build/web/test
source web/toolchain.sh
wasm_extra_flags=(-Itests)
wasm_compile "$out" "${wasm_engine_sources[@]}" tests/calc/run_corpus_main.cpp
"${wasm_cxx[@]}" "${wasm_objects[@]}" -o "$out/run_corpus.wasm"

run=(node --no-warnings tests/web/run_wasi.mjs "$out/run_corpus.wasm")
start=$(date +%s%N)
"${run[@]}" --write | grep -o '0x[0-9a-f]*' >"$out/hashes.txt"
milliseconds=$((($(date +%s%N) - start) / 1000000))
mapfile -t differing < <(grep -o '0x[0-9a-f]*' tests/calc/run_corpus_hashes.inc | paste -d ' ' - "$out/hashes.txt" |
    awk '$1 != $2 { print NR - 1 }')
for block in "${differing[@]:0:1}"; do
    echo "block $block now gives:"
    "${run[@]}" --block "$block"
done
echo "engine_corpus: ${#differing[@]} of $(wc -l <"$out/hashes.txt") blocks of runs differ; ${milliseconds} ms under Node $(node --version)"
[ ${#differing[@]} -eq 0 ]
