// Runs a wasm32-wasi command module under Node's WASI, with its arguments, no
// file system and no environment, and exits with its exit code.
// Usage: node run_wasi.mjs MODULE.wasm [ARGUMENT...]
import { openSync } from "node:fs";
import { readFile } from "node:fs/promises";
import { argv, exit } from "node:process";
import { WASI } from "node:wasi";

// Node leaves its standard output non-blocking, so a module writing to a pipe
// whose reader falls behind (a busy machine) got EAGAIN and its C library
// dropped the text. Opened anew, the pipe blocks as a command's output should.
const stdout = openSync("/dev/stdout", "w");
const wasi = new WASI({ version: "preview1", args: argv.slice(2), env: {}, stdout, returnOnExit: true });
const module = await WebAssembly.compile(await readFile(argv[2]));
exit(wasi.start(await WebAssembly.instantiate(module, wasi.getImportObject())));
