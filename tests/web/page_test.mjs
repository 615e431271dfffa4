// The page end to end in a real browser, as a user drives it: the moves and
// worked runs of the desktop's tests (tests/data/), the error box, Tab order,
// every control's box against the tables, captions that fit, no request after
// load, the page's policy, and axe-core on every window in every state; then
// again with more contrast asked for, and with forced colours.
//
// Usage: node tests/web/page_test.mjs chromium|firefox [--screenshots DIR]
// (KALVORAN_PAGE: the page, default build/web/kalvoran.html)

import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..", "..");
const require = createRequire(path.join(root, "web", "package.json"));
const browserName = process.argv[2];
const shotsAt = process.argv.indexOf("--screenshots");
const shotsDir = shotsAt > 0 ? path.resolve(process.argv[shotsAt + 1]) : null;
const pageFile = path.resolve(process.env.KALVORAN_PAGE ?? path.join(root, "build", "web", "kalvoran.html"));
const pageUrl = pathToFileURL(pageFile).href;

const table = (name) => JSON.parse(readFileSync(path.join(root, "tests", "data", `${name}.json`), "utf8"));
const { moves } = table("moves");
const { runs } = table("worked_runs");
const layouts = JSON.parse(readFileSync(process.env.KALVORAN_LAYOUTS ?? path.join(root, "build", "layout", "layouts.json"))).windows;
const form = { Main: "Form1", Si: "Form2", British: "Form3", Farewell: "Form4", About: "Form5" };
const layoutOf = (name) => layouts.find((w) => w.name === name);
const kCommonArgs = ["--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run"];

// Firefox's driver cannot emulate these media features; Firefox's own
// settings stand in: an accessibility theme asks for more contrast, and never
// using the page's colours forces the person's (and asks for more contrast).
const kFirefoxMedia = { default: {}, more: { "ui.useAccessibilityTheme": 1 }, forced: { "browser.display.document_color_use": 2 } };

// Every policy violation the page reports, from before its first script on.
function recordViolations() {
  window.policyViolations = [];
  document.addEventListener("securitypolicyviolation", (e) => window.policyViolations.push(e.effectiveDirective), true);
}

// The two drivers behind one small interface.
async function launch(name, profile, media) {
  if (name === "chromium") {
    const { chromium } = require("playwright-core");
    const context = await chromium.launchPersistentContext(profile, {
      executablePath: "/usr/bin/chromium",
      headless: true,
      args: ["--no-sandbox", ...kCommonArgs],
      viewport: { width: 1280, height: 900 },
      contrast: media === "more" ? "more" : null,
      forcedColors: media === "forced" ? "active" : null,
    });
    const page = context.pages()[0] ?? (await context.newPage());
    await context.addInitScript(recordViolations);
    return {
      page,
      close: () => context.close(),
      offline: () => context.setOffline(true),
      viewport: (width, height) => page.setViewportSize({ width, height }),
    };
  }
  const puppeteer = require("puppeteer-core");
  const browser = await puppeteer.launch({
    browser: "firefox",
    executablePath: "/usr/bin/firefox-esr",
    headless: true,
    userDataDir: profile,
    extraPrefsFirefox: { "network.proxy.type": 0, ...kFirefoxMedia[media] },
  });
  // The tab Firefox opens with never has the focus, and without it no :focus
  // style applies; one of the driver's own has it, but it may be closed by the
  // page, which the Exit moves must not do.
  const page = media === "forced" ? await browser.newPage() : ((await browser.pages())[0] ?? (await browser.newPage()));
  await page.setViewport({ width: 1280, height: 900 });
  await page.evaluateOnNewDocument(recordViolations);
  return {
    page,
    close: () => browser.close(),
    offline: async () => {},
    viewport: (width, height) => page.setViewport({ width, height }),
  };
}

