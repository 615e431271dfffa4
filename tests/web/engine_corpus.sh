#!/usr/bin/env bash
# The engine in WebAssembly under Node, after scripts/web: the shipped module
# through its page contract on the worked run (engine_glue.mjs), then the run
# corpus of tests/calc/run_corpus.h compiled for wasm32-wasi with the engine's
# own flags, against the native engine's hashes. Prints the differing runs and
# the time.
set -euo pipefail
cd "$(dirname "$0")/../.."

command -v clang++-22 >/dev/null || { echo "engine_corpus: clang++-22 missing; run: scripts/install-deps web" >&2; exit 1; }
command -v node >/dev/null || { echo "engine_corpus: node missing; run: scripts/install-deps web" >&2; exit 1; }
[ -f build/web/kalvoran_engine.wasm ] || { echo "engine_corpus: no engine; run: make web" >&2; exit 1; }
out=build/web/test
mkdir -p "$out"

# The worked run from the end-to-end tests' own table; the fixture reads the
# windows from a plain layout dump.
build/web/native/layout/layout_dump "$out/layouts.json"
KALVORAN_LAYOUTS="$out/layouts.json" python3 -c 'import json, sys; sys.path.insert(0, "tests/e2e"); import fixture
print(json.dumps({"run": fixture.SI_RUN, "results": fixture.SI_RESULTS}))' >"$out/si_run.json"
node tests/web/engine_glue.mjs build/web/kalvoran_engine.wasm build/web/layouts.json "$out/si_run.json"
source web/toolchain.sh
wasm_extra_flags=(-Itests)
wasm_compile "$out" "${wasm_engine_sources[@]}" tests/web/engine_corpus.cpp
"${wasm_cxx[@]}" "${wasm_objects[@]}" -o "$out/engine_corpus.wasm"

start=$(date +%s%N)
status=0
node --no-warnings tests/web/run_wasi.mjs "$out/engine_corpus.wasm" || status=$?
echo "engine_corpus: $((($(date +%s%N) - start) / 1000000)) ms under Node $(node --version)"
exit $status
