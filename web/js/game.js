// The player's side of the game without any page: the login, the dispatch of
// the server's messages, the seats, the board and its selection, the turn
// clock and the round's end, and what the player asks of the server. The
// page renders this state and forwards the player's input to it.

import { received } from './chatline.js';
import { clBlue } from './colourtext.js';
import { FieldReader, Unreadable, parseInt32 } from './fields.js';
import { BoardCursor, BoardSelection, Click, commandFor } from './selection.js';
import {
  PHRASES, PLAYING_SEATS, PhraseCooldown, chatMessage, lineToSend, phraseAction, shoutCaption, shoutMessage,
} from './talk.js';
import { encode, split } from './wire.js';

// The protocol's version text, sent at login and compared by the server.
export const VERSION = '1.0.5';
export const SEATCOUNT = PLAYING_SEATS;
export const MAX_SEATS = 9;
export const WAITING = '<Waiting>';
// The colour of the status lines in the chat: blue.
export const STATUS_COLOUR = clBlue;
// The time bar's full width, in the window's pixels.
export const BAR_PIXELS = 184;
const MAX_SECONDS_PER_ROUND = 3600;
const HINTS = ['', '', 'Klot', 'Klick', 'Kling', 'Klick', 'Krazy'];

export const SOUND_NAMES = [
  'clear', 'entered', 'gameover', 'goodword', 'goodwordthem', 'invalid', 'roundover', 'sendword', 'tick', 'timeup',
  'turn', 'turnnew', 'valid', ...Array.from({ length: 14 }, (_, i) => `wave${i + 1}`),
];

// A timer that calls fn every ms while enabled; the scheduler is the
// browser's by default, and a test's own in tests.
export class Ticker {
  constructor(ms, fn, scheduler = globalThis) {
    this.ms = ms;
    this.fn = fn;
    this.scheduler = scheduler;
    this.id = null;
  }

  get enabled() {
    return this.id !== null;
  }

  setEnabled(on) {
    if (on === this.enabled) return;
    if (on) this.id = this.scheduler.setInterval(this.fn, this.ms);
    else {
      this.scheduler.clearInterval(this.id);
      this.id = null;
    }
  }
}

function newRow(seat) {
  return { name: WAITING, hint: HINTS[seat] ?? '', shown: false, score: '0', bonus: '', foundit: false, eyes: false };
}

export function tickAt(secondsleft) {
  return secondsleft === 20 || secondsleft === 15 || (secondsleft >= 1 && secondsleft <= 10);
}

export class Game {
  // send(bytes) hands a whole message to the connection.
  constructor({ send = () => {}, scheduler = globalThis, now = () => Date.now() } = {}) {
    this.sendBytes = send;
    this.on = { change() {}, line() {}, sound() {}, message() {}, ended() {} };
    this.name = '';
    this.colour = 0;
    this.options = { playSounds: true, chatterSounds: false, turnSoundNew: false };
    this.phrases = [...PHRASES];
    this.cooldown = new PhraseCooldown(now);
    this.turntime = new Ticker(1000, () => this.turntimeTimer(), scheduler);

    this.isconnected = false;
    this.myseat = 0;
    this.activeseat = 0;
    this.ishost = false;
    this.justWatch = false;
    this.startVisible = false;
    this.reconnecting = false;
    this.rows = [null];
    for (let seat = 1; seat <= SEATCOUNT; ++seat) this.rows.push(newRow(seat));
    this.spies = [];
    this.panel = {
      status: 'Welcome to Zarvex ', round: 'ROUND: 0', gametype: '', timeperturn: '', playtoscore: '', timer: '',
      timerRed: false, barWidth: 0, winner: '', winnerVisible: false, clearWordVisible: false,
    };
    this.timeperturnTag = 0;
    this.pixelsPerSecond = 0;
    this.secondsleft = 0;
    this.board = new BoardSelection();
    this.cursor = new BoardCursor();
    this.clearall();

    this.handlers = {
      CMD_sendlogininfo: (f) => this.sendloginfo(f),
      CMD_chat: (f) => this.chatrecieved(f.rest),
      CMD_action: (f) => this.chatrecieved(f.rest),
      CMD_newplayerinfo: (f) => this.newplayerinfo(f),
      CMD_existingplayers: (f) => this.newplayerinfo(f),
      CMD_havewrongversion: (f) => this.line('0+' + f.rest + ' has a different version of the game then you.'),
      CMD_wrongversion: () => this.line('0+You have a differnt version of the game then the host.'),
      CMD_playerdisconnected: (f) => this.playerdisconnected(f),
      CMD_full: () => this.full(),
      CMD_justwatching: (f) => this.justwatching(f),
      CMD_playasound: (f) => this.playasound(f.rest),
      CMD_startgame: (f) => this.startthegame(f),
      CMD_nextplayer: (f) => this.getnextplayer(f),
      CMD_winner: (f) => this.winner(f),
      CMD_theword: (f) => this.board.theword(f),
      CMD_loadboard: (f) => this.loadboard(f),
      CMD_hefoundit: (f) => this.hefoundit(f),
      CMD_nomatch: (f) => this.nomatch(f),
      CMD_outoftime: (f) => this.turnEnded(f, 'Out of Time!', 'timeup'),
      CMD_roundover: (f) => this.turnEnded(f, 'Round is over, please wait..', 'roundover'),
      CMD_loadstats: (f) => this.loadstats(f),
    };
  }

