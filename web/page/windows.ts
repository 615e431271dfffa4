// A window within the page, built from its layout table alone: a title bar
// with caption, icon and close box, and a client area of the layout's size
// with every control at its box.

import { Control, Drawing, WindowLayout, controlKey, labelText, lineBox, rgb, Style } from "./layout";

export interface Assets {
  fontFamily: string;
  drawing: Drawing;
  icon: ImageBitmap;
  picture(path: string): ImageBitmap | undefined;
}

let nextId = 0;
function uniqueId(prefix: string): string {
  nextId += 1;
  return `${prefix}-${nextId}`;
}

function place(element: HTMLElement, [left, top, width, height]: number[]): void {
  element.style.left = `${left}px`;
  element.style.top = `${top}px`;
  element.style.width = `${width}px`;
  element.style.height = `${height}px`;
}

function applyFont(element: HTMLElement, style: Style, assets: Assets): void {
  element.style.fontFamily = `"${assets.fontFamily}", sans-serif`;
  // Points of the layout's face, scaled to ours, as CSS pixels (96 per inch).
  element.style.fontSize = `${((style.points * assets.drawing.face.scale * 96) / 72).toFixed(3)}px`;
  element.style.fontWeight = style.bold ? "700" : "400";
  element.style.fontStyle = style.italic ? "italic" : "normal";
}

function applyColours(element: HTMLElement, style: Style, drawing: Drawing): void {
  if (!style.ownColours) return;
  element.style.color = rgb(style.text, drawing);
  element.style.backgroundColor = rgb(style.background, drawing);
}

function drawPicture(bitmap: ImageBitmap, className: string): HTMLCanvasElement {
  const canvas = document.createElement("canvas");
  canvas.className = className;
  canvas.width = bitmap.width;
  canvas.height = bitmap.height;
  canvas.style.width = `${bitmap.width}px`;
  canvas.style.height = `${bitmap.height}px`;
  canvas.getContext("2d")?.drawImage(bitmap, 0, 0);
  return canvas;
}

// An editable drop-down with a fixed list: typing is never completed from the
// list, and the list is never added to.
class ComboBox {
  readonly element = document.createElement("div");
  readonly input = document.createElement("input");
  private readonly list = document.createElement("ul");
  private active = -1;

  constructor(private readonly items: string[], text: string) {
    this.element.className = "combo";
    this.input.type = "text";
    this.input.value = text;
    this.input.spellcheck = false;
    this.input.autocomplete = "off";
    this.input.setAttribute("role", "combobox");
    this.input.setAttribute("aria-autocomplete", "none");
    this.input.setAttribute("aria-expanded", "false");
    this.list.id = uniqueId("list");
    this.list.className = "combo-list";
    this.list.setAttribute("role", "listbox");
    this.list.hidden = true;
    this.input.setAttribute("aria-controls", this.list.id);
    items.forEach((item, i) => {
      const option = document.createElement("li");
      option.id = `${this.list.id}-${i}`;
      option.setAttribute("role", "option");
      option.setAttribute("aria-selected", "false");
      option.textContent = item;
      option.addEventListener("pointerdown", (event) => event.preventDefault()); // keep the focus in the field
      option.addEventListener("click", () => this.pick(i));
      this.list.append(option);
    });
    const arrow = document.createElement("div");
    arrow.className = "combo-arrow";
    arrow.addEventListener("pointerdown", (event) => {
      event.preventDefault();
      this.input.focus();
      this.setOpen(this.list.hidden === true);
    });
    this.input.addEventListener("keydown", (event) => this.key(event));
    this.input.addEventListener("blur", () => this.setOpen(false));
    this.element.append(this.input, arrow, this.list);
  }

  private pick(i: number): void {
    this.input.value = this.items[i];
    this.setOpen(false);
  }

  private setOpen(open: boolean): void {
    this.list.hidden = !open;
    this.input.setAttribute("aria-expanded", String(open));
    if (open) this.highlight(Math.max(0, this.items.indexOf(this.input.value)));
    else this.input.removeAttribute("aria-activedescendant");
  }

  private highlight(i: number): void {
    this.active = i;
    [...this.list.children].forEach((option, n) => option.setAttribute("aria-selected", String(n === i)));
    this.input.setAttribute("aria-activedescendant", `${this.list.id}-${i}`);
  }

