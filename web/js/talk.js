// What the player says and shouts: chat lines and /me actions in the chosen
// colour, the phrase buttons with their cooldown, and the shout menu.

import { toText } from './colourtext.js';
import { encode } from './wire.js';

// The longest text one chat line or action carries, in UTF-16 units, as the
// desktop window sends it; the server refuses far longer messages.
export const CHAT_MAX_LENGTH = 2000;

export const PHRASES = [
  'Way To Go!', 'Good One!', 'Nice Try!', 'Excellent!', 'Brilliant!', 'Wow, WTG!', 'Thanks!',
  'Way To Go Teamie!', 'Good Game Everyone!', '/me waves "Good-Bye"',
];

// Phrases go one at a time: after one, the buttons rest for more than 100
// ticks of the window's 10 ms dispatch timer.
export const PHRASE_COOLDOWN_TICKS = 100;
export const PHRASE_COOLDOWN_MS = (PHRASE_COOLDOWN_TICKS + 1) * 10;

// The shout menu: "<Cancel>" and the fourteen shouts; the sound of shout n
// is "wave" and n.
export const SHOUTS = [
  { item: 'Cancel1', tag: 0, caption: '<Cancel>' },
  ...['Doh', 'Cough', 'Hello', 'Thank You', 'Where have you been?', 'Snoring', 'Sneezing', 'Sorry', 'Welcome',
    'Yeehaa', 'Yippee', 'Oh No', 'Applause', 'Honk'].map((caption, i) => ({ item: `wave${i + 1}`, tag: i + 1, caption })),
];

export const PLAYING_SEATS = 6;

// The text cut to at most max UTF-16 units, never between the halves of a
// surrogate pair.
export function capped(text, max = CHAT_MAX_LENGTH) {
  if (text.length <= max) return text;
  let end = Math.max(0, max);
  if (end > 0) {
    const c = text.charCodeAt(end - 1);
    if (c >= 0xd800 && c <= 0xdbff) --end;
  }
  return text.slice(0, end);
}

// "CMD_chat+seat+text|colour" and "CMD_action+..." as bytes.
export function chatMessage(command, seat, text, colour) {
  return encode(command, [String(seat), capped(text) + '|' + toText(colour)]);
}

// What Enter does with the input line: a line not starting with "/" goes as
// chat, one starting with "/me" as an action without its first four
// characters, any other "/" line is dropped; an empty line sends nothing.
export function lineToSend(text) {
  if (text.startsWith('/')) {
    if (text.startsWith('/me')) return { command: 'CMD_action', text: text.slice(4) };
    return null;
  }
  if (text === '') return null;
  return { command: 'CMD_chat', text };
}

// What a phrase button sends as its action text.
export function phraseAction(phrase) {
  if (phrase.startsWith('/me ')) return phrase.slice(4);
  return 'says: ' + phrase;
}

export class PhraseCooldown {
  constructor(now = () => Date.now()) {
    this.now = now;
    this.sentAt = null;
  }

  ready() {
    return this.sentAt === null || this.now() - this.sentAt >= PHRASE_COOLDOWN_MS;
  }

  // Answers whether a phrase may go now, and if so starts the rest.
  take() {
    if (!this.ready()) return false;
    this.sentAt = this.now();
    return true;
  }

  // Milliseconds until the buttons may be used again.
  remaining() {
    return this.ready() ? 0 : PHRASE_COOLDOWN_MS - (this.now() - this.sentAt);
  }
}

// The message that sends shout n from this seat, or null: for "<Cancel>",
// a number that is no shout, a seat that does not play, or before login.
export function shoutMessage(n, myseat, isconnected) {
  if (!Number.isInteger(n) || n < 1 || n > 14 || myseat < 1 || myseat > PLAYING_SEATS || !isconnected) return null;
  return encode('CMD_playasound', [String(myseat), `wave${n}`, '']);
}

export function shoutCaption(item) {
  const lower = item.toLowerCase();
  const shout = SHOUTS.find((s) => s.item.toLowerCase() === lower);
  return shout ? shout.caption : null;
}
