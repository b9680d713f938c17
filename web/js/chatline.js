// A display line ("code+rest") cut into the items the chat shows. The rest is
// a head, up to and including its first ":", and a body; the head becomes a
// paragraph item with a blank appended, the body's smiley codes ":)#NN"
// become pictures and its words become text or link items, each carrying its
// trailing blank. Code 0 is a status line, 1 to 9 the line of a seat.

import { clRed, fromText } from './colourtext.js';

export const FIRST_SMILEY = 10;
export const SMILEY_COUNT = 18;
export const LINK_STYLE = 4;
const HIGHEST_LINE_CODE = 9;
const SMILEY_MARK = ':)#';

// One or more ASCII digits; the value, or -1 for anything else.
function readDigits(text, limit) {
  if (text.length === 0) return -1;
  let value = 0;
  for (let i = 0; i < text.length; ++i) {
    const c = text.charCodeAt(i);
    if (c < 48 || c > 57) return -1;
    value = value * 10 + (c - 48);
    if (value > limit) return -1;
  }
  return value;
}

export function styleForCode(code) {
  return code > 0 ? code + 5 : code;
}

// Whether a word becomes a link: it holds "http://" or "www." in any case.
export function islink(word) {
  const lower = word.toLowerCase();
  return lower.includes('http://') || lower.includes('www.');
}

// The web address a link's text opens, or null: only http and https, so
// that a word from a peer can never run script or open a local file. A text
// without a scheme is taken as an http address, as a browser's address bar
// would take it.
export function webAddress(text) {
  const trimmed = text.replace(/ +$/, '');
  // A path is no web page.
  if (trimmed === '' || trimmed.startsWith('/')) return null;
  const scheme = /^([A-Za-z][A-Za-z0-9+.-]*):/.exec(trimmed);
  let candidate = trimmed;
  if (scheme) {
    const name = scheme[1].toLowerCase();
    if (name !== 'http' && name !== 'https') {
      // "host:port" without a scheme still reads as an address.
      if (!/^[A-Za-z0-9.-]+:\d+(\/|$)/.test(trimmed)) return null;
      candidate = 'http://' + trimmed;
    }
  } else {
    candidate = 'http://' + trimmed;
  }
  let url;
  try {
    url = new URL(candidate);
  } catch {
    return null;
  }
  if (url.protocol !== 'http:' && url.protocol !== 'https:') return null;
  // A host name of letters, digits, dots, hyphens and underscores (a
  // international name arrives here in its ASCII form), or an IPv6 address.
  const host = url.hostname;
  if (!/^[a-z0-9._-]+$/i.test(host) && !/^\[[0-9a-f:.]+\]$/i.test(host)) return null;
  if (host.startsWith('.') || host.includes('..')) return null;
  return url.href;
}

// The line's items, or null when its code is not a decimal integer from 0
// to 9: such a line shows nothing at all.
export function readLine(displayLine) {
  const plus = displayLine.indexOf('+');
  const code = plus < 0 ? -1 : readDigits(displayLine.slice(0, plus), HIGHEST_LINE_CODE);
  if (code < 0) return null;
  const style = styleForCode(code);
  const items = [];
  const rest = displayLine.slice(plus + 1);
  const colon = rest.indexOf(':');
  const head = rest.slice(0, colon + 1);
  let body = rest.slice(colon + 1);

  const addWords = (piece) => {
    piece += ' ';
    while (piece.length > 0) {
      const blank = piece.indexOf(' ');
      const word = piece.slice(0, blank + 1);
      piece = piece.slice(blank + 1);
      if (islink(word)) items.push({ kind: 'L', style: LINK_STYLE, text: word });
      else items.push({ kind: 'T', style, text: word });
    }
  };

  items.push({ kind: 'P', style, text: head + ' ' });
  for (let mark = body.indexOf(SMILEY_MARK); mark >= 0; mark = body.indexOf(SMILEY_MARK)) {
    const piece = body.slice(0, mark);
    const number = body.slice(mark + SMILEY_MARK.length, mark + SMILEY_MARK.length + 2);
    body = body.slice(mark + SMILEY_MARK.length + number.length);
    addWords(piece);
    const value = readDigits(number, 99);
    const picture = value - FIRST_SMILEY;
    items.push({ kind: 'I', style, picture: value < 0 || picture < 0 || picture >= SMILEY_COUNT ? 0 : picture });
  }
  if (body.length > 0) addWords(body);
  return { code, style, items };
}

// A relayed chat or action payload, "seat+text|colour", as display line and
// colour: a missing or unreadable colour gives red, and what follows the
// first "|" is not shown.
export function received(payload) {
  const bar = payload.indexOf('|');
  if (bar < 0) return { line: payload, colour: clRed };
  return { line: payload.slice(0, bar), colour: fromText(payload.slice(bar + 1)) ?? clRed };
}
