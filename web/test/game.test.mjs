// The page's seat in a game, driven by the server's messages as text and by
// the player's clicks, keys and requests: what it shows, what it says in the
// chat, what it plays and what it sends, byte for byte.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { Game, tickAt } from '../js/game.js';

const decoder = new TextDecoder();

class Scheduler {
  constructor() {
    this.intervals = new Map();
    this.next = 1;
  }
  setInterval(fn) {
    this.intervals.set(this.next, fn);
    return this.next++;
  }
  clearInterval(id) {
    this.intervals.delete(id);
  }
}

// A page seated as `seat` under `name`, with everything it does recorded.
function seated(seat = 2, name = 'Bob', { now } = {}) {
  const sent = [];
  const lines = [];
  const sounds = [];
  const boxes = [];
  const ended = [];
  const scheduler = new Scheduler();
  const game = new Game({
    send: (bytes) => {
      assert.equal(bytes.at(-1), 0xff, 'every message ends with its terminator');
      assert.equal(bytes.indexOf(0xff), bytes.length - 1, 'and holds no other');
      sent.push(decoder.decode(bytes.subarray(0, -1)));
    },
    scheduler,
    now,
  });
  game.name = name;
  Object.assign(game.on, {
    line: (l, colour) => lines.push([l, colour]),
    sound: (s) => sounds.push(s),
    message: (m) => boxes.push(m),
    ended: (why) => ended.push(why),
  });
  const feed = (...messages) => messages.forEach((m) => game.handle(m));
  if (seat) feed(`CMD_sendlogininfo+${seat}`);
  return { game, sent, lines, sounds, boxes, ended, feed, scheduler, said: () => lines.map((l) => l[0]) };
}

// A board with the given letters ({ 'c,r': 'x' }), blank elsewhere.
function loadboard(letters, round = 1) {
  let text = `CMD_loadboard+${round}`;
  for (let c = 1; c <= 10; ++c)
    for (let r = 1; r <= 9; ++r) {
      const l = letters[`${c},${r}`];
      text += `+${c}+${r}+${l ? l.charCodeAt(0) - 96 : 0}`;
    }
  return text;
}

function theword(word) {
  return 'CMD_theword+' + [...word].map((l, k) => `${k + 1}+${l.charCodeAt(0) - 96}`).join('+');
}

// A STRAIGHT (or SCRAMBLED) game with "cat" on row 7, and this seat's turn.
function turn(t, { scrambled = false, seconds = '30', letters = { '4,7': 'c', '5,7': 'a', '6,7': 't' }, word = 'cat' } = {}) {
  t.feed(`CMD_startgame+Ann+250+${seconds}+${scrambled ? 't' : 'f'}+f+`, loadboard(letters), theword(word),
    `CMD_nextplayer+${t.game.myseat}+`);
  t.sounds.length = 0;
  t.sent.length = 0;
}

describe('logging in', () => {
  test('answers with its seat, the version text and its name, in UTF-8', () => {
    const t = seated(3, 'Zoë');
    assert.deepEqual(t.sent, ['CMD_logininfo+3+1.0.5+Zoë']);
    assert.equal(t.game.myseat, 3);
    assert.ok(t.game.isconnected);
    assert.ok(!t.game.ishost);
  });
  test('seat 1 of a dedicated server holds the host rights', () => {
    const t = seated(1, 'Ann');
    assert.ok(t.game.ishost);
    assert.ok(t.game.startVisible);
  });
  test('a seat that is not a number logs nothing in', () => {
    const t = seated(0);
    t.feed('CMD_sendlogininfo+x', 'CMD_sendlogininfo+', 'CMD_sendlogininfo+2+');
    assert.deepEqual(t.sent, []);
    assert.ok(!t.game.isconnected);
  });
  test('commands in other letter case, without plus, or unknown are ignored', () => {
    const t = seated(0);
    t.feed('cmd_sendlogininfo+2', 'CMD_sendlogininfo', 'CMD_whatever+1', '', 'receivedlist');
    assert.deepEqual(t.sent, []);
    assert.ok(!t.game.isconnected);
  });
});

