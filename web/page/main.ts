// Kalvoran in the browser: the five windows in their slots, the moves between
// them, and the calculation windows' commands, as in the desktop program. The
// screens, the moves and the controls' names all come from the layout dump.

import { CalculationScreen, Engine, Units } from "./engine";
import { ErrorBox } from "./error_box";
import { Move, PageData } from "./layout";
import { Assets, PageWindow } from "./windows";

function bytes(base64: string): Uint8Array {
  // The browser's own decoder where there is one (Chromium 140, Firefox 133).
  const native = (Uint8Array as unknown as { fromBase64?: (text: string) => Uint8Array }).fromBase64;
  if (native) return native(base64);
  const raw = atob(base64);
  const out = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; i++) out[i] = raw.charCodeAt(i);
  return out;
}

function bitmap(base64: string, type: string): Promise<ImageBitmap> {
  return createImageBitmap(new Blob([bytes(base64) as BlobPart], { type }));
}

class Program {
  private readonly slots = new Map<string, PageWindow>(); // by screen
  // The screens beside the others, About: each of their moves only hides them.
  private readonly besideTheOthers: Set<string>;
  private readonly errorBox: ErrorBox;
  private zOrder = 0;
  private ended = false;
  private loaded: Engine | null = null;
  private engineFailure: string | null = null;

  constructor(
    private readonly data: PageData,
    private readonly assets: Assets,
    private readonly engine: Promise<Engine>,
    private readonly desktop: HTMLElement,
    private readonly live: HTMLElement,
  ) {
    this.errorBox = new ErrorBox(desktop, assets.fontFamily, data.errorBoxTitle);
    const goesAlone = (screen: string) =>
      data.moves.some((m) => m.screen === screen) &&
      data.moves.every((m) => m.screen !== screen || m.steps.every((s) => s.step === "Hide" && s.screen === screen));
    this.besideTheOthers = new Set(data.screens.map((s) => s.name).filter(goesAlone));
    engine.then(
      (loaded) => (this.loaded = loaded),
      (error: unknown) => (this.engineFailure = `Kalvoran cannot calculate in this browser (${String(error)}).`),
    );
    window.addEventListener("resize", () => this.slots.forEach((w) => this.fit(w)));
  }

  start(): void {
    this.show(this.data.screens[0].name);
  }

  show(screen: string): void {
    const w = this.ensure(screen);
    if (!w) return;
    const wasVisible = w.visible;
    w.element.hidden = false;
    if (!w.shownBefore) {
      w.shownBefore = true;
      this.centre(w);
    }
    this.fit(w);
    this.raise(w);
    if (!wasVisible || !w.element.contains(document.activeElement)) w.restoreFocus();
  }

  hide(screen: string): void {
    const w = this.ensure(screen);
    if (w) w.element.hidden = true;
  }

  private perform(move: Move): void {
    for (const { step, screen } of move.steps) {
      if (step === "End") return this.end();
      if (step === "Hide") this.hide(screen ?? "");
      else this.show(screen ?? "");
    }
  }

  // Every window goes at once; the page then says only that Kalvoran has ended.
  end(): void {
    this.ended = true;
    document.body.replaceChildren();
    const notice = document.createElement("main");
    notice.className = "ended";
    const heading = document.createElement("h1");
    heading.textContent = "Kalvoran has ended.";
    const text = document.createElement("p");
    text.textContent = "Reload the page to start it again.";
    notice.append(heading, text);
    document.body.append(notice);
    document.title = "Kalvoran has ended";
    window.close(); // where the browser allows a page to close its own tab
  }

  private ensure(screen: string): PageWindow | undefined {
    if (this.ended) return undefined;
    let w = this.slots.get(screen);
    if (w) return w;
    const window = this.data.screens.find((s) => s.name === screen)?.window;
    const layout = this.data.layouts.find((l) => l.name === window);
    if (!layout) throw new Error(`no layout for ${screen}`);
    w = new PageWindow(layout, this.assets);
    this.slots.set(screen, w);
    this.desktop.append(w.element);
    this.connect(screen, w);
    this.makeDraggable(w);
    w.element.addEventListener("pointerdown", () => this.raise(w), { capture: true });
    w.element.addEventListener("focusin", () => this.raise(w));
    return w;
  }

