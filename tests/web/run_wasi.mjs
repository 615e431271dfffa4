// Runs a wasm32-wasi command module under Node's WASI with no file system and
// no environment, and exits with its exit code.
// Usage: node run_wasi.mjs MODULE.wasm
import { readFile } from "node:fs/promises";
import { argv, exit } from "node:process";
import { WASI } from "node:wasi";

const wasi = new WASI({ version: "preview1", args: [argv[2]], env: {}, returnOnExit: true });
const module = await WebAssembly.compile(await readFile(argv[2]));
const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
exit(wasi.start(instance));
