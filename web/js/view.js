// Draws the game's state into the page: the letter slots, the board's tiles,
// the clock, the options, the seats and the winner. It decides nothing; the
// game holds the state, and the page forwards the player's input to it.

import { BAR_PIXELS, SEATCOUNT, WAITING } from './game.js';
import { COLUMNS, HIGHLIGHT, Picture, ROWS, SLOTS, describeTile } from './selection.js';

function letterOf(code) {
  const letter = code > HIGHLIGHT ? code - HIGHLIGHT : code;
  return letter >= 1 && letter <= 26 ? String.fromCharCode(64 + letter) : '';
}

function setText(el, text) {
  if (el.textContent !== text) el.textContent = text;
}

function setLabel(el, text) {
  if (el.getAttribute('aria-label') !== text) el.setAttribute('aria-label', text);
}

export class View {
  constructor(document, game) {
    this.document = document;
    this.game = game;
    const $ = (id) => document.getElementById(id);
    this.el = {
      status: $('label_status'), round: $('label_round'), timer: $('label_timer'), bar: $('image_timer'),
      gametype: $('label_gametype'), timeperturn: $('label_timeperturn'), playtoscore: $('label_playtoscore'),
      winner: $('panel_winner'), winnerText: $('label_winner1'), board: $('paintbox_board'), slots: $('slots'),
      seats: $('seats'), spies: $('spies'), spyList: $('spylist'), clear: $('button_clearword'),
      back: $('button_back'), start: $('button_start'), watch: $('justwatch'), spectating: $('spectating'),
      idle: $('idle'), idleText: $('idletext'), invite: $('invite'),
    };
    this.tiles = [];
    this.slots = [];
    this.rows = [];
    this.build();
  }

  build() {
    const doc = this.document;
    for (let k = 1; k <= SLOTS; ++k) {
      const slot = doc.createElement('div');
      slot.className = 'slot';
      slot.setAttribute('role', 'listitem');
      this.el.slots.appendChild(slot);
      this.slots[k] = slot;
    }
    for (let row = 1; row <= ROWS; ++row)
      for (let column = 1; column <= COLUMNS; ++column) {
        const tile = doc.createElement('button');
        tile.type = 'button';
        tile.className = 'tile';
        tile.tabIndex = -1;
        tile.dataset.column = String(column);
        tile.dataset.row = String(row);
        this.el.board.appendChild(tile);
        (this.tiles[column] ??= [])[row] = tile;
      }
    for (let seat = 1; seat <= SEATCOUNT; ++seat) {
      const li = doc.createElement('li');
      li.className = 'seat';
      li.dataset.seat = String(seat);
      const found = doc.createElement('span');
      found.className = 'found';
      found.setAttribute('aria-hidden', 'true');
      const eyes = doc.createElement('span');
      eyes.className = 'eyes';
      eyes.setAttribute('aria-hidden', 'true');
      const name = doc.createElement('span');
      name.className = 'name';
      const score = doc.createElement('span');
      score.className = 'score';
      const bonus = doc.createElement('span');
      bonus.className = 'bonus';
      const menu = doc.createElement('button');
      menu.type = 'button';
      menu.className = 'seatmenu';
      menu.textContent = '⋮';
      menu.hidden = true;
      menu.dataset.seat = String(seat);
      li.append(found, eyes, name, score, bonus, menu);
      this.el.seats.appendChild(li);
      this.rows[seat] = { li, found, eyes, name, score, bonus, menu };
    }
  }

  tileAt(column, row) {
    return this.tiles[column]?.[row] ?? null;
  }

  render() {
    const g = this.game;
    const p = g.panel;
    setText(this.el.status, p.status);
    setText(this.el.round, p.round);
    setText(this.el.timer, p.timer);
    this.el.timer.classList.toggle('red', p.timerRed);
    this.el.bar.style.width = `${(100 * Math.min(Math.max(p.barWidth, 0), BAR_PIXELS)) / BAR_PIXELS}%`;
    setText(this.el.gametype, p.gametype);
    setText(this.el.timeperturn, p.timeperturn);
    setText(this.el.playtoscore, p.playtoscore);
    this.el.winner.hidden = !p.winnerVisible;
    setText(this.el.winnerText, p.winner);
    this.el.clear.hidden = !p.clearWordVisible;
    this.el.back.hidden = !p.clearWordVisible;
    this.el.start.hidden = !(g.startVisible && g.isconnected);
    this.el.watch.disabled = !(g.isconnected && g.myseat >= 1 && g.myseat <= SEATCOUNT);
    this.el.watch.setAttribute('aria-pressed', g.justWatch ? 'true' : 'false');
    this.el.spectating.hidden = !(g.myseat > SEATCOUNT);
    // Before the first board: who starts the game, and where friends join.
    const idle = g.isconnected && p.round === 'ROUND: 0' && !p.winnerVisible;
    this.el.idle.hidden = !idle;
    setText(this.el.idleText, g.ishost ? 'You are the host: press Start Game when everybody is in.' : 'Waiting for the host to start the game.');
    setText(this.el.invite, g.ishost ? `Friends join at ${this.document.location?.href ?? ''}` : '');
    this.document.body.classList.toggle('offline', g.reconnecting);
    this.document.body.classList.toggle('myturn', g.mayPlay && !g.justWatch);
    this.renderBoard();
    this.renderSeats();
  }

