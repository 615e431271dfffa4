// Runs a wasm32-wasi command module under Node's WASI, with its arguments, no
// file system and no environment, and exits with its exit code.
// Usage: node run_wasi.mjs MODULE.wasm [ARGUMENT...]
import { readFile } from "node:fs/promises";
import { argv, exit } from "node:process";
import { WASI } from "node:wasi";

const wasi = new WASI({ version: "preview1", args: argv.slice(2), env: {}, returnOnExit: true });
const module = await WebAssembly.compile(await readFile(argv[2]));
exit(wasi.start(await WebAssembly.instantiate(module, wasi.getImportObject())));
