"""The standard tileset: 20 columns x 8 rows of 32 x 32 tiles; the tile type
id is the cell number. Every tile is opaque and tiles seamlessly with its
neighbours of the same kind."""
import math
import random

from pixel import RAMPS, R, Spr, Sheet, bayer, darken, fractal, mix

COLS, ROWS = 20, 8


# ------------------------------------------------------------------ textures


def texture(s, ramp, lo, hi, seed, contrast=1.0, speckle=0.0, mask=None, period=32):
    """Fill (a mask of) the tile with tileable noise in the ramp's shades lo..hi."""
    n = fractal(seed, period)
    rnd = random.Random(seed)
    cols = RAMPS[ramp]
    for y in range(s.h):
        for x in range(s.w):
            if mask is not None and (x, y) not in mask:
                continue
            v = 0.5 + (n(x, y) - 0.5) * 2.2 * contrast
            v += (bayer(x, y) - 0.5) * 0.35
            if speckle and rnd.random() < speckle:
                v += rnd.choice((-0.45, 0.45))
            k = lo + int(max(0, min(0.999, v)) * (hi - lo + 1))
            s.px[y][x] = cols[k]


def stones(s, ramp, rows, seed, lo=1, hi=3, mortar=None, bevel=True, jitter=0.35, offsets=None, rough=1.2,
           grain=0.4):
    """Paving stones laid in rows; rows = list of (height, [widths]) adding up to 32
    each way. The stones wrap around the tile edges so neighbours join."""
    rnd = random.Random(seed)
    n = fractal(seed + 7)
    cols = RAMPS[ramp]
    mortar = mortar or cols[0]
    y0 = 0
    for r, (h, widths) in enumerate(rows):
        x0 = rnd.randrange(0, 32) if offsets is None else offsets[r]  # row offset, wrapping
        for w in widths:
            tone = rnd.uniform(-jitter, jitter)
            for j in range(h):
                for i in range(w):
                    x, y = (x0 + i) % 32, (y0 + j) % 32
                    if i == w - 1 or j == h - 1:
                        s.px[y][x] = mortar
                        continue
                    v = 0.5 + tone + (n(x, y) - 0.5) * rough + (bayer(x, y) - 0.5) * grain
                    if bevel and (i == 0 or j == 0):
                        v += 0.55
                    elif bevel and (i == w - 2 or j == h - 2):
                        v -= 0.45
                    k = lo + int(max(0, min(0.999, v)) * (hi - lo + 1))
                    s.px[y][x] = cols[k]
            x0 += w
        y0 += h


# The dungeon's floors and walls must tell apart at a glance, even in the dim
# light of the cave: dark, cool slate flags underfoot against pale, raised
# stone blocks (mean luma about 1 : 3; tests/map measures the shipped tiles).


def floor(seed=1):
    s = Spr()
    stones(s, "dark", [(11, [13, 10, 9]), (10, [9, 12, 11]), (11, [12, 11, 9])], seed, lo=1, hi=4,
           mortar=R("dark", 0), rough=0.7, grain=0.25, jitter=0.2)
    return s


def paved(seed=54):
    s = Spr()
    stones(s, "sand", [(16, [16, 16]), (16, [16, 16])], seed, lo=1, hi=3, jitter=0.2)
    return s


def wall(seed=4, ramp="stone"):
    s = Spr()
    stones(s, ramp, [(8, [16, 16]), (8, [16, 16]), (8, [16, 16]), (8, [16, 16])], seed, lo=3, hi=5,
           mortar=R(ramp, 1), offsets=[0, 8, 0, 8], jitter=0.25)
    return s


def grass(seed=27):
    s = Spr()
    texture(s, "leaf", 1, 3, seed, contrast=1.1)
    rnd = random.Random(seed)
    for _ in range(26):
        x, y = rnd.randrange(32), rnd.randrange(32)
        s.set(x, y, R("leaf", 4))
        s.set(x, (y + 1) % 32, R("leaf", 3))
        s.set((x + 1) % 32, (y + 2) % 32, R("leaf", 1))
    return s


def dirt(seed=8, lo=1, hi=3):
    s = Spr()
    texture(s, "dirt", lo, hi, seed, contrast=1.0, speckle=0.08)
    rnd = random.Random(seed)
    for _ in range(7):
        x, y = rnd.randrange(1, 30), rnd.randrange(1, 30)
        s.set(x, y, R("rock", 4))
        s.set(x + 1, y, R("rock", 3))
        s.set(x, y + 1, R("dirt", 0))
        s.set(x + 1, y + 1, R("dirt", 0))
    return s


