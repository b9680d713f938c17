// The page: joins with the player's name, keeps the connection, and ties the
// game's state to the board, the seats, the chat, the sounds and the
// player's clicks, taps and keys.

import { ChatView } from './chatview.js';
import { fromCss, toCss } from './colourtext.js';
import { Connection, socketUrl } from './connection.js';
import { Game, SEATCOUNT } from './game.js';
import { Popup } from './menus.js';
import { Prefs, cleanName } from './prefs.js';
import { smiley, NAMES as SMILEY_NAMES } from './smileys.js';
import { Sounds } from './sounds.js';
import { RANGES, StartOptions } from './startdialog.js';
import { SHOUTS, PHRASE_COOLDOWN_MS } from './talk.js';
import { View } from './view.js';

const doc = document;
const $ = (id) => doc.getElementById(id);

function localStore() {
  try {
    return globalThis.localStorage ?? null;
  } catch {
    return null;
  }
}

const prefs = new Prefs(localStore());
let connection = null;
const game = new Game({ send: (bytes) => connection?.send(bytes) });
const view = new View(doc, game);
const chat = new ChatView(doc, $('mainchat'));
const sounds = new Sounds({ base: doc.baseURI });
const popup = new Popup(doc, $('popup'));

game.colour = prefs.colour;
game.options.playSounds = prefs.flag('sounds', true);
game.options.chatterSounds = prefs.flag('shouts', false);
game.options.turnSoundNew = prefs.flag('turnnew', false);
sounds.setMuted(prefs.flag('muted', false));

// ------------------------------------------------------------- rendering

let renderQueued = false;
function render() {
  renderQueued = false;
  const boardHadFocus = doc.activeElement?.classList?.contains('tile');
  view.render();
  $('mute').setAttribute('aria-pressed', sounds.muted ? 'true' : 'false');
  $('mute').setAttribute('aria-label', sounds.muted ? 'Sound is off' : 'Sound is on');
  if (boardHadFocus) view.tileAt(game.cursor.column, game.cursor.row)?.focus({ preventScroll: true });
}

function queueRender() {
  if (renderQueued) return;
  renderQueued = true;
  if (doc.visibilityState === 'hidden') queueMicrotask(render);
  else requestAnimationFrame(render);
}

game.on.change = queueRender;
game.on.line = (line, colour) => chat.add(line, colour);
game.on.sound = (name) => sounds.play(name);
game.on.message = (text) => showMessage(text);
game.on.ended = (reason) => connection?.stop(reason);

function showMessage(text) {
  const box = $('messagebox');
  $('messagetext').textContent = text;
  if (!box.open) box.showModal();
}

// ---------------------------------------------------------- joining

function showJoin(note) {
  $('playername').value = game.name || prefs.name || '';
  $('joinnote').textContent = note;
  doc.body.classList.add('joining');
  $('join').hidden = false;
  $('playername').focus();
}

function join(name) {
  game.name = name;
  doc.body.classList.remove('joining');
  $('join').hidden = true;
  connection?.stop('left');
  game.line('0+Loading Multi-player Game.. Please Wait.');
  connection = new Connection(socketUrl(location), {
    message: (text) => {
      if (text.startsWith('CMD_sendlogininfo+')) connection.loggedIn();
      try {
        game.handle(text);
      } catch (e) {
        // Whatever a message does, the next one is still read.
        console.error('Zarvex: a message could not be handled', e);
      }
    },
    lost: () => game.connectionLost(),
    waiting: (ms) => {
      if (!game.reconnecting) {
        game.panel.status = `Cannot reach the game. Trying again in ${Math.round(ms / 1000)} s...`;
        queueRender();
      }
    },
    stopped: (reason) => stopped(reason),
  });
  connection.start();
  queueRender();
}

const STOP_NOTES = {
  full: 'The game is full: all nine places are taken. Try again later.',
  removed: 'The host has removed you from the game.',
  refused: 'The host refused this page.',
  left: '',
};

function stopped(reason) {
  game.connectionLost(reason === 'left' ? 'You have left the game.' : STOP_NOTES[reason] ?? '');
  if (reason === 'removed') game.line('0+' + STOP_NOTES.removed);
  showJoin(STOP_NOTES[reason] ?? '');
}

$('joinform').addEventListener('submit', (e) => {
  e.preventDefault();
  const name = cleanName($('playername').value);
  if (!name) {
    $('joinnote').textContent = 'Type a name to join.';
    return;
  }
  prefs.name = name;
  join(name);
});

// A phone that wakes or a network that returns tries again at once.
doc.addEventListener('visibilitychange', () => {
  if (doc.visibilityState === 'visible') {
    connection?.nudge();
    queueRender();
  }
});
globalThis.addEventListener('online', () => connection?.nudge());
// Put aside in the back-forward cache, the page lets its seat go (the server
// holds it) and takes it back when it is shown again.
globalThis.addEventListener('pagehide', (e) => {
  if (e.persisted) connection?.suspend();
});
globalThis.addEventListener('pageshow', (e) => {
  if (e.persisted) connection?.nudge();
});

