#!/usr/bin/env python3
"""Synthesises every shipped sound of the game and writes game/sound/NAME.ogg
(mono, 22050 Hz). Needs `oggenc` (Debian package vorbis-tools).

    python3 tools/make_sounds.py              # write all sounds
    python3 tools/make_sounds.py --wav DIR    # also keep the WAV files in DIR
    python3 tools/make_sounds.py NAME...      # write only the sounds named
"""
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOUND_DIR = os.path.join(ROOT, "game", "sound")

# ------------------------------------------------------------- building blocks


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix_into(dst, src, at=0.0, gain=1.0):
    start = int(at * RATE)
    if start + len(src) > len(dst):
        dst.extend([0.0] * (start + len(src) - len(dst)))
    for i, v in enumerate(src):
        dst[start + i] += v * gain
    return dst


def envelope(n, attack, release, hold=None, curve=2.0):
    """Attack and exponential-ish release over n samples (times in seconds)."""
    a, r = max(1, int(attack * RATE)), max(1, int(release * RATE))
    out = []
    for i in range(n):
        if i < a:
            v = i / a
        elif hold is not None and i < a + int(hold * RATE):
            v = 1.0
        else:
            start = a + (int(hold * RATE) if hold is not None else 0)
            t = (i - start) / r
            v = max(0.0, 1.0 - t) ** curve
        out.append(v)
    return out


def tone(seconds, freq, shape="sine", vibrato=0.0, vib_rate=5.0, phase=0.0):
    """freq is a number or a function of the time in seconds."""
    n = int(seconds * RATE)
    out, ph = [], phase
    for i in range(n):
        t = i / RATE
        f = freq(t) if callable(freq) else freq
        if vibrato:
            f *= 1.0 + vibrato * math.sin(2 * math.pi * vib_rate * t)
        ph += f / RATE
        x = ph % 1.0
        if shape == "sine":
            v = math.sin(2 * math.pi * x)
        elif shape == "square":
            v = 1.0 if x < 0.5 else -1.0
        elif shape == "saw":
            v = 2 * x - 1
        else:  # triangle
            v = 4 * abs(x - 0.5) - 1
        out.append(v)
    return out


def noise(seconds, seed):
    rnd = random.Random(seed)
    return [rnd.uniform(-1, 1) for _ in range(int(seconds * RATE))]


def lowpass(sig, cutoff):
    """One-pole low-pass; cutoff may be a function of the time."""
    out, y = [], 0.0
    for i, x in enumerate(sig):
        c = cutoff(i / RATE) if callable(cutoff) else cutoff
        a = 1 - math.exp(-2 * math.pi * c / RATE)
        y += a * (x - y)
        out.append(y)
    return out


def highpass(sig, cutoff):
    low = lowpass(sig, cutoff)
    return [x - l for x, l in zip(sig, low)]


class Bandpass:
    """Resonant band-pass (biquad, constant peak gain)."""

    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.set(1000, 5)

    def set(self, freq, q):
        w = 2 * math.pi * min(freq, RATE * 0.45) / RATE
        alpha = math.sin(w) / (2 * q)
        a0 = 1 + alpha
        self.b0, self.b2 = alpha / a0, -alpha / a0
        self.a1, self.a2 = -2 * math.cos(w) / a0, (1 - alpha) / a0

    def __call__(self, x):
        y = self.b0 * x + self.b2 * self.x2 - self.a1 * self.y1 - self.a2 * self.y2
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


def bandpass(sig, freq, q):
    bp = Bandpass()
    out = []
    for i, x in enumerate(sig):
        if callable(freq) and i % 32 == 0:
            bp.set(freq(i / RATE), q)
        elif i == 0:
            bp.set(freq, q)
        out.append(bp(x))
    return out


def times(sig, env):
    return [a * b for a, b in zip(sig, env)]


def add(*sigs):
    n = max(len(s) for s in sigs)
    out = [0.0] * n
    for s in sigs:
        for i, v in enumerate(s):
            out[i] += v
    return out