def water(seed=16, deep=False):
    s = Spr()
    texture(s, "water", 0 if deep else 2, 2 if deep else 4, seed, contrast=0.9)
    rnd = random.Random(seed)
    for _ in range(7 if deep else 9):
        x, y = rnd.randrange(32), rnd.randrange(32)
        for k in range(5):
            s.set((x + k) % 32, (y + (1 if k in (0, 4) else 0)) % 32, R("water", 3 if deep else 5))
    return s


def sand(seed=34):
    s = Spr()
    texture(s, "sand", 2, 4, seed, contrast=0.8, speckle=0.1)
    return s


def planks(s, horizontal=True, seed=37, ramp="wood", lo=1, hi=3, widths=(6, 5, 6, 5, 5, 5)):
    rnd = random.Random(seed)
    n = fractal(seed)
    cols = RAMPS[ramp]
    pos = 0
    for w in widths:
        joint = rnd.randrange(32)
        tone = rnd.uniform(-0.25, 0.25)
        for a in range(w):
            for b in range(32):
                x, y = (b, pos + a) if horizontal else (pos + a, b)
                if a == w - 1 or b == joint:
                    c = cols[0]
                else:
                    grain = 0.5 * math.sin((b * 0.35 + a * 2.1 + seed) * 0.9)
                    v = 0.5 + tone + (n(x, y) - 0.5) * 0.8 + grain * 0.25 + (bayer(x, y) - 0.5) * 0.3
                    if a == 0:
                        v += 0.4
                    k = lo + int(max(0, min(0.999, v)) * (hi - lo + 1))
                    c = cols[k]
                s.px[y % 32][x % 32] = c
        pos += w


def crack(s, pts, color=None, light=None):
    color = color or R("dark", 1)
    for (x1, y1), (x2, y2) in zip(pts, pts[1:]):
        s.pline(x1 + 1, y1 + 1, x2 + 1, y2 + 1, light or R("stone", 3))
        s.pline(x1, y1, x2, y2, color)


def obj(base, draw):
    """An object drawn on its own layer with an outline, over a ground tile."""
    s = base.copy()
    o = Spr()
    draw(o)
    o.outline()
    s.blit(o, 0, 0)
    return s


def ground_shadow(s, cx, cy, rx, ry):
    for (x, y) in s.m_ellipse(cx, cy, rx, ry):
        c = s.get(x, y)
        if c is not None:
            s.set(x, y, darken(c, 0.6))


# --------------------------------------------------------------------- tiles


def t_rock():
    # pale like the walls it borders: the rock beyond a dungeon's edge
    s = Spr()
    texture(s, "rock", 3, 5, 100, contrast=1.3, speckle=0.05)
    crack(s, [(3, 6), (8, 9), (10, 15)], R("rock", 1), R("rock", 5))
    crack(s, [(20, 22), (25, 24), (29, 29)], R("rock", 1), R("rock", 5))
    return s


def t_stairs(down):
    s = floor(2 if down else 3)
    # a stone frame with steps inside
    for (x, y) in s.m_rect(4, 3, 24, 26):
        s.set(x, y, R("stone", 0))
    for k in range(5):
        y = 5 + k * 5
        if down:
            lv = 4 - k  # darker going down
            m = s.m_rect(6, y, 20, 4)
            s.paint(m, "stone", "vgrad", lo=max(0, lv - 2), hi=lv)
            for x in range(6, 26):
                s.set(x, y + 4, R("dark", 0))
        else:
            lv = 1 + k * 0.6
            m = s.m_rect(6 + 0, y, 20, 4)
            s.paint(m, "stone", "vgrad", lo=int(lv), hi=min(5, int(lv) + 2))
            for x in range(6, 26):
                s.set(x, y, R("stone", 5 if k == 4 else 4))
    arrow = R("gold", 4)
    if down:
        s.paint(s.m_poly([(13, 20), (19, 20), (16, 25)]), "gold", "flat", lo=3, hi=4)
    else:
        s.paint(s.m_poly([(13, 12), (19, 12), (16, 7)]), "gold", "flat", lo=3, hi=4)
    del arrow
    return s


def t_cracked():
    s = floor(5)
    crack(s, [(4, 3), (9, 10), (8, 16), (14, 22), (13, 28)])
    crack(s, [(9, 10), (17, 11), (22, 7)])
    crack(s, [(14, 22), (22, 24), (27, 30)])
    return s


