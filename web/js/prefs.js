// What the browser remembers for the player: the name, the chat colour, the
// sound switches and the host's start options. Anything stored that does
// not read back well is ignored; a browser that stores nothing still plays.

import { fromText, toText } from './colourtext.js';

const KEY = 'zarvex.';
// The longest name, in characters; the desktop window's seat rows show
// about that many.
export const NAME_MAX = 20;

// A name as the player may use it: control characters and "|" (which would
// cut every chat line of the player at its colour) are dropped, runs of
// blanks become one, and it is cut to NAME_MAX characters. Null when
// nothing is left.
export function cleanName(text) {
  if (typeof text !== 'string') return null;
  const cleaned = text
    .replace(/\s+/g, ' ')
    .replace(/[\u0000-\u001f\u007f-\u009f|\ufff0-\uffff]/g, '')
    .trim();
  const name = Array.from(cleaned).slice(0, NAME_MAX).join('').trim();
  return name === '' ? null : name;
}

export class Prefs {
  constructor(storage) {
    this.storage = storage ?? null;
  }

  get(key) {
    try {
      return this.storage ? this.storage.getItem(KEY + key) : null;
    } catch {
      return null;
    }
  }

  set(key, value) {
    try {
      if (!this.storage) return;
      if (value === null) this.storage.removeItem(KEY + key);
      else this.storage.setItem(KEY + key, value);
    } catch {
      // Full or forbidden: the setting lasts until the page closes.
    }
  }

  get name() {
    return cleanName(this.get('name'));
  }

  set name(value) {
    this.set('name', cleanName(value));
  }

  // The chat colour as a colour value; black until the player picks one.
  get colour() {
    return fromText(this.get('colour') ?? '') ?? 0;
  }

  set colour(value) {
    this.set('colour', toText(value));
  }

  flag(key, otherwise) {
    const v = this.get(key);
    return v === '1' ? true : v === '0' ? false : otherwise;
  }

  setFlag(key, on) {
    this.set(key, on ? '1' : '0');
  }

  json(key) {
    try {
      return JSON.parse(this.get(key) ?? 'null');
    } catch {
      return null;
    }
  }

  setJson(key, value) {
    this.set(key, JSON.stringify(value));
  }
}
