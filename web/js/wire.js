// The game's messages on the wire: a command, then fields each preceded by
// "+", then the terminator byte 0xFF. Text is UTF-8; nothing is escaped. Over
// the WebSocket every binary frame carries one message with its terminator.

export const TERMINATOR = 0xff;
// The longest message kept from the server, in bytes; a longer one is
// thrown away whole, as the desktop window does.
export const MAX_MESSAGE_BYTES = 64 * 1024;

const encoder = new TextEncoder();
const decoder = new TextDecoder('utf-8');

// The bytes of a whole message: command, "+field" for each field, 0xFF.
// UTF-8 never holds the byte 0xFF, so no text can end a message early.
export function encode(command, fields = []) {
  let text = command;
  for (const field of fields) text += '+' + field;
  const body = encoder.encode(text);
  const bytes = new Uint8Array(body.length + 1);
  bytes.set(body);
  bytes[body.length] = TERMINATOR;
  return bytes;
}

// A message's text split at its first "+": command and payload. Without a
// "+" the command is empty, and such a message is ignored.
export function split(message) {
  const plus = message.indexOf('+');
  if (plus < 0) return { command: '', payload: message };
  return { command: message.slice(0, plus), payload: message.slice(plus + 1) };
}

export function decode(bytes) {
  return decoder.decode(bytes);
}

// Cuts received bytes into messages at the terminator. Bytes after the last
// terminator wait for the rest of their message; a message longer than the
// limit is dropped as it comes, up to and including its terminator, and the
// pending bytes never exceed the limit.
export class Assembler {
  constructor(limit = MAX_MESSAGE_BYTES) {
    this.limit = limit;
    this.pending = [];
    this.pendingSize = 0;
    this.skipping = false;
    this.discarded = 0;
  }

  // Answers the messages the bytes completed, as text, in order.
  feed(bytes) {
    const complete = [];
    let start = 0;
    for (;;) {
      const end = bytes.indexOf(TERMINATOR, start);
      if (end < 0) break;
      this.take(bytes.subarray(start, end), true, complete);
      start = end + 1;
    }
    if (start < bytes.length) this.take(bytes.subarray(start), false, complete);
    return complete;
  }

  take(piece, ended, complete) {
    if (this.skipping) {
      if (ended) {
        this.skipping = false;
        ++this.discarded;
      }
      return;
    }
    if (this.limit > 0 && this.pendingSize + piece.length > this.limit) {
      this.clear();
      if (ended) ++this.discarded;
      else this.skipping = true;
      return;
    }
    if (!ended) {
      this.pending.push(piece.slice());
      this.pendingSize += piece.length;
      return;
    }
    if (this.pendingSize === 0) {
      complete.push(decode(piece));
      return;
    }
    const whole = new Uint8Array(this.pendingSize + piece.length);
    let at = 0;
    for (const part of this.pending) {
      whole.set(part, at);
      at += part.length;
    }
    whole.set(piece, at);
    this.clear();
    complete.push(decode(whole));
  }

  clear() {
    this.pending = [];
    this.pendingSize = 0;
  }
}