  private connect(screen: string, w: PageWindow): void {
    for (const move of this.data.moves) {
      if (move.screen !== screen) continue;
      const run = () => this.perform(move);
      if (move.button) w.onClick(move.button.name, move.button.index, run);
      else w.closeBox.addEventListener("click", run);
    }
    const units: Units | null | undefined = this.data.screens.find((s) => s.name === screen)?.units;
    if (!units) return;
    const ids = this.data.ids.calculation;
    w.setFrameVisible(ids.resultsFrame.name, false);
    w.onClick(ids.calculate.name, ids.calculate.index, () => this.calculate(w, units));
    w.onClick(ids.clear.name, ids.clear.index, () => this.clear(w));
  }

  private calculate(w: PageWindow, units: Units): void {
    const screen: CalculationScreen = {
      fieldText: (name) => w.fieldElement(name)?.value ?? "",
      setFieldText: (name, text) => {
        const field = w.fieldElement(name);
        if (!field) return;
        field.value = text;
        if (field instanceof HTMLInputElement) field.setSelectionRange(0, 0); // a long result from its first digit
        field.scrollLeft = 0;
      },
      setResultsVisible: (visible) => {
        w.setFrameVisible(this.data.ids.calculation.resultsFrame.name, visible);
        // A run hides the frame first and shows it at its end: only the end is news.
        if (visible) this.announce(this.data.announcements.resultsShown);
      },
    };
    const run = (engine: Engine) =>
      engine.calculate(units, screen, (messages, afterLast) => this.errorBox.present(messages, afterLast));
    // Within the click once the engine is there, as on the desktop.
    if (this.engineFailure) this.errorBox.present([this.engineFailure], () => {});
    else if (this.loaded) run(this.loaded);
    else void this.engine.then(run);
  }

  private clear(w: PageWindow): void {
    for (const name of this.data.clearedResults) {
      const field = w.fieldElement(name);
      if (field) field.value = "";
    }
    w.setFrameVisible(this.data.ids.calculation.resultsFrame.name, false);
    // Clear sat in the frame it hid: the focus moves on within the window.
    if (!w.element.contains(document.activeElement) || document.activeElement?.closest("[hidden]"))
      w.focusable()[0]?.focus();
    this.announce(this.data.announcements.resultsCleared);
  }

  // Told to a screen reader's user without moving the focus or showing anything.
  private announce(message: string): void {
    this.live.textContent = "";
    window.setTimeout(() => (this.live.textContent = message), 50);
  }

  // With no task bar to bring it back from under another window, About
  // stays above the others, where its OK can always be reached.
  private raise(w: PageWindow): void {
    this.zOrder += 1;
    const above = [...this.besideTheOthers].some((screen) => this.slots.get(screen) === w);
    w.element.style.zIndex = String(this.zOrder + (above ? 10000 : 0));
  }

  // The first time a window is shown it opens centred in the page.
  private centre(w: PageWindow): void {
    const { width, height } = this.naturalSize(w);
    w.left = Math.max(0, Math.floor((this.desktop.clientWidth - width) / 2));
    w.top = Math.max(0, Math.floor((this.desktop.clientHeight - height) / 2));
    this.position(w);
  }

  private naturalSize(w: PageWindow): { width: number; height: number } {
    return { width: w.element.offsetWidth, height: w.element.offsetHeight };
  }

  // On a page narrower than the window, the whole window scales down to fit,
  // keeping its layout.
  private fit(w: PageWindow): void {
    if (!w.visible) return;
    const { width } = this.naturalSize(w);
    const scale = Math.min(1, this.desktop.clientWidth / width);
    w.element.style.transform = scale < 1 ? `scale(${scale})` : "";
    if (scale < 1) w.left = 0;
    this.position(w);
  }

