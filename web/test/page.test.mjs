// The page around the game: its files under a strict Content-Security-Policy,
// the table of what the host serves, text from peers put in as text, what
// the browser remembers, the start dialog's bounds and the sounds.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync, readdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { ChatView, MAX_LINES } from '../js/chatview.js';
import { SOUND_NAMES } from '../js/game.js';
import { NAME_MAX, Prefs, cleanName } from '../js/prefs.js';
import { shapes, NAMES as SMILEYS } from '../js/smileys.js';
import { Sounds, soundPath } from '../js/sounds.js';
import { Document } from './fakedom.mjs';
import { RANGES, StartOptions } from '../js/startdialog.js';

const web = join(dirname(fileURLToPath(import.meta.url)), '..');
const root = join(web, '..');
const read = (path) => readFileSync(join(web, path), 'utf8');
const modules = readdirSync(join(web, 'js')).filter((f) => f.endsWith('.js'));

function chatLog() {
  const doc = new Document();
  const log = doc.createElement('div');
  return { log, view: new ChatView(doc, log) };
}

describe('peers\' text in the chat', () => {
  test('markup in a name or a line stays text', () => {
    const { log, view } = chatLog();
    view.add('2+<img src=x onerror=alert(1)> chats: <b>hi</b> &amp; <script>x()</script>', 0xff);
    const p = log.childNodes[0];
    // The head keeps its blank, and the body's first word is the blank after it.
    assert.equal(p.textContent, '<img src=x onerror=alert(1)> chats:  <b>hi</b> &amp; <script>x()</script> ');
    assert.deepEqual(p.all().map((e) => e.tagName), ['p', 'b']);
  });
  test('links open http and https only, in a new tab without an opener', () => {
    const { log, view } = chatLog();
    view.add('3+bea chats: www.example.com javascript:alert(1)//www.x https://x.org/a?b http://ok.org', 0x8000);
    const links = log.childNodes[0].all().filter((e) => e.tagName === 'a');
    assert.deepEqual(links.map((a) => a.href), ['http://www.example.com/', 'http://ok.org/']);
    assert.ok(links.every((a) => a.rel === 'noopener noreferrer' && a.target === '_blank'));
    assert.equal(links[0].textContent, 'www.example.com', 'shown as typed, without the blank');
    const dead = log.childNodes[0].all().filter((e) => e.className === 'st4 deadlink');
    assert.equal(dead.length, 1);
  });
  test('a seat\'s colour is its style\'s, so its earlier lines take the new one', () => {
    const { log, view } = chatLog();
    view.add('3+cid chats: one', 0x0000ff);
    view.add('3+cid chats: two', 0xff0000);
    view.add('0+Status', 0xff0000);
    assert.equal(log.props.get('--st8'), '#0000ff');
    assert.deepEqual(log.childNodes.map((p) => p.className), ['line st8', 'line st8', 'line st0']);
  });
  test('smileys become pictures; a line with a bad code shows nothing', () => {
    const { log, view } = chatLog();
    view.add('4+dee chats: hi :)#12 :)#99', 0);
    assert.deepEqual(log.childNodes[0].all().filter((e) => e.tagName === 'svg').map((e) => e.attributes['aria-label']),
      ['grin', 'smile']);
    assert.equal(view.add('10+nobody', 0), null);
    assert.equal(view.add('no code', 0), null);
    assert.equal(log.childNodes.length, 1);
  });
  test(`the log keeps its last ${MAX_LINES} lines`, () => {
    const { log, view } = chatLog();
    for (let n = 0; n < MAX_LINES + 5; ++n) view.add(`0+line ${n}`, 0);
    assert.equal(log.childElementCount, MAX_LINES);
    assert.equal(log.childNodes[0].textContent, ' line 5 ');
  });
  test('eighteen pictures, and a number past them draws the first', () => {
    assert.equal(SMILEYS.length, 18);
    for (let n = 0; n < 18; ++n) assert.ok(shapes(n).length >= 2, SMILEYS[n]);
    assert.deepEqual(shapes(18), shapes(0));
    assert.deepEqual(shapes(-1), shapes(0));
  });
});