def rubble_pile(o, cx, cy, rnd, n=6, spread=7, ramp="stone"):
    for _ in range(n):
        x = cx + rnd.uniform(-spread, spread)
        y = cy + rnd.uniform(-spread * 0.6, spread * 0.6)
        r = rnd.uniform(1.6, 3.2)
        o.ellipse(x, y, r, r * 0.8, ramp, lo=1, hi=4)


def bone(o, x1, y1, x2, y2):
    o.line(x1, y1, x2, y2, 2, "bone", lo=2, hi=5)
    for (x, y) in ((x1, y1), (x2, y2)):
        o.ellipse(x, y, 1.6, 1.6, "bone", lo=2, hi=5)


def skull(o, cx, cy, r=3.5):
    o.ellipse(cx, cy, r, r * 0.9, "bone", lo=2, hi=5)
    o.rect(cx - r * 0.55, cy + r * 0.55, r * 1.1, r * 0.6, "bone", lo=2, hi=4)
    o.dot(cx - r * 0.4, cy, R("dark", 0))
    o.dot(cx + r * 0.35, cy, R("dark", 0))


def t_rubble_bones():
    rnd = random.Random(6)

    def d(o):
        rubble_pile(o, 10, 11, rnd, 5, 5)
        bone(o, 14, 22, 24, 19)
        bone(o, 18, 26, 26, 27)
        skull(o, 23, 10)

    return obj(floor(6), d)


def t_mossy():
    s = floor(7)
    n = fractal(77)
    for y in range(32):
        for x in range(32):
            v = n(x, y) + (bayer(x, y) - 0.5) * 0.12
            if v > 0.55:
                s.set(x, y, R("leaf", 2 if v < 0.62 else 3))
            elif v > 0.51:
                s.set(x, y, R("leaf", 1))
    return s


def spikes(o, cx, cy):
    o.rect(cx - 11, cy - 11, 22, 22, "steel", lo=0, hi=2)
    for j in range(3):
        for i in range(3):
            x, y = cx - 7 + i * 7, cy - 5 + j * 7
            o.poly([(x - 3, y + 3), (x + 3, y + 3), (x, y - 5)], "steel", lo=2, hi=5, edge=True)


def t_spike_trap():
    return obj(floor(9), lambda o: spikes(o, 16, 16))


def door_frame(s, ramp="stone"):
    """Wall tile with an arch opening; returns the opening mask."""
    opening = s.m_rect(7, 6, 18, 26) | s.m_ellipse(16, 8, 9, 6)
    for (x, y) in opening:
        s.set(x, y, R("dark", 0))
    return opening


def t_door(open_):
    s = wall(10)
    opening = door_frame(s)
    if not open_:
        o = Spr()
        m = o.m_rect(8, 6, 16, 26) | o.m_ellipse(16, 8, 8, 5)
        o.paint(m, "wood", "pillow", lo=1, hi=4)
        for x in (12, 16, 20):
            for y in range(3, 32):
                if (x, y) in m:
                    o.set(x, y, R("wood", 0))
        for y in (11, 24):
            o.rect(8, y, 16, 2, "steel", lo=1, hi=3)
        o.ellipse(21.5, 18, 1.5, 1.5, "gold", lo=2, hi=5)
        s.blit(o, 0, 0)
    else:
        # the leaf swung inwards, seen edge-on at the left of the opening
        for (x, y) in s.m_rect(8, 6, 3, 26):
            s.set(x, y, R("wood", 2 if x == 8 else 1))
        for (x, y) in s.m_rect(11, 20, 13, 12):
            s.set(x, y, R("stone", 1) if (x + y) % 7 else R("stone", 0))
    del opening
    return s


def lever(o, on):
    """A lever set into a wall (it is solid: the character pulls it from beside)."""
    o.rect(9, 19, 14, 8, "steel", lo=1, hi=3)
    o.ellipse(16, 22, 2.5, 2, "dark", lo=1, hi=3)
    if on:
        o.line(16, 22, 23, 9, 2.2, "wood", lo=1, hi=4)
        o.ellipse(23.5, 8.5, 2.6, 2.6, "green", lo=2, hi=5)
    else:
        o.line(16, 22, 9, 9, 2.2, "wood", lo=1, hi=4)
        o.ellipse(8.5, 8.5, 2.6, 2.6, "red", lo=2, hi=5)