def formants(seconds, f0, vowels, breath=0.05, seed=1):
    """A voice: a pulse train at pitch f0(t) through three resonators whose
    frequencies follow vowels(t) -> ((F1, F2, F3), (g1, g2, g3))."""
    src = tone(seconds, f0, "saw", vibrato=0.012, vib_rate=5.5)
    rnd = random.Random(seed)
    src = [v + rnd.uniform(-1, 1) * breath for v in src]
    filters = [Bandpass(), Bandpass(), Bandpass()]
    out = []
    gains = (1, 1, 1)
    for i, x in enumerate(src):
        if i % 64 == 0:
            fs, gains = vowels(i / RATE)
            for flt, f in zip(filters, fs):
                flt.set(f, 9)
        out.append(sum(g * flt(x) for g, flt in zip(gains, filters)))
    return out


VOWELS = {
    "a": ((750, 1200, 2500), (1.0, 0.6, 0.25)),
    "o": ((480, 850, 2450), (1.0, 0.5, 0.15)),
    "n": ((260, 1650, 2600), (0.5, 0.08, 0.04)),
    "u": ((330, 750, 2300), (1.0, 0.35, 0.1)),
}


def glide(a, b, t):
    (fa, ga), (fb, gb) = VOWELS[a], VOWELS[b]
    return (tuple(x + (y - x) * t for x, y in zip(fa, fb)), tuple(x + (y - x) * t for x, y in zip(ga, gb)))