  // ------------------------------------------------------------ plumbing

  send(bytes) {
    this.sendBytes(bytes);
  }

  line(text, colour = STATUS_COLOUR) {
    this.on.line(text, colour);
  }

  sound(name) {
    if (this.options.playSounds) this.on.sound(name);
  }

  changed() {
    this.on.change();
  }

  ownsRow(seat) {
    return seat >= 1 && seat <= SEATCOUNT;
  }

  isSpySeat(seat) {
    return seat > SEATCOUNT && seat <= MAX_SEATS;
  }

  // One message from the server, without its terminator.
  handle(message) {
    const { command, payload } = split(message);
    if (command === '' || !Object.hasOwn(this.handlers, command)) return;
    try {
      this.handlers[command](new FieldReader(payload));
    } catch (e) {
      if (!(e instanceof Unreadable)) throw e;
    }
    this.changed();
  }

  // ---------------------------------------------------------- connection

  // The connection closed without the player asking: the board stays as it
  // is until the server sends it again.
  connectionLost(status = 'Connection lost. Reconnecting...') {
    this.isconnected = false;
    this.activeseat = 0;
    this.reconnecting = true;
    this.turntime.setEnabled(false);
    this.panel.clearWordVisible = false;
    this.panel.status = status;
    this.changed();
  }

  sendloginfo(fields) {
    const seat = fields.lastInteger();
    // The server tells the seats again after every login, and may ask a
    // second time on the same connection when it gives this player back the
    // seat it held for it: rows from before, this page's own earlier seat
    // among them, and rows of players who left meanwhile must not linger.
    for (let s = 1; s <= SEATCOUNT; ++s) {
      const row = this.rows[s];
      row.name = WAITING;
      row.shown = false;
      row.eyes = false;
    }
    this.spies = [];
    this.justWatch = false;
    // The turn belongs to a seat: the server hands it over again.
    if (seat !== this.myseat) this.activeseat = 0;
    if (this.reconnecting) {
      this.reconnecting = false;
      this.panel.status = 'Reconnected.';
      this.line('0+Reconnected.');
    }
    this.myseat = seat;
    this.isconnected = true;
    this.send(encode('CMD_logininfo', [String(seat), VERSION, this.name]));
    // Seat 1 of a dedicated server holds the host's rights there.
    const host = seat === 1;
    if (host && !this.ishost) this.startVisible = true;
    if (!host) this.startVisible = false;
    this.ishost = host;
  }

  newplayerinfo(fields) {
    const seat = fields.integer();
    const name = fields.rest;
    if (seat === this.myseat) this.line('0+You are Connected.');
    else this.line('0+' + name + ' is Connected.');
    if (this.ownsRow(seat)) {
      const row = this.rows[seat];
      row.name = name;
      row.shown = true;
    } else if (this.isSpySeat(seat)) {
      const prefix = `${seat}: `;
      this.spies = this.spies.filter((entry) => !entry.startsWith(prefix));
      this.spies.push(prefix + name);
      this.line(seat === this.myseat ? '0+You are spying.' : '0+' + name + ' is spying.');
    }
    this.sound('entered');
  }

  playerdisconnected(fields) {
    const seat = fields.integer();
    const name = fields.rest;
    if (this.ownsRow(seat)) {
      const row = this.rows[seat];
      if (row.name !== WAITING && row.name !== row.hint) this.line('0+' + row.name + ' disconnected.');
      row.name = WAITING;
      row.eyes = false;
    } else {
      const entry = `${seat}: ${name}`;
      const at = this.spies.indexOf(entry);
      if (at >= 0) {
        this.spies.splice(at, 1);
        this.line('0+' + name + ' has left.');
      }
    }
  }