def t_gate(open_):
    s = wall(14)
    door_frame(s)
    o = Spr()
    bottom = 13 if open_ else 32
    for x in (9, 13, 17, 21):
        o.rect(x, 2, 2, bottom - 2, "steel", "cyl_v", lo=1, hi=4)
        o.poly([(x - 0.5, bottom), (x + 2.5, bottom), (x + 1, bottom + 3)], "steel", lo=2, hi=4)
    for y in ((6, 11) if open_ else (9, 20)):
        o.rect(8, y, 16, 2, "steel", "cyl_h", lo=1, hi=3)
    s.blit(o, 0, 0)
    return s


def t_lava():
    s = Spr()
    n = fractal(18)
    n2 = fractal(19)
    for y in range(32):
        for x in range(32):
            v = n(x, y)
            crust = n2(x * 1.0, y * 1.0)
            if abs(crust - 0.5) < 0.05:
                c = R("rock", 1)
            else:
                f = 1 + (v - 0.3) * 8 + (bayer(x, y) - 0.5)
                c = R("lava", int(max(1, min(5, f))))
            s.set(x, y, c)
    return s


def pool(base, ramp, rim="stone", sparkle=False, seed=19):
    s = base

    def d(o):
        o.ellipse(16, 16, 14, 12, rim, lo=1, hi=4)
        m = o.m_ellipse(16, 16.5, 10.5, 8.5)
        o.paint(m, ramp, "vgrad", lo=1, hi=3)
        rnd = random.Random(seed)
        for _ in range(5):
            x, y = rnd.uniform(9, 22), rnd.uniform(12, 20)
            o.pline(x, y, x + 3, y, R(ramp, 5))
        if sparkle:
            for (x, y) in ((11, 13), (20, 18), (17, 12)):
                o.dot(x, y, R("white", 5))
                o.dot(x - 1, y, R(ramp, 5))
                o.dot(x + 1, y, R(ramp, 5))
                o.dot(x, y - 1, R(ramp, 5))
                o.dot(x, y + 1, R(ramp, 5))

    return obj(s, d)


def t_fountain(full):
    def d(o):
        o.ellipse(16, 17, 14, 12, "stone", lo=1, hi=4)
        inner = o.m_ellipse(16, 17.5, 10.5, 8.5)
        if full:
            o.paint(inner, "water", "vgrad", lo=1, hi=4)
        else:
            o.paint(inner, "dirt", "vgrad", lo=1, hi=2)
            o.dot(12, 19, R("rock", 3))
            o.dot(19, 16, R("rock", 3))
        o.rect(14, 8, 4, 10, "stone", "cyl_v", lo=2, hi=5)
        o.ellipse(16, 8, 4, 2.5, "stone", lo=2, hi=5)
        if full:
            o.path([(16, 6), (12, 4), (9, 9), (9, 14)], 1.2, "water", "flat", lo=4, hi=5)
            o.path([(16, 6), (20, 4), (23, 9), (23, 14)], 1.2, "water", "flat", lo=4, hi=5)

    return obj(paved(20 if full else 21), d)


def chest(o, open_):
    if open_:
        o.rect(6, 8, 20, 8, "wood", lo=0, hi=2)  # lid seen from below, open
        o.rect(6, 15, 20, 13, "wood", lo=1, hi=4)
        o.rect(8, 16, 16, 5, "dark", "flat", lo=0, hi=0)
        for (x, y) in ((10, 17), (13, 18), (17, 17), (20, 18), (15, 16)):
            o.ellipse(x, y, 1.8, 1.4, "gold", lo=3, hi=5)
    else:
        o.rect(6, 10, 20, 18, "wood", lo=1, hi=4)
        o.rect(6, 10, 20, 7, "wood", "cyl_h", lo=1, hi=4)
    for x in (6, 24):
        o.rect(x, 10 if not open_ else 15, 2, 18 if not open_ else 13, "steel", lo=1, hi=3)
    o.rect(6, 17, 20, 1.5, "steel", "flat", lo=1, hi=1)
    o.rect(14, 16, 4, 5, "gold", lo=2, hi=5)


def t_chest(open_):
    return obj(floor(22), lambda o: chest(o, open_))


def t_fire_trap():
    def d(o):
        o.rect(7, 7, 18, 18, "steel", lo=0, hi=2)
        for y in range(9, 24, 3):
            for (x, yy) in o.m_rect(9, y, 14, 1):
                o.set(x, yy, R("lava", 3 if (x + y) % 4 else 5))
        o.poly([(12, 16), (16, 4), (20, 16), (16, 19)], "orange", lo=3, hi=5)
        o.poly([(14, 16), (16, 9), (18, 16)], "yellow", "flat", lo=4, hi=5)

    return obj(floor(24), d)