describe('players coming and going', () => {
  test('arrivals fill the seat rows and say so', () => {
    const t = seated(2);
    t.feed('CMD_newplayerinfo+2+Bob', 'CMD_existingplayers+1+Ann');
    assert.deepEqual(t.said(), ['0+You are Connected.', '0+Ann is Connected.']);
    assert.equal(t.game.rows[1].name, 'Ann');
    assert.ok(t.game.rows[1].shown);
    assert.deepEqual(t.sounds, ['entered', 'entered']);
  });
  test('spectators are listed by seat, once each, and a seat beyond nine by nobody', () => {
    const t = seated(7, 'Cid');
    t.feed('CMD_newplayerinfo+7+Cid', 'CMD_existingplayers+8+Dee', 'CMD_newplayerinfo+8+Dee2', 'CMD_newplayerinfo+10+Eve');
    assert.deepEqual(t.game.spies, ['7: Cid', '8: Dee2']);
    assert.ok(t.said().includes('0+You are spying.'));
    assert.ok(t.said().includes('0+Dee is spying.'));
    assert.ok(!t.game.rows.slice(1).some((r) => r.name === 'Eve'));
  });
  test('leaving: a built-in name goes without a line, a spectator with one', () => {
    const t = seated(1, 'Ann');
    t.feed('CMD_newplayerinfo+2+Klot', 'CMD_newplayerinfo+3+Bea', 'CMD_newplayerinfo+7+Cid');
    t.lines.length = 0;
    t.feed('CMD_playerdisconnected+2+Klot', 'CMD_playerdisconnected+3+Bea', 'CMD_playerdisconnected+7+Cid',
      'CMD_playerdisconnected+8+Nobody');
    assert.deepEqual(t.said(), ['0+Bea disconnected.', '0+Cid has left.']);
    assert.equal(t.game.rows[3].name, '<Waiting>');
    assert.deepEqual(t.game.spies, []);
  });
  test('just watching is shown from the server\'s word only', () => {
    const t = seated(2);
    t.feed('CMD_newplayerinfo+2+Bob');
    t.game.justWatchClick();
    assert.deepEqual(t.sent.slice(1), ['CMD_justwatch+2+1']);
    assert.ok(!t.game.justWatch);
    t.feed('CMD_justwatching+2+1');
    assert.ok(t.game.justWatch && t.game.rows[2].eyes);
    t.game.justWatchClick();
    assert.equal(t.sent.at(-1), 'CMD_justwatch+2+2');
    t.feed('CMD_justwatching+2+2', 'CMD_justwatching+9+1');
    assert.deepEqual(t.said().slice(-2), ['0+Bob is just watching', '0+Bob is now playing again']);
  });
  test('a spectator cannot just watch', () => {
    const t = seated(8);
    t.game.justWatchClick();
    assert.deepEqual(t.sent, ['CMD_logininfo+8+1.0.5+Bob']);
  });
  test('a full game says so once and ends the connection', () => {
    const t = seated(0);
    t.feed('CMD_full+');
    assert.deepEqual(t.boxes, ['Game is full']);
    assert.deepEqual(t.ended, ['full']);
  });
  test('the version lines', () => {
    const t = seated(1, 'Ann');
    t.feed('CMD_havewrongversion+Old Joe', 'CMD_wrongversion+');
    assert.deepEqual(t.said(), ['0+Old Joe has a different version of the game then you.',
      '0+You have a differnt version of the game then the host.']);
  });
});

