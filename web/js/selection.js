// The board as the player sees it and the word being picked out of it: tile
// codes (0 blank, 1 to 26 the letters, plus 26 when highlighted), the ten
// letter slots of the word, the selection with its straight and touching
// rules, and the keyboard's cursor.

export const COLUMNS = 10;
export const ROWS = 9;
export const SLOTS = 10;
export const HIGHLIGHT = 26;
const MARKER = 53;

// Direction codes: 1 right, 2 left, 3 down, 4 up, 5 down-right, 6 up-right,
// 7 down-left, 8 up-left.
const COLUMN_STEP = [0, 1, -1, 0, 0, 1, 1, -1, -1];
const ROW_STEP = [0, 0, 0, 1, -1, 1, -1, 1, -1];

export function columnStep(direction) {
  return direction >= 1 && direction <= 8 ? COLUMN_STEP[direction] : 0;
}

export function rowStep(direction) {
  return direction >= 1 && direction <= 8 ? ROW_STEP[direction] : 0;
}

// The direction from one tile to a touching one; 0 when they do not touch.
export function between(fromColumn, fromRow, toColumn, toRow) {
  for (let d = 1; d <= 8; ++d)
    if (fromColumn + COLUMN_STEP[d] === toColumn && fromRow + ROW_STEP[d] === toRow) return d;
  return 0;
}

export function onBoard(column, row) {
  return column >= 1 && column <= COLUMNS && row >= 1 && row <= ROWS;
}

function bound(value) {
  return Math.min(Math.max(value, 0), MARKER);
}

// What a click did: the names are also what the page's tests compare.
export const Click = Object.freeze({
  Nothing: 'nothing',
  Unselected: 'unselected',
  Cleared: 'cleared',
  Refused: 'refused',
  ClearedAndRefused: 'clearedAndRefused',
  Placed: 'placed',
  Completed: 'completed',
});

export const Picture = Object.freeze({ Empty: '-', Plain: 'p', Highlighted: 'h' });

function emptySlot() {
  return { code: 0, position: '', picture: Picture.Empty };
}

export class BoardSelection {
  constructor() {
    this.board = Array.from({ length: COLUMNS + 1 }, () => new Array(ROWS + 1).fill(0));
    this.slots = Array.from({ length: SLOTS + 1 }, emptySlot);
    this.selectionList = Array.from({ length: SLOTS + 1 }, () => null);
    this.selectedcount = 0;
    this.linedirection = 0;
    this.scrambled = false;
  }

  // The tiles of CMD_loadboard: triples column, row, code.
  loadTiles(fields) {
    fields.beginList();
    while (!fields.listEnded()) {
      const column = fields.integer();
      const row = fields.integer();
      const code = fields.integer();
      if (onBoard(column, row)) this.board[column][row] = bound(code);
    }
  }

  // CMD_theword: pairs slot, letter code; the slots are emptied first.
  theword(fields) {
    for (let k = 0; k <= SLOTS; ++k) this.slots[k] = emptySlot();
    fields.beginList();
    while (!fields.listEnded()) {
      const k = fields.integer();
      const code = fields.integer();
      if (k < 1 || k > SLOTS) continue;
      const s = this.slots[k];
      s.code = bound(code);
      s.picture = code !== 0 ? Picture.Plain : Picture.Empty;
    }
  }

  code(column, row) {
    return onBoard(column, row) ? this.board[column][row] : 0;
  }

  slot(k) {
    return this.slots[k];
  }

  selection(index) {
    return this.selectionList[index];
  }

  lastSelected() {
    return this.selectedcount > 0 ? this.selectionList[this.selectedcount] : null;
  }

  wordLength() {
    let length = 0;
    while (length < SLOTS && this.slots[length + 1].code !== 0) ++length;
    return length;
  }

  isNextLetter(column, row) {
    const next = this.selectedcount + 1;
    return next <= SLOTS && this.slots[next].code !== 0 && this.code(column, row) === this.slots[next].code;
  }

  // Whether a click would take the tile; changes nothing.
  accepts(column, row) {
    if (this.selectedcount >= SLOTS || !this.isNextLetter(column, row)) return false;
    const index = this.selectedcount;
    if (index === 0) return true;
    const last = this.selection(index);
    const direction = between(last.column, last.row, column, row);
    if (this.scrambled) return direction !== 0;
    if (index === 1) return this.linedirection === 0 && direction !== 0;
    return this.linedirection !== 0 && direction === this.linedirection;
  }

  checkforconnectscrambled(index, column, row) {
    const last = this.selection(index);
    const direction = between(last.column, last.row, column, row);
    if (direction === 0) return false;
    this.linedirection = direction;
    return true;
  }

  // 'yes', 'no' or 'inconsistent'.
  checkforconnectstraight(index, column, row) {
    if ((this.linedirection === 0) !== (index === 1)) return 'inconsistent';
    if (index === 1) return this.checkforconnectscrambled(index, column, row) ? 'yes' : 'no';
    const last = this.selection(index);
    const inLine =
      last.column + columnStep(this.linedirection) === column && last.row + rowStep(this.linedirection) === row;
    return inLine ? 'yes' : 'no';
  }

  // A click on a tile while the player may select; see Click.
  click(column, row, rightButton) {
    if (rightButton) {
      if (this.code(column, row) > HIGHLIGHT && this.selectedcount >= 1) {
        const last = this.lastSelected();
        if (last.column !== column || last.row !== row) return Click.Nothing;
        this.unselectLast();
        return Click.Unselected;
      }
      this.clearword();
      return Click.Cleared;
    }
    if (this.selectedcount >= SLOTS) return Click.Nothing;
    if (!this.isNextLetter(column, row)) return Click.Refused;
    const index = this.selectedcount;
    if (index > 0) {
      if (this.scrambled) {
        if (!this.checkforconnectscrambled(index, column, row)) return Click.Refused;
      } else {
        const connect = this.checkforconnectstraight(index, column, row);
        if (connect === 'inconsistent') {
          this.clearword();
          return Click.ClearedAndRefused;
        }
        if (connect === 'no') return Click.Refused;
      }
    }
    return this.placeletter(column, row) ? Click.Completed : Click.Placed;
  }

