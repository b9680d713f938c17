// The host's options for a new game: the play-to score and the seconds per
// round, each moved by steps within its range and never wrapping, the game
// type and the only-letters box. Remembered in the browser between games.

export const RANGES = Object.freeze({
  playto: Object.freeze({ min: 100, max: 1000, step: 50, start: 250 }),
  seconds: Object.freeze({ min: 20, max: 120, step: 5, start: 30 }),
});

function within(range, value) {
  if (!Number.isInteger(value)) return range.start;
  return Math.min(Math.max(value, range.min), range.max);
}

export class StartOptions {
  constructor() {
    this.playto = RANGES.playto.start;
    this.seconds = RANGES.seconds.start;
    this.scrambled = false;
    this.onlyletters = false;
  }

  up(which) {
    const r = RANGES[which];
    this[which] = Math.min(this[which] + r.step, r.max);
  }

  down(which) {
    const r = RANGES[which];
    this[which] = Math.max(this[which] - r.step, r.min);
  }

  // Options as stored earlier; anything unreadable takes its default.
  static from(stored) {
    const o = new StartOptions();
    if (stored && typeof stored === 'object') {
      o.playto = within(RANGES.playto, stored.playto);
      o.seconds = within(RANGES.seconds, stored.seconds);
      o.scrambled = stored.scrambled === true;
      o.onlyletters = stored.onlyletters === true;
    }
    return o;
  }

  toJSON() {
    return { playto: this.playto, seconds: this.seconds, scrambled: this.scrambled, onlyletters: this.onlyletters };
  }
}