def t_pit():
    s = floor(25)
    m = s.m_rect(5, 5, 22, 22)
    s.paint(m, "dark", "vgrad", lo=0, hi=1, dither=0)
    for (x, y) in s.m_rect(5, 5, 22, 3):
        s.set(x, y, R("stone", 1 if y > 5 else 0))
    for (x, y) in s.m_rect(5, 8, 3, 19):
        s.set(x, y, R("stone", 1))
    for x in range(5, 27):
        s.set(x, 27, R("stone", 4))
    for y in range(5, 28):
        s.set(27, y, R("stone", 4))
    return s


def t_gas_trap():
    def d(o):
        o.ellipse(16, 20, 8, 5, "steel", lo=0, hi=3)
        o.ellipse(16, 20, 5, 3, "dark", "flat", lo=0, hi=0)
        for (x, y, r) in ((13, 12, 4), (19, 9, 3.5), (15, 6, 2.5), (21, 15, 3)):
            o.ellipse(x, y, r, r * 0.85, "poison", lo=2, hi=5, dither=1.0)

    return obj(floor(26), d)


def t_flowers():
    s = grass(28)
    rnd = random.Random(28)
    for _ in range(9):
        x, y = rnd.randrange(2, 29), rnd.randrange(2, 29)
        ramp = rnd.choice(["red", "yellow", "purple", "white", "pink"])
        for dx, dy in ((0, -1), (-1, 0), (1, 0), (0, 1)):
            s.set(x + dx, y + dy, R(ramp, 4))
        s.set(x, y, R("yellow", 5))
        s.set(x + 1, y + 1, R("leaf", 0))
    return s


def t_tree():
    def d(o):
        o.rect(13, 18, 6, 12, "wood", "cyl_v", lo=0, hi=3)
        for (x, y, r) in ((10, 13, 8), (22, 12, 8), (16, 7, 8), (16, 16, 9)):
            o.ellipse(x, y, r, r * 0.9, "leaf", lo=1, hi=4)
        rnd = random.Random(29)
        for _ in range(24):
            x, y = rnd.uniform(5, 27), rnd.uniform(1, 22)
            if o.get(int(x), int(y)) is not None:
                o.dot(x, y, R("leaf", rnd.choice((0, 1, 5))))

    s = grass(29)
    ground_shadow(s, 18, 27, 10, 4)
    return obj(s, d)


def t_bush():
    def d(o):
        for (x, y, r) in ((11, 18, 7), (21, 18, 7), (16, 13, 8)):
            o.ellipse(x, y, r, r * 0.85, "leaf", lo=1, hi=4)
        for (x, y) in ((12, 12), (18, 16), (22, 20), (10, 20), (16, 9)):
            o.dot(x, y, R("red", 4))

    s = grass(30)
    ground_shadow(s, 17, 24, 11, 4)
    return obj(s, d)


def t_path():
    s = dirt(31, lo=2, hi=4)
    return s


def t_bridge(horizontal):
    s = water(32 if horizontal else 33)
    b = Spr()
    planks(b, horizontal=not horizontal, seed=32, widths=(5, 5, 6, 5, 6, 5))
    for y in range(32):
        for x in range(32):
            across = y if horizontal else x
            if 4 <= across < 28:
                s.set(x, y, b.get(x, y))
            if across in (4, 5, 26, 27):
                s.set(x, y, R("wood", 4 if across in (4, 26) else 1))
    return s


def t_boulder():
    s = dirt(35)
    ground_shadow(s, 18, 25, 12, 5)

    def d(o):
        o.ellipse(16, 16, 13, 11, "rock", lo=1, hi=5)
        crack(o, [(12, 9), (15, 14), (13, 19)], R("rock", 1))

    return obj(s, d)


def t_wood_wall():
    s = Spr()
    planks(s, horizontal=False, seed=36, ramp="wood", lo=0, hi=3, widths=(8, 8, 8, 8))
    for x in (3, 11, 19, 27):
        for y in (5, 26):
            s.set(x, y, R("steel", 4))
            s.set(x + 1, y + 1, R("steel", 1))
    return s


def t_wood_floor():
    s = Spr()
    planks(s, horizontal=True, seed=37)
    return s