describe('a round', () => {
  test('the options of a new game', () => {
    const t = seated(2);
    t.feed('CMD_startgame+Ann+300+45+t+t+');
    assert.deepEqual(t.said(), ['0+Ann has started a SCRAMBLED game.', '0+Using only letters that are found in the word.']);
    assert.equal(t.game.panel.gametype, 'Game Type: SCRAMBLED');
    assert.equal(t.game.panel.timeperturn, 'Time Per Turn: 45secs');
    assert.equal(t.game.panel.playtoscore, 'Play To Score: 300');
    assert.equal(t.game.pixelsPerSecond, 4);
    t.feed('CMD_startgame+Ann+250+200+f+f+');
    assert.equal(t.game.pixelsPerSecond, 1);
    assert.equal(t.game.panel.gametype, 'Game Type: STRAIGHT');
    t.feed('CMD_startgame+Ann+250+soon+f+f+');
    assert.equal(t.game.timeperturnTag, 60);
    assert.equal(t.game.panel.timeperturn, 'Time Per Turn: soonsecs');
  });
  test('the turn, the clock and its ticks', () => {
    const t = seated(2);
    turn(t, { seconds: '25' });
    assert.equal(t.game.panel.status, 'Your Turn.');
    t.feed('CMD_nextplayer+2+');
    assert.deepEqual(t.sounds, ['turn']);
    assert.equal(t.game.panel.timer, 'Time: 0:25');
    assert.equal(t.game.panel.barWidth, 7 * 25);
    assert.equal(t.scheduler.intervals.size, 1);
    const heard = [];
    for (let s = 24; s >= 1; --s) {
      t.sounds.length = 0;
      t.game.turntimeTimer();
      if (t.sounds.includes('tick')) heard.push(s);
      assert.equal(t.game.panel.timerRed, s < 20);
    }
    assert.deepEqual(heard, [20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1]);
    assert.equal(t.game.panel.timer, 'Time: 0:01');
    t.game.turntimeTimer();
    assert.equal(t.game.panel.timer, 'Time: 0:00');
    assert.equal(t.game.activeseat, 0, 'no selecting once the clock has run out');
    t.feed('CMD_outoftime+***+');
    assert.equal(t.scheduler.intervals.size, 0);
  });
  test('minutes and seconds', () => {
    const t = seated(2);
    turn(t, { seconds: '65' });
    t.feed('CMD_nextplayer+2+');
    assert.equal(t.game.panel.timer, 'Time: 1:05');
    for (let i = 0; i < 56; ++i) t.game.turntimeTimer();
    assert.equal(t.game.panel.timer, 'Time: 0:09');
  });
  test('a spectator sees seat 1\'s turn', () => {
    const t = seated(7);
    t.feed('CMD_newplayerinfo+1+Ann');
    turn(t);
    t.feed('CMD_nextplayer+1+');
    assert.equal(t.game.panel.status, "Ann's turn.");
    t.game.clickTile(4, 7);
    assert.deepEqual(t.sent, []);
  });
  test('finding the word by clicks sends it at once', () => {
    const t = seated(2);
    turn(t);
    t.game.clickTile(5, 7); // not the first letter
    t.game.clickTile(4, 7);
    t.game.clickTile(5, 7);
    t.game.clickTile(6, 7);
    assert.deepEqual(t.sounds, ['invalid', 'valid', 'valid', 'valid', 'sendword']);
    assert.deepEqual(t.sent, ['CMD_myword+2+4+7+5+7+6+7']);
    assert.equal(t.game.activeseat, 0);
    t.game.clickTile(1, 1, true);
    assert.equal(t.game.board.selectedcount, 3, 'nothing more until the server answers');
  });
  test('a wrong word gives the turn back; clearing and playing again', () => {
    const t = seated(2);
    turn(t, { letters: { '4,7': 'c', '5,7': 'a', '6,7': 't' } });
    ['4,7', '5,7', '6,7'].forEach((p) => t.game.clickTile(...p.split(',').map(Number)));
    t.feed('CMD_nomatch+3+');
    assert.equal(t.game.activeseat, 0, 'another seat\'s answer');
    t.feed('CMD_nomatch+2+');
    assert.equal(t.game.panel.status, 'You did not find the correct word.');
    assert.ok(t.game.panel.clearWordVisible);
    t.sounds.length = 0;
    t.game.clearword();
    assert.deepEqual(t.sounds, ['clear']);
    assert.equal(t.game.board.selectedcount, 0);
  });
  test('just watching: the board says so and takes nothing', () => {
    const t = seated(2);
    turn(t);
    t.feed('CMD_justwatching+2+1');
    t.game.clickTile(4, 7);
    assert.deepEqual(t.boxes, ['You cannot play when you have "Just Watching" set.']);
    assert.equal(t.game.board.selectedcount, 0);
  });
  test('the keys play the board as clicks do', () => {
    const t = seated(2);
    turn(t, { scrambled: true, letters: { '1,1': 'c', '8,8': 'c', '9,8': 'a', '9,9': 't' } });
    assert.equal(t.game.boardKey('Shift'), false);
    t.game.boardKey('ArrowRight');
    t.game.boardKey('ArrowDown');
    assert.deepEqual([t.game.cursor.column, t.game.cursor.row], [2, 2]);
    t.game.boardKey('Home');
    t.game.boardKey('ArrowUp');
    assert.deepEqual([t.game.cursor.column, t.game.cursor.row], [1, 1], 'stays put at the edge');
    t.game.boardKey('x');
    assert.deepEqual(t.sounds, ['invalid'], 'no tile carries it');
    t.game.boardKey('C'); // the nearest c: under the cursor
    t.game.boardKey('a');
    assert.deepEqual(t.sounds.slice(1), ['valid', 'invalid'], 'no a touches (1,1)');
    t.game.boardKey('Backspace');
    t.game.boardKey('ArrowRight');
    t.game.boardKey('Escape');
    assert.equal(t.game.board.selectedcount, 0);
    t.game.boardKey('Home');
    for (let i = 0; i < 7; ++i) t.game.boardKey('ArrowRight');
    for (let i = 0; i < 7; ++i) t.game.boardKey('ArrowDown');
    t.game.boardKey(' ');
    t.game.boardKey('a');
    t.game.boardKey('Enter'); // the cursor followed the a: it is taken, refused
    t.game.boardKey('t');
    assert.deepEqual(t.sent, ['CMD_myword+2+8+8+9+8+9+9']);
  });
  test('found words, bonuses and the end of a round', () => {
    const t = seated(2);
    t.feed('CMD_newplayerinfo+1+Ann', 'CMD_newplayerinfo+2+Bob');
    turn(t);
    t.feed('CMD_hefoundit+1+22+22+');
    assert.equal(t.game.panel.status, 'Ann has found the word!');
    assert.deepEqual([t.game.rows[1].bonus, t.game.rows[1].score, t.game.rows[1].foundit], ['+22', '22', true]);
    t.feed('CMD_hefoundit+2+20+45+');
    assert.equal(t.game.panel.status, 'You have found the word!');
    assert.deepEqual(t.sounds, ['goodwordthem', 'goodword']);
    t.feed('CMD_roundover+***+');
    assert.equal(t.game.panel.status, 'Round is over, please wait..');
    assert.equal(t.game.board.code(4, 7), 3, 'nothing revealed to a finder');
    t.feed('CMD_outoftime+4+7+5+7+6+7');
    assert.equal(t.game.panel.status, 'Out of Time!');
    assert.ok([4, 5, 6].every((c) => t.game.board.code(c, 7) > 26));
    t.feed(loadboard({}, 2));
    assert.equal(t.game.panel.round, 'ROUND: 2');
    assert.ok(!t.game.rows[1].foundit && t.game.rows[1].bonus === '');
  });
  test('the winner, and the host\'s start button back', () => {
    const t = seated(1, 'Ann');
    t.feed('CMD_newplayerinfo+1+Ann');
    turn(t);
    assert.ok(!t.game.startVisible);
    t.feed('CMD_winner+Ann+');
    assert.equal(t.game.panel.winner, 'You have Won the Game!');
    assert.ok(t.game.startVisible);
    t.feed('CMD_winner+Ann and Bea+');
    assert.equal(t.game.panel.winner, 'Ann and Bea has Won the Game!');
    assert.equal(t.said().at(-1), '0+Ann and Bea has Won the Game!');
    assert.equal(t.game.panel.status, 'Game Over!');
  });
  test('a late joiner takes the game as it stands', () => {
    const t = seated(3);
    t.feed(loadboard({ '1,1': 'a' }, 4), theword('ab'),
      'CMD_loadstats+t+300+45+20+t+1+40+10+t+2+12+0+f+3+0+0+f+4+0+0+f+5+0+0+f+6+0+0+f');
    assert.equal(t.game.activeseat, 3);
    assert.equal(t.game.panel.timeperturn, 'Time Per Turn: 45secs');
    assert.equal(t.game.panel.gametype, 'Game Type: SCRAMBLED');
    assert.deepEqual([t.game.rows[1].score, t.game.rows[1].bonus, t.game.rows[1].foundit], ['40', '10', true]);
    assert.equal(t.game.panel.timer, 'Time: 0:20', 'the clock goes on from where the round stands');
    assert.equal(t.game.panel.timerRed, false, 'red only below 20');
    assert.equal(t.scheduler.intervals.size, 1);
    t.feed('CMD_outoftime+***+', 'CMD_loadstats+f+300+45+20+f');
    assert.equal(t.game.activeseat, 0);
    assert.equal(t.scheduler.intervals.size, 0, 'no clock for a seat that may not play');
    t.feed('CMD_loadstats+t+300+45+9999+f');
    assert.equal(t.game.panel.timer, 'Time: 0:45', 'never more than a whole round');
    t.feed('CMD_outoftime+***+', 'CMD_loadstats+t+300+45+0+f');
    assert.equal(t.scheduler.intervals.size, 0, 'a round at its end');
  });
});

