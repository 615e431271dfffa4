// The window tables as the build writes them (the layout dump's JSON): boxes
// in twips and in pixels through the program's own rounding.

export type Rgb = [number, number, number];

export interface Style {
  points: number;
  bold: boolean;
  italic: boolean;
  centred: boolean;
  text: Rgb;
  background: Rgb;
  ownColours: boolean;
}

export type Kind =
  | "Label"
  | "TextBox"
  | "MultiLineTextBox"
  | "ComboBox"
  | "PushButton"
  | "GroupBox"
  | "Line"
  | "PictureBox";

export interface Control {
  name: string;
  index: number;
  kind: Kind;
  caption: string;
  box: [number, number, number, number];
  pixels: [number, number, number, number];
  style: Style;
  names: string;
  parent: string;
  line: [number, number, number, number];
  items: string[];
  accessibleName: string;
  accessibleDescription: string;
}

export interface WindowLayout {
  name: string;
  caption: string;
  clientPixels: [number, number, number, number];
  frame: "FixedToolWindow" | "FixedDialog" | "Sizable";
  controls: Control[];
  tabOrder: { name: string; index: number }[];
}

// A control by name and, for an element of a control array, index.
export interface ControlRef {
  name: string;
  index: number;
}

// What a button does, or the window frame's close box where button is null.
export interface Move {
  screen: string;
  button: ControlRef | null;
  steps: { step: "Hide" | "Show" | "End"; screen?: string }[];
}

// How the tables are drawn, as on the desktop.
export interface Drawing {
  twipsPerPixel: number;
  linePenWidth: number; // pixels, centred on the line
  defaultPoints: number;
  red: Rgb; // drawn as the stylesheet's --red, darker with more contrast
  moreContrastRed: Rgb;
  // The layout's face was "MS Sans Serif"; Liberation Sans runs wider, so
  // every point size is scaled as on the desktop, where each caption is
  // measured to fit its box in that face.
  face: { family: string; scale: number };
}

// What the build puts into the page beside the code: the layout dump's
// windows, screens, moves, control ids and drawing facts, and the rest.
export interface PageData {
  layouts: WindowLayout[];
  // The first is shown at start; the two calculation screens name their units.
  screens: { name: string; window: string; units: "si" | "british" | null }[];
  moves: Move[];
  ids: Record<string, Record<string, ControlRef>>; // by window, then by what the control does
  drawing: Drawing;
  engine: string; // the WebAssembly engine, base64
  pictures: Record<string, { type: string; data: string }>; // by the tables' resource path
  icon: string; // the window icon, PNG, base64
  fonts: { weight: number; italic: boolean; data: string }[]; // WOFF2, base64
  fontFamily: string;
  clearedResults: string[]; // the result fields Clear empties
  announcements: { resultsShown: string; resultsCleared: string };
  errorBoxTitle: string;
}

export function controlKey(name: string, index: number): string {
  return index >= 0 ? `${name}(${index})` : name;
}

// The tables' red comes from the stylesheet's --red, which is a darker red
// where the person asks for more contrast (style.css).
export function rgb(c: Rgb, drawing: Drawing): string {
  const colour = `rgb(${c[0]}, ${c[1]}, ${c[2]})`;
  return c.every((v, i) => v === drawing.red[i]) ? `var(--red, ${colour})` : colour;
}

// A caption's "&&" stands for one ampersand; no caption has an access key.
export function labelText(caption: string): string {
  return caption.replaceAll("&&", "&");
}

// A line's stroke, centred on the line as the desktop's pen draws it (a
// horizontal line at y covers rows y - 1 and y with a pen of 2), as a box.
export function lineBox(line: [number, number, number, number], drawing: Drawing): [number, number, number, number] {
  const [x1, y1, x2, y2] = line.map((t) => Math.round(t / drawing.twipsPerPixel));
  const pen = drawing.linePenWidth;
  if (y1 === y2) return [Math.min(x1, x2), y1 - pen / 2, Math.abs(x2 - x1), pen];
  return [x1 - pen / 2, Math.min(y1, y2), pen, Math.abs(y2 - y1)];
}
