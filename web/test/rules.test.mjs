// The rules the page shares with the desktop game, replayed against the
// answers the core itself wrote: selection by clicks and typed letters,
// display lines cut into chat items, colour text, and shared constants.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { islink, readLine, received, webAddress, FIRST_SMILEY, LINK_STYLE, SMILEY_COUNT } from '../js/chatline.js';
import { fromText, toText } from '../js/colourtext.js';
import { FieldReader } from '../js/fields.js';
import { SOUND_NAMES, VERSION, BAR_PIXELS } from '../js/game.js';
import { BoardCursor, BoardSelection, COLUMNS, HIGHLIGHT, ROWS, SLOTS } from '../js/selection.js';
import { CHAT_MAX_LENGTH, PHRASES, PHRASE_COOLDOWN_TICKS, SHOUTS } from '../js/talk.js';
import { RANGES } from '../js/startdialog.js';
import { fixture, skipReason } from './fixtures.mjs';

function loadCase(c) {
  const board = new BoardSelection();
  board.scrambled = c.scrambled;
  let tiles = '1';
  for (let column = 1; column <= COLUMNS; ++column)
    for (let row = 1; row <= ROWS; ++row) {
      const ch = c.board[row - 1][column - 1];
      tiles += `+${column}+${row}+${ch === '.' ? 0 : ch.charCodeAt(0) - 96}`;
    }
  const f = new FieldReader(tiles);
  f.text();
  board.loadTiles(f);
  board.theword(new FieldReader([...c.word].map((ch, k) => `${k + 1}+${ch.charCodeAt(0) - 96}`).join('+')));
  return board;
}

function stateOf(board, cursor) {
  const selection = [];
  for (let k = 1; k <= board.selectedcount; ++k) selection.push([board.selection(k).column, board.selection(k).row]);
  const taken = [];
  for (let column = 1; column <= COLUMNS; ++column)
    for (let row = 1; row <= ROWS; ++row) if (board.code(column, row) > HIGHLIGHT) taken.push([column, row]);
  let slots = '';
  for (let k = 1; k <= SLOTS; ++k) slots += board.slot(k).picture;
  return { selection, linedirection: board.linedirection, taken, slots, cursor: [cursor.column, cursor.row] };
}

describe('selection as the core plays it', { skip: skipReason }, () => {
  const cases = skipReason ? [] : fixture('selection.json').cases;
  test('the core wrote cases of every kind', () => {
    const seen = new Set(cases.flatMap((c) => c.steps.map((s) => s.after.click)));
    for (const kind of ['placed', 'completed', 'refused', 'unselected', 'cleared', 'nothing', 'noTile'])
      assert.ok(seen.has(kind), `no step ends "${kind}"`);
  });
  for (const c of cases) {
    test(c.name, () => {
      const board = loadCase(c);
      const cursor = new BoardCursor();
      c.steps.forEach((step, n) => {
        let click = 'noTile';
        if (step.do === 'letter') {
          const at = cursor.nearest(board, step.letter.charCodeAt(0) - 96);
          if (at) {
            cursor.moveTo(at.column, at.row);
            click = board.click(at.column, at.row, false);
          }
        } else {
          cursor.moveTo(step.at[0], step.at[1]);
          click = board.click(step.at[0], step.at[1], step.do === 'right');
        }
        const where = `step ${n + 1} (${step.do} ${step.at ?? step.letter})`;
        const { click: expectedClick, sent, ...expected } = step.after;
        assert.equal(click, expectedClick, where);
        assert.deepEqual(stateOf(board, cursor), expected, where);
        if (sent !== undefined) assert.equal(board.positionList(), sent, where);
      });
    });
  }
});

describe('chat lines as the core cuts them', { skip: skipReason }, () => {
  const cases = skipReason ? { display: [], received: [], islink: [] } : fixture('chatlines.json');
  test('display lines', () => {
    for (const { line, read } of cases.display) {
      const got = readLine(line);
      if (read === null) {
        assert.equal(got, null, JSON.stringify(line));
        continue;
      }
      assert.ok(got, JSON.stringify(line));
      assert.equal(got.code, read.code, JSON.stringify(line));
      assert.equal(got.style, read.style, JSON.stringify(line));
      const items = got.items.map((i) => {
        const o = { kind: i.kind, style: i.style };
        if (i.kind === 'I') o.picture = i.picture;
        else o.text = i.text;
        return o;
      });
      assert.deepEqual(items, read.items.map(({ opens, ...rest }) => rest), JSON.stringify(line));
    }
  });
  test('a link opens only where the core opens it', () => {
    // The written lines come first; on those the two agree exactly. On the
    // drawn ones the page may refuse more, never less.
    cases.display.forEach(({ line, read }, n) => {
      for (const item of read?.items ?? []) {
        if (item.kind !== 'L') continue;
        const opens = webAddress(item.text) !== null;
        if (n < 30) assert.equal(opens, item.opens, JSON.stringify(line));
        else if (opens) assert.ok(item.opens, JSON.stringify(item.text));
      }
    });
  });
  test('received payloads', () => {
    for (const c of cases.received) assert.deepEqual(received(c.payload), { line: c.line, colour: c.colour }, c.payload);
  });
  test('link words', () => {
    for (const c of cases.islink) assert.equal(islink(c.word), c.islink, c.word);
  });
  test('an opened link is only ever http or https', () => {
    for (const { read } of cases.display)
      for (const item of read?.items ?? [])
        if (item.kind === 'L' && webAddress(item.text) !== null) assert.match(webAddress(item.text), /^https?:\/\//);
  });
});

describe('colour text as the core reads and writes it', { skip: skipReason }, () => {
  const cases = skipReason ? { write: [], read: [] } : fixture('colourtext.json');
  test('written', () => {
    for (const c of cases.write) assert.equal(toText(c.value), c.text, String(c.value));
  });
  test('read, including texts that are no colour', () => {
    assert.ok(cases.read.some((c) => c.value === null));
    for (const c of cases.read) assert.equal(fromText(c.text), c.value, JSON.stringify(c.text));
  });
});

describe('what both sides agree on', { skip: skipReason }, () => {
  const core = skipReason ? {} : fixture('constants.json');
  test('version, phrases, shouts and sounds', () => {
    assert.equal(VERSION, core.version);
    assert.deepEqual(PHRASES, core.phrases);
    assert.equal(PHRASE_COOLDOWN_TICKS, core.phraseCooldownTicks);
    assert.deepEqual(SHOUTS, core.shouts);
    assert.deepEqual(SOUND_NAMES, core.sounds);
  });
  test('bounds and the start dialog', () => {
    assert.equal(CHAT_MAX_LENGTH, core.chatMaxLength);
    assert.deepEqual(RANGES.playto, core.playToScore);
    assert.deepEqual(RANGES.seconds, core.creationTime);
    assert.equal(FIRST_SMILEY, core.firstSmiley);
    assert.equal(SMILEY_COUNT, core.smileyCount);
    assert.equal(LINK_STYLE, core.linkStyle);
    assert.ok(BAR_PIXELS > 0);
  });
});