def t_portal():
    s = floor(38)

    def d(o):
        for k in range(3):
            o.paint(o.m_ring(16, 16, 13 - k * 3.5, 11 - k * 3.5, 0.85), "purple", "sphere", lo=1 + k, hi=3 + k)
        o.ellipse(16, 16, 3.5, 3, "ice", lo=3, hi=5)
        for a in range(0, 360, 45):
            r = math.radians(a)
            o.dot(16 + 12 * math.cos(r + 0.4), 16 + 10 * math.sin(r + 0.4), R("white", 5))

    return obj(s, d)


def t_well():
    def d(o):
        o.ellipse(16, 16, 13, 12, "stone", lo=1, hi=4)
        for a in range(0, 360, 40):
            r = math.radians(a)
            o.dot(16 + 11.5 * math.cos(r), 16 + 10.5 * math.sin(r), R("stone", 0))
        o.ellipse(16, 16.5, 8, 7, "water", "vgrad", lo=0, hi=2)
        o.line(3, 6, 29, 6, 2.4, "wood", "cyl_h", lo=1, hi=4)
        o.rect(15, 6, 2, 8, "leather", "flat", lo=2, hi=2)
        o.rect(13, 13, 6, 4, "wood", lo=1, hi=4)

    return obj(grass(39), d)


def t_signpost():
    def d(o):
        o.rect(15, 10, 3, 20, "wood", "cyl_v", lo=0, hi=3)
        o.rect(5, 6, 22, 10, "wood", lo=1, hi=4)
        for y in (9, 12):
            o.pline(8, y, 23, y, R("wood", 0))
        o.poly([(27, 6), (30, 11), (27, 16)], "wood", lo=1, hi=4)

    s = grass(40)
    ground_shadow(s, 17, 29, 5, 2)
    return obj(s, d)


def t_altar():
    def d(o):
        o.rect(4, 13, 24, 15, "stone", lo=1, hi=4)
        o.rect(3, 10, 26, 5, "stone", lo=2, hi=5)
        o.rect(9, 14, 14, 14, "red", lo=1, hi=3)
        o.rect(9, 25, 14, 2, "gold", "flat", lo=3, hi=3)
        for x in (7, 25):
            o.rect(x - 1, 4, 2, 7, "bone", "cyl_v", lo=3, hi=5)
            o.ellipse(x, 2.5, 1, 1.8, "yellow", lo=4, hi=5)
        o.ellipse(16, 8, 3.5, 2.5, "gold", lo=2, hi=5)

    return obj(floor(41), d)


def t_bones():
    def d(o):
        bone(o, 6, 8, 15, 13)
        bone(o, 18, 24, 27, 20)
        bone(o, 8, 24, 14, 18)
        skull(o, 21, 10, 4)

    return obj(floor(42), d)


def t_rubble():
    rnd = random.Random(43)
    return obj(floor(43), lambda o: rubble_pile(o, 16, 17, rnd, 11, 9))


def t_pillar():
    s = floor(44)
    ground_shadow(s, 19, 19, 12, 11)

    def d(o):
        o.ellipse(16, 16, 12, 12, "stone", lo=1, hi=4)
        o.ellipse(16, 16, 9, 9, "stone", lo=2, hi=5)
        o.paint(o.m_ring(16, 16, 9, 8), "stone", "flat", lo=1, hi=1)

    return obj(s, d)


def t_statue():
    s = floor(45)

    def d(o):
        o.rect(7, 22, 18, 8, "stone", lo=1, hi=4)
        o.ellipse(16, 7, 4, 4, "grey", lo=1, hi=5)
        o.poly([(11, 11), (21, 11), (22, 23), (10, 23)], "grey", lo=1, hi=5)
        o.line(10, 12, 6, 4, 2.5, "grey", lo=1, hi=5)
        o.line(6, 2, 6, 12, 1.5, "steel", lo=2, hi=5)

    return obj(s, d)


def lumpy_rock(seed, shade):
    """Lumpy rock, light on the upper left of every lump; shade(k) colours the
    lit steps k = 0..2."""
    s = Spr()
    n = fractal(seed, octaves=(4, 8, 16), weights=(0.5, 0.35, 0.15))
    for y in range(32):
        for x in range(32):
            v = n(x, y)
            gx = n(x + 1, y) - n(x - 1, y)
            gy = n(x, y + 1) - n(x, y - 1)
            lit = 0.5 + (-gx * 0.7 - gy * 0.9) * 9 + (v - 0.5) * 0.8 + (bayer(x, y) - 0.5) * 0.3
            s.set(x, y, shade(int(max(0, min(0.999, lit)) * 3)))
    return s