describe('the chat', () => {
  test('Enter: chat, /me actions, other commands dropped', () => {
    const t = seated(2);
    t.game.colour = 0x030201;
    const cases = [
      ['hello a+b|c', 'CMD_chat+2+hello a+b|c|$00030201'],
      ['/me waves', 'CMD_action+2+waves|$00030201'],
      ['/mewave', 'CMD_action+2+ave|$00030201'],
      ['/me', 'CMD_action+2+|$00030201'],
      [' /me waves', 'CMD_chat+2+ /me waves|$00030201'],
      ['/ME waves', null],
      ['/who', null],
      ['', null],
    ];
    for (const [text, message] of cases) {
      t.sent.length = 0;
      assert.equal(t.game.sendChat(text), true, text);
      assert.deepEqual(t.sent, message ? [message] : [], text);
    }
  });
  test('nothing goes before the login, and the line stays', () => {
    const t = seated(0);
    assert.equal(t.game.sendChat('hi'), false);
    assert.deepEqual(t.sent, []);
  });
  test('a long line is cut at 2,000 characters, never inside a letter', () => {
    const t = seated(2);
    t.game.sendChat('x'.repeat(2000) + 'y');
    assert.equal(t.sent.at(-1), `CMD_chat+2+${'x'.repeat(2000)}|clBlack`);
    t.game.sendChat('x'.repeat(1999) + '😀');
    assert.equal(t.sent.at(-1), `CMD_chat+2+${'x'.repeat(1999)}|clBlack`);
    t.game.sendChat('x'.repeat(1998) + '😀');
    assert.equal(t.sent.at(-1), `CMD_chat+2+${'x'.repeat(1998)}😀|clBlack`);
  });
  test('received lines keep their colour; a bad colour is red', () => {
    const t = seated(2);
    t.feed('CMD_chat+3+Cid chats: hi|clBlue', 'CMD_action+3+Cid waves|nonsense', 'CMD_chat+3+Cid chats: a|b|clRed');
    assert.deepEqual(t.lines, [['3+Cid chats: hi', 0xff0000], ['3+Cid waves', 0xff], ['3+Cid chats: a', 0xff]]);
  });
  test('phrase buttons rest for 101 ticks after each phrase', () => {
    let now = 0;
    const t = seated(2, 'Bob', { now: () => now });
    t.game.phrases[3] = '/me claps';
    assert.ok(t.game.phrase(1));
    now = 1009;
    assert.ok(!t.game.phrase(2), 'still resting');
    now = 1010;
    assert.ok(t.game.phrase(4));
    now = 5000;
    assert.ok(!t.game.phrase(10), 'button 10 opens the shouts');
    assert.ok(!t.game.phrase(0));
    assert.deepEqual(t.sent.slice(1), ['CMD_action+2+says: Way To Go!|clBlack', 'CMD_action+2+claps|clBlack']);
  });
  test('shouts go from playing seats only, and only the fourteen', () => {
    const t = seated(2);
    assert.ok(t.game.shout(3));
    assert.ok(!t.game.shout(0) && !t.game.shout(15) && !t.game.shout(2.5));
    assert.deepEqual(t.sent.slice(1), ['CMD_playasound+2+wave3+']);
    const spy = seated(7);
    assert.ok(!spy.game.shout(3));
  });
  test('a received shout: a line, or its sound; a strange name is neither', () => {
    const t = seated(2);
    t.feed('CMD_newplayerinfo+2+Bob');
    t.lines.length = 0;
    t.sounds.length = 0;
    t.feed('CMD_playasound+2+wave3+', 'CMD_playasound+8+wave3+', 'CMD_playasound+2+wave99+');
    assert.deepEqual(t.said(), ['0+Bob: <Chatter Sound> Hello']);
    t.game.options.chatterSounds = true;
    t.game.options.playSounds = false;
    t.feed('CMD_playasound+2+WAVE3+', 'CMD_playasound+2+../../etc/passwd+', 'CMD_playasound+2+wave15+');
    assert.deepEqual(t.sounds, ['wave3'], 'shouts play even with game sounds off, and only known ones');
  });
});