class Checks {
  failed = new Map();
  passed = new Set();
  fail(name, why) {
    if (!this.failed.has(name)) this.failed.set(name, why);
    console.log(`  miss ${name}: ${why}`);
  }
  expect(name, condition, why) {
    if (condition) this.passed.add(name);
    else this.fail(name, why);
    return Boolean(condition);
  }
  async run(name, body) {
    try {
      await body();
      this.passed.add(name);
    } catch (error) {
      this.fail(name, error?.message ?? String(error));
    }
  }
  report() {
    const names = [...new Set([...this.passed, ...this.failed.keys()])];
    let failed = 0;
    for (const name of names) {
      const why = this.failed.get(name);
      failed += why === undefined ? 0 : 1;
      console.log(why === undefined ? `PASS ${name}` : `FAIL ${name}: ${why}`);
    }
    console.log(`${browserName}: ${names.length - failed} passed, ${failed} failed`);
    return failed === 0;
  }
}

const win = (screen) => `section[data-name="${form[screen] ?? screen}"]`;
const ctl = (screen, name) => `${win(screen)} [data-control="${name}"]`;
// A user clicks a window to bring it to the front before pressing a button in it.
async function press(page, screen, button) {
  await page.click(`${win(screen)} .title-bar h2`);
  await page.click(ctl(screen, button));
}
// What takes the typing: a combo box's edit field, or the text box itself.
const field = (screen, name) => `${ctl(screen, name)}${["C", "D"].includes(name) ? " input" : ""}`;

const takeViolations = (page) => page.evaluate(() => window.policyViolations?.splice(0) ?? []).catch(() => []);
const violations = []; // refused by the page's policy, over every load of the page itself
async function open(page, url = pageUrl) {
  violations.push(...(await takeViolations(page)));
  await page.goto(url);
  await page.waitForSelector("html[data-ready]", { timeout: 15000 });
}

const visibleScreens = (page) =>
  page.evaluate(() =>
    [...document.querySelectorAll("section.window")].filter((w) => !w.hidden).map((w) => w.dataset.name),
  );
const textOf = (page, screen, name) =>
  page.evaluate(
    ([w, n]) => {
      const element = document.querySelector(`section[data-name="${w}"] [data-control="${n}"]`);
      return (element?.querySelector("input") ?? element)?.value;
    },
    [form[screen] ?? screen, name],
  );
const frameShown = (page, screen) =>
  page.evaluate((w) => document.querySelector(`section[data-name="${w}"] [data-control="Frame1"]`)?.hidden === false, form[screen]);
const activeControl = (page) =>
  page.evaluate(() => {
    const a = document.activeElement;
    return (a?.closest("[data-control]") ?? null)?.dataset.control ?? a?.className ?? null;
  });
// Keys reach the page a moment after the driver sends them (Firefox over
// BiDi): wait for a frame to be drawn before reading what they did.
const settle = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
const errorText = (page) =>
  page.evaluate(() => (document.querySelector(".modal-overlay")?.hidden === false ? document.getElementById("error-text").textContent : null));

async function typeInto(page, screen, name, text) {
  await page.click(field(screen, name));
  await page.evaluate(() => document.activeElement.select());
  await page.keyboard.press("Backspace");
          await settle(page);
  if (text) await page.keyboard.type(text);
}

// A list entry picked with the mouse, as from the drop-down.
async function pick(page, screen, name, item) {
  await page.click(`${ctl(screen, name)} .combo-arrow`);
  const at = await page.evaluate(
    ([w, n, text]) =>
      [...document.querySelectorAll(`section[data-name="${w}"] [data-control="${n}"] li`)].findIndex((li) => li.textContent === text),
    [form[screen], name, item],
  );
  if (at < 0) throw new Error(`no ${item} in the list of ${name}`);
  await page.click(`${ctl(screen, name)} li:nth-child(${at + 1})`);
}

