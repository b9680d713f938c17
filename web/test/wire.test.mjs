// The bytes of the wire as the page writes and reads them: whole messages
// with their terminator, UTF-8 text, messages cut across frames, and the
// bound on what a peer may make the page keep.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { FieldReader, Unreadable, parseInt32 } from '../js/fields.js';
import { Assembler, MAX_MESSAGE_BYTES, TERMINATOR, encode, split } from '../js/wire.js';

const bytes = (text) => new TextEncoder().encode(text);
const frame = (...parts) => {
  const chunks = parts.map((p) => (typeof p === 'number' ? Uint8Array.of(p) : bytes(p)));
  const out = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
  let at = 0;
  for (const c of chunks) {
    out.set(c, at);
    at += c.length;
  }
  return out;
};

describe('building messages', () => {
  test('command, each field after a plus, and one terminator', () => {
    assert.deepEqual(encode('CMD_kickhim', ['1', '3', '']), frame('CMD_kickhim+1+3+', 0xff));
    assert.deepEqual(encode('CMD_myword+2+4+7'), frame('CMD_myword+2+4+7', 0xff));
  });
  test('text goes as UTF-8, and no text can end a message early', () => {
    const m = encode('CMD_logininfo', ['2', '1.0.5', 'Zoë 😀']);
    assert.deepEqual(m, frame('CMD_logininfo+2+1.0.5+Zo', 0xc3, 0xab, ' ', 0xf0, 0x9f, 0x98, 0x80, 0xff));
    const any = encode('CMD_chat', ['1', '\u00ff\uffff\u{10ffff}|clBlack']);
    assert.equal(any.indexOf(TERMINATOR), any.length - 1);
  });
  test('split at the first plus; a message without one has no command', () => {
    assert.deepEqual(split('CMD_full+'), { command: 'CMD_full', payload: '' });
    assert.deepEqual(split('CMD_chat+2+a+b+c'), { command: 'CMD_chat', payload: '2+a+b+c' });
    assert.deepEqual(split('CMD_full'), { command: '', payload: 'CMD_full' });
  });
});

describe('cutting received bytes into messages', () => {
  test('two messages in one frame, and an empty one between terminators', () => {
    const a = new Assembler();
    assert.deepEqual(a.feed(frame('CMD_a+1', 0xff, 0xff, 'CMD_b+2', 0xff)), ['CMD_a+1', '', 'CMD_b+2']);
  });
  test('a message over several frames, cut inside a letter, arrives once and whole', () => {
    const a = new Assembler();
    const whole = frame('CMD_newplayerinfo+2+Zoë', 0xff);
    const cut = whole.indexOf(0xab); // the second byte of ë
    assert.deepEqual(a.feed(whole.subarray(0, 5)), []);
    assert.deepEqual(a.feed(whole.subarray(5, cut)), []);
    assert.deepEqual(a.feed(whole.subarray(cut)), ['CMD_newplayerinfo+2+Zoë']);
    assert.equal(a.pendingSize, 0);
  });
  test('bytes that are not UTF-8 are read without harm', () => {
    const a = new Assembler();
    assert.deepEqual(a.feed(frame('CMD_chat+1+', 0xc3, 0x28, 'x|clRed', 0xff)), ['CMD_chat+1+\ufffd(x|clRed']);
  });
  test('a message of exactly the limit is kept; one byte more is dropped whole', () => {
    const a = new Assembler(16);
    const at = 'CMD_x+' + 'a'.repeat(10);
    assert.equal(at.length, 16);
    assert.deepEqual(a.feed(frame(at, 0xff)), [at]);
    assert.deepEqual(a.feed(frame(at + 'b', 0xff, 'CMD_y+1', 0xff)), ['CMD_y+1']);
    assert.equal(a.discarded, 1);
  });
  test('an endless message costs no more than the limit, and what follows it is read', () => {
    const a = new Assembler(MAX_MESSAGE_BYTES);
    const chunk = new Uint8Array(10000).fill(0x41);
    for (let i = 0; i < 20; ++i) {
      assert.deepEqual(a.feed(chunk), []);
      assert.ok(a.pendingSize <= MAX_MESSAGE_BYTES);
    }
    assert.deepEqual(a.feed(frame('tail', 0xff, 'CMD_full+', 0xff)), ['CMD_full+']);
  });
});

describe('reading fields', () => {
  test('text fields, and the last one with its plus signs', () => {
    const f = new FieldReader('2+Ann+a+b+c');
    assert.equal(f.integer(), 2);
    assert.equal(f.text(), 'Ann');
    assert.equal(f.rest, 'a+b+c');
  });
  test('no plus left: an empty field and nothing taken', () => {
    const f = new FieldReader('abc');
    assert.equal(f.text(), '');
    assert.equal(f.rest, 'abc');
    assert.throws(() => f.integer(), Unreadable);
  });
  test('lists of groups end where the payload ends', () => {
    const f = new FieldReader('1+2+3+4');
    const pairs = [];
    f.beginList();
    while (!f.listEnded()) pairs.push([f.integer(), f.integer()]);
    assert.deepEqual(pairs, [[1, 2], [3, 4]]);
    const empty = new FieldReader('');
    empty.beginList();
    assert.throws(() => empty.integer(), Unreadable);
  });
  for (const [text, value] of [
    ['0', 0], ['42', 42], ['-7', -7], ['007', 7], ['2147483647', 2147483647], ['-2147483648', -2147483648],
    ['2147483648', null], ['-2147483649', null], ['99999999999999999999', null], ['', null], ['-', null],
    ['+1', null], [' 1', null], ['1 ', null], ['1.0', null], ['0x10', null], ['\u0663', null], ['--1', null],
  ])
    test(`integer ${JSON.stringify(text)}`, () => assert.equal(parseInt32(text), value));
});
