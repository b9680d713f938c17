// The page's connection to the game: one WebSocket to the host that served
// the page, at the path /ws, one binary frame per message with its
// terminator. When it closes without the player asking, it opens again by
// itself after growing pauses, so a locked phone or a lost Wi-Fi comes back
// to its seat; it stays closed after the host removed the player, after a
// "Game is full" or when the host refuses the page.

import { Assembler } from './wire.js';

export const PATH = '/ws';
// Pauses before the attempts after a drop: 1, 2, 4, 8 seconds, then every 15.
export const PAUSES_MS = [1000, 2000, 4000, 8000, 15000];
// An attempt that has not opened by then is given up and tried again.
export const OPEN_TIMEOUT_MS = 10000;

// Close codes from the host that mean: do not come back by yourself.
export const CLOSE_REMOVED = 4001; // the host removed this player
export const CLOSE_FULL = 4002; // every seat is taken
export const CLOSE_POLICY = 1008; // refused: a foreign page, or a message over the bound
export const CLOSE_TOO_BIG = 1009;

export function pauseFor(attempt) {
  return PAUSES_MS[Math.min(Math.max(attempt, 0), PAUSES_MS.length - 1)];
}

// Why a close ends the connection for good, or null to try again.
export function finalReason(code) {
  switch (code) {
    case CLOSE_REMOVED: return 'removed';
    case CLOSE_FULL: return 'full';
    case CLOSE_POLICY:
    case CLOSE_TOO_BIG: return 'refused';
    default: return null;
  }
}

// ws: or wss: to the same host and port as the page.
export function socketUrl(location) {
  return (location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + PATH;
}

const encoder = new TextEncoder();

export class Connection {
  // url: the socket's address; handlers: message(text), open(), lost(),
  // waiting(ms), stopped(reason).
  constructor(url, handlers = {}, { WebSocketClass = globalThis.WebSocket, scheduler = globalThis } = {}) {
    this.url = url;
    this.handlers = { message() {}, open() {}, lost() {}, waiting() {}, stopped() {}, ...handlers };
    this.WebSocketClass = WebSocketClass;
    this.scheduler = scheduler;
    this.socket = null;
    this.attempt = 0;
    this.timer = null;
    this.openTimer = null;
    this.state = 'idle'; // idle, connecting, open, waiting, stopped
    this.stopReason = null;
    this.wasOpen = false;
  }

  start() {
    this.stopReason = null;
    this.attempt = 0;
    this.connect();
  }

  connect() {
    this.clearTimers();
    this.state = 'connecting';
    const assembler = new Assembler();
    let socket;
    try {
      socket = new this.WebSocketClass(this.url);
    } catch {
      this.closed(socket, 1006);
      return;
    }
    socket.binaryType = 'arraybuffer';
    this.socket = socket;
    this.openTimer = this.scheduler.setTimeout(() => {
      if (this.socket === socket && this.state === 'connecting') {
        socket.close();
        this.closed(socket, 1006);
      }
    }, OPEN_TIMEOUT_MS);
    socket.onopen = () => {
      if (this.socket !== socket) return;
      this.scheduler.clearTimeout(this.openTimer);
      this.openTimer = null;
      this.state = 'open';
      this.handlers.open();
    };
    socket.onmessage = (event) => {
      if (this.socket !== socket) return;
      const bytes = typeof event.data === 'string' ? encoder.encode(event.data) : new Uint8Array(event.data);
      for (const message of assembler.feed(bytes)) {
        if (this.socket !== socket) return;
        this.handlers.message(message);
      }
    };
    socket.onclose = (event) => this.closed(socket, event.code);
  }

  // The server accepted this connection into a seat: the next drop starts
  // again from the shortest pause.
  loggedIn() {
    this.attempt = 0;
  }

  closed(socket, code) {
    if (socket !== undefined && this.socket !== socket) return;
    this.socket = null;
    this.clearTimers();
    if (this.state === 'stopped') return;
    const reason = this.stopReason ?? finalReason(code);
    const wasConnected = this.state === 'open';
    if (reason) {
      this.state = 'stopped';
      this.handlers.stopped(reason);
      return;
    }
    if (wasConnected) this.handlers.lost();
    const pause = pauseFor(this.attempt);
    ++this.attempt;
    this.state = 'waiting';
    this.handlers.waiting(pause);
    this.timer = this.scheduler.setTimeout(() => this.connect(), pause);
  }

  // The network is back or the page is shown again: a waiting attempt goes
  // at once.
  nudge() {
    if (this.state === 'waiting') this.connect();
  }

  // The page is put aside (the browser's back-forward cache), where its
  // socket would stay open and keep a seat that nobody plays: the socket
  // closes now, and nothing is tried until nudge() when the page is shown
  // again, so the server's rule for a dropped seat gives it back then.
  suspend() {
    if (this.state === 'stopped' || this.state === 'idle') return;
    const socket = this.socket;
    const wasConnected = this.state === 'open';
    this.clearTimers();
    this.socket = null;
    this.state = 'waiting';
    if (socket) socket.close(1000);
    if (wasConnected) this.handlers.lost();
  }

  // Ends the connection for good: the player left, or the game said it is
  // full. A socket still open is closed.
  stop(reason = 'left') {
    this.stopReason = reason;
    const socket = this.socket;
    this.clearTimers();
    if (this.state === 'stopped') return;
    this.state = 'stopped';
    this.socket = null;
    if (socket) socket.close(1000);
    this.handlers.stopped(reason);
  }

  send(bytes) {
    if (this.state !== 'open' || !this.socket) return false;
    this.socket.send(bytes);
    return true;
  }

  clearTimers() {
    if (this.timer !== null) this.scheduler.clearTimeout(this.timer);
    if (this.openTimer !== null) this.scheduler.clearTimeout(this.openTimer);
    this.timer = null;
    this.openTimer = null;
  }
}
