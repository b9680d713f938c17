// The connection's life: one message a frame both ways, pauses that grow
// while the host cannot be reached, back in after a drop, and no return
// after the host removed the player, refused the page or is full.

import assert from 'node:assert/strict';
import { beforeEach, describe, test } from 'node:test';

import {
  CLOSE_FULL, CLOSE_POLICY, CLOSE_REMOVED, Connection, OPEN_TIMEOUT_MS, PAUSES_MS, finalReason, pauseFor, socketUrl,
} from '../js/connection.js';

class Clock {
  constructor() {
    this.now = 0;
    this.timers = new Map();
    this.next = 1;
  }
  setTimeout(fn, ms) {
    const id = this.next++;
    this.timers.set(id, { at: this.now + ms, fn });
    return id;
  }
  clearTimeout(id) {
    this.timers.delete(id);
  }
  // Runs the timers due within ms, in order.
  advance(ms) {
    const end = this.now + ms;
    for (;;) {
      const due = [...this.timers].filter(([, t]) => t.at <= end).sort((a, b) => a[1].at - b[1].at)[0];
      if (!due) break;
      this.timers.delete(due[0]);
      this.now = due[1].at;
      due[1].fn();
    }
    this.now = end;
  }
  pending() {
    return [...this.timers.values()].map((t) => t.at - this.now);
  }
}

let sockets;
class FakeSocket {
  constructor(url) {
    this.url = url;
    this.sent = [];
    this.closedWith = null;
    sockets.push(this);
  }
  send(bytes) {
    this.sent.push(bytes);
  }
  close(code) {
    this.closedWith = code ?? 1005;
  }
  // What the browser reports.
  opens() {
    this.onopen?.();
  }
  receives(data) {
    this.onmessage?.({ data });
  }
  ends(code = 1006) {
    this.onclose?.({ code });
  }
}

function connection(clock) {
  const seen = [];
  const c = new Connection('ws://h:1/ws', {
    message: (m) => seen.push(['message', m]),
    open: () => seen.push(['open']),
    lost: () => seen.push(['lost']),
    waiting: (ms) => seen.push(['waiting', ms]),
    stopped: (why) => seen.push(['stopped', why]),
  }, { WebSocketClass: FakeSocket, scheduler: clock });
  return { c, seen };
}

const u8 = (...b) => Uint8Array.from(b).buffer;

beforeEach(() => {
  sockets = [];
});

describe('where the page connects', () => {
  test('the same host and port as the page, at /ws, secure when the page is', () => {
    assert.equal(socketUrl({ protocol: 'http:', host: '192.168.1.5:7773' }), 'ws://192.168.1.5:7773/ws');
    assert.equal(socketUrl({ protocol: 'https:', host: 'game.example:8443' }), 'wss://game.example:8443/ws');
  });
});

describe('messages', () => {
  test('each frame is cut at its terminators; a frame may end mid-message', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].opens();
    sockets[0].receives(u8(0x43, 0x2b, 0x31, 0xff)); // "C+1"
    sockets[0].receives(u8(0x41, 0x2b, 0xff, 0x42)); // "A+" and the start of the next
    sockets[0].receives(u8(0x2b, 0x32, 0xff));
    sockets[0].receives('T+3\u00ff'); // a text frame is read as its UTF-8 bytes
    assert.deepEqual(seen.filter((s) => s[0] === 'message').map((s) => s[1]), ['C+1', 'A+', 'B+2']);
  });
  test('a message goes out whole in one frame, and nothing goes while closed', () => {
    const clock = new Clock();
    const { c } = connection(clock);
    c.start();
    assert.equal(c.send(Uint8Array.of(1, 0xff)), false);
    sockets[0].opens();
    assert.equal(c.send(Uint8Array.of(1, 0xff)), true);
    assert.deepEqual(sockets[0].sent, [Uint8Array.of(1, 0xff)]);
  });
  test('a new connection does not carry half a message over from the old one', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].opens();
    sockets[0].receives(u8(0x58, 0x58)); // "XX" without its end
    sockets[0].ends(1006);
    clock.advance(PAUSES_MS[0]);
    sockets[1].opens();
    sockets[1].receives(u8(0x43, 0x2b, 0xff));
    assert.deepEqual(seen.filter((s) => s[0] === 'message').map((s) => s[1]), ['C+']);
  });
});

