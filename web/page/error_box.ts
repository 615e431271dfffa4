// The message box of a calculation run: modal to the whole page, titled as
// the build's data says ("Error"), with the error icon and OK. Several
// messages come one after another; the focus goes back where it was after OK.

const kErrorIcon =
  '<svg viewBox="0 0 32 32" width="32" height="32" aria-hidden="true">' +
  '<circle cx="16" cy="16" r="15" fill="#d42020" stroke="#8c0000"/>' +
  '<path d="M10 10 L22 22 M22 10 L10 22" stroke="#fff" stroke-width="3.5" stroke-linecap="round"/></svg>';

export class ErrorBox {
  private readonly overlay = document.createElement("div");
  private readonly text = document.createElement("p");
  private readonly ok = document.createElement("button");
  private queue: string[] = [];
  private afterLast: (() => void) | null = null;
  private returnFocus: HTMLElement | null = null;

  constructor(private readonly desktop: HTMLElement, fontFamily: string, titleText: string) {
    this.overlay.className = "modal-overlay";
    this.overlay.hidden = true;
    const box = document.createElement("div");
    box.className = "window error-box";
    box.setAttribute("role", "alertdialog");
    box.setAttribute("aria-modal", "true");
    const title = document.createElement("h2");
    title.className = "caption";
    title.id = "error-title";
    title.textContent = titleText;
    box.setAttribute("aria-labelledby", title.id);
    this.text.id = "error-text";
    box.setAttribute("aria-describedby", this.text.id);
    const bar = document.createElement("div");
    bar.className = "title-bar";
    bar.append(title);
    const body = document.createElement("div");
    body.className = "error-body";
    body.style.fontFamily = `"${fontFamily}", sans-serif`;
    const icon = document.createElement("div");
    icon.className = "error-icon";
    icon.innerHTML = kErrorIcon;
    this.ok.type = "button";
    this.ok.className = "push-button";
    this.ok.textContent = "OK";
    this.ok.addEventListener("click", () => this.dismiss());
    const buttons = document.createElement("div");
    buttons.className = "error-buttons";
    buttons.append(this.ok);
    body.append(icon, this.text);
    box.append(bar, body, buttons);
    this.overlay.append(box);
    // Only OK takes the keyboard; Escape and Return dismiss, as a message box's.
    box.addEventListener("keydown", (event) => {
      if (event.key === "Tab") event.preventDefault();
      if (event.key === "Escape") this.dismiss();
      if (event.key === "Escape" || event.key === "Tab") this.ok.focus();
    });
    document.body.append(this.overlay);
  }

  get open(): boolean {
    return !this.overlay.hidden;
  }

  present(messages: string[], afterLast: () => void): void {
    this.queue = [...messages];
    this.afterLast = afterLast;
    const active = document.activeElement;
    this.returnFocus = active instanceof HTMLElement ? active : null;
    this.desktop.inert = true;
    this.overlay.hidden = false;
    this.next();
  }

  private next(): void {
    this.text.textContent = this.queue.shift() ?? "";
    this.ok.focus();
  }

  private dismiss(): void {
    if (!this.open) return;
    if (this.queue.length > 0) return this.next();
    this.overlay.hidden = true;
    this.desktop.inert = false;
    const afterLast = this.afterLast;
    this.afterLast = null;
    afterLast?.();
    this.returnFocus?.focus({ preventScroll: true });
  }
}