def normalise(sig, peak=0.85):
    m = max(1e-9, max(abs(v) for v in sig))
    # a short fade at both ends against clicks
    n = len(sig)
    fade = min(int(0.004 * RATE), n // 2)
    out = [v * peak / m for v in sig]
    # keep the loudness of square-wave sounds in line with the others
    rms = math.sqrt(sum(v * v for v in out) / max(1, n))
    if rms > 0.25:
        out = [v * 0.25 / rms for v in out]
    for i in range(fade):
        out[i] *= i / fade
        out[n - 1 - i] *= i / fade
    return out


# --------------------------------------------------------------------- sounds


def s_oh_no():
    def v(t):
        if t < 0.30:
            return VOWELS["o"]
        if t < 0.40:
            return glide("o", "n", (t - 0.30) / 0.1)
        if t < 0.48:
            return VOWELS["n"]
        if t < 0.56:
            return glide("n", "o", (t - 0.48) / 0.08)
        return glide("o", "u", min(1.0, (t - 0.56) / 0.4))

    def f0(t):
        return 190 + 25 * math.sin(min(t, 0.3) / 0.3 * math.pi) if t < 0.45 else 230 - 110 * (t - 0.45) / 0.5

    d = 0.95
    voice = formants(d, f0, v, breath=0.08)
    env = []
    for i in range(len(voice)):
        t = i / RATE
        a = min(1.0, t / 0.04)
        if 0.36 < t < 0.50:
            a *= 0.35  # the nasal is quieter
        a *= max(0.0, 1 - max(0.0, t - 0.7) / 0.25)
        env.append(a)
    breath = times(bandpass(noise(0.08, 3), 1500, 1.5), envelope(int(0.08 * RATE), 0.01, 0.07))
    return mix_into(times(voice, env), breath, 0.0, 0.3)


def s_deathcry():
    d = 1.3

    def f0(t):
        return 320 * math.exp(-1.2 * t) + 70

    def v(t):
        return glide("a", "o", min(1.0, t / 1.1))

    voice = formants(d, f0, v, breath=0.25, seed=7)
    env = [min(1.0, i / (0.05 * RATE)) * max(0.0, 1 - i / len(voice)) ** 1.2 for i in range(len(voice))]
    rough = times(tone(d, 23, "sine"), [1.0] * int(d * RATE))
    return [a * e * (0.75 + 0.25 * r) for a, e, r in zip(voice, env, rough)]


def s_evasion():
    d = 0.38
    n = bandpass(noise(d, 11), lambda t: 700 + 2600 * math.sin(math.pi * t / d), 2.5)
    return times(n, envelope(len(n), 0.12, 0.26, curve=1.5))


def s_hit():
    d = 0.22
    thump = times(tone(d, lambda t: 140 * math.exp(-14 * t) + 45), envelope(int(d * RATE), 0.002, 0.2, curve=3))
    smack = times(lowpass(noise(d, 4), 2200), envelope(int(d * RATE), 0.001, 0.07, curve=3))
    return add(thump, [v * 0.8 for v in smack])


def s_failure():
    out = []
    for k, f in enumerate((330, 247)):
        t = times(lowpass(tone(0.22, lambda tt, f=f: f * (1 - 0.08 * tt), "square"), 1400),
                  envelope(int(0.22 * RATE), 0.01, 0.2, curve=1.5))
        mix_into(out, t, k * 0.2)
    return out


def s_fireball():
    d = 0.9
    roar = lowpass(noise(d, 21), lambda t: 300 + 1800 * math.sin(math.pi * t / d))
    env = envelope(len(roar), 0.25, 0.65, curve=1.5)
    out = times(roar, env)
    rnd = random.Random(5)
    for _ in range(25):
        at = rnd.uniform(0.05, d - 0.05)
        mix_into(out, times(noise(0.006, rnd.random()), envelope(int(0.006 * RATE), 0.0005, 0.005)), at, 0.5)
    return out


def s_frost():
    d = 0.85
    out = times(highpass(noise(d, 31), 3500), envelope(int(d * RATE), 0.02, 0.8, curve=2))
    out = [v * 0.4 for v in out]
    rnd = random.Random(9)
    for k in range(9):
        f = rnd.choice((1760, 2093, 2349, 2637, 3136, 3520))
        at = k * 0.07
        mix_into(out, times(tone(0.35, f), envelope(int(0.35 * RATE), 0.002, 0.33, curve=3)), at, 0.5)
    return out


def s_lightning():
    d = 1.1
    rnd = random.Random(13)
    crack = noise(0.25, 14)
    jag = []
    level = 1.0
    for i in range(len(crack)):
        if i % 220 == 0:
            level = rnd.uniform(0.2, 1.0)
        jag.append(level)
    crack = times(times(crack, jag), envelope(len(crack), 0.001, 0.24, curve=1.5))
    rumble = times(lowpass(noise(d, 15), 160), envelope(int(d * RATE), 0.05, 1.0, curve=1.2))
    out = mix_into([v * 3.5 for v in rumble], crack, 0.0, 1.0)
    return out


def s_heal():
    out = []
    for k, f in enumerate((523.25, 659.25, 783.99, 1046.5)):
        t = add(tone(0.5, f), [0.3 * v for v in tone(0.5, f * 2)])
        mix_into(out, times(t, envelope(len(t), 0.02, 0.47, curve=2)), k * 0.12, 0.6)
    return out


def s_magic():
    d = 0.7
    carrier = tone(d, lambda t: 600 + 1600 * t / d + 120 * math.sin(2 * math.pi * 18 * t))
    trem = [0.6 + 0.4 * math.sin(2 * math.pi * 14 * i / RATE) for i in range(len(carrier))]
    return times(times(carrier, trem), envelope(len(carrier), 0.05, 0.65, curve=1.5))


def s_shield():
    d = 0.75
    hum = add(tone(d, lambda t: 200 + 60 * t), [0.6 * v for v in tone(d, lambda t: 301 + 90 * t, "triangle")],
              [0.2 * v for v in tone(d, lambda t: 803 + 240 * t)])
    trem = [0.55 + 0.45 * math.sin(2 * math.pi * 9 * i / RATE) for i in range(len(hum))]
    return times(times(hum, trem), envelope(len(hum), 0.12, 0.6, curve=1.5))


def s_door():
    d = 0.55
    rnd = random.Random(3)
    jitter = [1.0]
    creak_f = []
    f = 110.0
    for i in range(int(d * RATE)):
        if i % 400 == 0:
            f = 95 + 50 * (i / (d * RATE)) + rnd.uniform(-12, 12)
        creak_f.append(f)
    creak = tone(d, lambda t: creak_f[min(len(creak_f) - 1, int(t * RATE))], "saw")
    creak = bandpass(creak, 900, 3)
    creak = times(creak, envelope(len(creak), 0.05, 0.5, curve=1.0))
    thud = times(tone(0.25, lambda t: 90 * math.exp(-8 * t) + 40), envelope(int(0.25 * RATE), 0.002, 0.23, curve=3))
    del jitter
    return mix_into([v * 0.8 for v in creak], thud, 0.5, 1.2)


def click(seed, bright=3000):
    return times(bandpass(noise(0.02, seed), bright, 2), envelope(int(0.02 * RATE), 0.0005, 0.018, curve=3))


def s_lever():
    out = mix_into([], click(1, 2500), 0.0, 1.0)
    mix_into(out, click(2, 1800), 0.16, 1.2)
    ring = add(tone(0.3, 1250), [0.5 * v for v in tone(0.3, 1890)])
    mix_into(out, times(ring, envelope(len(ring), 0.001, 0.28, curve=3)), 0.16, 0.25)
    return out


def s_splash():
    d = 0.6
    wash = times(lowpass(noise(d, 41), lambda t: 3500 * math.exp(-4 * t) + 300), envelope(int(d * RATE), 0.005, 0.55, curve=2))
    out = list(wash)
    rnd = random.Random(4)
    for _ in range(6):
        at, f = rnd.uniform(0.08, 0.45), rnd.uniform(500, 900)
        b = times(tone(0.06, lambda t, f=f: f * (1 + 6 * t)), envelope(int(0.06 * RATE), 0.003, 0.055))
        mix_into(out, b, at, 0.3)
    return out


def s_burn():
    d = 1.0
    base = times(lowpass(noise(d, 51), 500), envelope(int(d * RATE), 0.1, 0.9, curve=1))
    out = [v * 1.5 for v in base]
    rnd = random.Random(52)
    for _ in range(40):
        at = rnd.uniform(0.0, d - 0.02)
        mix_into(out, click(rnd.randrange(1000), rnd.uniform(1500, 5000)), at, rnd.uniform(0.3, 0.9))
    return out


def s_pickup():
    out = []
    for k, f in enumerate((660, 990)):
        t = times(lowpass(tone(0.09, f, "square"), 3000), envelope(int(0.09 * RATE), 0.003, 0.085, curve=1.5))
        mix_into(out, t, k * 0.08, 0.7)
    return out


def s_drink():
    out = []
    for k in range(3):
        g = times(tone(0.16, lambda t: 420 * math.exp(-5 * t) + 120), envelope(int(0.16 * RATE), 0.01, 0.15, curve=2))
        g = lowpass(g, 900)
        mix_into(out, g, k * 0.22, 1.0)
    return out


def s_eat():
    out = []
    rnd = random.Random(61)
    for k in range(3):
        n = noise(0.12, 62 + k)
        grit = [v if rnd.random() < 0.35 else v * 0.2 for v in n]
        c = times(bandpass(grit, 1800 + k * 300, 1.2), envelope(len(n), 0.004, 0.11, curve=2))
        mix_into(out, c, k * 0.2, 1.0)
    return out


def s_levelup():
    out = []
    notes = ((523.25, 0.0, 0.16), (659.25, 0.15, 0.16), (783.99, 0.3, 0.16), (1046.5, 0.45, 0.6))
    for f, at, d in notes:
        t = add(lowpass(tone(d, f, "square"), 2500), [0.5 * v for v in tone(d, f * 0.5, "triangle")])
        mix_into(out, times(t, envelope(len(t), 0.01, d - 0.01, curve=1.3)), at, 0.5)
    return out


def s_portal():
    d = 1.2
    a = tone(d, lambda t: 200 + 500 * t / d, "sine", vibrato=0.08, vib_rate=7)
    b = tone(d, lambda t: 203 + 505 * t / d, "triangle", vibrato=0.08, vib_rate=6.3)
    hiss = bandpass(noise(d, 71), lambda t: 1500 + 2000 * t / d, 3)
    return times(add(a, [0.7 * v for v in b], [0.3 * v for v in hiss]), envelope(int(d * RATE), 0.3, 0.9, curve=1.5))


def s_stairs():
    out = []
    for k in range(4):
        f0 = 130 - k * 18
        step = times(tone(0.12, lambda t, f0=f0: f0 * math.exp(-6 * t) + 40), envelope(int(0.12 * RATE), 0.002, 0.11, curve=3))
        scuff = times(lowpass(noise(0.05, 80 + k), 1800), envelope(int(0.05 * RATE), 0.002, 0.045))
        mix_into(out, step, k * 0.21, 1.0)
        mix_into(out, scuff, k * 0.21, 0.35)
    return out


def s_trap():
    out = mix_into([], click(91, 4000), 0.0, 1.5)
    d = 0.55
    ring = add(tone(d, 820), [0.7 * v for v in tone(d, 1373)], [0.5 * v for v in tone(d, 2129)],
               [0.3 * v for v in tone(d, 3011)])
    mix_into(out, times(ring, envelope(len(ring), 0.001, 0.54, curve=3)), 0.005, 0.45)
    return out


def growl_voice(d, f0, seed, cutoff=700):
    src = tone(d, f0, "saw")
    rnd = random.Random(seed)
    am = []
    level = 1.0
    for i in range(len(src)):
        if i % 300 == 0:
            level = rnd.uniform(0.4, 1.0)
        am.append(level)
    rough = [s * a + rnd.uniform(-0.3, 0.3) for s, a in zip(src, am)]
    return add(bandpass(rough, 320, 2.5), [0.6 * v for v in lowpass(rough, cutoff)])


def s_monster_die():
    d = 0.85
    v = growl_voice(d, lambda t: 150 * math.exp(-1.6 * t) + 45, 101, cutoff=900)
    return times(v, envelope(len(v), 0.02, 0.83, curve=1.3))


def s_growl():
    d = 0.8
    v = growl_voice(d, lambda t: 82 + 18 * math.sin(math.pi * t / d), 111)
    return times(v, envelope(len(v), 0.15, 0.65, curve=1.2))


def s_hiss():
    d = 0.7
    n = highpass(noise(d, 121), 4200)
    n = bandpass(n, 6000, 1.0)
    return times(n, envelope(len(n), 0.08, 0.6, curve=1.0))


def s_poison():
    out = []
    rnd = random.Random(131)
    for k in range(8):
        f = rnd.uniform(250, 600)
        b = times(tone(0.09, lambda t, f=f: f * (1 + 8 * t)), envelope(int(0.09 * RATE), 0.005, 0.085, curve=2))
        mix_into(out, lowpass(b, 1500), k * 0.1 + rnd.uniform(0, 0.03), 1.0)
    base = times(lowpass(noise(0.9, 132), 400), envelope(int(0.9 * RATE), 0.1, 0.8, curve=1))
    return mix_into(out, base, 0.0, 0.8)


def s_teleport():
    d = 0.45
    zip_ = tone(d, lambda t: 300 * math.exp(4.6 * t / d), "sine")
    zip_ = times(zip_, envelope(len(zip_), 0.02, 0.43, curve=1.2))
    out = list(zip_)
    for k in range(5):
        sp = times(tone(0.15, 2600 + k * 350), envelope(int(0.15 * RATE), 0.002, 0.14, curve=3))
        mix_into(out, sp, d - 0.05 + k * 0.05, 0.35)
    return out


def s_sleep():
    out = []
    for k, f in enumerate((659.25, 587.33, 523.25)):
        t = tone(0.45, f, "sine", vibrato=0.01, vib_rate=5)
        t = add(t, [0.25 * v for v in tone(0.45, f * 2)])
        mix_into(out, times(t, envelope(len(t), 0.06, 0.39, curve=1.5)), k * 0.36, 0.6)
    return out


SOUNDS = {
    "oh_no": s_oh_no, "evasion": s_evasion, "deathcry": s_deathcry, "hit": s_hit, "failure": s_failure,
    "fireball": s_fireball, "frost": s_frost, "lightning": s_lightning, "heal": s_heal, "magic": s_magic,
    "shield": s_shield, "door": s_door, "lever": s_lever, "splash": s_splash, "burn": s_burn,
    "pickup": s_pickup, "drink": s_drink, "eat": s_eat, "levelup": s_levelup, "portal": s_portal,
    "stairs": s_stairs, "trap": s_trap, "monster_die": s_monster_die, "growl": s_growl, "hiss": s_hiss,
    "poison": s_poison, "teleport": s_teleport, "sleep": s_sleep,
}


# ------------------------------------------------------- the armoury's powers


def s_second_wind():
    d = 0.9
    breath = times(bandpass(noise(d, 211), lambda t: 500 + 700 * math.sin(math.pi * t / d), 1.5),
                   envelope(int(d * RATE), 0.35, 0.5, curve=1.3))
    out = [0.8 * v for v in breath]
    beat = times(tone(0.14, lambda t: 70 * math.exp(-6 * t) + 40), envelope(int(0.14 * RATE), 0.003, 0.13, curve=2.5))
    for at in (0.55, 0.75):
        mix_into(out, beat, at, 1.0)
    return out


def s_senses():
    out = []
    for k, f in enumerate((1318.5, 1975.5, 2637.0)):
        t = add(tone(0.6, f, vibrato=0.004, vib_rate=7), [0.2 * v for v in tone(0.6, f * 1.5)])
        mix_into(out, times(t, envelope(len(t), 0.004, 0.58, curve=2.5)), k * 0.09, 0.5)
    return out


def s_stone_skin():
    d = 0.8
    grind = times(lowpass(noise(d, 221), lambda t: 250 + 500 * t / d), envelope(int(d * RATE), 0.08, 0.7, curve=1.2))
    rnd = random.Random(222)
    out = [1.6 * v for v in grind]
    for _ in range(14):
        at = rnd.uniform(0.0, d - 0.1)
        crack = times(bandpass(noise(0.03, rnd.random()), rnd.uniform(800, 1800), 4.0),
                      envelope(int(0.03 * RATE), 0.001, 0.028, curve=3))
        mix_into(out, crack, at, 0.5)
    return out


def s_bash():
    d = 0.5
    thud = times(tone(d, lambda t: 90 * math.exp(-5 * t) + 35), envelope(int(d * RATE), 0.002, 0.45, curve=2.5))
    crash = times(lowpass(noise(0.35, 241), 1800), envelope(int(0.35 * RATE), 0.001, 0.33, curve=2))
    out = mix_into([1.2 * v for v in thud], crash, 0.0, 0.9)
    rnd = random.Random(242)
    for k in range(6):
        splinter = times(bandpass(noise(0.05, rnd.random()), rnd.uniform(1200, 2600), 5.0),
                         envelope(int(0.05 * RATE), 0.001, 0.048, curve=3))
        mix_into(out, splinter, 0.05 + k * 0.05, 0.4)
    return out


# The attacks among the armoury's powers play "hit" on every blow (their own
# sound is never played), so only the other four have sounds of their own.
ARMOURY_SOUNDS = {
    "second_wind": s_second_wind, "senses": s_senses, "stone_skin": s_stone_skin, "bash": s_bash,
}
SOUNDS.update(ARMOURY_SOUNDS)


def write_wav(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32767)) for v in samples))


