"""Sparkles, blood spot, selection cursor, mouse pointer, frame pieces, light
overlays and the title banner."""
import math

from pixel import NEAR_BLACK, R, RAMPS, Spr, Sheet, bayer, darken, fractal, mix

# ------------------------------------------------------------------ sparkles

STAR_COLOURS = ["blue", "red", "purple", "green", "yellow", "teal", "grey", "skull"]

BAYER8 = None


def bayer8(x, y):
    global BAYER8
    if BAYER8 is None:
        b = [[0]]
        for _ in range(3):
            n = len(b)
            nb = [[0] * (2 * n) for _ in range(2 * n)]
            for j in range(n):
                for i in range(n):
                    v = 4 * b[j][i]
                    nb[j][i], nb[j][i + n], nb[j + n][i], nb[j + n][i + n] = v, v + 2, v + 3, v + 1
            b = nb
        BAYER8 = b
    return (BAYER8[y & 7][x & 7] + 0.5) / 64.0


def sparkle(ramp, frame):
    """A 9 x 9 sparkle; frames 0..4 grow from a dot to a full star."""
    s = Spr(9, 9)
    c = 4
    arm = [0, 1, 2, 3, 4][frame]
    diag = [0, 0, 1, 1, 2][frame]
    for k in range(1, arm + 1):
        col = R(ramp, 5 - k) if k < arm else R(ramp, 2)
        for dx, dy in ((k, 0), (-k, 0), (0, k), (0, -k)):
            s.set(c + dx, c + dy, col)
    for k in range(1, diag + 1):
        for dx, dy in ((k, k), (-k, k), (k, -k), (-k, -k)):
            s.set(c + dx, c + dy, R(ramp, 3 if k == 1 else 2))
    s.set(c, c, R("white", 5) if frame >= 2 else R(ramp, 5))
    return s


def mini_skull(frame):
    s = Spr(9, 9)
    size = [1, 2, 3, 3, 4][frame]
    if size == 1:
        s.set(4, 4, R("bone", 4))
        return s
    for (x, y) in s.m_ellipse(4.5, 4.5 - size * 0.25, size, size * 0.85):
        s.set(x, y, R("bone", 5 if x + y < 8 else 3))
    for (x, y) in s.m_rect(4.5 - size * 0.5, 4.5 + size * 0.45, size, size * 0.5 + 0.5):
        s.set(x, y, R("bone", 3))
    if size >= 3:
        s.set(3, 4, R("dark", 0))
        s.set(5, 4, R("dark", 0))
        if size == 4:
            s.set(2, 4, R("dark", 0))
            s.set(6, 4, R("dark", 0))
            s.set(4, 6, R("dark", 1))
    return s


def build_starsprites():
    sheet = Sheet(5, 8, 9, 9)
    for row, name in enumerate(STAR_COLOURS):
        ramp = {"teal": "teal", "grey": "grey"}.get(name, name)
        for frame in range(5):
            spr = mini_skull(frame) if name == "skull" else sparkle(ramp if ramp in RAMPS else "blue", frame)
            sheet.put(row * 5 + frame, spr)
    return sheet


# ---------------------------------------------------------- blood and cursor


def build_blood():
    import random

    s = Spr()
    rnd = random.Random(8)
    for _ in range(9):
        a = rnd.uniform(0, 6.28)
        r = rnd.uniform(7, 13)
        x, y = 16 + r * math.cos(a), 16 + r * math.sin(a)
        s.ellipse(x, y, rnd.uniform(1.2, 2.6), rnd.uniform(1.2, 2.4), "blood", lo=1, hi=4)
        s.line(16, 16, x, y, rnd.uniform(1.5, 3), "blood", lo=1, hi=3)
    s.ellipse(16, 16, 9, 8, "blood", lo=1, hi=4)
    s.ellipse(16, 16.5, 6, 5, "blood", "flat", lo=1, hi=1, dither=0)
    s.dot(12, 12, R("red", 5))
    s.dot(13, 12, R("red", 4))
    s.outline()
    return s


def build_cursor():
    """Corner brackets around a 32 x 32 cell; the inside stays see-through."""
    s = Spr()
    for (cx, cy, sx, sy) in ((0, 0, 1, 1), (31, 0, -1, 1), (0, 31, 1, -1), (31, 31, -1, -1)):
        for k in range(9):
            for t in range(2):
                light = R("gold", 5 if t == 0 else 3)
                s.set(cx + sx * k, cy + sy * t, light)
                s.set(cx + sx * t, cy + sy * k, light)
        s.set(cx + sx * 2, cy + sy * 2, R("white", 5))
    for x in range(10, 22):
        if x % 2 == 0:
            for y in (0, 31):
                s.set(x, y, R("gold", 2))
            s.set(0 if True else 0, x, R("gold", 2))
            s.set(31, x, R("gold", 2))
    return s


