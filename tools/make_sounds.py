#!/usr/bin/env python3
"""Makes the game's 27 sounds, resources/sounds/*.wav, and a contact sheet of
their waveforms, docs/sounds.png.

Every sound is our own. The nine shouts that are words are spoken by
espeak-ng, each in its own voice, pitch and speed, and shaped with sox; the
others are synthesised here in plain code from sine waves, filtered noise and
envelopes: the five shouts that are noises (cough, snoring, sneeze, applause,
honk) and the thirteen short game cues, which differ in pitch, timbre and
rhythm so that a player tells them apart without looking:

  valid         soft wooden click: a tile joins the selection
  invalid       low buzz: a refused tile or word
  clear         falling swish of noise: the selection is cleared
  sendword      quick upward glide: the selection goes out as a word
  goodword      rising four-note chime: this player found the word
  goodwordthem  two-note marimba: another player found it
  tick          sharp clock tick: the last seconds of a turn
  timeup        three-tone horn: the round ran out of time
  roundover     falling three notes: everybody found the word
  gameover      brass fanfare: the winner is announced
  turn          ding-dong bell ("Classic" turn sound)
  turnnew       three bright rising blips ("New" turn sound)
  entered       double knock: somebody logged in

Every file is written the same way: 16-bit PCM, mono, 22,050 Hz; silence
trimmed from both ends (below 1% of the peak) and 3 ms fades against clicks.
Loudness is made even by the RMS level, not the peak, since a square-wave
buzz at the same peak sounds far louder than a bell: each sound is scaled to
an RMS level of -18 dBFS, or less where that would take its peak above
-1 dBFS (a sound with short loud strokes, such as applause, stays a little
quieter). A sound must last at most 2 seconds (4 for applause and snoring);
the script stops with an error otherwise.

The output is deterministic: the noise comes from seeded generators, so a
second run with the same espeak-ng and sox gives the same files. The build
never runs this script; it only compiles the committed files in.

Needs python3 (standard library only), espeak-ng and sox. When espeak-ng or
sox is missing, the script installs it with apt-get (through sudo when not
run as root).

Usage: tools/make_sounds.py [--out-dir DIR] [--sheet FILE] [--only NAME...]
Without options it writes resources/sounds/ and docs/sounds.png in the
repository that holds this script.
"""

import argparse
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave
import zlib

RATE = 22050
PEAK = 10 ** (-1 / 20)          # -1 dBFS, the highest peak
RMS = 10 ** (-18 / 20)          # -18 dBFS, the loudness every sound is given
TRIM_LEVEL = 0.01               # of the peak
FADE = 0.003                    # seconds
LONG_SOUNDS = {"wave6", "wave13"}  # snoring and applause may last 4 s

# The spoken shouts: text, espeak-ng voice (language+variant), pitch 0-99,
# speed in words per minute, and the sox effects that colour them.
SPOKEN = {
    "wave1": ("Doh!", "en-us+m3", 28, 120, ["bass", "+4", "reverb", "10"]),
    "wave3": ("Hello!", "en+f3", 70, 150, []),
    "wave4": ("Thank you!", "en-gb-x-rp+m1", 45, 145, ["treble", "+2"]),
    "wave5": ("Where have you been?", "en-us+f2", 60, 170, []),
    "wave8": ("Sorry.", "en-gb-scotland+m4", 38, 130, ["reverb", "15"]),
    "wave9": ("Welcome!", "en-029+f4", 55, 140, []),
    "wave10": ("Yee haaaa!", "en-us+m7", 80, 175, ["tremolo", "9", "30"]),
    "wave11": ("Yippee!", "en+f5", 95, 165, ["pitch", "200"]),
    "wave12": ("Oh no!", "en-gb-x-gbclan+croak", 35, 110, ["tempo", "0.85"]),
}

# What the shout menu calls the shouts, for the sheet's labels.
CAPTIONS = {"wave%d" % (k + 1): c for k, c in enumerate(
    ["doh", "cough", "hello", "thank you", "where have you been", "snoring", "sneezing", "sorry",
     "welcome", "yeehaa", "yippee", "oh no", "applause", "honk"])}

NAMES = ["clear", "entered", "gameover", "goodword", "goodwordthem", "invalid",
         "roundover", "sendword", "tick", "timeup", "turn", "turnnew", "valid"] + \
        ["wave%d" % n for n in range(1, 15)]


# ------------------------------------------------------------------ tools