def t_cave_wall(seed=48):
    return lumpy_rock(seed, lambda k: R("rock", 1 + k))


def t_cave_entrance():
    s = t_cave_wall(46)
    m = s.m_ellipse(16, 20, 10, 12) | s.m_rect(6, 20, 20, 12)
    s.paint(m, "dark", "vgrad", lo=0, hi=1, dither=0.8)
    for (x, y) in m:
        if (x - 1, y) not in m or (x, y - 1) not in m:
            s.set(x, y, R("rock", 0))
    return s


def t_fence():
    def d(o):
        for x in (4, 16, 28):
            o.rect(x - 1.5, 6, 3, 22, "wood", "cyl_v", lo=0, hi=3)
            o.poly([(x - 1.5, 6), (x + 1.5, 6), (x, 3)], "wood", lo=1, hi=3)
        for y in (10, 20):
            o.rect(0, y, 32, 3, "wood", "cyl_h", lo=1, hi=4)

    return obj(grass(47), d)


def t_cave_floor():
    s = Spr()
    texture(s, "rock", 1, 3, 49, contrast=1.0, speckle=0.06)
    rnd = random.Random(49)
    for _ in range(6):
        x, y = rnd.randrange(1, 30), rnd.randrange(1, 30)
        s.set(x, y, R("rock", 4))
        s.set(x + 1, y + 1, R("rock", 0))
    return s


def t_secret_door():
    s = wall(4)  # the same stones as the plain wall, with a hairline seam
    for y in range(8, 32):
        if y % 5:
            s.set(9, y, R("stone", 1))
    return s


def t_table():
    s = t_wood_floor()
    ground_shadow(s, 18, 19, 13, 10)

    def d(o):
        o.rect(4, 7, 24, 18, "wood", lo=1, hi=4)
        for x in (5, 25):
            o.rect(x, 24, 2, 4, "wood", lo=0, hi=2)
        o.ellipse(11, 13, 3, 2.5, "bone", lo=2, hi=5)
        o.rect(19, 10, 3, 5, "steel", "cyl_v", lo=1, hi=4)

    return obj(s, d)


def t_bed():
    def d(o):
        o.rect(5, 3, 22, 27, "wood", lo=0, hi=3)
        o.rect(7, 5, 18, 7, "white", lo=2, hi=5)
        o.rect(6, 12, 20, 16, "red", lo=1, hi=4)
        o.rect(6, 12, 20, 2, "red", "flat", lo=4, hi=4)

    return obj(t_wood_floor(), d)


def torch(o, x, y):
    o.rect(x - 1, y, 3, 9, "wood", "cyl_v", lo=0, hi=3)
    o.rect(x - 2, y + 4, 5, 2, "steel", lo=1, hi=3)
    o.poly([(x - 3, y + 1), (x + 0.5, y - 8), (x + 4, y + 1)], "orange", lo=3, hi=5)
    o.poly([(x - 1, y + 1), (x + 0.5, y - 4), (x + 2, y + 1)], "yellow", "flat", lo=5, hi=5)


def t_wall_torch():
    s = wall(53)
    # warm light on the stones around the flame
    for y in range(32):
        for x in range(32):
            d = math.hypot(x - 16, y - 10)
            if d < 12 and (d < 7 or bayer(x, y) > (d - 7) / 5):
                c = s.get(x, y)
                s.set(x, y, mix(c, R("orange", 4), 0.28))
    o = Spr()
    torch(o, 16, 12)
    o.outline()
    s.blit(o, 0, 0)
    return s


def t_shrine():
    def d(o):
        o.rect(5, 18, 22, 11, "stone", lo=1, hi=4)
        o.poly([(8, 18), (16, 3), (24, 18)], "white", lo=1, hi=4)
        o.rect(14, 8, 4, 10, "red", "flat", lo=4, hi=4)
        o.rect(11, 11, 10, 4, "red", "flat", lo=4, hi=4)
        o.rect(15, 9, 2, 8, "pink", "flat", lo=5, hi=5)

    s = floor(140)
    for (x, y) in s.m_ellipse(16, 14, 15, 15):
        if bayer(x, y) < 0.5:
            s.set(x, y, mix(s.get(x, y), R("red", 3), 0.35))
    return obj(s, d)