  renderBoard() {
    const g = this.game;
    const board = g.board;
    const last = board.lastSelected();
    for (let column = 1; column <= COLUMNS; ++column)
      for (let row = 1; row <= ROWS; ++row) {
        const tile = this.tiles[column][row];
        const code = board.code(column, row);
        setText(tile, letterOf(code));
        tile.classList.toggle('blank', letterOf(code) === '');
        tile.classList.toggle('hl', code > HIGHLIGHT);
        tile.classList.toggle('last', last !== null && last.column === column && last.row === row);
        const isCursor = g.cursor.column === column && g.cursor.row === row;
        tile.classList.toggle('cursor', isCursor);
        tile.tabIndex = isCursor ? 0 : -1;
        setLabel(tile, describeTile(board, column, row));
      }
    for (let k = 1; k <= SLOTS; ++k) {
      const s = board.slot(k);
      const el = this.slots[k];
      const shown = s.picture !== Picture.Empty;
      setText(el, shown ? letterOf(s.code) : '');
      el.classList.toggle('empty', s.code === 0);
      el.classList.toggle('hl', s.picture === Picture.Highlighted);
      const spoken = s.code !== 0 ? letterOf(s.code) + (s.picture === Picture.Highlighted ? ', taken' : '') : 'empty';
      setLabel(el, `Letter ${k}: ${spoken}`);
    }
  }

  renderSeats() {
    const g = this.game;
    for (let seat = 1; seat <= SEATCOUNT; ++seat) {
      const row = g.rows[seat];
      const el = this.rows[seat];
      const waiting = !row.shown || row.name === WAITING;
      setText(el.name, row.shown ? row.name : WAITING);
      setText(el.score, row.shown ? row.score : '');
      // A bonus shows with its sign; a bonus of nothing shows nothing.
      const bonus = row.bonus === '' || row.bonus === '0' || row.bonus === '+0' ? '' : row.bonus.startsWith('+') || row.bonus.startsWith('-') ? row.bonus : `+${row.bonus}`;
      setText(el.bonus, bonus);
      el.li.classList.toggle('waiting', waiting);
      el.li.classList.toggle('me', seat === g.myseat);
      el.li.classList.toggle('foundit', row.foundit);
      el.li.classList.toggle('watching', row.eyes);
      setLabel(el.li, `Seat ${seat}: ${row.shown ? row.name : WAITING}`);
      let standing = row.shown ? `Score ${row.score}` : '';
      if (row.eyes) standing += ', just watching';
      else if (row.foundit) standing += ', found the word';
      if (el.li.getAttribute('aria-description') !== standing) el.li.setAttribute('aria-description', standing);
      el.menu.hidden = !g.ishost || seat === g.myseat || waiting;
      setLabel(el.menu, `Host menu for seat ${seat}`);
    }
    const list = this.el.spyList;
    this.el.spies.hidden = g.spies.length === 0;
    const wanted = `${g.ishost}\n${g.spies.join('\n')}`;
    if (list.dataset.shown !== wanted) {
      while (list.firstChild) list.removeChild(list.firstChild);
      for (const entry of g.spies) {
        const li = this.document.createElement('li');
        const text = this.document.createElement('span');
        text.textContent = entry;
        li.appendChild(text);
        if (g.ishost) {
          const remove = this.document.createElement('button');
          remove.type = 'button';
          remove.className = 'spyremove';
          remove.textContent = 'Remove';
          remove.dataset.entry = entry;
          setLabel(remove, `Remove ${entry} from the game`);
          li.appendChild(remove);
        }
        list.appendChild(li);
      }
      list.dataset.shown = wanted;
    }
  }
}
