// Writes build/web/kalvoran.html: the page's code and style, the layout
// tables and the engine the build wrote, the pictures, the web fonts and the
// licence texts, all in one file that opens from disk with no network.
//
// Usage: node web/page/build.mjs [--layouts FILE] [--engine FILE] [--out FILE]
// (defaults: build/layout/layouts.json, build/web/kalvoran_engine.wasm,
// build/web/kalvoran.html, from the repository root)

import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import * as esbuild from "esbuild";

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, "..", "..");
const kMaxBytes = 1024 * 1024;
const kFamily = "Kalvoran Sans"; // Liberation Sans, cut down and renamed as its licence asks
const kFontDir = "/usr/share/fonts/truetype/liberation2";
const kFaces = [
  { file: "Regular", weight: 400, italic: false },
  { file: "Bold", weight: 700, italic: false },
  { file: "Italic", weight: 400, italic: true },
  { file: "BoldItalic", weight: 700, italic: true },
];
// What goes into the file besides our own work, with the text of its licence.
const kLicences = [
  ["Liberation Sans (as the web font Kalvoran Sans)", "/usr/share/doc/fonts-liberation2/copyright", true],
  ["wasi-libc, in the engine", "/usr/share/doc/wasi-libc/copyright", false],
  ["libc++, in the engine", "/usr/share/doc/libc++-22-dev-wasm32/copyright", false],
  ["libc++abi, in the engine", "/usr/share/doc/libc++abi-22-dev-wasm32/copyright", false],
  ["compiler-rt builtins, in the engine", "/usr/share/doc/libclang-rt-22-dev-wasm32/copyright", false],
];

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return path.resolve(root, at > 0 ? process.argv[at + 1] : fallback);
}

function need(file, what) {
  if (!existsSync(file)) {
    console.error(`build.mjs: ${what} ${path.relative(root, file)} is missing; run: make web`);
    process.exit(1);
  }
  return readFileSync(file);
}

const layoutsFile = option("--layouts", "build/layout/layouts.json");
const engineFile = option("--engine", "build/web/kalvoran_engine.wasm");
const outFile = option("--out", "build/web/kalvoran.html");

// The build's layout data: the windows, and the texts the page shows of its own.
const dump = JSON.parse(need(layoutsFile, "the layout tables").toString("utf8"));
const layouts = dump.windows;
if (!Array.isArray(layouts) || !dump.announcements || !dump.clearedResults || !dump.moves || !dump.drawing) {
  console.error(`build.mjs: ${path.relative(root, layoutsFile)} is no layout dump of this version; run: make web`);
  process.exit(1);
}
const engine = need(engineFile, "the engine");

// Every picture a table names, by the path it names it with.
const pictures = {};
for (const window of layouts) {
  for (const control of window.controls) {
    if (control.kind !== "PictureBox") continue;
    const file = path.join(root, "ui", "pictures", control.picture || path.basename(control.caption));
    const type = file.endsWith(".gif") ? "image/gif" : file.endsWith(".png") ? "image/png" : "image/jpeg";
    pictures[control.caption] = { type, data: need(file, "the picture").toString("base64") };
  }
}

const fontsOut = mkdtempSync(path.join(tmpdir(), "kalvoran-fonts-"));
try {
  // Debian's own Python, whose fontTools the web group installs.
  execFileSync("/usr/bin/python3", [path.join(here, "subset_fonts.py"), kFontDir, fontsOut, kFamily], {
    stdio: ["ignore", "ignore", "inherit"],
  });
  var fonts = kFaces.map((face) => ({
    weight: face.weight,
    italic: face.italic,
    data: readFileSync(path.join(fontsOut, `${face.file}.woff2`)).toString("base64"),
  }));
} catch {
  console.error("build.mjs: the web fonts could not be made; run: scripts/install-deps web");
  process.exit(1);
} finally {
  rmSync(fontsOut, { recursive: true, force: true });
}

const licences = kLicences
  .filter(([, file, required]) => required || existsSync(file))
  .map(([what, file]) => `==== ${what} ====\n\n${need(file, "the licence text").toString("utf8")}`)
  .join("\n\n");

const data = {
  layouts,
  screens: dump.screens,
  moves: dump.moves,
  ids: dump.ids,
  drawing: dump.drawing,
  engine: engine.toString("base64"),
  pictures,
  icon: need(path.join(root, "ui", "pictures", "kalvoran-32.png"), "the window icon").toString("base64"),
  fonts,
  fontFamily: kFamily,
  clearedResults: dump.clearedResults,
  announcements: dump.announcements,
  errorBoxTitle: dump.errorBoxTitle,
};

const script = await esbuild.build({
  entryPoints: [path.join(here, "main.ts")],
  bundle: true,
  minify: true,
  format: "iife",
  target: "es2022",
  write: false,
  legalComments: "none",
});
// The stylesheet's reds are the layout's.
const css = readFileSync(path.join(here, "style.css"), "utf8")
  .replaceAll("@RED@", dump.drawing.red.join(", "))
  .replaceAll("@MORE_CONTRAST_RED@", dump.drawing.moreContrastRed.join(", "));
const style = await esbuild.transform(css, {
  loader: "css",
  minify: true,
});

// Nothing inside a script element may close it early.
const safe = (text) => text.replaceAll("</", "<\\/");
const fill = {
  "/*@STYLE@*/": style.code.replaceAll("</", "<\\/"),
  "/*@DATA@*/": JSON.stringify(data).replaceAll("<", "\\u003c"),
  "/*@LICENCES@*/": licences.replaceAll("</", "< /"),
  "/*@SCRIPT@*/": safe(script.outputFiles[0].text),
};
let html = readFileSync(path.join(here, "template.html"), "utf8");
for (const [mark, text] of Object.entries(fill)) html = html.split(mark).join(text);
// The parser turns every CR LF into LF before a script's text is hashed.
html = html.replace(/\r\n?/g, "\n");

// The page's policy lets run only the scripts and styles the build put in it,
// each by the SHA-256 of its text, and no style attribute at all. A script
// with a type is data (the page data, the licences) and runs never.
const digests = { script: [], style: [] };
for (const [, tag, attributes, text] of html.matchAll(/<(script|style)(\s[^>]*)?>([\s\S]*?)<\/\1>/g)) {
  if (tag === "script" && /\btype=/.test(attributes ?? "")) continue;
  digests[tag].push(`'sha256-${createHash("sha256").update(text, "utf8").digest("base64")}'`);
}
if (!digests.script.length || !digests.style.length || /<[^>]+\sstyle=/.test(html.replace(/<(script|style)\b[\s\S]*?<\/\1>/g, ""))) {
  console.error("build.mjs: template.html wants one <script> and one <style> and no style attribute, which the page's policy forbids");
  process.exit(1);
}
html = html.replace("/*@SCRIPT-HASHES@*/", digests.script.join(" ")).replace("/*@STYLE-HASHES@*/", digests.style.join(" "));

const size = Buffer.byteLength(html);
if (size > kMaxBytes) {
  console.error(`build.mjs: ${path.relative(root, outFile)} would be ${size} bytes, over the ${kMaxBytes} allowed`);
  process.exit(1);
}
writeFileSync(outFile, html);
console.log(`${path.relative(root, outFile)}: ${size} bytes`);