def t_mana_crystal():
    def d(o):
        o.ellipse(16, 26, 10, 4, "stone", lo=1, hi=3)
        for (x, top, w) in ((11, 10, 4), (21, 12, 4), (16, 3, 5)):
            o.poly([(x - w, 26), (x - w, top + 5), (x, top), (x + w, top + 5), (x + w, 26)], "blue", lo=1, hi=5)
            o.pline(x, top + 1, x, 24, R("ice", 5))

    s = floor(141)
    for (x, y) in s.m_ellipse(16, 16, 15, 15):
        if bayer(x, y) < 0.5:
            s.set(x, y, mix(s.get(x, y), R("blue", 3), 0.35))
    return obj(s, d)


# The deeper dungeons have floors and walls of their own, told apart as in the
# Old Cave (walls at least 2.5 times as bright as the floor).


def t_flooded_floor():
    """Dark slate flags under a film of water, with a few shining puddles."""
    s = Spr()
    stones(s, "dark", [(11, [12, 11, 9]), (10, [10, 12, 10]), (11, [9, 12, 11])], 55, lo=1, hi=4,
           mortar=R("teal", 0), rough=0.7, grain=0.25, jitter=0.2)
    rnd = random.Random(55)
    for _ in range(3):
        cx, cy = rnd.randrange(4, 28), rnd.randrange(4, 28)
        for (x, y) in s.m_ellipse(cx, cy, rnd.uniform(2.5, 4.5), rnd.uniform(1.5, 2.5)):
            if 0 <= x < 32 and 0 <= y < 32:
                s.set(x, y, mix(s.get(x, y), R("water", 2), 0.6))
        s.set(cx - 1, cy - 1, R("water", 4))
    return s


def t_flooded_wall():
    """Pale blue-grey hall stones, moss and water stains creeping up from below."""
    s = wall(56, ramp="steel")
    n = fractal(56)
    for y in range(32):
        for x in range(32):
            s.set(x, y, mix(s.get(x, y), R("teal", 3), 0.2))
            if n(x, y) + (y % 8) / 40 > 0.66 and bayer(x, y) < 0.6:
                s.set(x, y, mix(s.get(x, y), R("leaf", 3), 0.45))
    return s


def t_umbral_floor():
    """Black basalt with faint violet veins."""
    s = Spr()
    texture(s, "dark", 0, 2, 57, contrast=1.0, speckle=0.05)
    n = fractal(571, octaves=(8, 16), weights=(0.6, 0.4))
    for y in range(32):
        for x in range(32):
            if abs(n(x, y) - 0.5) < 0.025:
                s.set(x, y, R("purple", 2))
    return s


def t_umbral_rock():
    """Lumpy violet-grey rock lit from the upper left, as the cave wall."""
    return lumpy_rock(58, lambda k: mix(R("ghost", 2 + k), R("purple", 3), 0.35))


def build():
    t = {
        0: t_rock(), 1: floor(1), 2: t_stairs(True), 3: t_stairs(False), 4: wall(4),
        5: t_cracked(), 6: t_rubble_bones(), 7: t_mossy(), 8: dirt(8), 9: t_spike_trap(),
        10: t_door(False), 11: t_door(True),
        12: obj(wall(12), lambda o: lever(o, False)), 13: obj(wall(13), lambda o: lever(o, True)),
        14: t_gate(False), 15: t_gate(True), 16: water(16), 17: water(17, deep=True), 18: t_lava(),
        19: pool(floor(19), "teal", sparkle=True), 20: t_fountain(True), 21: t_fountain(False),
        22: t_chest(False), 23: t_chest(True), 24: t_fire_trap(), 25: t_pit(), 26: t_gas_trap(),
        27: grass(27), 28: t_flowers(), 29: t_tree(), 30: t_bush(), 31: t_path(),
        32: t_bridge(True), 33: t_bridge(False), 34: sand(34), 35: t_boulder(), 36: t_wood_wall(),
        37: t_wood_floor(), 38: t_portal(), 39: t_well(), 40: t_signpost(), 41: t_altar(),
        42: t_bones(), 43: t_rubble(), 44: t_pillar(), 45: t_statue(), 46: t_cave_entrance(),
        47: t_fence(), 48: t_cave_wall(), 49: t_cave_floor(), 50: t_secret_door(), 51: t_table(),
        52: t_bed(), 53: t_wall_torch(), 54: paved(54),
        55: t_flooded_floor(), 56: t_flooded_wall(), 57: t_umbral_floor(), 58: t_umbral_rock(), 140: t_shrine(), 141: t_mana_crystal(),
    }
    sheet = Sheet(COLS, ROWS)
    for k, spr in t.items():
        sheet.put(k, spr)
    return sheet
