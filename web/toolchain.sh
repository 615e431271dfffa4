# Sourced by scripts/web and tests/web/engine_corpus.sh: how calc/ is compiled
# for WebAssembly, in one place, so that the tested engine is the shipped one.
#
# wasm32-wasi is the name Debian's libc++ for WebAssembly is installed under;
# clang 22 calls it deprecated in favour of wasm32-wasip1, which that package
# does not provide yet: -Wno-deprecated goes when it does. No exceptions: calc/
# throws none, and libc++ then calls abort where it would throw.
wasm_cxx=(clang++-22 --target=wasm32-wasi -Wno-deprecated -std=c++20 -O2 -fno-exceptions -ffp-contract=off -I.)
wasm_engine_sources=(calc/*.cpp)

# Compiles each source given into $wasm_objects (an array), in the folder $1.
wasm_compile() {
    local folder=$1 source object
    shift
    mkdir -p "$folder"
    wasm_objects=()
    for source in "$@"; do
        object="$folder/${source//\//_}.o"
        "${wasm_cxx[@]}" -Wall -Wextra -Werror "${wasm_extra_flags[@]}" -c "$source" -o "$object"
        wasm_objects+=("$object")
    done
}
wasm_extra_flags=()