def build_mousepointer():
    s = Spr()
    pts = [(0.5, 0.5), (0.5, 17), (4.5, 13), (7.5, 20), (10.5, 19), (7.5, 12), (13, 12)]
    m = s.m_poly(pts)
    s.paint(m, "gold", "pillow", lo=2, hi=5)
    for (x, y) in m:
        if any((x + dx, y + dy) not in m for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
            s.set(x, y, R("gold", 0))
    s.set(0, 0, R("white", 5))
    return s


# -------------------------------------------------------------------- frame


def frame_piece(kind, variant):
    """A 16 x 16 piece of the vertical bar: carved stone between bronze rims.
    kind 'cap' ends the bar with a bronze knob; 'bar' continues it."""
    s = Spr(16, 16)
    n = fractal(90 + variant, period=16, octaves=(2, 4, 8))
    for y in range(16):
        for x in range(16):
            if x in (0, 1):
                c = R("gold", 4 if x == 1 else 2)
            elif x in (14, 15):
                c = R("gold", 1 if x == 14 else 0)
            elif x in (2, 13):
                c = R("dark", 1)
            else:
                v = 0.45 + (n(x, y) - 0.5) * 1.4 + (bayer(x, y) - 0.5) * 0.3 - (x - 7.5) * 0.03
                if y == 0:
                    v = -1  # joint between blocks
                elif y == 1:
                    v += 0.5
                elif y == 15:
                    v -= 0.4
                k = 1 + int(max(0, min(0.999, v)) * 3) if v > -1 else 0
                c = R("stone", k)
            s.set(x, y, c)
    if kind == "cap":
        for (x, y) in s.m_ellipse(8, 8, 6, 6):
            s.set(x, y, None)
        s.ellipse(8, 8, 5.5, 5.5, "gold", lo=1, hi=5)
        s.ellipse(8, 8, 2.2, 2.2, "red", lo=1, hi=5)
        for (x, y) in s.m_ellipse(8, 8, 7, 7):
            if s.get(x, y) is None:
                s.set(x, y, R("gold", 0))
    elif variant in (2, 4):
        s.ellipse(8, 8, 2.6, 2.6, "gold", lo=1, hi=5)
        s.set(7, 7, R("white", 5))
    elif variant == 3:
        for y in range(4, 13):
            s.set(7, y, R("stone", 0))
            s.set(8, y, R("stone", 4))
        for x in range(5, 11):
            s.set(x, 8, R("stone", 0))
    return s


def transpose(p):
    t = Spr(p.h, p.w)
    for y in range(p.h):
        for x in range(p.w):
            t.set(y, x, p.get(x, y))
    return t


def build_frame():
    """192 x 192: piece k lies at (k * 16, 0) and again at (0, k * 16).
    0 top cap of the vertical bar, 1..5 vertical bar, 6 left cap of the
    horizontal bar, 7..11 horizontal bar."""
    pieces = [frame_piece("cap", 0)] + [frame_piece("bar", v) for v in range(1, 6)]
    pieces += [transpose(p) for p in pieces]
    s = Spr(192, 192)
    for k, p in enumerate(pieces):
        s.blit(p, k * 16, 0, transparent=False)
        s.blit(p, 0, k * 16, transparent=False)
    return s


# ------------------------------------------------------------- light overlays

DARKNESS = (2, 2, 6)


def light_radius(n):
    return 22 + (n - 1) * 30


def build_light(n):
    """416 x 416 darkness around a light circle centred on view cell (6, 6).
    Pure black is see-through; the edge is dithered over a band."""
    s = Spr(416, 416)
    r = light_radius(n)
    band = 18 + n * 4
    for y in range(416):
        for x in range(416):
            d = math.hypot(x + 0.5 - 208, y + 0.5 - 208)
            t = (d - r) / band
            if t >= 1 or (t > 0 and bayer8(x, y) < t):
                s.px[y][x] = DARKNESS
    return s


# ------------------------------------------------------------ title banner

GLYPHS = {
    "U": [[(1.5, 0), (1.5, 9.5), (2.6, 12.6), (5, 13.4), (7.4, 12.6), (8.5, 9.5), (8.5, 0)]],
    "M": [[(1.2, 14), (1.2, 0.3), (5, 8.5), (8.8, 0.3), (8.8, 14)]],
    "B": [[(1.5, 0.2), (1.5, 13.8)],
          [(1.5, 0.8), (6, 0.8), (7.8, 2.2), (7.8, 5.2), (6, 6.6), (1.5, 6.6)],
          [(1.5, 6.6), (6.5, 6.6), (8.7, 8.3), (8.7, 11.6), (6.5, 13.2), (1.5, 13.2)]],
    "R": [[(1.5, 0.2), (1.5, 14)],
          [(1.5, 0.8), (6.3, 0.8), (8.3, 2.4), (8.3, 5.3), (6.3, 6.8), (1.5, 6.8)],
          [(5, 6.8), (8.8, 14)]],
    "A": [[(0.9, 14), (5, 0.3), (9.1, 14)], [(2.7, 9.2), (7.3, 9.2)]],
    "N": [[(1.4, 14), (1.4, 0.3), (8.6, 13.7), (8.6, 0)]],
    "E": [[(8.6, 0.8), (1.5, 0.8), (1.5, 13.2), (8.6, 13.2)], [(1.5, 6.8), (7, 6.8)]],
}
SERIFS = {"U": [(1.5, 0), (8.5, 0)], "M": [(1.2, 14), (8.8, 14)], "B": [], "R": [(8.8, 14)],
          "A": [(0.9, 14), (9.1, 14)], "N": [(1.4, 14), (8.6, 0)], "E": []}


def title_mask(s, text, x0, y0, unit, pen):
    m = set()
    x = x0
    for ch in text:
        for stroke in GLYPHS[ch]:
            m |= s.m_path([(x + px * unit, y0 + py * unit) for px, py in stroke], pen * unit)
        for (px, py) in SERIFS[ch]:
            m |= s.m_rect(x + (px - 1.6) * unit, y0 + (py - 0.55 if py > 7 else py - 0.45) * unit, 3.2 * unit, 1.0 * unit)
        x += 11.2 * unit
    return m


def build_splash():
    W, H = 400, 160
    s = Spr(W, H)
    # eclipse behind the name: a dark disc with a dithered corona
    cx, cy = 200, 66
    for y in range(H):
        for x in range(W):
            d = math.hypot(x + 0.5 - cx, (y + 0.5 - cy) * 1.0)
            if d < 58:
                s.px[y][x] = R("dark", 1 if d < 54 else 2)
            elif d < 86:
                t = (d - 58) / 28.0
                if bayer8(x, y) > t ** 0.7:
                    k = 5 if t < 0.12 else 4 if t < 0.3 else 3 if t < 0.55 else 2
                    s.px[y][x] = R("gold", k)
    # ornament: a bronze bar with a gem under the name
    bar = s.m_poly([(40, 128), (188, 124), (200, 118), (212, 124), (360, 128), (212, 132), (200, 138), (188, 132)])
    s.paint(bar, "gold", "pillow", lo=1, hi=5, depth=2)
    s.ellipse(200, 128, 7, 7, "red", lo=1, hi=5)
    # the name
    unit, pen = 4.3, 2.3
    text = "UMBRANE"
    width = (len(text) - 1) * 11.2 * unit + 10 * unit
    x0, y0 = (W - width) / 2, 34
    m = title_mask(s, text, x0, y0, unit, pen)
    shadow = {(x + 4, y + 4) for (x, y) in m if x + 4 < W and y + 4 < H}
    grown = set()
    for (x, y) in m:
        for dx in (-2, -1, 0, 1, 2):
            for dy in (-2, -1, 0, 1, 2):
                if abs(dx) + abs(dy) <= 3:
                    grown.add((x + dx, y + dy))
    for (x, y) in shadow | grown:
        if 0 <= x < W and 0 <= y < H:
            s.px[y][x] = (12, 8, 18) if (x, y) not in grown else R("gold", 0)
    # letters: gold with a bevel, lighter towards the top
    inner = s.m_rect(0, 0, W, H) & m
    s.paint(inner, "gold", "pillow", lo=1, hi=5, depth=4, bias=0.05)
    for (x, y) in inner:
        if y < y0 + 7 * unit and (x + y) % 9 == 0 and bayer(x, y) < 0.4:
            s.px[y][x] = R("yellow", 5)
    # The menu centres the title on the 640-pixel screen; the name belongs over the map view
    # (416 pixels wide), clear of the status panel beside it: the picture is as wide as the screen,
    # the name centred over the map view, the rest see-through (black).
    view = 416
    full = Spr(640, H)
    left = (view - W) // 2
    for y in range(H):
        full.px[y][left:left + W] = s.px[y]
    return full