// Sound may start after the player's first touch or key.
for (const type of ['pointerdown', 'keydown'])
  doc.addEventListener(type, () => sounds.unlock(), { capture: true, passive: true });

// ------------------------------------------------------------ the board

const board = $('paintbox_board');

function tileOf(target) {
  const tile = target.closest?.('.tile');
  return tile ? { column: Number(tile.dataset.column), row: Number(tile.dataset.row) } : null;
}

board.addEventListener('click', (e) => {
  const at = tileOf(e.target);
  if (at) game.clickTile(at.column, at.row, false);
});
// The secondary button takes back the last tile or clears the word; a long
// press on a touch screen does nothing (Back and Clear Word are at hand),
// so a slow finger never loses a word.
let lastPointer = 'mouse';
board.addEventListener('pointerdown', (e) => {
  lastPointer = e.pointerType;
});
board.addEventListener('contextmenu', (e) => {
  const at = tileOf(e.target);
  if (!at) return;
  e.preventDefault();
  if (lastPointer !== 'touch') game.clickTile(at.column, at.row, true);
});
board.addEventListener('keydown', (e) => {
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  if (game.boardKey(e.key)) {
    e.preventDefault();
    render();
  }
});

$('button_clearword').addEventListener('click', () => game.clearword());
$('button_back').addEventListener('click', () => game.unselectLast());

// ------------------------------------------------------------ the chat

const input = $('mychat');
$('chatform').addEventListener('submit', (e) => {
  e.preventDefault();
  if (game.sendChat(input.value)) input.value = '';
});

function showColour() {
  const css = toCss(game.colour);
  $('chatcolour').value = /^#[0-9a-f]{6}$/.test(css) ? css : '#000000';
  input.style.color = css;
}
showColour();
$('chatcolour').addEventListener('input', (e) => {
  const value = fromCss(e.target.value);
  if (value === null) return;
  game.colour = value;
  prefs.colour = value;
  showColour();
});

$('button_smilies').appendChild(smiley(doc, 0));
$('button_smilies').addEventListener('click', (e) => {
  const items = SMILEY_NAMES.map((name, i) => ({
    label: `:)#${i + 10}`,
    title: name,
    picture: smiley(doc, i),
    action: () => {
      const code = `:)#${i + 10}`;
      if (input.value.length + code.length <= 2000) input.value += code;
      input.focus();
    },
  }));
  popup.open(e.currentTarget, items, { label: 'Smilies', className: 'grid' });
});

// The pictures of the phrase buttons: a speech bubble, and a loudspeaker on
// the button that opens the shouts.
const SVG = 'http://www.w3.org/2000/svg';
function shape(svg, tag, attrs) {
  const el = doc.createElementNS(SVG, tag);
  for (const [k, v] of Object.entries(attrs)) el.setAttribute(k, v);
  svg.appendChild(el);
}
function buttonPicture(shout, ink) {
  const svg = doc.createElementNS(SVG, 'svg');
  svg.setAttribute('viewBox', '0 0 25 19');
  svg.setAttribute('aria-hidden', 'true');
  const line = { stroke: ink, 'stroke-width': '1', 'stroke-linejoin': 'round' };
  if (shout) {
    shape(svg, 'path', { d: 'M5.5 7.5H8.5L12.5 4.5V14.5L8.5 11.5H5.5Z', fill: '#fff', ...line });
    shape(svg, 'path', { d: 'M14.5 7.3a3 3 0 0 1 0 4.4M16.5 5.2a6 6 0 0 1 0 8.6', fill: 'none', ...line });
  } else {
    shape(svg, 'path', { d: 'M9.5 3.5h6a4 4 0 0 1 4 4v1a4 4 0 0 1-4 4H12l-5 3 1-3.2A4 4 0 0 1 5.5 8.5v-1a4 4 0 0 1 4-4z', fill: '#fff', ...line });
    for (const x of [9.5, 12.5, 15.5]) shape(svg, 'circle', { cx: String(x), cy: '8', r: '1', fill: ink });
  }
  return svg;
}