// A worked run's window opened from the main window, its C factor and
// diameter picked from the lists and its other inputs typed.
async function fill(page, run) {
  await page.click(ctl("Main", run.units === "Si" ? "Command1" : "Command2"));
  await pick(page, run.units, "C", run.c);
  await pick(page, run.units, "D", run.d);
  for (const [name, text] of run.typed) await typeInto(page, run.units, name, text);
}

// Calculate Now, every message dismissed with Return.
async function calculate(page, screen) {
  await page.click(ctl(screen, "Command1"));
  while ((await errorText(page)) !== null) {
    await page.keyboard.press("Enter");
    await settle(page);
  }
}

// Measured in the page: every control's box against its table row, in CSS
// pixels from the client area's top left corner; the largest difference.
function measureBoxes(page, name) {
  return page.evaluate((layout) => {
    const w = document.querySelector(`section[data-name="${layout.name}"]`);
    const client = w.querySelector(".client").getBoundingClientRect();
    const frames = Object.fromEntries(layout.controls.filter((c) => c.kind === "GroupBox").map((c) => [c.name, c.pixels]));
    let worst = { difference: 0, control: null };
    const sizeDifference = Math.max(
      Math.abs(client.width - layout.clientPixels[2]),
      Math.abs(client.height - layout.clientPixels[3]),
    );
    if (sizeDifference > worst.difference) worst = { difference: sizeDifference, control: "client area" };
    for (const c of layout.controls) {
      if (c.kind === "Line") continue;
      const key = c.index >= 0 ? `${c.name}(${c.index})` : c.name;
      const element = w.querySelector(`[data-control="${key}"]`);
      if (!element || element.hidden) continue;
      const r = element.getBoundingClientRect();
      const [fx, fy] = c.parent ? frames[c.parent] : [0, 0];
      const expected = [c.pixels[0] + fx, c.pixels[1] + fy, c.pixels[2], c.pixels[3]];
      const got = [r.left - client.left, r.top - client.top, r.width, r.height];
      const difference = Math.max(...got.map((v, i) => Math.abs(v - expected[i])));
      if (difference > worst.difference) worst = { difference, control: key, got, expected };
    }
    return worst;
  }, layoutOf(name));
}

// Captions that do not fit their box: a word of a label or button whose
// glyphs reach past the box's right or bottom edge (word by word, since a
// space that hangs at the end of a wrapped line is no cut).
function overflowing(page, name) {
  return page.evaluate((w) => {
    const cut = [];
    for (const e of document.querySelectorAll(`section[data-name="${w}"] .label, section[data-name="${w}"] .push-button`)) {
      if (e.hidden) continue;
      const box = e.getBoundingClientRect();
      const text = e.firstChild;
      if (!text || text.nodeType !== Node.TEXT_NODE) continue;
      for (const word of text.data.matchAll(/\S+/g)) {
        const range = document.createRange();
        range.setStart(text, word.index);
        range.setEnd(text, word.index + word[0].length);
        const r = range.getBoundingClientRect();
        if (r.right > box.right + 0.5 || r.bottom > box.bottom + 0.5 || r.left < box.left - 0.5) {
          cut.push(`${e.dataset.control} "${word[0]}"`);
          break;
        }
      }
    }
    return cut;
  }, name);
}

const axeSource = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
async function axe(page, selector) {
  await page.evaluate(axeSource);
  return page.evaluate(async (context) => {
    const result = await window.axe.run(context ?? document, { resultTypes: ["violations"] });
    return result.violations.map((v) => `${v.id} (${v.nodes.length})`);
  }, selector);
}

// Each window in the state its pictures show, the calculation windows after a worked run.
const kStates = [
  ["Form1", []],
  ["Form5", [["Main", "Command4"]]],
  ["Form2", []],
  ["Form3", []],
  ["Form4", [["Main", "Command3"]]],
];
async function showState(page, name, clicks) {
  await open(page);
  for (const [screen, button] of clicks) await page.click(ctl(screen, button));
  if (name === "Form2" || name === "Form3") {
    const screen = name === "Form2" ? "Si" : "British";
    await fill(page, runs.find((r) => r.units === screen && r.messages.length === 0));
    await calculate(page, screen);
    await page.click(`${win(name)} .title-bar h2`); // no focus ring in the pictures
  }
}