describe('coming back after a drop', () => {
  test('pauses grow 1, 2, 4, 8 seconds and stay at 15 while the host cannot be reached', () => {
    assert.deepEqual([0, 1, 2, 3, 4, 5, 50].map(pauseFor), [1000, 2000, 4000, 8000, 15000, 15000, 15000]);
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    for (let n = 0; n < 6; ++n) {
      sockets.at(-1).ends(1006);
      assert.deepEqual(clock.pending(), [pauseFor(n)]);
      clock.advance(pauseFor(n) - 1);
      assert.equal(sockets.length, n + 1, 'not a moment early');
      clock.advance(1);
      assert.equal(sockets.length, n + 2);
    }
    assert.equal(seen.filter((s) => s[0] === 'lost').length, 0, 'never connected, so never lost');
  });
  test('a seated connection that drops is lost, and tried again after the shortest pause', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].ends(1006);
    clock.advance(1000);
    sockets[1].ends(1006);
    clock.advance(2000);
    sockets[2].opens();
    c.loggedIn();
    sockets[2].ends(1001);
    assert.deepEqual(seen.slice(-2), [['lost'], ['waiting', 1000]]);
    clock.advance(1000);
    assert.equal(sockets.length, 4);
  });
  test('the network back or the page shown again: a waiting attempt goes at once', () => {
    const clock = new Clock();
    const { c } = connection(clock);
    c.start();
    sockets[0].ends(1006);
    c.nudge();
    assert.equal(sockets.length, 2);
    assert.deepEqual(clock.pending().filter((ms) => ms !== OPEN_TIMEOUT_MS), []);
    c.nudge(); // connecting already: nothing more
    assert.equal(sockets.length, 2);
  });
  test('a page put aside closes its socket, tries nothing, and comes back when shown', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].opens();
    c.suspend();
    assert.equal(sockets[0].closedWith, 1000);
    assert.deepEqual(seen.at(-1), ['lost']);
    sockets[0].ends(1000);   // the browser's report comes later, or never
    clock.advance(60000);
    assert.equal(sockets.length, 1, 'no attempt while put aside');
    assert.equal(c.send(Uint8Array.of(0xff)), false);
    c.nudge();
    assert.equal(sockets.length, 2);
    sockets[1].opens();
    assert.deepEqual(seen.at(-1), ['open']);
    // Put aside while waiting between attempts: the waiting stops too.
    sockets[1].ends(1006);
    c.suspend();
    clock.advance(60000);
    assert.equal(sockets.length, 2);
    // A connection that has stopped stays stopped.
    c.stop();
    c.suspend();
    c.nudge();
    assert.equal(sockets.length, 2);
  });
  test('an attempt that never opens is given up after its time and tried again', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    clock.advance(OPEN_TIMEOUT_MS);
    assert.equal(sockets[0].closedWith, 1005);
    assert.deepEqual(seen.at(-1), ['waiting', 1000]);
    sockets[0].ends(1006); // the browser's late report changes nothing
    assert.equal(clock.pending().length, 1);
  });
});

describe('no coming back', () => {
  for (const [code, reason] of [[CLOSE_REMOVED, 'removed'], [CLOSE_FULL, 'full'], [CLOSE_POLICY, 'refused'], [1009, 'refused']])
    test(`closed with ${code}: ${reason}`, () => {
      assert.equal(finalReason(code), reason);
      const clock = new Clock();
      const { c, seen } = connection(clock);
      c.start();
      sockets[0].opens();
      sockets[0].ends(code);
      assert.deepEqual(seen.at(-1), ['stopped', reason]);
      assert.deepEqual(clock.pending(), []);
      c.nudge();
      assert.equal(sockets.length, 1);
    });
  test('ordinary closes and lost networks are no reason to stay away', () => {
    for (const code of [1000, 1001, 1005, 1006, 1011, 4000]) assert.equal(finalReason(code), null);
  });
  test('the game said it is full: the close that follows brings no retry', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].opens();
    c.stop('full');
    sockets[0].ends(1000);
    assert.deepEqual(seen.slice(-1), [['stopped', 'full']]);
    assert.deepEqual(clock.pending(), []);
  });
  test('the player leaves: the socket closes normally and stays closed', () => {
    const clock = new Clock();
    const { c, seen } = connection(clock);
    c.start();
    sockets[0].opens();
    c.stop();
    assert.equal(sockets[0].closedWith, 1000);
    assert.deepEqual(seen.at(-1), ['stopped', 'left']);
    assert.equal(c.send(Uint8Array.of(0xff)), false);
  });
  test('leaving while waiting for the next attempt cancels it', () => {
    const clock = new Clock();
    const { c } = connection(clock);
    c.start();
    sockets[0].ends(1006);
    c.stop();
    clock.advance(60000);
    assert.equal(sockets.length, 1);
  });
});