// The ten phrase buttons: 1 to 9 say a phrase, 10 opens the shouts.
const phraseBar = $('phrases');
for (let n = 1; n <= 10; ++n) {
  const b = doc.createElement('button');
  b.type = 'button';
  b.className = n === 1 ? 'phrase first' : n === 10 ? 'phrase shout' : 'phrase';
  b.dataset.phrase = String(n);
  const phrase = game.phrases[n - 1];
  b.title = phrase;
  b.setAttribute('aria-label', n === 10 ? 'Shouts' : `Say: ${phrase}`);
  if (n === 10) b.setAttribute('aria-haspopup', 'menu');
  b.appendChild(buttonPicture(n === 10, n === 1 ? '#402000' : '#000'));
  phraseBar.appendChild(b);
}
phraseBar.addEventListener('click', (e) => {
  const b = e.target.closest('button.phrase');
  if (!b) return;
  const n = Number(b.dataset.phrase);
  if (n === 10) {
    const seated = game.isconnected && game.myseat >= 1 && game.myseat <= SEATCOUNT;
    const items = SHOUTS.filter((s) => s.tag > 0).map((s) => ({ label: s.caption, disabled: !seated, action: () => game.shout(s.tag) }));
    popup.open(b, items, { label: 'Shouts' });
    return;
  }
  if (game.phrase(n)) {
    phraseBar.classList.add('cooling');
    setTimeout(() => phraseBar.classList.remove('cooling'), PHRASE_COOLDOWN_MS);
  }
});

// -------------------------------------------------------- the top bar

$('justwatch').addEventListener('click', () => game.justWatchClick());

$('mute').addEventListener('click', () => {
  sounds.unlock();
  sounds.setMuted(!sounds.muted);
  prefs.setFlag('muted', sounds.muted);
  render();
});

function setOption(key, prefKey) {
  game.options[key] = !game.options[key];
  prefs.setFlag(prefKey, game.options[key]);
}

$('menu').addEventListener('click', (e) => {
  const items = [
    { label: 'Game sounds', checked: game.options.playSounds, action: () => setOption('playSounds', 'sounds') },
    { label: 'Shout sounds', checked: game.options.chatterSounds, action: () => setOption('chatterSounds', 'shouts') },
    { label: 'New turn sound', checked: game.options.turnSoundNew, action: () => setOption('turnSoundNew', 'turnnew') },
    'separator',
    { label: 'Clear chat', action: () => chat.clear() },
  ];
  if (game.ishost) items.push({ label: 'Start Game...', disabled: !game.isconnected, action: openStart });
  items.push('separator', { label: 'Leave game', disabled: connection === null, action: () => connection?.stop('left') });
  popup.open(e.currentTarget, items, { label: 'Options' });
});

// --------------------------------------------------------- host tools

let startOptions = StartOptions.from(prefs.json('start'));

function showStartOptions() {
  $('playtovalue').textContent = String(startOptions.playto);
  $('secondsvalue').textContent = String(startOptions.seconds);
  for (const b of doc.querySelectorAll('#startform [data-step]')) {
    const which = b.dataset.step;
    const up = b.dataset.by === '1';
    b.disabled = up ? startOptions[which] >= RANGES[which].max : startOptions[which] <= RANGES[which].min;
  }
  doc.querySelector(`#startform input[value="${startOptions.scrambled ? 'scrambled' : 'straight'}"]`).checked = true;
  $('onlyletters').checked = startOptions.onlyletters;
}

function openStart() {
  if (!game.isconnected) {
    showMessage('You are not connected');
    return;
  }
  showStartOptions();
  $('startdialog').showModal();
}

$('button_start').addEventListener('click', openStart);
$('startform').addEventListener('click', (e) => {
  const b = e.target.closest('[data-step]');
  if (!b) return;
  if (b.dataset.by === '1') startOptions.up(b.dataset.step);
  else startOptions.down(b.dataset.step);
  showStartOptions();
});
$('startform').addEventListener('change', () => {
  startOptions.scrambled = doc.querySelector('#startform input[name="gametype"]:checked')?.value === 'scrambled';
  startOptions.onlyletters = $('onlyletters').checked;
});
$('startdialog').addEventListener('close', () => {
  if ($('startdialog').returnValue !== 'start') return;
  prefs.setJson('start', startOptions);
  game.startGame(startOptions);
});

$('seats').addEventListener('click', (e) => {
  const b = e.target.closest('button.seatmenu');
  if (!b) return;
  const seat = Number(b.dataset.seat);
  const menu = game.kickMenu(seat);
  popup.open(b, [
    { label: 'Remove From Game', disabled: !menu.removeEnabled, action: () => game.kicking(seat) },
    { label: 'Set to Just Watch', disabled: !menu.setWatchEnabled, action: () => game.setWatch(seat, true) },
    { label: 'Unset Just Watch', disabled: !menu.unsetWatchEnabled, action: () => game.setWatch(seat, false) },
  ], { label: `Seat ${seat}` });
});
$('spylist').addEventListener('click', (e) => {
  const b = e.target.closest('button.spyremove');
  if (b) game.kickSpy(b.dataset.entry);
});

// ------------------------------------------------------------- start

render();
const remembered = prefs.name;
if (remembered) join(remembered);
else showJoin('');
