// The text form in which colours travel in chat messages: a colour value is
// 0x00BBGGRR for a plain colour (the lowest byte is red) or 0x80000000 + n
// for system colour n. Written as its name when it has one, else "$" and
// eight upper-case hexadecimal digits; read from a name in any letter case,
// a decimal integer or "$" and hexadecimal digits.

import { parseInt32 } from './fields.js';

export const clBlack = 0x000000;
export const clRed = 0x0000ff;
export const clBlue = 0xff0000;
const SYSTEM = 0x80000000;

const PLAIN = [
  ['clBlack', 0x000000], ['clMaroon', 0x000080], ['clGreen', 0x008000], ['clOlive', 0x008080],
  ['clNavy', 0x800000], ['clPurple', 0x800080], ['clTeal', 0x808000], ['clGray', 0x808080],
  ['clSilver', 0xc0c0c0], ['clRed', 0x0000ff], ['clLime', 0x00ff00], ['clYellow', 0x00ffff],
  ['clBlue', 0xff0000], ['clFuchsia', 0xff00ff], ['clAqua', 0xffff00], ['clWhite', 0xffffff],
];

const SYSTEM_NAMES = [
  'clScrollBar', 'clBackground', 'clActiveCaption', 'clInactiveCaption', 'clMenu', 'clWindow',
  'clWindowFrame', 'clMenuText', 'clWindowText', 'clCaptionText', 'clActiveBorder', 'clInactiveBorder',
  'clAppWorkSpace', 'clHighlight', 'clHighlightText', 'clBtnFace', 'clBtnShadow', 'clGrayText', 'clBtnText',
  'clInactiveCaptionText', 'clBtnHighlight', 'cl3DDkShadow', 'cl3DLight', 'clInfoText', 'clInfoBk',
];

// How the page paints the system colours: a light window theme.
const SYSTEM_CSS = [
  '#c8c8c8', '#3a6ea5', '#0a246a', '#808080', '#f0f0f0', '#ffffff', '#000000', '#000000', '#000000',
  '#ffffff', '#d4d0c8', '#d4d0c8', '#808080', '#0a246a', '#ffffff', '#d4d0c8', '#808080', '#808080',
  '#000000', '#d4d0c8', '#ffffff', '#404040', '#d4d0c8', '#000000', '#ffffe1',
];

export const NAMED = [...PLAIN, ...SYSTEM_NAMES.map((name, i) => [name, SYSTEM + i]), ['clNone', 0x1fffffff]];

export function toText(colour) {
  const value = colour >>> 0;
  for (const [name, v] of NAMED) if (v === value) return name;
  return '$' + value.toString(16).toUpperCase().padStart(8, '0');
}

// An optional sign and decimal digits within a signed 32-bit integer; a
// negative value keeps its two's-complement bits.
function readDecimal(text) {
  const unsigned = text.startsWith('+') ? text.slice(1) : text;
  if (unsigned !== text && unsigned.startsWith('-')) return null;
  const value = parseInt32(unsigned);
  return value === null ? null : value >>> 0;
}

function readHexadecimal(text) {
  const digits = text.slice(1);
  if (digits.length === 0 || digits.length > 8 || !/^[0-9a-fA-F]+$/.test(digits)) return null;
  return parseInt(digits, 16) >>> 0;
}

// The colour a text names, or null when it is no colour.
export function fromText(text) {
  if (typeof text !== 'string') return null;
  const folded = text.toLowerCase();
  for (const [name, v] of NAMED) if (name.toLowerCase() === folded) return v;
  if (text.startsWith('$')) return readHexadecimal(text);
  return readDecimal(text);
}

function hex2(n) {
  return n.toString(16).padStart(2, '0');
}

// A colour value as CSS: system colours from the page's theme, everything
// else by its red, green and blue bytes.
export function toCss(colour) {
  const value = colour >>> 0;
  const position = value - SYSTEM;
  if (value >= SYSTEM && position < SYSTEM_CSS.length) return SYSTEM_CSS[position];
  return '#' + hex2(value & 0xff) + hex2((value >>> 8) & 0xff) + hex2((value >>> 16) & 0xff);
}

// "#rrggbb", as a colour picker gives it, as a colour value; null otherwise.
export function fromCss(css) {
  const m = /^#([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})$/.exec(css ?? '');
  if (!m) return null;
  return (parseInt(m[1], 16) | (parseInt(m[2], 16) << 8) | (parseInt(m[3], 16) << 16)) >>> 0;
}