describe('the name and what the browser remembers', () => {
  for (const [typed, name] of [
    ['  Ann  ', 'Ann'], ['Zoë 😀', 'Zoë 😀'], ['a|b', 'ab'], ['tab\tand\nline', 'tab and line'], ['x\u0000\u007f\u200b', 'x\u200b'],
    ['', null], ['   ', null], ['|||', null], ['y'.repeat(NAME_MAX), 'y'.repeat(NAME_MAX)],
    ['z'.repeat(NAME_MAX + 1), 'z'.repeat(NAME_MAX)], ['😀'.repeat(NAME_MAX + 3), '😀'.repeat(NAME_MAX)], [42, null],
  ])
    test(`name ${JSON.stringify(typed)}`, () => assert.equal(cleanName(typed), name));

  test('stored values read back; bad ones are ignored', () => {
    const store = new Map();
    const storage = { getItem: (k) => store.get(k) ?? null, setItem: (k, v) => store.set(k, v), removeItem: (k) => store.delete(k) };
    const prefs = new Prefs(storage);
    assert.equal(prefs.name, null);
    prefs.name = '  Bea|  ';
    assert.equal(prefs.name, 'Bea');
    prefs.colour = 0x030201;
    assert.equal(store.get('zarvex.colour'), '$00030201');
    assert.equal(prefs.colour, 0x030201);
    store.set('zarvex.colour', 'chartreuse');
    assert.equal(prefs.colour, 0, 'black');
    store.set('zarvex.muted', 'maybe');
    assert.equal(prefs.flag('muted', false), false);
    store.set('zarvex.start', '{not json');
    assert.equal(prefs.json('start'), null);
    prefs.name = '|';
    assert.ok(!store.has('zarvex.name'));
  });
  test('a browser that stores nothing, or refuses to, still plays', () => {
    const refusing = { getItem: () => { throw new Error('denied'); }, setItem: () => { throw new Error('full'); } };
    for (const prefs of [new Prefs(null), new Prefs(refusing)]) {
      prefs.name = 'Ann';
      assert.equal(prefs.name, null);
      assert.equal(prefs.colour, 0);
    }
  });
});

describe('the start dialog\'s values', () => {
  test('they stop at both ends of their ranges', () => {
    const o = new StartOptions();
    assert.deepEqual([o.playto, o.seconds], [250, 30]);
    for (let i = 0; i < 30; ++i) o.up('playto');
    for (let i = 0; i < 30; ++i) o.down('seconds');
    assert.deepEqual([o.playto, o.seconds], [RANGES.playto.max, RANGES.seconds.min]);
    o.down('playto');
    assert.equal(o.playto, 950);
  });
  test('remembered options out of range or of the wrong kind take their defaults or bounds', () => {
    assert.deepEqual(StartOptions.from({ playto: 5000, seconds: 1, scrambled: 'yes', onlyletters: true }).toJSON(),
      { playto: 1000, seconds: 20, scrambled: false, onlyletters: true });
    assert.deepEqual(StartOptions.from({ playto: '300', seconds: 2.5 }).toJSON(),
      { playto: 250, seconds: 30, scrambled: false, onlyletters: false });
    assert.deepEqual(StartOptions.from(null).toJSON(), new StartOptions().toJSON());
  });
});

describe('sounds', () => {
  test('only the game\'s own names become paths', () => {
    assert.equal(soundPath('tick'), 'sounds/tick.wav');
    assert.equal(soundPath('wave14'), 'sounds/wave14.wav');
    for (const bad of ['wave15', '../x', 'TICK', '', 'tick.wav', '/etc/passwd']) assert.equal(soundPath(bad), null);
  });
  test('silent before the first touch and while muted; one at a time; fetched once', async () => {
    const fetched = [];
    const started = [];
    const stopped = [];
    class Context {
      constructor() {
        this.state = 'running';
        this.destination = {};
      }
      decodeAudioData(data) {
        return Promise.resolve({ data });
      }
      createBufferSource() {
        const source = { connect() {}, start: () => started.push(source.buffer.data), stop: () => stopped.push(source.buffer.data) };
        return source;
      }
    }
    const fetch = (url) => {
      fetched.push(url.pathname);
      return Promise.resolve({ ok: !url.pathname.includes('timeup'), arrayBuffer: () => Promise.resolve(url.pathname) });
    };
    const s = new Sounds({ base: 'http://h:1/', fetch, AudioContextClass: Context });
    const settle = () => new Promise((r) => setTimeout(r, 0));
    s.play('tick');
    await settle();
    assert.deepEqual(fetched, [], 'nothing before the first touch');
    s.unlock();
    s.play('tick');
    await settle();
    s.play('valid');
    await settle();
    assert.deepEqual(started, ['/sounds/tick.wav', '/sounds/valid.wav']);
    assert.deepEqual(stopped, ['/sounds/tick.wav'], 'a new sound cuts the one playing');
    s.play('tick');
    await settle();
    assert.equal(fetched.filter((p) => p === '/sounds/tick.wav').length, 1);
    s.play('timeup');
    await settle();
    assert.equal(started.length, 3, 'a sound the host does not have is skipped');
    s.setMuted(true);
    s.play('valid');
    await settle();
    assert.equal(started.length, 3);
  });
});