  // As the desktop's combo box: Up and Down step through the list in the
  // field, Alt+Down or F4 opens the list, Return picks, Escape closes.
  private key(event: KeyboardEvent): void {
    const open = !this.list.hidden;
    const last = this.items.length - 1;
    if ((event.key === "ArrowDown" && event.altKey) || event.key === "F4") {
      this.setOpen(!open);
    } else if (event.key === "ArrowDown" || event.key === "ArrowUp") {
      const step = event.key === "ArrowDown" ? 1 : -1;
      const from = open ? this.active : this.items.indexOf(this.input.value);
      const to = Math.min(last, Math.max(0, from < 0 ? 0 : from + step));
      if (open) this.highlight(to);
      else this.input.value = this.items[to];
    } else if (open && event.key === "Enter") {
      this.pick(this.active);
    } else if (open && event.key === "Escape") {
      this.setOpen(false);
    } else {
      return;
    }
    event.preventDefault();
    event.stopPropagation();
  }
}

export class PageWindow {
  readonly element = document.createElement("section");
  readonly client = document.createElement("div");
  readonly titleBar = document.createElement("div");
  readonly closeBox = document.createElement("button");
  private readonly controls = new Map<string, HTMLElement>();
  private readonly fields = new Map<string, HTMLInputElement | HTMLTextAreaElement>();
  private readonly inFrame = new Map<string, HTMLElement[]>();
  private readonly focusOrder: HTMLElement[] = [];
  private lastFocus: HTMLElement | null = null;
  shownBefore = false;
  left = 0;
  top = 0;

  constructor(readonly layout: WindowLayout, private readonly assets: Assets) {
    const [, , width, height] = layout.clientPixels;
    this.element.className = `window frame-${layout.frame}`;
    this.element.dataset.name = layout.name;
    this.element.setAttribute("role", "dialog");
    this.element.hidden = true;

    const caption = document.createElement("h2");
    caption.className = "caption";
    caption.id = uniqueId(`${layout.name}-caption`);
    caption.textContent = layout.caption;
    this.element.setAttribute("aria-labelledby", caption.id);
    this.closeBox.type = "button";
    this.closeBox.className = "close-box";
    this.closeBox.tabIndex = -1; // not in the window's Tab order, as a frame's close box
    this.closeBox.setAttribute("aria-label", `Close ${layout.caption}`);
    this.closeBox.textContent = "\u00d7";
    this.titleBar.className = "title-bar";
    this.titleBar.append(drawPicture(assets.icon, "window-icon"), caption, this.closeBox);
    this.titleBar.querySelector("canvas")?.setAttribute("aria-hidden", "true");

    this.client.className = "client";
    this.client.style.width = `${width}px`;
    this.client.style.height = `${height}px`;
    applyFont(this.client, { points: assets.drawing.defaultPoints, bold: false, italic: false } as Style, assets);
    this.element.append(this.titleBar, this.client);
    this.build();
    this.element.addEventListener("focusin", (event) => {
      if (event.target instanceof HTMLElement && this.client.contains(event.target)) this.lastFocus = event.target;
    });
    this.element.addEventListener("keydown", (event) => this.tabKey(event));
  }

  private build(): void {
    const rows = this.layout.controls;
    const frames = new Map<string, Control>();
    for (const row of rows) if (row.kind === "GroupBox") frames.set(row.name, row);
    // The focus order is the DOM order, so the controls that take focus come
    // in Tab order, after everything else.
    const tabKeys = this.layout.tabOrder.map((ref) => controlKey(ref.name, ref.index));
    const ordered = [
      ...rows.filter((row) => !tabKeys.includes(controlKey(row.name, row.index))),
      ...tabKeys.map((key) => rows.find((row) => controlKey(row.name, row.index) === key)).filter((r) => r !== undefined),
    ] as Control[];
    const labels = new Map<string, string>(); // field name -> id of the label naming it
    for (const row of ordered) {
      const element = this.create(row);
      const box = row.kind === "Line" ? lineBox(row.line, this.assets.drawing) : [...row.pixels];
      if (row.parent) {
        const frame = frames.get(row.parent);
        if (frame) {
          box[0] += frame.pixels[0];
          box[1] += frame.pixels[1];
        }
        const members = this.inFrame.get(row.parent) ?? [];
        members.push(element);
        this.inFrame.set(row.parent, members);
      }
      place(element, box);
      element.dataset.control = controlKey(row.name, row.index);
      if (row.kind === "Label" && row.names) labels.set(row.names, element.id);
      this.controls.set(controlKey(row.name, row.index), element);
      this.client.append(element);
    }
    for (const [field, labelId] of labels) this.fieldElement(field)?.setAttribute("aria-labelledby", labelId);
    for (const key of tabKeys) {
      const element = this.controls.get(key);
      if (element) this.focusOrder.push(element.querySelector<HTMLElement>("input") ?? element);
    }
  }