def ensure_tools():
    missing = [pkg for pkg, exe in (("espeak-ng", "espeak-ng"), ("sox", "sox")) if not shutil.which(exe)]
    if not missing:
        return
    prefix = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    print("installing " + " ".join(missing), file=sys.stderr)
    subprocess.run(prefix + ["apt-get", "update", "-qq"], check=True, env=env)
    subprocess.run(prefix + ["apt-get", "-o", "DPkg::Lock::Timeout=600", "install", "-y", "-qq"] + missing,
                   check=True, env=env)


def read_wav(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getnchannels() != 1 or w.getframerate() != RATE:
            raise SystemExit("%s: expected 16-bit mono %d Hz" % (path, RATE))
        data = w.readframes(w.getnframes())
    count = len(data) // 2
    return [v / 32768.0 for v in struct.unpack("<%dh" % count, data)]


def write_wav(path, samples):
    frames = struct.pack("<%dh" % len(samples), *(int(round(max(-1.0, min(1.0, s)) * 32767)) for s in samples))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def speak(name, tmp):
    text, voice, pitch, speed, effects = SPOKEN[name]
    raw = os.path.join(tmp, name + "-raw.wav")
    out = os.path.join(tmp, name + ".wav")
    subprocess.run(["espeak-ng", "-v", voice, "-p", str(pitch), "-s", str(speed), "-w", raw, text], check=True)
    subprocess.run(["sox", "-q", "-R", "-D", raw, "-r", str(RATE), "-c", "1", "-b", "16", out,
                    "highpass", "70"] + effects + ["gain", "-n", "-3"], check=True)
    return read_wav(out)


# ------------------------------------------------------------ synthesis

def n_of(seconds):
    return int(round(seconds * RATE))


def silence(seconds):
    return [0.0] * n_of(seconds)


def mix(*parts):
    """Adds (offset seconds, samples) pairs into one track."""
    end = max(n_of(off) + len(s) for off, s in parts)
    out = [0.0] * end
    for off, s in parts:
        start = n_of(off)
        for i, v in enumerate(s):
            out[start + i] += v
    return out


def tone(freq, seconds, shape="sine", decay=None, attack=0.005, partials=None, glide=None):
    """One note. decay: seconds to fall to 1/e (None: held with a short
    release). partials: (ratio, level) pairs added to the fundamental.
    glide: end frequency of a linear slide."""
    n = n_of(seconds)
    out = []
    phase = [0.0] * (1 + len(partials or []))
    for i in range(n):
        t = i / RATE
        f = freq if glide is None else freq + (glide - freq) * i / n
        v = 0.0
        for k, (ratio, level) in enumerate([(1.0, 1.0)] + list(partials or [])):
            phase[k] += 2 * math.pi * f * ratio / RATE
            p = phase[k]
            if shape == "sine":
                w = math.sin(p)
            elif shape == "square":
                w = 1.0 if math.sin(p) >= 0 else -1.0
            elif shape == "saw":
                w = 2 * ((p / (2 * math.pi)) % 1.0) - 1
            else:  # triangle
                w = 2 * abs(2 * ((p / (2 * math.pi)) % 1.0) - 1) - 1
            v += level * w
        env = min(1.0, t / attack) if attack else 1.0
        if decay is not None:
            env *= math.exp(-t / decay)
        else:
            env *= min(1.0, (seconds - t) / 0.03)
        out.append(v * env)
    return out


def noise(seconds, seed):
    rng = random.Random(seed)
    return [rng.uniform(-1, 1) for _ in range(n_of(seconds))]


def biquad(samples, kind, freq, q):
    """Robert Bristow-Johnson's cookbook filters: lowpass, highpass, bandpass."""
    w0 = 2 * math.pi * freq / RATE
    alpha = math.sin(w0) / (2 * q)
    cw = math.cos(w0)
    if kind == "lowpass":
        b = [(1 - cw) / 2, 1 - cw, (1 - cw) / 2]
    elif kind == "highpass":
        b = [(1 + cw) / 2, -(1 + cw), (1 + cw) / 2]
    else:
        b = [alpha, 0.0, -alpha]
    a0, a1, a2 = 1 + alpha, -2 * cw, 1 - alpha
    b0, b1, b2 = (x / a0 for x in b)
    a1 /= a0
    a2 /= a0
    x1 = x2 = y1 = y2 = 0.0
    out = []
    for x in samples:
        y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, x, y1, y
        out.append(y)
    return out


def sweep_bandpass(samples, f_from, f_to, q):
    """A band-pass whose centre slides exponentially from f_from to f_to."""
    x1 = x2 = y1 = y2 = 0.0
    out = []
    n = len(samples)
    for i, x in enumerate(samples):
        w0 = 2 * math.pi * f_from * (f_to / f_from) ** (i / n) / RATE
        alpha = math.sin(w0) / (2 * q)
        a0 = 1 + alpha
        y = (alpha * x - alpha * x2 + 2 * math.cos(w0) * y1 - (1 - alpha) * y2) / a0
        x2, x1, y2, y1 = x1, x, y1, y
        out.append(y)
    return out


def envelope(samples, points):
    """Multiplies by a piecewise-linear envelope of (seconds, level) points."""
    out = []
    k = 0
    for i, v in enumerate(samples):
        t = i / RATE
        while k + 1 < len(points) - 1 and t > points[k + 1][0]:
            k += 1
        (t0, l0), (t1, l1) = points[k], points[min(k + 1, len(points) - 1)]
        level = l1 if t >= t1 or t1 == t0 else l0 + (l1 - l0) * (t - t0) / (t1 - t0)
        out.append(v * level)
    return out


def scale(samples, gain):
    return [v * gain for v in samples]


def formants(source, peaks):
    """A voice-like colour: the source through parallel band-pass filters at
    (frequency, q, level) peaks."""
    return mix(*[(0, scale(biquad(source, "bandpass", f, q), level)) for f, q, level in peaks])


def glottal(freq_from, freq_to, seconds, seed):
    """A breathy buzz gliding between two pitches, the source of a sung vowel."""
    rng = random.Random(seed)
    out = []
    phase = 0.0
    n = n_of(seconds)
    for i in range(n):
        f = freq_from + (freq_to - freq_from) * i / n
        phase = (phase + f / RATE) % 1.0
        out.append((2 * phase - 1) * 0.8 + rng.uniform(-0.2, 0.2))
    return out


# Game cues.

def valid():
    click = tone(1250, 0.07, decay=0.012, partials=[(2.76, 0.3)], attack=0.001)
    return mix((0, click), (0, scale(biquad(noise(0.01, 1), "bandpass", 3000, 2), 0.3)))


def invalid():
    buzz = tone(98, 0.28, shape="square", partials=[(1.01, 0.7)])
    return biquad(buzz, "lowpass", 900, 0.7)


def clear():
    swish = sweep_bandpass(noise(0.3, 2), 4000, 400, 3)
    return envelope(swish, [(0, 0), (0.04, 1), (0.3, 0)])


def sendword():
    return tone(420, 0.16, shape="triangle", glide=1300, decay=0.12)


def bell(freq, seconds, decay):
    return tone(freq, seconds, decay=decay, attack=0.002, partials=[(2.0, 0.35), (3.01, 0.15), (4.2, 0.08)])


def goodword():
    notes = [523.25, 659.25, 783.99, 1046.5]
    return mix(*[(0.09 * k, bell(f, 0.9 - 0.09 * k, 0.25)) for k, f in enumerate(notes)])


def goodwordthem():
    marimba = lambda f: tone(f, 0.45, decay=0.09, attack=0.002, partials=[(4.0, 0.25), (10.0, 0.05)])
    return mix((0, marimba(392.0)), (0.12, marimba(587.33)))


def tick():
    body = biquad(noise(0.03, 3), "highpass", 2500, 0.7)
    return envelope(mix((0, body), (0, tone(3200, 0.03, decay=0.004, attack=0.0005))),
                    [(0, 1), (0.004, 0.8), (0.03, 0)])


def timeup():
    chord = mix(*[(0, tone(f, 0.9, shape="saw")) for f in (220.0, 277.18, 329.63)])
    return envelope(biquad(chord, "lowpass", 1800, 0.9), [(0, 0), (0.04, 1), (0.7, 0.9), (0.9, 0)])


def roundover():
    notes = [783.99, 659.25, 523.25]
    return mix(*[(0.2 * k, tone(f, 0.35 if k < 2 else 0.6, shape="triangle", decay=0.25)) for k, f in enumerate(notes)])


def gameover():
    def brass(f, seconds):
        return envelope(biquad(tone(f, seconds, shape="saw", partials=[(1.004, 0.6)]), "lowpass", 2200, 1.2),
                        [(0, 0), (0.03, 1), (seconds - 0.1, 0.8), (seconds, 0)])
    seq = [(0.0, 261.63, 0.16), (0.17, 329.63, 0.16), (0.34, 392.0, 0.16), (0.51, 523.25, 0.9)]
    parts = [(t, brass(f, d)) for t, f, d in seq]
    parts.append((0.51, scale(brass(392.0, 0.9), 0.6)))
    return mix(*parts)


def turn():
    return mix((0, bell(659.25, 0.55, 0.3)), (0.35, bell(523.25, 0.8, 0.35)))


def turnnew():
    blip = lambda f: envelope(tone(f, 0.09, shape="square"), [(0, 1), (0.07, 0.6), (0.09, 0)])
    return biquad(mix((0, blip(660)), (0.11, blip(880)), (0.22, blip(1320))), "lowpass", 5000, 0.7)


def entered():
    def knock(seed):
        thump = tone(180, 0.12, decay=0.025, attack=0.001, partials=[(2.3, 0.4)])
        rap = envelope(biquad(noise(0.03, seed), "bandpass", 900, 1.5), [(0, 1), (0.03, 0)])
        return mix((0, thump), (0, scale(rap, 0.5)))
    return mix((0, knock(4)), (0.17, knock(5)))


# Shouts that are noises.

def cough():
    def one(seed, length, level):
        burst = envelope(noise(length, seed), [(0, 0), (0.01, 1), (0.05, 0.7), (length, 0)])
        voiced = formants(glottal(170, 120, length, seed), [(500, 4, 1.0), (1400, 5, 0.5)])
        throat = formants(burst, [(600, 3, 1.0), (1800, 4, 0.6), (3000, 5, 0.3)])
        return scale(mix((0, throat), (0, envelope(voiced, [(0, 0), (0.02, 0.3), (length, 0)]))), level)
    return mix((0, one(10, 0.22, 1.0)), (0.3, one(11, 0.18, 0.75)))


def snoring():
    def snore(seed, seconds, rate):
        # throat flutter: noise gated by a fast pulse train, coloured low
        rng = random.Random(seed)
        src = []
        for i in range(n_of(seconds)):
            t = i / RATE
            pulse = max(0.0, math.sin(2 * math.pi * rate * t)) ** 3
            src.append(rng.uniform(-1, 1) * (0.25 + pulse))
        body = formants(src, [(180, 2, 1.0), (450, 3, 0.6), (900, 4, 0.2)])
        return envelope(body, [(0, 0), (seconds * 0.3, 1), (seconds * 0.7, 0.8), (seconds, 0)])

    def breath_out(seed, seconds):
        return envelope(biquad(noise(seconds, seed), "bandpass", 1200, 0.8),
                        [(0, 0), (0.2, 0.25), (seconds, 0)])
    return mix((0, snore(20, 1.1, 32)), (1.15, breath_out(21, 0.6)),
               (1.9, snore(22, 1.1, 29)), (3.05, breath_out(23, 0.6)))


def sneeze():
    ah = formants(glottal(260, 420, 0.5, 30), [(750, 6, 1.0), (1200, 7, 0.6), (2600, 8, 0.2)])
    ah = envelope(ah, [(0, 0), (0.1, 0.3), (0.45, 0.6), (0.5, 0)])
    choo = biquad(noise(0.4, 31), "highpass", 1800, 0.8)
    choo = envelope(choo, [(0, 0), (0.01, 1), (0.08, 0.6), (0.4, 0)])
    return mix((0, ah), (0.62, choo))


def applause():
    rng = random.Random(40)
    seconds = 3.6
    claps = []
    t = 0.0
    while t < seconds - 0.05:
        # denser in the middle, thinner as it starts and dies away
        density = 15 + 45 * math.sin(math.pi * t / seconds)
        t += rng.expovariate(density)
        length = rng.uniform(0.012, 0.03)
        burst = biquad(noise(length, rng.randrange(1 << 30)), "bandpass", rng.uniform(900, 2600), 1.2)
        burst = envelope(burst, [(0, 1), (length, 0)])
        claps.append((t, scale(burst, rng.uniform(0.4, 1.0))))
    out = mix(*claps)
    return envelope(out, [(0, 0), (0.3, 1), (seconds - 0.8, 1), (seconds + 0.05, 0)])


def honk():
    def one(seconds):
        # a rubber-bulb horn: a reedy pair of tones, a little bend at the start
        raw = mix((0, tone(370, seconds, shape="square", glide=350)),
                  (0, tone(466, seconds, shape="saw", glide=440)))
        return envelope(formants(raw, [(800, 2, 1.0), (2000, 3, 0.5)]),
                        [(0, 0), (0.02, 1), (seconds - 0.05, 0.9), (seconds, 0)])
    return mix((0, one(0.22)), (0.3, one(0.35)))


SYNTH = {
    "clear": clear, "entered": entered, "gameover": gameover, "goodword": goodword,
    "goodwordthem": goodwordthem, "invalid": invalid, "roundover": roundover,
    "sendword": sendword, "tick": tick, "timeup": timeup, "turn": turn,
    "turnnew": turnnew, "valid": valid,
    "wave2": cough, "wave6": snoring, "wave7": sneeze, "wave13": applause, "wave14": honk,
}


# ------------------------------------------------------------- finishing

def finish(name, samples):
    peak = max((abs(v) for v in samples), default=0.0)
    if peak == 0:
        raise SystemExit(name + ": silent")
    level = TRIM_LEVEL * peak
    first = next(i for i, v in enumerate(samples) if abs(v) >= level)
    last = len(samples) - next(i for i, v in enumerate(reversed(samples)) if abs(v) >= level)
    samples = samples[first:last]
    fade = min(n_of(FADE), len(samples) // 2)
    for i in range(fade):
        samples[i] *= i / fade
        samples[-1 - i] *= i / fade
    peak = max(abs(v) for v in samples)
    rms = math.sqrt(sum(v * v for v in samples) / len(samples))
    gain = min(RMS / rms, PEAK / peak)
    samples = [v * gain for v in samples]
    limit = 4.0 if name in LONG_SOUNDS else 2.0
    if len(samples) > limit * RATE:
        raise SystemExit("%s: %.2f s, longer than %.0f s" % (name, len(samples) / RATE, limit))
    return samples


# ---------------------------------------------------------- contact sheet

# A 5 by 7 pixel font for the sheet's labels.
FONT = {
    "a": ".....|.....|.###.|....#|.####|#...#|.####", "b": "#....|#....|####.|#...#|#...#|#...#|####.",
    "c": ".....|.....|.###.|#....|#....|#...#|.###.", "d": "....#|....#|.####|#...#|#...#|#...#|.####",
    "e": ".....|.....|.###.|#...#|#####|#....|.###.", "f": "..##.|.#..#|.#...|###..|.#...|.#...|.#...",
    "g": ".....|.....|.####|#...#|.####|....#|.###.", "h": "#....|#....|#.##.|##..#|#...#|#...#|#...#",
    "i": "..#..|.....|.##..|..#..|..#..|..#..|.###.", "j": "...#.|.....|..##.|...#.|...#.|#..#.|.##..",
    "k": "#....|#....|#..#.|#.#..|##...|#.#..|#..#.", "l": ".##..|..#..|..#..|..#..|..#..|..#..|.###.",
    "m": ".....|.....|##.#.|#.#.#|#.#.#|#...#|#...#", "n": ".....|.....|#.##.|##..#|#...#|#...#|#...#",
    "o": ".....|.....|.###.|#...#|#...#|#...#|.###.", "p": ".....|.....|####.|#...#|####.|#....|#....",
    "q": ".....|.....|.####|#...#|.####|....#|....#", "r": ".....|.....|#.##.|##..#|#....|#....|#....",
    "s": ".....|.....|.####|#....|.###.|....#|####.", "t": ".#...|.#...|###..|.#...|.#...|.#..#|..##.",
    "u": ".....|.....|#...#|#...#|#...#|#..##|.##.#", "v": ".....|.....|#...#|#...#|#...#|.#.#.|..#..",
    "w": ".....|.....|#...#|#...#|#.#.#|#.#.#|.#.#.", "x": ".....|.....|#...#|.#.#.|..#..|.#.#.|#...#",
    "y": ".....|.....|#...#|#...#|.####|....#|.###.", "z": ".....|.....|#####|...#.|..#..|.#...|#####",
    "0": ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.", "1": "..#..|.##..|..#..|..#..|..#..|..#..|.###.",
    "2": ".###.|#...#|....#|...#.|..#..|.#...|#####", "3": "#####|...#.|..#..|...#.|....#|#...#|.###.",
    "4": "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.", "5": "#####|#....|####.|....#|....#|#...#|.###.",
    "6": "..##.|.#...|#....|####.|#...#|#...#|.###.", "7": "#####|....#|...#.|..#..|.#...|.#...|.#...",
    "8": ".###.|#...#|#...#|.###.|#...#|#...#|.###.", "9": ".###.|#...#|#...#|.####|....#|...#.|.##..",
    ".": ".....|.....|.....|.....|.....|.##..|.##..", " ": ".....|.....|.....|.....|.....|.....|.....",
}

TILE_W, TILE_H, COLUMNS, MARGIN = 420, 96, 3, 8
PX_PER_SECOND = 100             # one time scale for all tiles: 4 s fill the width


def write_sheet(path, sounds):
    rows = (len(sounds) + COLUMNS - 1) // COLUMNS
    width = COLUMNS * (TILE_W + MARGIN) + MARGIN
    height = rows * (TILE_H + MARGIN) + MARGIN
    pixels = bytearray(b"\xf4\xf1\xe8" * (width * height))

    def put(x, y, rgb):
        if 0 <= x < width and 0 <= y < height:
            pixels[3 * (y * width + x):3 * (y * width + x) + 3] = rgb

    def text(x, y, s, rgb, size=2):
        for ch in s.lower():
            for r, row in enumerate(FONT.get(ch, FONT[" "]).split("|")):
                for c, bit in enumerate(row):
                    if bit == "#":
                        for dy in range(size):
                            for dx in range(size):
                                put(x + c * size + dx, y + r * size + dy, rgb)
            x += 6 * size

    for k, (name, samples) in enumerate(sounds):
        x0 = MARGIN + (k % COLUMNS) * (TILE_W + MARGIN)
        y0 = MARGIN + (k // COLUMNS) * (TILE_H + MARGIN)
        for y in range(y0, y0 + TILE_H):
            for x in range(x0, x0 + TILE_W):
                put(x, y, b"\xff\xff\xff")
        label = name + (" " + CAPTIONS[name] if name in CAPTIONS else "")
        text(x0 + 4, y0 + 4, label, b"\x20\x20\x40")
        duration = "%.2f s" % (len(samples) / RATE)
        text(x0 + TILE_W - 4 - 12 * len(duration), y0 + 4, duration, b"\x60\x60\x70")
        mid, half = y0 + 20 + (TILE_H - 22) // 2, (TILE_H - 26) // 2
        for x in range(x0 + 4, x0 + TILE_W - 4):
            put(x, mid, b"\xd0\xd0\xd8")
        per_px = RATE / PX_PER_SECOND
        colour = b"\xc0\x50\x20" if name.startswith("wave") else b"\x20\x60\xb0"
        for px in range(TILE_W - 8):
            chunk = samples[int(px * per_px):int((px + 1) * per_px)]
            if not chunk:
                break
            top, bottom = int(round(mid - max(chunk) * half)), int(round(mid - min(chunk) * half))
            for y in range(top, bottom + 1):
                put(x0 + 4 + px, y, colour)
        for s in range(1, 4):
            for y in range(y0 + TILE_H - 4, y0 + TILE_H):
                put(x0 + 4 + s * PX_PER_SECOND, y, b"\x80\x80\x80")

    raw = b"".join(b"\x00" + bytes(pixels[3 * y * width:3 * (y + 1) * width]) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) + \
        chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ------------------------------------------------------------------ main

def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out-dir", default=os.path.join(repo, "resources", "sounds"))
    parser.add_argument("--sheet", default=os.path.join(repo, "docs", "sounds.png"))
    parser.add_argument("--only", nargs="*", help="make only these sounds (the sheet is not written)")
    args = parser.parse_args()

    ensure_tools()
    os.makedirs(args.out_dir, exist_ok=True)
    made = []
    with tempfile.TemporaryDirectory() as tmp:
        for name in NAMES:
            if args.only and name not in args.only:
                continue
            samples = speak(name, tmp) if name in SPOKEN else SYNTH[name]()
            samples = finish(name, samples)
            write_wav(os.path.join(args.out_dir, name + ".wav"), samples)
            made.append((name, [round(v * 32767) / 32767 for v in samples]))
            rms = math.sqrt(sum(v * v for v in samples) / len(samples))
            print("%-13s %5.2f s  %6.1f dBFS RMS" % (name, len(samples) / RATE, 20 * math.log10(rms)))
    if not args.only:
        os.makedirs(os.path.dirname(args.sheet), exist_ok=True)
        write_sheet(args.sheet, made)
        print("sheet:", args.sheet)


if __name__ == "__main__":
    main()