describe('the page\'s files', () => {
  const html = read('index.html');
  const table = read('files.txt')
    .split('\n')
    .filter((l) => l && !l.startsWith('#'))
    .map((l) => l.split('\t'));

  test('nothing inline that a strict Content-Security-Policy would block', () => {
    assert.doesNotMatch(html, /<style/i);
    assert.doesNotMatch(html, /\sstyle\s*=/i);
    assert.doesNotMatch(html, /\son[a-z]+\s*=/i);
    assert.doesNotMatch(html, /javascript:/i);
    for (const m of html.matchAll(/<script\b([^>]*)>([\s\S]*?)<\/script>/gi)) {
      assert.match(m[1], /\bsrc="js\/[a-z]+\.js"/);
      assert.equal(m[2].trim(), '');
    }
    assert.doesNotMatch(read('style.css'), /url\(|@import|expression\(/i, 'no outside or inline pictures');
  });
  test('nothing from another origin', () => {
    for (const m of html.matchAll(/\s(?:src|href)="([^"]*)"/g)) assert.doesNotMatch(m[1], /^(?:[a-z]+:|\/\/)/i, m[1]);
  });
  test('no module writes markup, runs text as code or sets a style attribute', () => {
    for (const f of modules) {
      const code = readFileSync(join(web, 'js', f), 'utf8');
      assert.doesNotMatch(code, /innerHTML|outerHTML|insertAdjacentHTML|document\.write|\beval\(|new Function|setAttribute\(\s*['"]style/, f);
    }
  });
  test('every module parses, the ones no test runs included', () => {
    for (const f of modules) {
      const code = readFileSync(join(web, 'js', f), 'utf8');
      execFileSync(process.execPath, ['--input-type=module', '--check'], { input: code, stdio: ['pipe', 'ignore', 'pipe'] });
    }
  });
  test('every module is preloaded and in the served table, and only they', () => {
    const served = table.map((r) => r[0]);
    const preloaded = [...html.matchAll(/rel="modulepreload" href="(js\/[a-z]+\.js)"/g)].map((m) => m[1]);
    assert.deepEqual(preloaded.sort(), modules.map((f) => `js/${f}`).sort());
    for (const f of modules) assert.ok(served.includes(`/js/${f}`), f);
    for (const f of modules) {
      const code = readFileSync(join(web, 'js', f), 'utf8');
      for (const m of code.matchAll(/from '\.\/([a-z]+\.js)'/g)) assert.ok(modules.includes(m[1]), `${f} imports ${m[1]}`);
    }
  });
  test('the served table names files that exist, with a type and a cache rule each', () => {
    const paths = new Set();
    for (const [path, file, type, cache] of table) {
      assert.ok(!paths.has(path), `${path} twice`);
      paths.add(path);
      assert.ok(existsSync(join(root, file)), file);
      assert.match(type, /^(text\/(html|css|javascript); charset=utf-8|image\/svg\+xml|audio\/wav)$/);
      assert.match(cache, /^(no-cache|max-age=\d+)$/);
      assert.doesNotMatch(path, /\.\.|\/\/|\/test\/|\\/);
    }
    for (const name of SOUND_NAMES) assert.ok(paths.has(`/sounds/${name}.wav`), name);
    const pageFiles = readdirSync(web).filter((f) => /\.(html|css|svg)$/.test(f));
    for (const f of pageFiles) assert.ok(paths.has(`/${f}`), f);
  });
  test('every element the page looks up is in the page', () => {
    for (const f of ['main.js', 'view.js']) {
      const code = readFileSync(join(web, 'js', f), 'utf8');
      for (const m of code.matchAll(/\$\('([a-z_0-9]+)'\)/g)) assert.match(html, new RegExp(`id="${m[1]}"`), `${f}: #${m[1]}`);
    }
  });
});