  // Takes the tile for the next slot; answers whether the word is complete.
  placeletter(column, row) {
    if (this.selectedcount >= SLOTS || !onBoard(column, row)) return false;
    if (this.selectedcount === 0) this.linedirection = 0;
    const k = this.selectedcount + 1;
    this.board[column][row] += HIGHLIGHT;
    const s = this.slots[k];
    s.picture = Picture.Highlighted;
    s.position = `${column}+${row}`;
    this.selectedcount = k;
    this.selectionList[k] = { column, row };
    return k === SLOTS || this.slots[k + 1].code === 0;
  }

  unselectLast() {
    if (this.selectedcount === 0) return;
    const last = this.lastSelected();
    this.board[last.column][last.row] -= HIGHLIGHT;
    this.selectionList[this.selectedcount] = null;
    const s = this.slots[this.selectedcount];
    s.picture = Picture.Plain;
    s.position = '';
    --this.selectedcount;
    if (this.selectedcount === 1) this.linedirection = 0;
  }

  // Releases the selection and every highlighted tile.
  clearword() {
    for (let k = 1; k <= this.selectedcount; ++k) {
      const s = this.slots[k];
      s.picture = s.code !== 0 ? Picture.Plain : Picture.Empty;
    }
    for (let column = 1; column <= COLUMNS; ++column)
      for (let row = 1; row <= ROWS; ++row) {
        const code = this.board[column][row];
        if (code > HIGHLIGHT && code <= 2 * HIGHLIGHT) this.board[column][row] = code - HIGHLIGHT;
      }
    this.resetSelection();
  }

  resetSelection() {
    this.selectedcount = 0;
    this.selectionList.fill(null);
  }

  // A tile of the word shown at the end of a round.
  reveal(column, row) {
    if (onBoard(column, row) && this.board[column][row] <= HIGHLIGHT) this.board[column][row] += HIGHLIGHT;
  }

  // "+column+row" for every slot of the word, in slot order.
  positionList() {
    let list = '';
    for (let k = 1; k <= SLOTS; ++k) if (this.slots[k].code !== 0) list += '+' + this.slots[k].position;
    return list;
  }
}

function letterOf(code) {
  return code >= 1 && code <= 26 ? String.fromCharCode(64 + code) : '';
}

// A tile as a screen reader names it: "Column 3, row 2: K", with ", taken"
// while it is highlighted.
export function describeTile(board, column, row) {
  const code = board.code(column, row);
  const letter = code > HIGHLIGHT ? code - HIGHLIGHT : code;
  const text = `Column ${column}, row ${row}: `;
  if (letter < 1 || letter > 26) return text + 'blank';
  return text + letterOf(letter) + (code > HIGHLIGHT ? ', taken' : '');
}

// The keyboard's place on the board.
export class BoardCursor {
  constructor() {
    this.home();
  }

  home() {
    this.column = 1;
    this.row = 1;
  }

  moveTo(column, row) {
    if (onBoard(column, row)) {
      this.column = column;
      this.row = row;
    }
  }

  // One tile in a direction; stays put at the edge. Answers whether it moved.
  step(direction) {
    const column = this.column + columnStep(direction);
    const row = this.row + rowStep(direction);
    if ((column === this.column && row === this.row) || !onBoard(column, row)) return false;
    this.column = column;
    this.row = row;
    return true;
  }

  // Among the tiles the selection would take next that carry the letter, the
  // one nearest the cursor: fewest king's moves, then by the direction it
  // lies in, then by column, then by row. Null when there is none.
  nearest(board, letter) {
    let best = null;
    let bestKey = null;
    for (let column = 1; column <= COLUMNS; ++column)
      for (let row = 1; row <= ROWS; ++row) {
        if (board.code(column, row) !== letter || !board.accepts(column, row)) continue;
        const dx = column - this.column;
        const dy = row - this.row;
        const key = [Math.max(Math.abs(dx), Math.abs(dy)), between(0, 0, Math.sign(dx), Math.sign(dy)), column, row];
        if (best === null || lessThan(key, bestKey)) {
          best = { column, row };
          bestKey = key;
        }
      }
    return best;
  }
}

function lessThan(a, b) {
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return a[i] < b[i];
  return false;
}

// What a key on the board asks for, by the key's name as the browser gives
// it: arrows step, Home goes to the first tile, Space or Enter acts on the
// cursor's tile, Backspace takes back the last tile, Escape clears, and a
// letter picks a tile that carries it.
export function commandFor(key) {
  switch (key) {
    case 'ArrowRight': return { kind: 'step', direction: 1 };
    case 'ArrowLeft': return { kind: 'step', direction: 2 };
    case 'ArrowDown': return { kind: 'step', direction: 3 };
    case 'ArrowUp': return { kind: 'step', direction: 4 };
    case 'Home': return { kind: 'home' };
    case ' ':
    case 'Spacebar':
    case 'Enter': return { kind: 'act' };
    case 'Backspace': return { kind: 'unselect' };
    case 'Escape': return { kind: 'clear' };
    default: break;
  }
  if (typeof key === 'string' && key.length === 1) {
    const c = key.toLowerCase().charCodeAt(0);
    if (c >= 97 && c <= 122) return { kind: 'letter', letter: c - 96 };
  }
  return { kind: 'none' };
}