  justwatching(fields) {
    const seat = fields.integer();
    if (!this.ownsRow(seat)) return;
    const row = this.rows[seat];
    const watching = fields.rest === '1';
    if (seat === this.myseat) this.justWatch = watching;
    this.line('0+' + row.name + (watching ? ' is just watching' : ' is now playing again'));
    row.eyes = watching;
  }

  full() {
    this.on.message('Game is full');
    this.on.ended('full');
  }

  chatrecieved(payload) {
    const r = received(payload);
    this.line(r.line, r.colour);
  }

  playasound(payload) {
    const cut = payload.indexOf('+');
    const seat = cut < 0 ? payload : payload.slice(0, cut);
    let name = cut < 0 ? '' : payload.slice(cut + 1);
    const end = name.indexOf('+');
    if (end >= 0) name = name.slice(0, end);
    if (this.options.chatterSounds) {
      // Only the game's own sounds: a name from a peer never becomes a path.
      const known = name.toLowerCase();
      if (SOUND_NAMES.includes(known)) this.on.sound(known);
      return;
    }
    let who = null;
    for (let s = 1; s <= SEATCOUNT; ++s) if (seat === String(s)) who = this.rows[s].name;
    const caption = shoutCaption(name);
    if (who !== null && caption !== null) this.line('0+' + who + ': <Chatter Sound> ' + caption);
  }

  // -------------------------------------------------------------- game

  clearall() {
    this.panel.round = 'ROUND: 0';
    this.justWatch = false;
    this.panel.winnerVisible = false;
    for (let seat = 1; seat <= SEATCOUNT; ++seat) {
      const row = this.rows[seat];
      row.score = '0';
      row.bonus = '';
      row.foundit = false;
      row.eyes = false;
    }
  }

  setTimePerTurn(seconds) {
    seconds = Math.min(Math.max(seconds, 0), MAX_SECONDS_PER_ROUND);
    this.timeperturnTag = seconds;
    if (seconds <= 0) this.pixelsPerSecond = 0;
    else this.pixelsPerSecond = seconds >= BAR_PIXELS ? 1 : Math.floor(BAR_PIXELS / seconds);
  }

  setGameType(scrambled) {
    this.panel.gametype = scrambled ? 'Game Type: SCRAMBLED' : 'Game Type: STRAIGHT';
    this.board.scrambled = scrambled;
  }

  get scrambled() {
    return this.board.scrambled;
  }

  startthegame(fields) {
    const starter = fields.text();
    const playto = fields.text();
    const seconds = fields.text();
    const type = fields.text();
    const only = fields.text();
    this.startVisible = false;
    this.clearall();
    const scrambled = type !== 'f';
    this.line('0+' + starter + (scrambled ? ' has started a SCRAMBLED game.' : ' has started a STRAIGHT game.'));
    this.setGameType(scrambled);
    if (only === 't') this.line('0+Using only letters that are found in the word.');
    this.setTimePerTurn(parseInt32(seconds) ?? 60);
    this.panel.timeperturn = 'Time Per Turn: ' + seconds + 'secs';
    this.panel.playtoscore = 'Play To Score: ' + playto;
  }

  loadstats(fields) {
    const open = fields.text() === 't';
    const playto = fields.integer();
    const timeperturn = fields.integer();
    const secondsLeft = fields.integer();
    const scrambled = fields.text() !== 'f';
    this.activeseat = open ? this.myseat : 0;
    this.setTimePerTurn(timeperturn);
    if (open && secondsLeft > 0) {
      // Back in the middle of a round (a phone that slept, a reload): the
      // clock goes on from where the round stands, and the word may be found.
      this.secondsleft = Math.min(secondsLeft, this.timeperturnTag);
      this.panel.barWidth = this.pixelsPerSecond * this.secondsleft;
      this.panel.timerRed = this.secondsleft < 20;
      this.panel.clearWordVisible = true;
      this.board.resetSelection();
      this.showTime();
      this.turntime.setEnabled(true);
    }
    this.panel.timeperturn = `Time Per Turn: ${timeperturn}secs`;
    this.panel.playtoscore = `Play To Score: ${playto}`;
    this.setGameType(scrambled);
    fields.beginList();
    while (!fields.listEnded()) {
      const seat = fields.integer();
      const score = fields.text();
      const bonus = fields.text();
      const found = fields.text() === 't';
      if (!this.ownsRow(seat)) continue;
      const row = this.rows[seat];
      row.score = score;
      row.bonus = bonus;
      row.foundit = found;
    }
  }

