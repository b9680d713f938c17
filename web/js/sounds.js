// The game's sounds, from the host under fixed names (sounds/NAME.wav), each
// fetched the first time it is played after the player's first touch, when
// the browser allows a page to make sound. One sound at a time: a new one
// cuts off the one still playing. The mute switch silences them all.

import { SOUND_NAMES } from './game.js';

// A sound still loading when its moment has passed is not played late.
const LATE_MS = 1500;

export function soundPath(name) {
  return SOUND_NAMES.includes(name) ? `sounds/${name}.wav` : null;
}

export class Sounds {
  constructor({ base, fetch = globalThis.fetch?.bind(globalThis), AudioContextClass = globalThis.AudioContext, now = () => Date.now() } = {}) {
    this.base = base;
    this.fetch = fetch;
    this.AudioContextClass = AudioContextClass;
    this.now = now;
    this.context = null;
    this.buffers = new Map(); // name -> Promise of AudioBuffer, or null after a failure
    this.playing = null;
    this.latest = 0;
    this.muted = false;
  }

  // The player's first touch or key: from now on sounds may play.
  unlock() {
    if (!this.AudioContextClass) return;
    if (!this.context) {
      try {
        this.context = new this.AudioContextClass();
      } catch {
        this.AudioContextClass = null;
        return;
      }
    }
    if (this.context.state === 'suspended') this.context.resume().catch(() => {});
  }

  load(name) {
    if (!this.buffers.has(name)) {
      const path = soundPath(name);
      const loading = this.fetch(new URL(path, this.base))
        .then((response) => {
          if (!response.ok) throw new Error(`${response.status}`);
          return response.arrayBuffer();
        })
        .then((data) => this.context.decodeAudioData(data))
        .catch(() => null);
      this.buffers.set(name, loading);
    }
    return this.buffers.get(name);
  }

  play(name) {
    if (this.muted || !this.context || soundPath(name) === null) return;
    const asked = this.now();
    const turn = ++this.latest;
    this.load(name).then((buffer) => {
      // Another sound asked for since, or this one is too late: skip it.
      if (!buffer || this.muted || turn !== this.latest || this.now() - asked > LATE_MS) return;
      this.stop();
      const source = this.context.createBufferSource();
      source.buffer = buffer;
      source.connect(this.context.destination);
      source.start();
      this.playing = source;
    });
  }

  stop() {
    if (!this.playing) return;
    try {
      this.playing.stop();
    } catch {
      // Already ended.
    }
    this.playing = null;
  }

  setMuted(on) {
    this.muted = on;
    if (on) this.stop();
  }
}
