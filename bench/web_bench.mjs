// The page's speed in one Chromium run: opening build/web/kalvoran.html to
// the main window's first complete frame against a floor page with one label
// and one button (goal: at most 1.5 times), "Calculate Now" to the results
// drawn (goal: under 5 ms), and the file's size.
//
// Usage: node bench/web_bench.mjs [--runs N]

import { mkdtempSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
const require = createRequire(path.join(root, "web", "package.json"));
const { chromium } = require("playwright-core");
const runsAt = process.argv.indexOf("--runs");
const runs = runsAt > 0 ? Number(process.argv[runsAt + 1]) : 15;
const page = path.join(root, "build", "web", "kalvoran.html");

// The least a page can be: one label and one button, drawn in the same face
// as the page would fall back to.
const kFloor = `<!doctype html><html lang="en"><head><meta charset="utf-8"><title>Floor</title></head>
<body><p>Kalvoran</p><button type="button">OK</button>
<script>document.addEventListener("DOMContentLoaded", () => document.documentElement.dataset.ready = "true");</script>
</body></html>`;

// When the page says it is ready, the next frame drawn is its first complete one.
const kWatchFirstFrame = () => {
  new MutationObserver((_, observer) => {
    if (!document.documentElement.dataset.ready) return;
    observer.disconnect();
    requestAnimationFrame(() => setTimeout(() => (window.firstFrame = performance.now()), 0));
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ["data-ready"] });
};

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const dir = mkdtempSync(path.join(tmpdir(), "kalvoran-web-bench-"));
const floor = path.join(dir, "floor.html");
writeFileSync(floor, kFloor);
const context = await chromium.launchPersistentContext(path.join(dir, "profile"), {
  executablePath: "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run"],
  viewport: { width: 1280, height: 900 },
});
try {
  const tab = context.pages()[0] ?? (await context.newPage());
  await tab.addInitScript(kWatchFirstFrame);
  const firstFrame = async (file) => {
    await tab.goto(pathToFileURL(file).href);
    await tab.waitForFunction(() => window.firstFrame !== undefined, null, { timeout: 15000 });
    return tab.evaluate(() => window.firstFrame);
  };
  const times = { floor: [], page: [] };
  await firstFrame(floor); // the browser's own start-up is no one's
  await firstFrame(page);
  for (let i = 0; i < runs; i++) {
    times.floor.push(await firstFrame(floor));
    times.page.push(await firstFrame(page));
  }

  // The SI window with the worked run's inputs; each click runs it again.
  await firstFrame(page);
  await tab.click('section[data-name="Form1"] [data-control="Command1"]');
  const click = await tab.evaluate(async (count) => {
    const w = document.querySelector('section[data-name="Form2"]');
    const set = (name, text) => ((w.querySelector(`[data-control="${name}"] input`) ?? w.querySelector(`[data-control="${name}"]`)).value = text);
    for (const [name, text] of [["C", "120"], ["D", "50"], ["L", "10"], ["Q", "500"], ["Tf", "1"], ["Ef", "2"], ["hight", "5"], ["RP", "1"]])
      set(name, text);
    const button = w.querySelector('[data-control="Command1"]');
    const laidOut = [];
    const painted = [];
    for (let i = 0; i < count; i++) {
      const start = performance.now();
      button.click();
      void w.querySelector('[data-control="V"]').getBoundingClientRect(); // style and layout done
      laidOut.push(performance.now() - start);
      await new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
      painted.push(performance.now() - start);
    }
    const shown = w.querySelector('[data-control="V"]').value;
    return { laidOut, painted, shown };
  }, 50);

  const floorMs = median(times.floor);
  const pageMs = median(times.page);
  const size = statSync(page).size;
  console.log(`web: first complete frame, median of ${runs}: kalvoran.html ${pageMs.toFixed(1)} ms, floor page ${floorMs.toFixed(1)} ms, ratio ${(pageMs / floorMs).toFixed(2)} (goal <= 1.5)`);
  console.log(`web: Calculate Now to results laid out, median of 50: ${median(click.laidOut).toFixed(2)} ms (goal < 5); to the next frame drawn: ${median(click.painted).toFixed(1)} ms; V = ${click.shown}`);
  console.log(`web: kalvoran.html ${size} bytes (goal <= 1048576)`);
} finally {
  await context.close();
  rmSync(dir, { recursive: true, force: true });
}
