// Reads the fields of a message's payload from the front, one "+" at a time.
// An integer field that cannot be read throws Unreadable, which ends the
// handling of that message: what the handler did before that field stands.

export class Unreadable extends Error {
  constructor() {
    super('unreadable field');
  }
}

const INT_MAX = 2147483647;

// An optional "-" and decimal digits, within a signed 32-bit integer; null
// for anything else.
export function parseInt32(text) {
  if (typeof text !== 'string') return null;
  let i = 0;
  const negative = text.startsWith('-');
  if (negative) i = 1;
  if (i >= text.length) return null;
  let magnitude = 0;
  for (; i < text.length; ++i) {
    const c = text.charCodeAt(i);
    if (c < 48 || c > 57) return null;
    magnitude = magnitude * 10 + (c - 48);
    if (magnitude > INT_MAX + 1) return null;
  }
  const value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return null;
  return value === 0 ? 0 : value;
}

export class FieldReader {
  constructor(payload) {
    this.rest = payload;
  }

  // The next field: the text before the first "+", removed together with its
  // "+". With no "+" left the field is empty and nothing is removed.
  text() {
    const plus = this.rest.indexOf('+');
    if (plus < 0) return '';
    const field = this.rest.slice(0, plus);
    this.rest = this.rest.slice(plus + 1);
    return field;
  }

  integer() {
    const value = parseInt32(this.text());
    if (value === null) throw new Unreadable();
    return value;
  }

  // The rest of the payload as an integer: a number in last place.
  lastInteger() {
    const value = parseInt32(this.rest);
    if (value === null) throw new Unreadable();
    return value;
  }

  // Lists of repeated groups that fill the rest of the payload.
  beginList() {
    this.rest += '+@';
  }

  listEnded() {
    return this.rest === '@';
  }
}