  private position(w: PageWindow): void {
    w.element.style.left = `${w.left}px`;
    w.element.style.top = `${w.top}px`;
  }

  // Dragged by its title bar; it stays where it was left, also while hidden.
  private makeDraggable(w: PageWindow): void {
    let grab: { x: number; y: number; left: number; top: number } | null = null;
    w.titleBar.addEventListener("pointerdown", (event) => {
      if (event.button !== 0 || event.target === w.closeBox) return;
      grab = { x: event.clientX, y: event.clientY, left: w.left, top: w.top };
      w.titleBar.setPointerCapture(event.pointerId);
      event.preventDefault();
    });
    w.titleBar.addEventListener("pointermove", (event) => {
      if (!grab) return;
      // The title bar stays within reach: never above the page's top edge,
      // and never less than 40 pixels of it left inside the page's sides or bottom.
      const keep = 40;
      const width = w.element.getBoundingClientRect().width;
      const left = Math.round(grab.left + event.clientX - grab.x);
      w.left = Math.min(this.desktop.clientWidth - keep, Math.max(keep - width, left));
      w.top = Math.min(this.desktop.clientHeight - keep, Math.max(0, Math.round(grab.top + event.clientY - grab.y)));
      this.position(w);
    });
    const drop = () => (grab = null);
    w.titleBar.addEventListener("pointerup", drop);
    w.titleBar.addEventListener("pointercancel", drop);
  }

  // For the tests and the benchmark: which windows are shown, none of the state.
  visibleScreens(): string[] {
    return [...this.slots.values()].filter((w) => w.visible).map((w) => w.layout.name);
  }
}

async function boot(): Promise<void> {
  const source = document.getElementById("kalvoran-data");
  if (!source?.textContent) throw new Error("the page carries no data");
  const data = JSON.parse(source.textContent) as PageData;
  source.remove(); // parsed once; the DOM need not hold it twice
  document.documentElement.style.setProperty("--face", `"${data.fontFamily}"`);

  const faces = data.fonts.map(
    (f) =>
      new FontFace(data.fontFamily, bytes(f.data) as BufferSource, {
        weight: String(f.weight),
        style: f.italic ? "italic" : "normal",
      }),
  );
  const pictureEntries = Object.entries(data.pictures);
  // The engine is first needed at the first Calculate Now: it compiles while
  // the main window is drawn.
  const engine = Engine.load(bytes(data.engine));
  const [icon, pictures] = await Promise.all([
    bitmap(data.icon, "image/png"),
    Promise.all(pictureEntries.map(([, p]) => bitmap(p.data, p.type))),
    ...faces.map((face) => face.load().then((loaded) => document.fonts.add(loaded))),
  ]);
  const byPath = new Map(pictureEntries.map(([path], i) => [path, pictures[i]]));
  const assets: Assets = {
    fontFamily: data.fontFamily,
    drawing: data.drawing,
    icon,
    picture: (path) => byPath.get(path),
  };

  // Return and Space press the focused button, as on the desktop, the same in
  // every browser (Firefox leaves a button unpressed while its window lacks
  // the system's focus, as a headless one always does).
  document.addEventListener("keydown", (event) => {
    const target = event.target;
    if (!(target instanceof HTMLButtonElement) || !target.classList.contains("push-button")) return;
    if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey || event.repeat) return;
    if (event.key !== "Enter" && event.key !== " ") return;
    event.preventDefault();
    target.click();
  });

  const desktop = document.getElementById("desktop") as HTMLElement;
  const live = document.getElementById("announcements") as HTMLElement;
  const program = new Program(data, assets, engine, desktop, live);
  program.start();
  (window as unknown as { kalvoran: unknown }).kalvoran = { visibleScreens: () => program.visibleScreens() };
  document.documentElement.dataset.ready = "true";
}

boot().catch((error: unknown) => {
  const notice = document.createElement("p");
  notice.className = "failed";
  notice.textContent = `Kalvoran cannot start in this browser: ${String(error)}`;
  document.body.replaceChildren(notice);
});