  loadboard(fields) {
    this.panel.round = 'ROUND: ' + fields.text();
    for (let seat = 1; seat <= SEATCOUNT; ++seat) {
      this.rows[seat].foundit = false;
      this.rows[seat].bonus = '';
    }
    this.board.loadTiles(fields);
    this.cursor.home();
  }

  getnextplayer(fields) {
    const seat = fields.integer();
    this.turntime.setEnabled(false);
    this.activeseat = seat;
    this.panel.clearWordVisible = false;
    this.board.resetSelection();
    if (seat === this.myseat) {
      this.panel.status = 'Your Turn.';
      this.sound(this.options.turnSoundNew ? 'turnnew' : 'turn');
      this.panel.clearWordVisible = true;
    } else {
      const name = this.ownsRow(seat) ? this.rows[seat].name : String(seat);
      this.panel.status = name + "'s turn.";
    }
    this.secondsleft = this.timeperturnTag;
    this.panel.barWidth = this.pixelsPerSecond * this.secondsleft;
    this.panel.timerRed = this.secondsleft < 20;
    this.showTime();
    this.turntime.setEnabled(true);
  }

  turntimeTimer() {
    --this.secondsleft;
    if (this.secondsleft <= 0) {
      this.secondsleft = 0;
      this.panel.timer = 'Time: 0:00';
      this.panel.barWidth = 0;
      this.activeseat = 0;
    } else {
      this.panel.barWidth = this.pixelsPerSecond * this.secondsleft;
      this.panel.timerRed = this.secondsleft < 20;
      if (tickAt(this.secondsleft)) this.sound('tick');
      this.showTime();
    }
    this.changed();
  }