// The tables' red as the page shows it, and its darker stand-in.
const kRed = { default: "rgb(255, 0, 0)", more: "rgb(176, 0, 0)" };
const kMedia = { default: "", more: "more_contrast.", forced: "forced_colours." };
function redsOf(page, name) {
  return page.evaluate((layout) => {
    const w = document.querySelector(`section[data-name="${layout.name}"]`);
    return layout.controls
      .filter((c) => c.style.ownColours && c.style.text.join() === "255,0,0")
      .map((c) => {
        const e = w.querySelector(`[data-control="${c.index >= 0 ? `${c.name}(${c.index})` : c.name}"]`);
        const s = getComputedStyle(c.kind === "GroupBox" ? e.querySelector(".group-caption") : e);
        return [c.name, c.kind === "Line" ? s.backgroundColor : s.color];
      });
  }, layoutOf(name));
}

async function windowChecks(page, checks, media, worstBox) {
  for (const [name, clicks] of kStates) {
    await checks.run(`${kMedia[media]}boxes_and_captions.${name}`, async () => {
      await showState(page, name, clicks);
      const worst = await measureBoxes(page, name);
      if (worst.difference > worstBox.difference) Object.assign(worstBox, worst, { window: name });
      if (worst.difference > 0.5) throw new Error(`${worst.control}: ${worst.got} against ${worst.expected}`);
      const cut = await overflowing(page, name);
      if (cut.length) throw new Error(`cut captions: ${cut.join(", ")}`);
      const wrong = (await redsOf(page, name)).filter(([, colour]) => colour !== kRed[media]);
      if (wrong.length) throw new Error(`not ${kRed[media]}: ${wrong.map((r) => r.join(" ")).join(", ")}`);
      if (shotsDir && (media === "default" || name === "Form2")) {
        const file = { Form1: "main", Form2: "si", Form3: "british", Form4: "farewell", Form5: "about" }[name];
        const suffix = media === "default" ? "" : "-more-contrast";
        await (await page.$(win(name))).screenshot({ path: path.join(shotsDir, `${file}${suffix}.png`) });
      }
    });
  }
}

// axe-core on every window in every state, the error box and the ended page.
// The tables' own red fails color-contrast, which only more contrast mends.
const kAxeStates = [
  ["main", []],
  ["about", [["Main", "Command4"]]],
  ["si_fresh", [["Main", "Command1"]]],
  ["si_error_box", [["Main", "Command1"], ["Si", "Command1"]]],
  ["british_fresh", [["Main", "Command2"]]],
  ["farewell", [["Main", "Command3"]]],
  ["ended", [["Main", "Command3"], ["Farewell", "Command1"]]],
  ["si_results", "Si"],
  ["british_results", "British"],
];
async function axeChecks(page, checks, media, axeResults) {
  for (const [state, steps] of kAxeStates) {
    await checks.run(`${kMedia[media]}axe.${state}`, async () => {
      await open(page);
      if (typeof steps === "string") {
        await fill(page, runs.find((r) => r.units === steps && r.messages.length === 0));
        await calculate(page, steps);
      } else {
        for (const [screen, button] of steps) await page.click(ctl(screen, button));
      }
      const violations = await axe(page, null);
      axeResults[`${kMedia[media]}${state}`] = violations;
      const real = violations.filter((v) => media !== "default" || !v.startsWith("color-contrast"));
      if (real.length) throw new Error(real.join(", "));
    });
  }
}