  private create(row: Control): HTMLElement {
    const assets = this.assets;
    let element: HTMLElement;
    switch (row.kind) {
      case "Label": {
        element = document.createElement("div");
        element.className = "label";
        element.id = uniqueId(`${this.layout.name}-${row.name}`);
        element.textContent = labelText(row.caption);
        element.style.textAlign = row.style.centred ? "center" : "left";
        break;
      }
      case "TextBox": {
        const input = document.createElement("input");
        input.type = "text";
        input.spellcheck = false;
        input.autocomplete = "off";
        input.value = row.caption;
        input.className = "text-box";
        input.style.textAlign = row.style.centred ? "center" : "left";
        this.fields.set(row.name, input);
        element = input;
        break;
      }
      case "MultiLineTextBox": {
        const area = document.createElement("textarea");
        area.value = row.caption;
        area.spellcheck = false;
        area.className = "text-box multi-line";
        this.fields.set(row.name, area);
        element = area;
        break;
      }
      case "ComboBox": {
        const combo = new ComboBox(row.items, row.caption);
        applyFont(combo.input, row.style, assets);
        this.fields.set(row.name, combo.input);
        element = combo.element;
        break;
      }
      case "PushButton": {
        const button = document.createElement("button");
        button.type = "button";
        button.className = "push-button";
        button.textContent = labelText(row.caption);
        element = button;
        break;
      }
      case "GroupBox": {
        element = document.createElement("div");
        element.className = "group-frame";
        const caption = document.createElement("span");
        caption.className = "group-caption";
        caption.textContent = row.caption;
        applyFont(caption, { ...row.style, bold: true }, assets);
        applyColours(caption, row.style, this.assets.drawing);
        element.append(caption);
        break;
      }
      case "Line": {
        element = document.createElement("div");
        element.className = "line";
        element.style.backgroundColor = rgb(row.style.text, this.assets.drawing);
        element.setAttribute("aria-hidden", "true");
        return element;
      }
      case "PictureBox": {
        element = document.createElement("div");
        element.className = "picture-box";
        element.tabIndex = 0;
        element.setAttribute("role", "img");
        const bitmap = this.assets.picture(row.caption);
        if (bitmap) element.append(drawPicture(bitmap, "picture"));
        element.firstElementChild?.setAttribute("aria-hidden", "true");
        break;
      }
    }
    if (row.kind !== "GroupBox") {
      applyFont(element, row.style, assets);
      applyColours(element, row.style, this.assets.drawing);
    }
    if (row.accessibleName) (element.querySelector("input") ?? element).setAttribute("aria-label", row.accessibleName);
    if (row.accessibleDescription) {
      const hint = document.createElement("span");
      hint.id = uniqueId("description");
      hint.hidden = true;
      hint.textContent = row.accessibleDescription;
      this.client.append(hint);
      (element.querySelector("input") ?? element).setAttribute("aria-describedby", hint.id);
    }
    return element;
  }

  control(name: string, index = -1): HTMLElement | undefined {
    return this.controls.get(controlKey(name, index));
  }

  fieldElement(name: string): HTMLInputElement | HTMLTextAreaElement | undefined {
    return this.fields.get(name);
  }

  onClick(name: string, index: number, action: () => void): void {
    this.control(name, index)?.addEventListener("click", action);
  }

  setFrameVisible(name: string, visible: boolean): void {
    const frame = this.control(name);
    if (frame) frame.hidden = !visible;
    for (const member of this.inFrame.get(name) ?? []) member.hidden = !visible;
  }

  isFrameVisible(name: string): boolean {
    return this.control(name)?.hidden === false;
  }

  get visible(): boolean {
    return !this.element.hidden;
  }

  // The controls that take the focus now, in Tab order: those of a hidden
  // frame are skipped.
  focusable(): HTMLElement[] {
    return this.focusOrder.filter((element) => !element.closest("[hidden]"));
  }

  // Tab and Shift+Tab go round the window's own controls, as on the desktop.
  private tabKey(event: KeyboardEvent): void {
    if (event.key !== "Tab" || event.ctrlKey || event.altKey || event.metaKey) return;
    const order = this.focusable();
    if (order.length === 0) return;
    const at = order.indexOf(document.activeElement as HTMLElement);
    const step = event.shiftKey ? -1 : 1;
    const next = at < 0 ? 0 : (at + step + order.length) % order.length;
    order[next].focus();
    event.preventDefault();
  }

  // The focus the window had when it was left, or its first control the first time.
  restoreFocus(): void {
    const target =
      this.lastFocus && this.lastFocus.isConnected && !this.lastFocus.closest("[hidden]")
        ? this.lastFocus
        : this.focusable()[0];
    target?.focus({ preventScroll: true });
  }
}
