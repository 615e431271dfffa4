// The shipped engine module through its page contract (web/engine.cpp): the
// worked SI run of tests/e2e/fixture.py on a screen made of the layout's
// initial texts, with a length typed longer than the engine's first buffer.
// Usage: node engine_glue.mjs ENGINE.wasm LAYOUTS.json RUN.json
import { readFileSync } from "node:fs";
import { argv, exit } from "node:process";

const [engineFile, layoutsFile, runFile] = argv.slice(2);
const page = JSON.parse(readFileSync(layoutsFile, "utf8"));
const { run, results } = JSON.parse(readFileSync(runFile, "utf8"));
const si = page.windows.find((w) => w.name === "Form2");
const texts = new Map(si.controls.filter((c) => c.kind === "TextBox" || c.kind === "ComboBox").map((c) => [c.name, c.caption]));
for (const [name, text] of run) texts.set(name, text);
texts.set("L", texts.get("L") + " ".repeat(200)); // read as the same number, past 64 bytes

let memory;
const utf8 = new TextDecoder();
const read = (ptr, len) => utf8.decode(new Uint8Array(memory.buffer, ptr, len));
const events = [];
const screen = {
  fieldText(namePtr, nameLen, outPtr, outCap) {
    const name = read(namePtr, nameLen);
    if (!texts.has(name)) events.push(`read of unknown field ${name}`);
    const bytes = new TextEncoder().encode(texts.get(name) ?? "");
    new Uint8Array(memory.buffer, outPtr, outCap).set(bytes.subarray(0, outCap));
    return bytes.length;
  },
  setFieldText(namePtr, nameLen, textPtr, textLen) {
    const name = read(namePtr, nameLen);
    if (!texts.has(name)) events.push(`write of unknown field ${name}`);
    texts.set(name, read(textPtr, textLen));
  },
  setResultsVisible: (visible) => events.push(visible ? "show" : "hide"),
  showError: (ptr, len) => events.push(`error ${read(ptr, len)}`),
};
const wasi = { fd_close: () => 8, fd_seek: () => 8, fd_write: () => 8 }; // EBADF: the engine prints nothing
const { instance } = await WebAssembly.instantiate(readFileSync(engineFile), { screen, wasi_snapshot_preview1: wasi });
memory = instance.exports.memory;
instance.exports._initialize();
instance.exports.calculateSi();

const got = results.map(([name]) => [name, texts.get(name)]);
const ok = JSON.stringify(got) === JSON.stringify(results) && JSON.stringify(events) === '["hide","show"]';
console.log(`engine_glue: ${ok ? "ok" : "FAILED"}: ${JSON.stringify(got)} ${JSON.stringify(events)}`);
exit(ok ? 0 : 1);