// Forced colours: no red left, every control with a border on all four sides,
// and a visible outline on each as Tab reaches it.
async function forcedChecks(page, checks) {
  for (const [name, clicks] of kStates) {
    await checks.run(`forced_colours.${name}`, async () => {
      await showState(page, name, clicks);
      const red = (await redsOf(page, name)).filter(([, colour]) => Object.values(kRed).includes(colour));
      if (red.length) throw new Error(`still red: ${red.map((r) => r[0]).join(", ")}`);
      // A line of the element's edge is drawn: a style, a width, a colour.
      const bare = await page.evaluate((w) => {
        const drawn = (s, edge) => s[`${edge}Style`] !== "none" && parseFloat(s[`${edge}Width`]) >= 1 && s[`${edge}Color`] !== "rgba(0, 0, 0, 0)";
        return [...document.querySelectorAll(`section[data-name="${w}"] :is(input, textarea, button, .picture-box)`)]
          .filter((e) => !e.closest("[hidden]"))
          .filter((e) => ["Top", "Right", "Bottom", "Left"].some((side) => !drawn(getComputedStyle(e), `border${side}`)))
          .map((e) => e.closest("[data-control]")?.dataset.control ?? e.className);
      }, name);
      if (bare.length) throw new Error(`no border: ${bare.join(", ")}`);
      const unringed = [];
      for (let i = 0; i < layoutOf(name).tabOrder.length; i++) {
        await page.keyboard.press("Tab");
        await settle(page);
        const [control, ringed] = await page.evaluate(() => {
          const a = document.activeElement;
          const s = getComputedStyle(a);
          const ringed = s.outlineStyle !== "none" && parseFloat(s.outlineWidth) >= 1 && s.outlineColor !== "rgba(0, 0, 0, 0)";
          return [a.closest("[data-control]")?.dataset.control ?? a.className, ringed];
        });
        if (!ringed) unringed.push(control);
      }
      if (unringed.length) throw new Error(`no focus ring: ${unringed.join(", ")}`);
    });
  }
}