describe('the host\'s controls', () => {
  test('starting a game sends the dialog\'s options', () => {
    const t = seated(1, 'Ann');
    t.game.startGame({ playto: 300, seconds: 45, scrambled: true, onlyletters: true });
    t.game.startGame({ playto: 250, seconds: 30, scrambled: false, onlyletters: false });
    assert.deepEqual(t.sent.slice(1), ['CMD_startgame+Ann+300+45+t+t+', 'CMD_startgame+Ann+250+30+f+f+']);
  });
  test('not connected: the player is told, nothing goes', () => {
    const t = seated(0);
    assert.equal(t.game.startGame({ playto: 250, seconds: 30 }), false);
    assert.deepEqual(t.boxes, ['You are not connected']);
  });
  test('removing and setting to watch, from the host only', () => {
    const host = seated(1, 'Ann');
    host.feed('CMD_newplayerinfo+3+Cid');
    assert.deepEqual(host.game.kickMenu(3), { target: 3, removeEnabled: true, setWatchEnabled: true, unsetWatchEnabled: true });
    assert.equal(host.game.kickMenu(4).removeEnabled, false, 'an empty seat');
    host.game.kicking(3);
    host.game.setWatch(3, true);
    host.game.setWatch(3, false);
    host.game.setWatch(7, true);
    host.game.kickSpy('8: Dee');
    host.game.kickSpy('Dee');
    assert.deepEqual(host.sent.slice(1), ['CMD_kickhim+1+3+', 'CMD_justwatch+3+1', 'CMD_justwatch+3+2', 'CMD_kickhim+1+8+']);
    const guest = seated(2);
    assert.equal(guest.game.kickMenu(3).removeEnabled, false);
    guest.game.kicking(3);
    guest.game.setWatch(3, true);
    assert.deepEqual(guest.sent.slice(1), []);
  });
});