  showTime() {
    const s = this.secondsleft;
    this.panel.timer = `Time: ${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
  }

  hefoundit(fields) {
    const seatText = fields.text();
    const bonus = fields.text();
    const score = fields.text();
    const seat = parseInt32(seatText) ?? 0;
    if (this.ownsRow(seat)) {
      const row = this.rows[seat];
      row.bonus = '+' + bonus;
      row.score = score;
      row.foundit = true;
    }
    if (seatText !== String(this.myseat)) {
      const name = this.ownsRow(seat) ? this.rows[seat].name : seatText;
      this.panel.status = name + ' has found the word!';
      this.sound('goodwordthem');
    } else {
      this.panel.status = 'You have found the word!';
      this.sound('goodword');
      this.panel.clearWordVisible = false;
    }
  }

  nomatch(fields) {
    if (fields.integer() !== this.myseat) return;
    this.panel.status = 'You did not find the correct word.';
    this.sound('invalid');
    if (this.myseat < 7) {
      this.panel.clearWordVisible = true;
      this.activeseat = this.myseat;
    }
  }

  turnEnded(fields, status, soundName) {
    this.turntime.setEnabled(false);
    this.panel.clearWordVisible = false;
    this.panel.status = status;
    if (!fields.rest.startsWith('*')) {
      fields.beginList();
      while (!fields.listEnded()) {
        const column = fields.integer();
        this.board.reveal(column, fields.integer());
      }
    }
    this.sound(soundName);
  }

  winner(fields) {
    let text = fields.rest;
    if (text.endsWith('+')) text = text.slice(0, -1);
    this.panel.clearWordVisible = false;
    this.sound('gameover');
    const won = this.ownsRow(this.myseat) && this.rows[this.myseat].name === text;
    const banner = won ? 'You have Won the Game!' : text + ' has Won the Game!';
    this.panel.winner = banner;
    this.panel.status = 'Game Over!';
    this.line('0+' + banner);
    this.panel.winnerVisible = true;
    if (this.ishost) this.startVisible = true;
  }

  // ------------------------------------------------------------ the board

  get mayPlay() {
    return this.isconnected && this.activeseat !== 0 && this.activeseat === this.myseat;
  }

  // A click or tap on a tile; rightButton for the secondary button.
  clickTile(column, row, rightButton = false) {
    this.cursor.moveTo(column, row);
    this.tileReleased(column, row, rightButton);
  }

  tileReleased(column, row, rightButton) {
    if (this.activeseat !== this.myseat) return;
    if (!rightButton && this.justWatch) {
      this.on.message('You cannot play when you have "Just Watching" set.');
      return;
    }
    const click = this.board.click(column, row, rightButton);
    if (click === Click.Cleared || click === Click.ClearedAndRefused) this.sound('clear');
    if (click === Click.Refused || click === Click.ClearedAndRefused) this.sound('invalid');
    if (click === Click.Placed || click === Click.Completed) this.sound('valid');
    if (click === Click.Completed) this.sendword();
    this.changed();
  }

  clearword() {
    if (this.activeseat !== this.myseat) return;
    this.board.clearword();
    this.sound('clear');
    this.changed();
  }

  // Gives back the last tile taken, as Backspace does.
  unselectLast() {
    const last = this.board.lastSelected();
    if (last) this.tileReleased(last.column, last.row, true);
  }

  sendword() {
    if (this.activeseat !== this.myseat) return;
    this.activeseat = 0;
    this.panel.clearWordVisible = false;
    const list = this.board.positionList();
    if (!this.isconnected) return;
    if (list !== '') this.send(encode('CMD_myword' + '+' + this.myseat + list));
    this.sound('sendword');
  }

  // A key pressed while the board has the keyboard; answers whether the key
  // means something there.
  boardKey(key) {
    const command = commandFor(key);
    switch (command.kind) {
      case 'none':
        return false;
      case 'step':
        if (this.cursor.step(command.direction)) this.changed();
        return true;
      case 'home':
        this.cursor.home();
        this.changed();
        return true;
      case 'act':
        this.tileReleased(this.cursor.column, this.cursor.row, false);
        return true;
      case 'unselect':
        this.unselectLast();
        return true;
      case 'clear':
        this.clearword();
        return true;
      default:
        break;
    }
    if (this.activeseat !== this.myseat) return true;
    const at = this.cursor.nearest(this.board, command.letter);
    if (at === null && !this.justWatch) {
      this.sound('invalid');
      return true;
    }
    if (at !== null) this.cursor.moveTo(at.column, at.row);
    this.tileReleased(this.cursor.column, this.cursor.row, false);
    return true;
  }

  // ------------------------------------------------------------ requests

  request(command, fields) {
    if (!this.isconnected) return false;
    this.send(encode(command, fields));
    return true;
  }

  justWatchClick() {
    if (!this.isconnected || !this.ownsRow(this.myseat)) return;
    this.request('CMD_justwatch', [String(this.myseat), this.justWatch ? '2' : '1']);
  }

  // The host's menu of a seat row.
  kickMenu(seat) {
    const menu = { target: seat, removeEnabled: this.ishost, setWatchEnabled: this.ishost, unsetWatchEnabled: this.ishost };
    if (this.ownsRow(seat) && this.rows[seat].name === WAITING) menu.removeEnabled = false;
    return menu;
  }

  kicking(seat) {
    if (this.ishost && this.isconnected) this.request('CMD_kickhim', [String(this.myseat), String(seat), '']);
  }

  // Removes the spectator of a spy entry ("seat: name").
  kickSpy(entry) {
    const seat = parseInt32(entry.slice(0, Math.max(0, entry.indexOf(':'))));
    if (seat !== null) this.kicking(seat);
  }

  setWatch(seat, on) {
    if (this.isconnected && this.ownsRow(seat) && this.ishost) this.request('CMD_justwatch', [String(seat), on ? '1' : '2']);
  }

  // The start dialog's request: play-to score, seconds per round, the game
  // type and the only-letters box.
  startGame({ playto, seconds, scrambled, onlyletters }) {
    if (!this.isconnected) {
      this.on.message('You are not connected');
      return false;
    }
    return this.request('CMD_startgame', [this.name, String(playto), String(seconds), scrambled ? 't' : 'f', onlyletters ? 't' : 'f', '']);
  }

  // Enter in the chat input: answers whether the line was taken (and the
  // input may be emptied).
  sendChat(text) {
    if (!this.isconnected) return false;
    const what = lineToSend(text);
    if (what) this.send(chatMessage(what.command, this.myseat, what.text, this.colour));
    return true;
  }

  // Phrase buttons 1 to 9; answers whether the phrase went.
  phrase(n) {
    if (!Number.isInteger(n) || n < 1 || n > 9 || !this.isconnected || !this.cooldown.take()) return false;
    this.send(chatMessage('CMD_action', this.myseat, phraseAction(this.phrases[n - 1]), this.colour));
    return true;
  }

  shout(n) {
    const message = shoutMessage(n, this.myseat, this.isconnected);
    if (message) this.send(message);
    return message !== null;
  }
}