def main(argv):
    keep = argv[1] if len(argv) >= 2 and argv[0] == "--wav" else None
    # Names after the options write only those sounds (Ogg streams carry a
    # random serial number, so writing a sound again changes its bytes).
    only = set(argv[2:] if keep else argv)
    unknown = only - set(SOUNDS)
    if unknown:
        print("unknown sounds: " + ", ".join(sorted(unknown)), file=sys.stderr)
        return 1
    if shutil.which("oggenc") is None:
        print("oggenc is missing: apt-get install -y vorbis-tools", file=sys.stderr)
        return 1
    os.makedirs(SOUND_DIR, exist_ok=True)
    tmp = keep or tempfile.mkdtemp()
    os.makedirs(tmp, exist_ok=True)
    for name, make in SOUNDS.items():
        if only and name not in only:
            continue
        samples = normalise(make())
        wav = os.path.join(tmp, name + ".wav")
        write_wav(wav, samples)
        ogg = os.path.join(SOUND_DIR, name + ".ogg")
        subprocess.run(["oggenc", "-Q", "-q", "3", "-o", ogg, wav], check=True)
        print("wrote %s (%.2f s)" % (os.path.relpath(ogg, ROOT), len(samples) / RATE))
    if not keep:
        shutil.rmtree(tmp)
    return 0


# ---------------------------------------------------------------- the bestiary's voices
# The monsters' own sounds, named by their affliction data. The sound table holds
# 29 files, so this block keeps to what fits beside the sounds above.


def s_roar():
    """A great beast's roar: a deep growl that swells, with a rasping top and a falling tail."""
    d = 1.3
    low = growl_voice(d, lambda t: 58 + 30 * math.sin(math.pi * min(1.0, t / (0.7 * d))) - 14 * max(0.0, t - 0.9), 141,
                      cutoff=600)
    rasp = bandpass(times(noise(d, 142), envelope(int(d * RATE), 0.25, 0.9, curve=1.2)), 900, 1.5)
    out = mix_into(list(low), rasp, 0.0, 0.5)
    return times(out, envelope(len(out), 0.22, 0.9, curve=1.4))


def bestiary_sounds():
    return {"roar": s_roar}


SOUNDS.update(bestiary_sounds())


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