describe('back in after a drop', () => {
  test('the board stays, the player is told, and the same name logs in again', () => {
    const t = seated(2);
    t.feed('CMD_newplayerinfo+1+Ann', 'CMD_newplayerinfo+2+Bob', 'CMD_newplayerinfo+7+Cid');
    turn(t);
    t.game.clickTile(4, 7);
    t.game.connectionLost();
    assert.equal(t.game.panel.status, 'Connection lost. Reconnecting...');
    assert.equal(t.game.board.code(4, 7), 3 + 26, 'the board as it was');
    assert.equal(t.scheduler.intervals.size, 0, 'the clock waits');
    t.game.clickTile(5, 7);
    assert.equal(t.game.board.selectedcount, 1, 'no play while away');
    assert.equal(t.game.sendChat('hi'), false);
    t.sent.length = 0;
    t.feed('CMD_sendlogininfo+2');
    assert.deepEqual(t.sent, ['CMD_logininfo+2+1.0.5+Bob']);
    assert.equal(t.game.panel.status, 'Reconnected.');
    assert.ok(t.said().includes('0+Reconnected.'));
    assert.equal(t.game.rows[1].name, '<Waiting>', 'the server tells the seats again');
    assert.deepEqual(t.game.spies, []);
    t.feed('CMD_existingplayers+1+Ann', loadboard({ '4,7': 'c', '5,7': 'a', '6,7': 't' }, 3), theword('cat'),
      'CMD_loadstats+t+250+30+12+f+1+0+0+f+2+18+0+f+3+0+0+f+4+0+0+f+5+0+0+f+6+0+0+f');
    assert.equal(t.game.rows[2].score, '18', 'its score back');
    t.game.clickTile(4, 7);
    assert.equal(t.game.board.selectedcount, 1, 'and it plays on');
  });
  test('moved into its held seat on the same connection: logs in there, no row of the old seat lingers', () => {
    // Back before the server gave up the old connection: a fresh seat first,
    // then the server asks again for the seat it held.
    const t = seated(2, 'Bob');
    t.feed('CMD_newplayerinfo+1+Ann', 'CMD_newplayerinfo+2+Bob');
    t.game.connectionLost();
    t.feed('CMD_sendlogininfo+3', 'CMD_newplayerinfo+3+Bob', 'CMD_existingplayers+1+Ann',
      loadboard({ '4,7': 'c', '5,7': 'a', '6,7': 't' }, 3), theword('cat'),
      'CMD_loadstats+t+250+30+12+f+1+0+0+f+2+18+0+f+3+0+0+f+4+0+0+f+5+0+0+f+6+0+0+f');
    assert.equal(t.game.myseat, 3);
    t.sent.length = 0;
    t.lines.length = 0;
    t.feed('CMD_sendlogininfo+2');
    assert.deepEqual(t.sent, ['CMD_logininfo+2+1.0.5+Bob'], 'one login, for the held seat');
    assert.equal(t.game.myseat, 2);
    assert.equal(t.game.rows[3].name, '<Waiting>', 'its passing seat is nobody\'s');
    assert.ok(!t.said().includes('0+Reconnected.'), 'said once, when it came back');
    t.game.clickTile(4, 7);
    assert.equal(t.game.board.selectedcount, 0, 'no play until the server hands the turn to this seat');
    t.feed('CMD_newplayerinfo+2+Bob', 'CMD_existingplayers+1+Ann',
      'CMD_loadstats+t+250+30+11+f+1+0+0+f+2+18+0+f+3+0+0+f+4+0+0+f+5+0+0+f+6+0+0+f');
    assert.equal(t.game.rows[2].name, 'Bob');
    assert.equal(t.game.rows[2].score, '18', 'its score back');
    assert.equal(t.game.rows[3].name, '<Waiting>');
    t.game.clickTile(4, 7);
    assert.equal(t.game.board.selectedcount, 1, 'and it plays from its own seat');
    t.game.clickTile(5, 7);
    t.game.clickTile(6, 7);
    assert.equal(t.sent.at(-1), 'CMD_myword+2+4+7+5+7+6+7');
  });
  test('coming back to another seat takes the rights of that seat', () => {
    const t = seated(1, 'Ann');
    t.game.connectionLost();
    t.feed('CMD_sendlogininfo+4');
    assert.ok(!t.game.ishost && !t.game.startVisible);
  });
  test('tick sounds only at 20, 15 and the last ten seconds', () => {
    assert.deepEqual([21, 20, 19, 16, 15, 14, 11, 10, 1, 0, -1].map(tickAt),
      [false, true, false, false, true, false, false, true, true, false, false]);
  });
});
