// What the page shows and what a screen reader is told, drawn from a game
// driven by the server's messages: the tiles' and slots' names, the seat
// rows, the host's and the spectator's controls.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { Game } from '../js/game.js';
import { View } from '../js/view.js';
import { Document } from './fakedom.mjs';

function page(seat, name = 'Bob') {
  const doc = new Document();
  const game = new Game({ send() {}, scheduler: { setInterval: () => 1, clearInterval() {} } });
  game.name = name;
  const view = new View(doc, game);
  const feed = (...messages) => {
    messages.forEach((m) => game.handle(m));
    view.render();
  };
  feed(`CMD_sendlogininfo+${seat}`);
  return { doc, game, view, feed, el: (id) => doc.getElementById(id) };
}

function loadboard(letters) {
  let text = 'CMD_loadboard+1';
  for (let c = 1; c <= 10; ++c)
    for (let r = 1; r <= 9; ++r) text += `+${c}+${r}+${letters[`${c},${r}`] ?? 0}`;
  return text;
}

const label = (el) => el.getAttribute('aria-label');

describe('the board as a screen reader hears it', () => {
  test('each tile a button named by column, row and capital letter, taken or blank', () => {
    const p = page(2);
    p.feed('CMD_startgame+Ann+250+30+f+f+', loadboard({ '3,2': 11, '4,2': 1 }), 'CMD_theword+1+11+2+1', 'CMD_nextplayer+2+');
    const tiles = p.el('paintbox_board').childNodes;
    assert.equal(tiles.length, 90);
    assert.ok(tiles.every((t) => t.tagName === 'button'));
    assert.equal(label(p.view.tileAt(3, 2)), 'Column 3, row 2: K');
    assert.equal(label(p.view.tileAt(1, 1)), 'Column 1, row 1: blank');
    assert.equal(tiles[10].dataset.row, '2', 'row by row, as the eye reads');
    p.game.clickTile(3, 2);
    p.view.render();
    assert.equal(label(p.view.tileAt(3, 2)), 'Column 3, row 2: K, taken');
    assert.ok(p.view.tileAt(3, 2).classList.contains('last'));
    assert.equal(p.view.tileAt(3, 2).tabIndex, 0, 'the cursor\'s tile is the board\'s one tab stop');
    assert.equal(p.view.tileAt(1, 1).tabIndex, -1);
    const slots = p.el('slots').childNodes.map(label);
    assert.deepEqual(slots.slice(0, 3), ['Letter 1: K, taken', 'Letter 2: A', 'Letter 3: empty']);
  });
  test('the status line, the round and the clock', () => {
    const p = page(2);
    p.feed('CMD_startgame+Ann+250+46+f+f+', loadboard({}), 'CMD_theword+1+1', 'CMD_nextplayer+2+');
    assert.equal(p.el('label_status').textContent, 'Your Turn.');
    assert.equal(p.el('label_round').textContent, 'ROUND: 1');
    assert.equal(p.el('label_timer').textContent, 'Time: 0:46');
    assert.equal(p.el('image_timer').style.width, `${(100 * 4 * 46) / 184}%`);
  });
});

describe('the seats', () => {
  test('each row named "Seat N: NAME", with its standing told apart', () => {
    const p = page(2);
    p.feed('CMD_newplayerinfo+2+Bob', 'CMD_existingplayers+1+<b>Ann</b>', 'CMD_hefoundit+1+20+20+', 'CMD_justwatching+2+1');
    const rows = p.el('seats').childNodes;
    assert.equal(label(rows[0]), 'Seat 1: <b>Ann</b>');
    assert.equal(rows[0].getAttribute('aria-description'), 'Score 20, found the word');
    assert.equal(rows[0].childNodes[2].textContent, '<b>Ann</b>');
    assert.equal(rows[0].childNodes[4].textContent, '+20');
    assert.equal(label(rows[1]), 'Seat 2: Bob');
    assert.equal(rows[1].getAttribute('aria-description'), 'Score 0, just watching');
    assert.ok(rows[1].classList.contains('me') && rows[1].classList.contains('watching'));
    assert.equal(label(rows[2]), 'Seat 3: <Waiting>');
    assert.ok(rows.every((r) => r.childNodes[5].hidden), 'no host menus for a guest');
  });
  test('the host has a menu on every other seated row and can remove spectators', () => {
    const p = page(1, 'Ann');
    p.feed('CMD_newplayerinfo+1+Ann', 'CMD_newplayerinfo+2+Bob', 'CMD_newplayerinfo+7+Cid');
    const menus = p.el('seats').childNodes.map((r) => r.childNodes[5].hidden);
    assert.deepEqual(menus, [true, false, true, true, true, true]);
    assert.ok(!p.el('button_start').hidden);
    const spy = p.el('spylist').childNodes[0];
    assert.equal(spy.childNodes[0].textContent, '7: Cid');
    assert.equal(spy.childNodes[1].dataset.entry, '7: Cid');
    assert.ok(!p.el('spies').hidden);
  });
  test('a spectator is told it watches, and cannot just watch', () => {
    const p = page(7, 'Zoë');
    p.feed('CMD_newplayerinfo+7+Zoë');
    assert.ok(!p.el('spectating').hidden);
    assert.ok(p.el('justwatch').disabled);
    const seated = page(3);
    assert.ok(seated.el('spectating').hidden);
    assert.ok(!seated.el('justwatch').disabled);
  });
  test('a lost connection greys the page and hides the host\'s start', () => {
    const p = page(1, 'Ann');
    p.game.connectionLost();
    p.view.render();
    assert.ok(p.doc.body.classList.contains('offline'));
    assert.ok(p.el('button_start').hidden);
    assert.equal(p.el('label_status').textContent, 'Connection lost. Reconnecting...');
  });
});
