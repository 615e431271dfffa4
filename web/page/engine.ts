// The calculation engine: the program's own calculation compiled to
// WebAssembly, reaching its window through the same four screen operations
// as on the desktop.

export interface CalculationScreen {
  fieldText(name: string): string;
  setFieldText(name: string, text: string): void;
  setResultsVisible(visible: boolean): void;
}

export type Units = "si" | "british";

// Shows a run's messages one after another and calls afterLast once the
// last one is dismissed.
export type MessagePresenter = (messages: string[], afterLast: () => void) => void;

interface EngineExports {
  memory: WebAssembly.Memory;
  _initialize?: () => void;
  calculateSi: () => void;
  calculateBritish: () => void;
}

// One run in progress. On the desktop a message box stops the run until it
// is dismissed; here the engine runs to its end at once, so from the first
// message on, its screen operations wait in a queue and are applied after the
// last message's OK. Reads see the queued texts, since later results are
// read back from the fields that earlier ones were written to.
class Run {
  readonly messages: string[] = [];
  private readonly queued: (() => void)[] = [];
  private readonly written = new Map<string, string>();

  constructor(private readonly screen: CalculationScreen) {}

  fieldText(name: string): string {
    return this.written.get(name) ?? this.screen.fieldText(name);
  }

  setFieldText(name: string, text: string): void {
    if (this.messages.length === 0) return this.screen.setFieldText(name, text);
    this.written.set(name, text);
    this.queued.push(() => this.screen.setFieldText(name, text));
  }

  setResultsVisible(visible: boolean): void {
    if (this.messages.length === 0) return this.screen.setResultsVisible(visible);
    this.queued.push(() => this.screen.setResultsVisible(visible));
  }

  applyQueued(): void {
    for (const apply of this.queued) apply();
  }
}

const encoder = new TextEncoder();
const decoder = new TextDecoder("utf-8");

export class Engine {
  private exports!: EngineExports;
  private run: Run | null = null;

  static async load(bytes: Uint8Array): Promise<Engine> {
    const engine = new Engine();
    const module = await WebAssembly.compile(bytes as BufferSource);
    const imports: WebAssembly.Imports = { screen: engine.screenImports() };
    // The C library's own imports (fd_write and the like): nothing is ever
    // written or read, so each answers "done" and does nothing.
    for (const item of WebAssembly.Module.imports(module)) {
      if (item.module === "screen" || item.kind !== "function") continue;
      imports[item.module] ??= {};
      (imports[item.module] as Record<string, () => number>)[item.name] = () => 0;
    }
    const instance = await WebAssembly.instantiate(module, imports);
    engine.exports = instance.exports as unknown as EngineExports;
    engine.exports._initialize?.();
    return engine;
  }

  calculate(units: Units, screen: CalculationScreen, present: MessagePresenter): void {
    const run = new Run(screen);
    this.run = run;
    try {
      if (units === "si") this.exports.calculateSi();
      else this.exports.calculateBritish();
    } catch (error) {
      // A trap in the engine is a fault of ours; say so rather than show half a run.
      run.messages.push(`Kalvoran could not finish the calculation (${String(error)}).`);
    } finally {
      this.run = null;
    }
    if (run.messages.length > 0) present(run.messages, () => run.applyQueued());
  }

  private text(pointer: number, length: number): string {
    return decoder.decode(new Uint8Array(this.exports.memory.buffer, pointer, length));
  }

  private current(): Run {
    if (this.run === null) throw new Error("screen operation outside a calculation");
    return this.run;
  }

  private screenImports(): Record<string, (...args: number[]) => number | void> {
    return {
      fieldText: (namePtr: number, nameLen: number, outPtr: number, outCap: number): number => {
        const bytes = encoder.encode(this.current().fieldText(this.text(namePtr, nameLen)));
        new Uint8Array(this.exports.memory.buffer, outPtr, outCap).set(bytes.subarray(0, outCap));
        return bytes.length;
      },
      setFieldText: (namePtr: number, nameLen: number, textPtr: number, textLen: number): void =>
        this.current().setFieldText(this.text(namePtr, nameLen), this.text(textPtr, textLen)),
      setResultsVisible: (visible: number): void => this.current().setResultsVisible(visible !== 0),
      showError: (messagePtr: number, messageLen: number): void => {
        this.current().messages.push(this.text(messagePtr, messageLen));
      },
    };
  }
}