async function main() {
  if (!["chromium", "firefox"].includes(browserName)) {
    console.error("usage: page_test.mjs chromium|firefox [--screenshots DIR]");
    process.exit(2);
  }
  const profile = mkdtempSync(path.join(tmpdir(), `kalvoran-${browserName}-`));
  const copyDir = mkdtempSync(path.join(tmpdir(), "kalvoran-copy-"));
  const browser = await launch(browserName, profile, "default");
  const { page } = browser;
  const checks = new Checks();
  const axeResults = {};
  const worstBox = { difference: 0 };
  let afterLoad = false;
  const requests = [];
  // Loading the page again is no request of the page's own; anything else is.
  page.on("request", (request) => afterLoad && !request.isNavigationRequest() && requests.push(request.url()));
  // Firefox reports what the policy refuses as errors of the page too.
  let refusing = false;
  page.on("pageerror", (error) => (refusing && /^Content-Security-Policy/.test(error.message)) || checks.fail("no_script_errors", error.message));
  await browser.offline();
  page.setDefaultTimeout(5000);

  try {
    await checks.run("opens_from_file", async () => {
      await open(page);
      const shown = await visibleScreens(page);
      if (shown.join() !== "Form1") throw new Error(`shown: ${shown}`);
      checks.expect("first_focus", (await activeControl(page)) === layoutOf("Form1").tabOrder[0].name, `focus on ${await activeControl(page)}`);
      const size = await page.evaluate(() => {
        const w = document.querySelector("section.window").getBoundingClientRect();
        return { left: w.left, top: w.top, width: w.width, height: w.height, vw: innerWidth, vh: innerHeight };
      });
      const left = Math.floor((size.vw - size.width) / 2);
      checks.expect("opens_centred", Math.abs(size.left - left) <= 1, `left ${size.left}, centred ${left}`);
    });
    afterLoad = true;

    for (const move of moves) {
      await checks.run(`move.${move.suite}.${move.name}`, async () => {
        await open(page);
        for (const [screen, button] of move.clicks) await press(page, screen, button);
        if (move.closed) await page.click(`${win(move.closed)} .close-box`);
        const shown = await visibleScreens(page);
        const expected = move.visibleAfter.map((s) => form[s]);
        const main = shown.filter((s) => s !== "Form5");
        if (main.join() !== expected.join()) throw new Error(`shown ${main}, expected ${expected}`);
        if (shown.includes("Form5") !== move.aboutVisible) throw new Error(`About shown: ${!move.aboutVisible}`);
        const ended = await page.evaluate(() => document.body.innerText.replace(/\s+/g, " ").trim());
        if (Boolean(move.ended) !== ended.startsWith("Kalvoran has ended"))
          throw new Error(`page says: ${ended.slice(0, 60)}`);
        if (move.ended && ended !== "Kalvoran has ended. Reload the page to start it again.")
          throw new Error(`the ended page says more: ${ended}`);
      });
    }

    for (const run of runs) {
      await checks.run(`run.${run.name}`, async () => {
        await open(page);
        const screen = run.units;
        await fill(page, run);
        await page.click(ctl(screen, "Command1"));
        for (const message of run.messages) {
          const shown = await errorText(page);
          if (shown !== message) throw new Error(`message "${shown}", expected "${message}"`);
          // Modal to the whole page, and nothing of the run's results yet.
          if (await frameShown(page, screen)) throw new Error("results shown under the message");
          const blocked = await page.evaluate(() => document.getElementById("desktop").inert);
          if (!blocked) throw new Error("the windows take clicks under the message");
          await page.keyboard.press("Enter");
          await settle(page);
        }
        if ((await errorText(page)) !== null) throw new Error(`one more message: ${await errorText(page)}`);
        if ((await frameShown(page, screen)) !== (run.resultsShown ?? true)) throw new Error("results frame");
        for (const [name, text] of run.results) {
          const got = await textOf(page, screen, name);
          if (got !== text) throw new Error(`${name} reads ${got}, expected ${text}`);
        }
        // Neither the results nor their announcement move the focus; OK gives it back.
        if ((await activeControl(page)) !== "Command1") throw new Error(`focus after the run on ${await activeControl(page)}`);
        if (run.resultsShown ?? true) {
          await new Promise((r) => setTimeout(r, 150));
          const said = await page.evaluate(() => document.getElementById("announcements").textContent);
          if (said !== "Results shown") throw new Error(`announced "${said}"`);
        }
      });
    }

    await checks.run("kept_state_and_position", async () => {
      await open(page);
      const run = runs.find((r) => r.units === "Si" && r.messages.length === 0);
      await fill(page, run);
      await calculate(page, "Si");
      // Dragged by its title bar, then away and back.
      const bar = await page.evaluate(() => {
        const r = document.querySelector('section[data-name="Form2"] .title-bar').getBoundingClientRect();
        return { x: r.left + 60, y: r.top + 10 };
      });
      await page.mouse.move(bar.x, bar.y);
      await page.mouse.down();
      await page.mouse.move(bar.x - 50, bar.y + 20, { steps: 4 });
      await page.mouse.up();
      const place = () => page.evaluate(() => document.querySelector('section[data-name="Form2"]').getBoundingClientRect().toJSON());
      const before = await place();
      await page.click(ctl("Si", "Command3"));
      await page.click(ctl("Main", "Command2"));
      if ((await textOf(page, "British", "L")) !== "1.00") throw new Error("British does not open fresh");
      await page.click(ctl("British", "Command3"));
      await page.click(ctl("Main", "Command1"));
      const after = await place();
      if (Math.round(before.left - bar.x + 60) === 0 && before.top === after.top) throw new Error("not dragged");
      if (before.left !== after.left || before.top !== after.top) throw new Error(`moved from ${before.left},${before.top} to ${after.left},${after.top}`);
      for (const [name, text] of [...run.typed, ...run.results, ["C", run.c], ["D", run.d]])
        if ((await textOf(page, "Si", name)) !== text) throw new Error(`${name} not kept`);
      if (!(await frameShown(page, "Si"))) throw new Error("results frame not kept");
      await page.click(ctl("Si", "Command4"));
      const cleared = await Promise.all(["ELF", "EL", "FL", "PD", "V", "pumppressure"].map((n) => textOf(page, "Si", n)));
      if (cleared.slice(0, 5).some((t) => t !== "") || cleared[5] === "") throw new Error(`after Clear: ${cleared}`);
      await new Promise((r) => setTimeout(r, 150));
      const said = await page.evaluate(() => document.getElementById("announcements").textContent);
      checks.expect("announces_results_cleared", said === "Results cleared", `announced "${said}"`);
    });

    await checks.run("error_box_modal_and_focus", async () => {
      await open(page);
      await page.click(ctl("Main", "Command4"));
      await page.click(ctl("Main", "Command1"));
      // Calculate Now lies under About, which stays on top: Return presses it.
      await page.focus(ctl("Si", "Command1"));
      await page.keyboard.press("Enter");
          await settle(page); // a fresh screen: C factor, then diameter
      const first = await errorText(page);
      if (first === null) throw new Error("no message after Return on Calculate Now");
      // A click on About's OK under the box must not reach it.
      await page.mouse.click(...(await page.evaluate(() => {
        const r = document.querySelector('section[data-name="Form5"] [data-control="Command1"]').getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2];
      })));
      if (!(await visibleScreens(page)).includes("Form5")) throw new Error("About's OK took a click under the box");
      await page.keyboard.press("Tab");
          await settle(page);
      if ((await activeControl(page)) !== "push-button") throw new Error("Tab left the box");
      await page.keyboard.press("Enter");
          await settle(page);
      const second = await errorText(page);
      await page.keyboard.press(" ");
          await settle(page);
      if (`${first}|${second}` !== "Select a C Factor|Select a Diameter") throw new Error(`messages ${first}, ${second}`);
      if ((await errorText(page)) !== null) throw new Error("box still open");
      if ((await activeControl(page)) !== "Command1") throw new Error("focus not back on Calculate Now");
    });

    await checks.run("tab_order", async () => {
      await open(page);
      const orders = {};
      const collect = async (name) => {
        const layout = layoutOf(name);
        const got = [];
        for (let i = 0; i < layout.tabOrder.length; i++) {
          got.push(await activeControl(page));
          await page.keyboard.press("Tab");
          await settle(page);
        }
        got.push(await activeControl(page)); // round again to the first
        const want = layout.tabOrder.map((r) => (r.index >= 0 ? `${r.name}(${r.index})` : r.name));
        orders[name] = { got, want: [...want, want[0]] };
      };
      await collect("Form1");
      await page.click(ctl("Main", "Command4"));
      await collect("Form5");
      await page.click(ctl("About", "Command1"));
      for (const [screen, name] of [["Si", "Form2"], ["British", "Form3"]]) {
        await fill(page, runs.find((r) => r.units === screen && r.messages.length === 0));
        await calculate(page, screen); // results shown: the frame's controls take part
        await page.focus(field(screen, layoutOf(name).tabOrder[0].name));
        await collect(name);
        await page.click(ctl(screen, "Command3"));
      }
      await page.click(ctl("Main", "Command3"));
      await collect("Form4");
      const wrong = Object.entries(orders).filter(([, o]) => o.got.join() !== o.want.join());
      if (wrong.length) throw new Error(wrong.map(([n, o]) => `${n}: ${o.got.join(" ")}`).join("; "));
    });

    await windowChecks(page, checks, "default", worstBox);
    await axeChecks(page, checks, "default", axeResults);

    // Code added to a copy of the page: refused, reported, and the page runs.
    await checks.run("policy_refuses_added_code", async () => {
      const kAdded = [
        ["<script>document.documentElement.dataset.added = 'ran'</script>", "script-src-elem"],
        ["<style>html { --added: ran; }</style>", "style-src-elem"],
        ['<p id="added" style="color: rgb(1, 2, 3)">added</p>', "style-src-attr"],
      ];
      const html = readFileSync(pageFile, "utf8").replace("</body>", `${kAdded.map(([code]) => code).join("")}</body>`);
      const copy = path.join(copyDir, "added.html");
      writeFileSync(copy, html);
      refusing = true;
      await open(page, pathToFileURL(copy).href);
      await settle(page);
      refusing = false;
      const took = await page.evaluate(() => [
        document.documentElement.dataset.added,
        getComputedStyle(document.documentElement).getPropertyValue("--added").trim(),
        getComputedStyle(document.getElementById("added")).color === "rgb(1, 2, 3)",
      ]);
      const reported = await takeViolations(page);
      if (took.some(Boolean)) throw new Error(`added code took effect: ${took}`);
      const missed = kAdded.filter(([, directive]) => !reported.includes(directive)).map(([, d]) => d);
      if (missed.length) throw new Error(`not reported: ${missed.join(", ")} (reported: ${reported.join(", ")})`);
    });

    await checks.run("narrow_screen_scales_down", async () => {
      await browser.viewport(360, 700);
      await open(page);
      const r = await page.evaluate(() => document.querySelector('section[data-name="Form1"]').getBoundingClientRect().toJSON());
      await browser.viewport(1280, 900);
      if (r.left < -0.5 || r.right > 360.5) throw new Error(`main window at ${r.left}..${r.right} in 360 px`);
    });

    await checks.run("nothing_stored", async () => {
      await open(page);
      await page.click(ctl("Main", "Command1"));
      await page.click(ctl("Si", "Command1"));
      const kept = await page.evaluate(async () => ({
        cookie: document.cookie,
        local: (() => { try { return localStorage.length; } catch { return 0; } })(),
        session: (() => { try { return sessionStorage.length; } catch { return 0; } })(),
        // A file:// page may not even ask (Chromium refuses the question).
        workers: await navigator.serviceWorker?.getRegistrations().then((r) => r.length, () => 0) ?? 0,
      }));
      if (kept.cookie || kept.local || kept.session || kept.workers) throw new Error(JSON.stringify(kept));
    });

    violations.push(...(await takeViolations(page)));
    checks.expect("no_policy_violations", violations.length === 0, `refused: ${[...new Set(violations)].join(", ")}`);
    checks.expect("no_request_after_load", requests.length === 0, `requests: ${requests.slice(0, 5).join(", ")}`);
    checks.passed.add("no_script_errors"); // unless an error came, above
  } finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
    rmSync(copyDir, { recursive: true, force: true });
  }

  // The person's own settings: the same windows, boxes and axe-core with more
  // contrast asked for; borders, focus rings and the person's colours when
  // forced (the red checks fail should a browser not take the setting).
  for (const media of ["more", "forced"]) {
    const profile = mkdtempSync(path.join(tmpdir(), `kalvoran-${browserName}-${media}-`));
    const browser = await launch(browserName, profile, media);
    browser.page.setDefaultTimeout(5000);
    try {
      if (media === "more") {
        await windowChecks(browser.page, checks, media, worstBox);
        await axeChecks(browser.page, checks, media, axeResults);
      } else {
        await forcedChecks(browser.page, checks);
      }
    } finally {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    }
  }
  console.log(`largest box difference: ${worstBox.difference} CSS px${worstBox.control ? ` (${worstBox.window} ${worstBox.control})` : ""}`);
  for (const [state, violations] of Object.entries(axeResults))
    console.log(`axe ${state}: ${violations.length ? violations.join(", ") : "no violations"}`);
  process.exit(checks.report() ? 0 : 1);
}

await main();
