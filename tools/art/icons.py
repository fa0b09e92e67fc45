"""Item pictures, ability icons, power icons, effect icons and missiles."""
import math
import random

from pixel import R, RAMPS, Spr, Sheet, bayer, mix

# ------------------------------------------------------------- item shapes


def sword(s, length=22, width=3, guard="gold", blade="steel", grip="leather", x0=6, y0=26):
    """A sword lying diagonally, hilt at the bottom left."""
    d = 1 / math.sqrt(2)
    tip = (x0 + length * d + 3, y0 - length * d - 3)
    gx, gy = x0 + 4.5, y0 - 4.5
    s.line(gx, gy, tip[0] - 1.5, tip[1] + 1.5, width, blade, lo=2, hi=5)
    s.poly([(tip[0] - 2.5, tip[1] + 0.5), (tip[0] + 0.5, tip[1] - 0.5), (tip[0] - 0.5, tip[1] + 2.5)], blade, lo=3, hi=5)
    s.line(gx + 1.5, gy + 1.5, tip[0] - 2.5, tip[1] + 2.5, 0.9, blade, "flat", lo=5, hi=5)
    s.line(x0 + 1, y0 - 8, x0 + 8, y0 - 1, 2.2, guard, lo=2, hi=5)
    s.line(x0 - 1, y0 + 1, x0 + 4, y0 - 4, 2.2, grip, lo=1, hi=3)
    s.ellipse(x0 - 1.5, y0 + 1.5, 1.8, 1.8, guard, lo=2, hi=5)


def potion(s, liquid, cork="wood", big=False):
    """A round flask; the big one is wider and has a longer neck."""
    cy, r_glass, r_liquid, r_liquid_y, neck_y, neck_h = (21, 10.5, 9, 8, 5, 8) if big else (20, 9, 7.5, 7.5, 6, 7)
    s.ellipse(16, cy, r_glass, r_glass - (1 if big else 0), "ice", lo=2, hi=5)
    m = {p for p in s.m_ellipse(16, cy, r_liquid, r_liquid_y) if p[1] >= cy - (6 if big else 4)}
    s.paint(m, liquid, "sphere", lo=1, hi=5, center=(16, cy))
    s.rect(13, neck_y, 6, neck_h, "ice", "cyl_v", lo=2, hi=5)
    s.rect(12, neck_y - 1, 8, 2, "ice", lo=3, hi=5)
    s.rect(13.5, neck_y - 4, 5, 4, cork, lo=1, hi=4)
    for (x, y) in ((12, 17), (12, 18), (13, 16)):
        s.dot(x - big, y + big, R("white", 5))


def shield(s, ramp, boss="steel", rim="steel", round_=True):
    if round_:
        s.ellipse(16, 16, 12, 12, rim, lo=1, hi=4)
        s.ellipse(16, 16, 10, 10, ramp, lo=1, hi=4)
        if ramp == "wood":
            for x in (11, 16, 21):
                s.pline(x, 7, x, 25, R("wood", 0))
        s.ellipse(16, 16, 3.2, 3.2, boss, lo=2, hi=5)
    else:
        pts = [(5, 5), (27, 5), (27, 15), (16, 29), (5, 15)]
        s.poly(pts, rim, lo=1, hi=4)
        s.poly([(7, 7), (25, 7), (25, 15), (16, 26.5), (7, 15)], ramp, lo=1, hi=4)
        s.rect(14.5, 7, 3, 19, "gold", "flat", lo=4, hi=4)
        s.rect(7, 12, 18, 3, "gold", "flat", lo=4, hi=4)


def torso_armour(s, ramp, pattern=None):
    pts = [(9, 4), (13, 6), (19, 6), (23, 4), (29, 9), (26, 14), (24, 13), (24, 28), (8, 28), (8, 13), (6, 14), (3, 9)]
    s.poly(pts, ramp, lo=1, hi=4)
    s.poly([(13, 6), (16, 10), (19, 6)], "dark", "flat", lo=1, hi=1)
    if pattern == "rings":
        for y in range(9, 28, 2):
            for x in range(8 + (y // 2) % 2, 25, 2):
                if s.get(x, y) is not None and bayer(x, y) < 0.5:
                    s.set(x, y, R(ramp, 1))
    elif pattern == "plates":
        for y in (15, 20, 25):
            s.pline(8, y, 24, y, R(ramp, 1))
        s.pline(16, 10, 16, 27, R(ramp, 5))
    else:
        s.rect(8, 21, 16, 2, "brown", "flat", lo=1, hi=1)
        s.rect(15, 20.5, 2, 3, "gold", "flat", lo=4, hi=4)


def ring(s, band, gem=None):
    s.paint(s.m_ring(16, 19, 8, 5.5, 0.8), band, "sphere", lo=1, hi=5, center=(14, 16))
    if gem:
        s.ellipse(16, 10, 4, 3.5, band, lo=2, hi=5)
        s.ellipse(16, 10, 2.8, 2.6, gem, lo=1, hi=5)
        s.dot(15, 9, R("white", 5))


def scroll_shape(s):
    s.rect(7, 8, 18, 16, "sand", lo=2, hi=5)
    s.ellipse(7, 16, 2.5, 8.5, "sand", "cyl_h", lo=1, hi=4)
    s.ellipse(25, 16, 2.5, 8.5, "sand", "cyl_h", lo=1, hi=4)
    for y in (12, 15, 18, 21):
        s.pline(10, y, 22 - (y % 3) * 2, y, R("brown", 1))
    s.rect(14, 21, 5, 4, "red", lo=2, hi=4)


def coins(s):
    for (x, y) in ((10, 22), (20, 23), (15, 17), (22, 15), (9, 13), (15, 25)):
        s.ellipse(x, y, 5, 3.5, "gold", lo=1, hi=5)
        s.ellipse(x, y - 0.5, 3, 2, "gold", "flat", lo=4, hi=4)


def build_items():
    f = {}
    f[0] = lambda s: (s.ellipse(16, 17, 12, 8, "wood", lo=2, hi=5),
                      [s.pline(x, 12, x + 3, 20, R("wood", 1)) for x in (10, 15, 20)])
    f[1] = lambda s: potion(s, "red")
    f[2] = lambda s: potion(s, "blue")
    f[3] = lambda s: (s.ellipse(16, 18, 9, 9, "red", lo=1, hi=5), s.line(16, 10, 17, 5, 1.5, "wood", "flat", lo=1, hi=1),
                      s.ellipse(20, 6, 3, 1.8, "leaf", lo=2, hi=4))
    f[4] = lambda s: sword(s, length=12, width=2.4, guard="steel", x0=8, y0=24)
    f[5] = lambda s: sword(s, length=17, width=2.6, guard="steel")
    f[6] = lambda s: sword(s, length=22, width=3)
    f[7] = lambda s: sword(s, length=24, width=4, guard="steel", x0=5, y0=27)

    def battle_axe(s):
        s.line(6, 28, 22, 8, 2.4, "wood", lo=1, hi=4)
        s.poly([(17, 6), (23, 2), (30, 9), (27, 16), (21, 12)], "steel", lo=1, hi=5, edge=True)
        s.poly([(16, 11), (11, 9), (14, 15)], "steel", lo=1, hi=4)
    f[8] = battle_axe

    def mace(s):
        s.line(7, 27, 19, 13, 2.4, "wood", lo=1, hi=4)
        s.ellipse(21, 11, 6, 6, "steel", lo=1, hi=5)
        for a in range(0, 360, 60):
            r = math.radians(a)
            s.dot(21 + 7 * math.cos(r), 11 + 7 * math.sin(r), R("steel", 4))
    f[9] = mace

    def spear_(s):
        s.line(4, 29, 24, 9, 1.8, "wood", lo=1, hi=4)
        s.poly([(22, 8), (30, 2), (25, 11)], "steel", lo=2, hi=5)
        s.line(21, 12, 23, 10, 3, "leather", lo=1, hi=3)
    f[10] = spear_
    f[11] = lambda s: (s.line(5, 29, 27, 4, 2.6, "wood", lo=1, hi=4), s.line(8, 25, 10, 23, 3.2, "leather", lo=1, hi=3),
                       s.line(23, 8, 25, 6, 3.2, "leather", lo=1, hi=3))
    f[12] = lambda s: shield(s, "wood")
    f[13] = lambda s: shield(s, "steel", round_=False, rim="steel")
    f[14] = lambda s: torso_armour(s, "leather")
    f[15] = lambda s: torso_armour(s, "steel", "rings")
    f[16] = lambda s: torso_armour(s, "steel", "plates")
    f[17] = lambda s: ({s.paint({p for p in s.m_ellipse(16, 20, 11, 11) if p[1] < 21}, "leather", "sphere", lo=1, hi=4,
                                center=(13, 12))}, s.rect(4, 20, 24, 3, "leather", lo=0, hi=3))

    def helmet(s):
        s.paint({p for p in s.m_ellipse(16, 19, 11, 13) if p[1] < 22}, "steel", "sphere", lo=1, hi=5, center=(12, 10))
        s.rect(4, 20, 24, 3, "steel", lo=1, hi=3)
        s.rect(14.5, 9, 3, 14, "steel", "flat", lo=2, hi=2)
        s.rect(6, 22, 5, 6, "steel", lo=1, hi=3)
        s.rect(21, 22, 5, 6, "steel", lo=1, hi=3)
    f[18] = helmet

    def boots(s):
        for dx in (0, 10):
            s.poly([(5 + dx, 5), (12 + dx, 5), (12 + dx, 21), (16 + dx, 24), (16 + dx, 28), (5 + dx, 28)], "leather", lo=1, hi=4)
            s.rect(5 + dx, 5, 7, 2.5, "brown", lo=2, hi=4)
            s.rect(5 + dx, 26, 11, 2, "dark", "flat", lo=1, hi=1)
    f[19] = boots

    def gloves(s):
        for dx, flip in ((0, False), (12, True)):
            s.rect(4 + dx, 17, 8, 11, "leather", lo=1, hi=4)
            for k in range(4):
                s.rect(4 + dx + k * 2, 7 + abs(k - 1.5) * 1.5, 2, 11, "leather", "cyl_v", lo=1, hi=4)
            s.line(4 + dx + (8 if flip else 0), 18, 1 + dx + (14 if flip else 0), 13, 2.5, "leather", lo=1, hi=3)
            s.rect(4 + dx, 25, 8, 3, "brown", "flat", lo=3, hi=3)
    f[20] = gloves
    f[21] = lambda s: (s.poly([(11, 4), (21, 4), (28, 28), (16, 25), (4, 28)], "cloth", lo=0, hi=4),
                       s.rect(13, 3, 6, 3, "gold", lo=2, hi=5), s.pline(16, 7, 16, 24, R("cloth", 1)))
    f[22] = lambda s: ring(s, "gold")
    f[23] = lambda s: ring(s, "steel", gem="red")

    def amulet(s):
        s.paint(s.m_arc(16, 10, 9, 200, 340, 1.2), "gold", "flat", lo=4, hi=4)
        s.ellipse(16, 21, 6, 7, "gold", lo=2, hi=5)
        s.ellipse(16, 21, 3.5, 4.5, "teal", lo=1, hi=5)
        s.dot(15, 19, R("white", 5))
    f[24] = amulet

    def torch_item(s):
        s.line(9, 29, 19, 14, 3, "wood", lo=1, hi=4)
        s.line(17, 16, 20, 12, 4.5, "leather", lo=0, hi=2)
        s.poly([(16, 12), (24, 1), (25, 13), (20, 16)], "orange", lo=3, hi=5)
        s.poly([(19, 12), (23, 5), (23, 12)], "yellow", "flat", lo=5, hi=5)
    f[25] = torch_item

    def lantern(s):
        s.paint(s.m_arc(16, 7, 4, 180, 360, 1.5), "steel", "flat", lo=3, hi=3)
        s.rect(9, 7, 14, 3, "steel", lo=1, hi=4)
        s.rect(10, 10, 12, 14, "yellow", lo=3, hi=5)
        s.ellipse(16, 17, 2, 3, "white", lo=4, hi=5)
        for x in (10, 15.5, 21):
            s.rect(x, 10, 1.2, 14, "steel", "flat", lo=1, hi=1)
        s.rect(8, 24, 16, 4, "steel", lo=1, hi=4)
    f[26] = lantern

    def oil(s):
        s.ellipse(16, 20, 10, 9, "wood", lo=1, hi=4)
        s.rect(13, 5, 6, 8, "wood", "cyl_v", lo=1, hi=4)
        s.rect(12.5, 3, 7, 3, "white", lo=2, hi=4)
        s.ellipse(16, 20, 5, 3, "gold", lo=3, hi=5)
    f[27] = oil
    f[28] = scroll_shape
    f[29] = lambda s: potion(s, "poison")
    f[30] = lambda s: potion(s, "orange")

    def gem(s, ramp="purple"):
        s.poly([(9, 11), (13, 6), (19, 6), (23, 11), (16, 27)], ramp, lo=1, hi=5, edge=True)
        s.poly([(9, 11), (23, 11), (16, 27)], ramp, "vgrad", lo=1, hi=3)
        s.pline(13, 6, 12, 11, R(ramp, 5))
        s.pline(19, 6, 20, 11, R(ramp, 2))
        s.dot(12, 8, R("white", 5))
    f[31] = gem

    def chalice(s):
        s.poly([(7, 4), (25, 4), (22, 13), (16, 16), (10, 13)], "gold", lo=1, hi=5)
        s.ellipse(16, 4.5, 9, 2, "gold", "flat", lo=1, hi=1)
        s.rect(14.5, 15, 3, 8, "gold", "cyl_v", lo=2, hi=5)
        s.ellipse(16, 25, 7, 3, "gold", lo=1, hi=5)
        s.ellipse(16, 9, 2, 2, "red", lo=2, hi=5)
    f[32] = chalice

    def key(s):
        s.paint(s.m_ring(10, 10, 6, 3), "gold", "sphere", lo=1, hi=5, center=(8, 8))
        s.line(14, 14, 27, 27, 2.5, "gold", lo=1, hi=5)
        s.rect(20, 24, 3, 4, "gold", lo=2, hi=4)
        s.rect(24, 20, 4, 3, "gold", lo=2, hi=4)
    f[33] = key

    def bow(s):
        s.paint(s.m_arc(6, 26, 21, 270, 360, 2.4), "wood", "pillow", lo=1, hi=4)
        s.pline(6, 5, 27, 26, R("white", 4))
        s.rect(15, 14, 3, 3, "leather", lo=1, hi=3)
    f[34] = bow
    f[35] = lambda s: (s.line(6, 27, 23, 9, 2.4, "dark", lo=1, hi=4), s.ellipse(24, 8, 3.5, 3.5, "teal", lo=2, hi=5),
                       [s.dot(24 + dx, 8 + dy, R("white", 5)) for dx, dy in ((0, -5), (5, 0), (-4, -3), (4, 4))])

    def meat(s):
        s.line(20, 12, 28, 4, 3, "bone", lo=2, hi=5)
        s.ellipse(27, 4, 2, 2, "bone", lo=2, hi=5)
        s.ellipse(13, 19, 10, 8.5, "brown", lo=1, hi=5)
        s.ellipse(11, 17, 4, 3, "orange", lo=2, hi=4)
    f[36] = meat

    def rune(s):
        s.poly([(8, 8), (22, 4), (27, 14), (23, 27), (9, 26), (5, 16)], "stone", lo=1, hi=4)
        s.path([(13, 9), (17, 15), (13, 21)], 1.5, "teal", "flat", lo=5, hi=5)
        s.path([(19, 9), (19, 22)], 1.5, "teal", "flat", lo=5, hi=5)
    f[37] = rune

    def orb(s):
        for (x, y) in s.m_ellipse(16, 15, 13, 13):
            if bayer(x, y) < 0.35:
                s.set(x, y, R("purple", 2))
        s.ellipse(16, 15, 9, 9, "purple", lo=1, hi=5)
        s.ellipse(13, 12, 3, 3, "pink", lo=3, hi=5)
        s.rect(9, 24, 14, 4, "gold", lo=1, hi=4)
    f[38] = orb
    f[39] = coins

    # ---- the deeper dungeons' items (item ids 37..60)
    f[40] = lambda s: potion(s, "red", big=True)

    def elixir(s):
        s.poly([(16, 5), (25, 20), (21, 28), (11, 28), (7, 20)], "ice", lo=2, hi=5)
        s.paint({p for p in s.m_poly([(16, 9), (23, 20), (20, 26), (12, 26), (9, 20)]) if p[1] >= 15},
                "gold", "sphere", lo=2, hi=5, center=(15, 20))
        s.rect(14, 2, 4, 5, "gold", lo=1, hi=4)
        for (x, y) in ((13, 19), (19, 22), (16, 24)):
            s.dot(x, y, R("white", 5))
    f[41] = elixir

    def herbs(s):
        for (x1, y1, x2, y2) in ((16, 28, 9, 8), (16, 28, 17, 5), (16, 28, 25, 9)):
            s.line(x1, y1, x2, y2, 1.2, "leaf", "flat", lo=1, hi=1)
        for (x, y, rx, ry) in ((9, 9, 4, 2.5), (17, 6, 2.5, 4), (25, 10, 4, 2.5), (12, 15, 3.5, 2.2), (21, 15, 3.5, 2.2)):
            s.ellipse(x, y, rx, ry, "leaf", lo=1, hi=5)
        s.rect(13, 21, 6, 3, "wood", lo=1, hi=3)
    f[42] = herbs

    def rations(s):
        s.poly([(5, 14), (27, 12), (28, 26), (4, 27)], "cloth", lo=1, hi=4)
        s.ellipse(12, 14, 6, 4, "brown", lo=1, hi=4)
        s.ellipse(21, 13, 5, 4, "sand", lo=2, hi=5)
        s.line(4, 20, 28, 19, 1.4, "wood", "flat", lo=2, hi=2)
        s.poly([(14, 19), (16, 15), (18, 19), (16, 22)], "gold", lo=2, hi=4)
    f[43] = rations
    f[44] = lambda s: potion(s, "purple", big=True)
    f[45] = lambda s: potion(s, "green")
    f[46] = lambda s: potion(s, "ice")

    def scroll_with(s, seal, ink):
        scroll_shape(s)
        for y in (12, 15, 18):
            s.pline(10, y, 21, y, R(ink, 3))
        s.rect(14, 21, 5, 4, seal, lo=2, hi=4)
    f[48] = lambda s: scroll_with(s, "blue", "steel")
    f[49] = lambda s: scroll_with(s, "gold", "gold")

    def candle(s):
        s.ellipse(16, 27, 9, 3, "steel", lo=1, hi=4)
        s.rect(12, 12, 8, 15, "bone", "cyl_v", lo=2, hi=5)
        s.pline(16, 9, 16, 12, R("dark", 1))
        s.poly([(14, 9), (16, 2), (18, 9), (16, 11)], "orange", lo=3, hi=5)
        s.dot(16, 8, R("yellow", 5))
    f[50] = candle

    def oil_lamp(s):
        s.poly([(4, 20), (10, 15), (22, 15), (27, 19), (22, 25), (9, 25)], "dirt", lo=1, hi=4)
        s.poly([(22, 17), (29, 14), (28, 18), (24, 20)], "dirt", lo=1, hi=3)
        s.ellipse(15, 16, 5, 1.5, "gold", "flat", lo=2, hi=2)
        s.paint(s.m_arc(6, 20, 4, 90, 270, 1.6), "dirt", "flat", lo=2, hi=2)
        s.poly([(27, 14), (29, 5), (31, 13)], "orange", lo=3, hi=5)
        s.dot(29, 11, R("yellow", 5))
    f[51] = oil_lamp

    def dwarf_lantern(s):
        s.paint(s.m_arc(16, 6, 4, 180, 360, 1.5), "gold", "flat", lo=3, hi=3)
        s.rect(8, 6, 16, 4, "gold", lo=1, hi=4)
        s.rect(9, 10, 14, 13, "orange", lo=3, hi=5)
        s.ellipse(16, 16, 3, 4, "white", lo=4, hi=5)
        for x in (9, 22):
            s.rect(x, 10, 1.5, 13, "gold", "flat", lo=1, hi=1)
        s.pline(9, 16, 22, 16, R("gold", 2))
        s.rect(7, 23, 18, 5, "steel", lo=1, hi=4)
        s.rect(12, 24.5, 8, 2, "gold", "flat", lo=4, hi=4)
    f[52] = dwarf_lantern

    def sun_crystal(s):
        for a in range(0, 360, 45):
            r = math.radians(a)
            s.pline(16 + 9 * math.cos(r), 16 + 9 * math.sin(r), 16 + 14 * math.cos(r), 16 + 14 * math.sin(r), R("yellow", 4))
        s.poly([(16, 4), (22, 12), (20, 27), (12, 27), (10, 12)], "yellow", lo=2, hi=5, edge=True)
        s.poly([(16, 4), (16, 27), (12, 27), (10, 12)], "gold", "vgrad", lo=3, hi=5)
        s.ellipse(16, 15, 3, 4, "white", lo=4, hi=5)
    f[53] = sun_crystal

    def war_hammer(s):
        s.line(6, 28, 19, 11, 2.4, "wood", lo=1, hi=4)
        s.poly([(14, 9), (21, 3), (28, 10), (21, 16)], "steel", lo=1, hi=5, edge=True)
        s.poly([(14, 9), (10, 7), (13, 12)], "steel", lo=1, hi=4)
        s.line(7, 27, 10, 24, 3.2, "leather", lo=1, hi=3)
    f[54] = war_hammer

    def elven_blade(s):
        pts = [(7, 25)] + [(8 + k * 2.3, 23 - k * 2.3 - 0.05 * k * k) for k in range(1, 10)]
        s.path(pts, 2.4, "ice", lo=2, hi=5)
        s.line(9, 20, 14, 25, 2, "teal", lo=2, hi=5)
        s.line(4, 29, 8, 25, 2.2, "cloth", lo=1, hi=4)
        s.ellipse(3.5, 29.5, 1.6, 1.6, "teal", lo=2, hi=5)
    f[55] = elven_blade

    def dwarf_axe(s):
        s.line(5, 29, 21, 9, 2.6, "wood", lo=0, hi=3)
        s.poly([(17, 6), (21, 2), (29, 3), (31, 12), (28, 19), (21, 13)], "steel", lo=1, hi=5, edge=True)
        s.paint(s.m_arc(22, 10, 9, 300, 420, 1.2), "white", "flat", lo=4, hi=4)
        s.poly([(16, 12), (10, 9), (12, 15)], "steel", lo=1, hi=4)
        s.rect(17, 7, 4, 5, "gold", lo=2, hi=5)
    f[56] = dwarf_axe

    def flame_brand(s):
        sword(s, length=22, width=3, guard="gold", blade="orange")
        for (x, y, h) in ((14, 16, 6), (20, 10, 7), (25, 5, 5)):
            s.poly([(x - 2, y + 2), (x + 1, y - h), (x + 2, y + 1)], "yellow", "flat", lo=5, hi=5)
    f[57] = flame_brand

    def scale_mail(s):
        torso_armour(s, "steel")
        for y in range(10, 28, 3):
            for x in range(9 + (y // 3) % 2 * 2, 24, 4):
                if s.get(x, y) is not None:
                    s.paint(s.m_arc(x, y - 1, 2.2, 10, 170, 0.9), "steel", "flat", lo=1, hi=1)
    f[58] = scale_mail
    f[59] = lambda s: (torso_armour(s, "ice", "rings"), s.dot(16, 14, R("white", 5)), s.dot(12, 18, R("white", 5)))

    def dragon_scale(s):
        torso_armour(s, "red", "plates")
        for y in range(11, 27, 4):
            for x in range(10 + (y // 4) % 2 * 2, 24, 4):
                s.paint(s.m_arc(x, y, 2.2, 0, 180, 1.0), "gold", "flat", lo=3, hi=3)
    f[60] = dragon_scale

    def tower_shield(s):
        s.rect(7, 2, 18, 28, "steel", lo=1, hi=4)
        s.rect(9, 4, 14, 24, "blue", lo=1, hi=4)
        s.rect(14.5, 4, 3, 24, "steel", "flat", lo=4, hi=4)
        s.ellipse(16, 14, 3, 3, "gold", lo=2, hi=5)
    f[61] = tower_shield

    def great_helm(s):
        s.paint({p for p in s.m_ellipse(16, 18, 11, 14) if p[1] < 30}, "steel", "sphere", lo=1, hi=5, center=(12, 10))
        s.rect(7, 13, 18, 2.5, "dark", "flat", lo=0, hi=0)
        for x in range(11, 22, 3):
            s.dot(x, 20, R("dark", 0))
            s.dot(x, 23, R("dark", 0))
        s.rect(14.5, 1, 3, 5, "red", lo=2, hi=4)
    f[62] = great_helm

    def snake_ring(s):
        ring(s, "green")
        s.ellipse(23, 14, 3, 2.4, "green", lo=2, hi=5)
        s.dot(24, 13, R("red", 5))
    f[63] = snake_ring

    def warding_amulet(s):
        s.paint(s.m_arc(16, 10, 9, 200, 340, 1.2), "steel", "flat", lo=4, hi=4)
        s.poly([(16, 12), (23, 19), (16, 29), (9, 19)], "steel", lo=2, hi=5)
        s.ellipse(16, 20, 3.5, 4, "white", lo=2, hi=5)
    f[64] = warding_amulet

    def selection_mark(s):
        # background of marked / equipped cells: a dark blue plate with a gold rim
        s.rect(0, 0, 32, 32, "gold", "pillow", lo=1, hi=4)
        s.rect(2, 2, 28, 28, "cloth", "vgrad", lo=0, hi=2)
        for (x, y) in ((2, 2), (29, 2), (2, 29), (29, 29)):
            s.set(x, y, R("gold", 3))

    sheet = Sheet(8, 9)
    for k, fn in f.items():
        s = Spr()
        fn(s)
        s.outline()
        sheet.put(k, s)
    s = Spr()
    selection_mark(s)
    sheet.put(47, s)
    return sheet


# -------------------------------------------------------------- ability icons


def heart(s, ramp="red", cx=16, cy=16, k=1.0):
    s.ellipse(cx - 5 * k, cy - 3 * k, 6 * k, 6 * k, ramp, lo=1, hi=5)
    s.ellipse(cx + 5 * k, cy - 3 * k, 6 * k, 6 * k, ramp, lo=1, hi=5)
    s.poly([(cx - 10.5 * k, cy - 1 * k), (cx + 10.5 * k, cy - 1 * k), (cx, cy + 12 * k)], ramp, lo=1, hi=4)
    s.dot(cx - 7 * k, cy - 6 * k, R("white", 5))


def star(s, cx, cy, r_out, r_in, n, ramp, lo=2, hi=5, rot=-90):
    pts = []
    for i in range(n * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    s.poly(pts, ramp, lo=lo, hi=hi)


def skull_icon(s, ramp="bone", eyes="dark"):
    s.ellipse(16, 13, 10, 9.5, ramp, lo=1, hi=5)
    s.rect(10, 19, 12, 7, ramp, lo=1, hi=4)
    s.ellipse(12, 14, 2.8, 3, eyes, "flat", lo=0, hi=0)
    s.ellipse(20, 14, 2.8, 3, eyes, "flat", lo=0, hi=0)
    s.poly([(16, 17), (14.5, 20), (17.5, 20)], eyes, "flat", lo=0, hi=0)
    for x in (12, 15, 18):
        s.rect(x, 23, 1, 3, eyes, "flat", lo=0, hi=0)


def build_abilities():
    f = {}
    f[0] = lambda s: heart(s)

    def arm(s):
        s.path([(5, 27), (14, 25), (19, 16)], 7, "skin", lo=1, hi=5)
        s.ellipse(14, 20, 5, 4.5, "skin", lo=1, hi=5)
        s.ellipse(20, 12, 5, 5, "skin", lo=1, hi=5)
        s.pline(17, 10, 21, 9, R("skin", 1))
    f[1] = arm

    def feather(s):
        s.poly([(27, 3), (22, 14), (10, 25), (8, 22), (13, 11)], "white", lo=1, hi=5)
        s.pline(26, 4, 5, 28, R("grey", 1))
        for k in range(4):
            s.pline(12 + k * 4, 20 - k * 4, 16 + k * 4, 22 - k * 4, R("grey", 2))
    f[2] = feather

    def book(s):
        s.rect(6, 5, 20, 23, "red", lo=1, hi=4)
        s.rect(9, 26, 17, 3, "white", "flat", lo=4, hi=4)
        s.rect(6, 5, 3, 23, "red", "flat", lo=0, hi=0)
        s.rect(12, 9, 10, 6, "gold", lo=2, hi=5)
    f[3] = book
    f[4] = lambda s: sword(s, length=20)
    f[5] = lambda s: shield(s, "blue", boss="gold", rim="gold", round_=False)
    f[6] = lambda s: torso_armour(s, "steel", "plates")

    def axe_icon(s):
        s.line(8, 28, 20, 6, 2.4, "wood", lo=1, hi=4)
        s.poly([(16, 5), (26, 3), (29, 13), (21, 16), (18, 11)], "steel", lo=1, hi=5, edge=True)
    f[7] = axe_icon

    def dice(s):
        s.poly([(4, 12), (14, 7), (24, 12), (14, 17)], "white", lo=3, hi=5)
        s.poly([(4, 12), (14, 17), (14, 29), (4, 24)], "white", lo=2, hi=3)
        s.poly([(14, 17), (24, 12), (24, 24), (14, 29)], "white", lo=1, hi=2)
        for (x, y) in ((14, 12), (8, 18), (10, 23), (18, 19), (20, 23), (19, 21)):
            s.dot(x, y, R("red", 2))
    f[8] = dice
    f[9] = lambda s: (star(s, 16, 16, 14, 5, 8, "yellow", 3, 5), star(s, 16, 16, 8, 3.5, 8, "orange", 3, 5, rot=-67))

    def boots_icon(s):
        s.poly([(8, 4), (17, 4), (17, 19), (27, 22), (27, 28), (8, 28)], "leather", lo=1, hi=4)
        s.rect(8, 4, 9, 3, "brown", lo=2, hi=4)
        s.rect(8, 26, 19, 2, "dark", "flat", lo=1, hi=1)
        for y in (10, 14):
            s.pline(9, y, 16, y, R("gold", 4))
    f[10] = boots_icon

    def candle(s):
        for (x, y) in s.m_ellipse(16, 9, 8, 8):
            if bayer(x, y) < 0.3:
                s.set(x, y, R("yellow", 2))
        s.rect(11, 13, 10, 14, "bone", "cyl_v", lo=2, hi=5)
        s.ellipse(16, 28, 10, 2.5, "gold", lo=1, hi=4)
        s.poly([(13, 10), (16, 2), (19, 10), (16, 12)], "orange", lo=3, hi=5)
        s.ellipse(16, 9, 1.2, 2, "white", lo=4, hi=5)
    f[11] = candle

    def mask(s):
        s.poly([(3, 10), (29, 10), (28, 19), (19, 21), (16, 17), (13, 21), (4, 19)], "dark", lo=1, hi=4)
        s.ellipse(10, 14, 3, 2, "white", "flat", lo=5, hi=5)
        s.ellipse(22, 14, 3, 2, "white", "flat", lo=5, hi=5)
        s.dot(10, 14, R("dark", 0))
        s.dot(22, 14, R("dark", 0))
    f[12] = mask

    def dagger(s):
        s.poly([(14, 19), (24, 5), (27, 4), (26, 7), (17, 21)], "steel", lo=2, hi=5)
        s.line(11, 16, 18, 23, 2.5, "gold", lo=2, hi=5)
        s.line(7, 27, 13, 21, 2.5, "leather", lo=1, hi=3)
        s.dot(6, 28, R("red", 3))
    f[13] = dagger

    def eye(s):
        s.poly([(3, 16), (9, 9), (16, 7), (23, 9), (29, 16), (23, 23), (16, 25), (9, 23)], "white", lo=3, hi=5)
        s.ellipse(16, 16, 6.5, 6.5, "teal", lo=1, hi=5)
        s.ellipse(16, 16, 3, 3, "dark", "flat", lo=0, hi=0)
        s.dot(14, 14, R("white", 5))
    f[14] = eye

    def crystal(s, ramp="blue"):
        s.poly([(16, 2), (24, 12), (16, 30), (8, 12)], ramp, lo=1, hi=5, edge=True)
        s.poly([(16, 2), (16, 30), (8, 12)], ramp, "vgrad", lo=2, hi=5)
        s.pline(8, 12, 24, 12, R(ramp, 5))
    f[15] = crystal

    def bubble(s):
        for (x, y) in s.m_ellipse(16, 16, 13, 13):
            if bayer(x, y) < 0.25:
                s.set(x, y, R("ice", 2))
        s.paint(s.m_ring(16, 16, 13, 10.5), "ice", "sphere", lo=2, hi=5, center=(16, 16))
        s.paint(s.m_arc(16, 16, 8, 200, 250, 2), "white", "flat", lo=5, hi=5)
    f[16] = bubble

    def crossed(s):
        sword(s, length=17, x0=6, y0=26)
        t = Spr()
        sword(t, length=17, x0=6, y0=26)
        s.blit(t.flipped(), 0, 0)
    f[17] = crossed

    def wand(s):
        s.line(6, 27, 21, 12, 2.6, "wood", lo=1, hi=4)
        s.line(6, 27, 9, 24, 3, "gold", lo=2, hi=5)
        star(s, 23, 9, 7, 3, 5, "yellow", 3, 5)
    f[18] = wand

    def drop(s, ramp="poison"):
        s.ellipse(16, 20, 8.5, 8.5, ramp, lo=1, hi=5)
        s.poly([(8.5, 18), (16, 3), (23.5, 18)], ramp, lo=2, hi=5)
        s.ellipse(13, 19, 2, 3, "white", lo=4, hi=5)
    f[19] = drop

    def broken_chain(s):
        for (cx, cy, rot) in ((8, 22, 0), (13, 17, 1), (21, 11, 0), (25, 7, 1)):
            s.paint(s.m_ring(cx, cy, 4.2, 2.2, 0.6 if rot else 1.6), "steel", "sphere", lo=1, hi=5, center=(cx - 1, cy - 1))
        for (x, y) in ((16, 12), (17, 15), (14, 11), (18, 13)):
            s.dot(x, y, R("yellow", 5))
    f[20] = broken_chain
    f[21] = lambda s: skull_icon(s, "purple", "dark")
    f[22] = lambda s: (s.rect(12, 4, 8, 24, "green", lo=1, hi=5), s.rect(4, 12, 24, 8, "green", lo=1, hi=5))

    def laurel(s):
        for side in (-1, 1):
            s.paint(s.m_arc(16, 14, 10, 90 + side * 20, 90 + side * 150, 1.5), "leaf", "flat", lo=2, hi=2)
            for k in range(6):
                a = math.radians(90 + side * (30 + k * 22))
                x, y = 16 + 10 * math.cos(a), 14 + 10 * math.sin(a)
                s.ellipse(x + side * 2 * math.sin(a) * 0, y, 2.6, 1.6, "leaf", lo=2, hi=5)
        s.ellipse(16, 26, 2.5, 2, "gold", lo=2, hi=5)
    f[23] = laurel
    spare = ["red", "green", "blue", "yellow", "purple", "teal", "orange", "white"]
    for i, ramp in enumerate(spare):
        if i % 2 == 0:
            f[24 + i] = (lambda r: (lambda s: crystal(s, r)))(ramp)
        else:
            f[24 + i] = (lambda r: (lambda s: (s.ellipse(16, 16, 12, 12, "stone", lo=1, hi=4),
                                               s.path([(11, 9), (16, 14), (21, 9)], 2, r, "flat", lo=5, hi=5),
                                               s.path([(16, 14), (16, 24)], 2, r, "flat", lo=5, hi=5))))(ramp)
    sheet = Sheet(8, 4)
    for k, fn in f.items():
        s = Spr()
        fn(s)
        s.outline()
        sheet.put(k, s)
    return sheet


# ---------------------------------------------------------------- power icons


def plate(s, ramp):
    """The round-cornered backdrop of a power icon."""
    m = s.m_rect(1, 3, 30, 26) | s.m_rect(3, 1, 26, 30) | s.m_ellipse(3, 3, 2, 2) | s.m_ellipse(29, 3, 2, 2) \
        | s.m_ellipse(3, 29, 2, 2) | s.m_ellipse(29, 29, 2, 2)
    s.paint(m, ramp, "vgrad", lo=0, hi=1, dither=0.9)
    for (x, y) in m:
        if any((x + dx, y + dy) not in m for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
            s.set(x, y, R("gold", 3 if x + y < 32 else 1))


def flame(s, cx, cy, h, w=1.0):
    s.poly([(cx - 6 * w, cy), (cx - 5 * w, cy - h * 0.5), (cx - 1 * w, cy - h * 0.6), (cx, cy - h),
            (cx + 4 * w, cy - h * 0.55), (cx + 6 * w, cy - h * 0.3), (cx + 5 * w, cy + 2), (cx, cy + 3)],
           "orange", lo=2, hi=5)
    s.poly([(cx - 3 * w, cy + 1), (cx - 1 * w, cy - h * 0.45), (cx + 2 * w, cy - h * 0.3), (cx + 3 * w, cy + 1)],
           "yellow", "flat", lo=5, hi=5)


def bolt(s, ramp, ramp2):
    s.line(5, 27, 18, 14, 4, ramp, lo=1, hi=3)
    s.ellipse(21, 11, 7, 7, ramp, lo=2, hi=5)
    s.ellipse(21, 11, 3.5, 3.5, ramp2, lo=4, hi=5)


def lightning_shape(s, ramp="yellow", pts=((19, 2), (9, 16), (16, 16), (11, 30), (24, 12), (17, 12), (22, 2))):
    s.poly(list(pts), ramp, lo=3, hi=5, edge=R(ramp, 2))


def build_powers():
    f = {}

    def empty(s):
        m = s.m_rect(2, 2, 28, 28)
        s.paint(m, "stone", "flat", lo=0, hi=0)
        for (x, y) in m:
            if x in (2, 29) or y in (2, 29):
                s.set(x, y, R("stone", 2 if x + y < 31 else 1))
    f[0] = empty

    def fire_bolt(s):
        plate(s, "red")
        bolt(s, "orange", "yellow")
    f[1] = fire_bolt

    def frost_bolt(s):
        plate(s, "blue")
        bolt(s, "ice", "white")
        for (x, y) in ((10, 8), (26, 22), (8, 14)):
            s.dot(x, y, R("white", 5))
    f[2] = frost_bolt

    def lightning(s):
        plate(s, "purple")
        lightning_shape(s)
    f[3] = lightning

    def fire_storm(s):
        plate(s, "red")
        flame(s, 9, 26, 14, 0.8)
        flame(s, 23, 26, 15, 0.8)
        flame(s, 16, 24, 20, 1.0)
    f[4] = fire_storm

    def heal(s):
        plate(s, "green")
        s.rect(13, 5, 6, 22, "white", lo=2, hi=5)
        s.rect(5, 13, 22, 6, "white", lo=2, hi=5)
        heart(s, "red", 16, 16, 0.35)
    f[5] = heal

    def shield_p(s):
        plate(s, "blue")
        s.paint(s.m_ring(16, 16, 12, 9.5), "ice", "sphere", lo=2, hi=5, center=(16, 16))
        shield(s, "blue", boss="gold", rim="gold", round_=False) if False else None
        s.poly([(10, 9), (22, 9), (22, 16), (16, 23), (10, 16)], "ice", lo=2, hi=5)
    f[6] = shield_p

    def rage(s):
        plate(s, "red")
        s.ellipse(16, 17, 9, 9, "red", lo=1, hi=5)
        s.poly([(9, 12), (15, 15), (9, 15)], "yellow", "flat", lo=5, hi=5)
        s.poly([(23, 12), (17, 15), (23, 15)], "yellow", "flat", lo=5, hi=5)
        s.rect(11, 20, 10, 3, "white", "flat", lo=5, hi=5)
        s.pline(11, 21, 20, 21, R("dark", 0))
    f[7] = rage

    def unlock(s):
        plate(s, "brown")
        s.rect(8, 14, 16, 13, "gold", lo=1, hi=5)
        s.paint(s.m_arc(12, 14, 6, 190, 360, 2.5), "steel", "pillow", lo=1, hi=4)
        s.ellipse(16, 19, 2, 2, "dark", "flat", lo=0, hi=0)
        s.rect(15.3, 20, 1.5, 4, "dark", "flat", lo=0, hi=0)
    f[8] = unlock

    def hand(s):
        plate(s, "teal")
        s.rect(9, 15, 14, 12, "skin", lo=1, hi=5)
        for k in range(4):
            s.rect(9 + k * 3.5, 6 + abs(k - 1.5), 3.2, 11, "skin", "cyl_v", lo=1, hi=5)
        s.line(9, 19, 5, 13, 3.4, "skin", lo=1, hi=4)
    f[9] = hand

    def shadow_walk(s):
        plate(s, "dark")
        for k, (x, y) in enumerate(((9, 24), (15, 18), (11, 12), (18, 6))):
            s.ellipse(x, y, 2.6, 3.6, "purple", lo=1 + k, hi=2 + k)
        for (x, y) in s.m_rect(4, 4, 24, 24):
            if bayer(x, y) < 0.1:
                s.set(x, y, R("purple", 1))
    f[10] = shadow_walk

    def drain(s):
        plate(s, "dark")
        heart(s, "red", 12, 14, 0.55)
        s.path([(17, 17), (22, 20), (25, 26)], 2, "purple", "flat", lo=4, hi=4)
        for (x, y) in ((20, 13), (24, 16), (27, 21)):
            s.ellipse(x, y, 1.5, 1.5, "red", lo=3, hi=5)
    f[11] = drain

    def light(s):
        plate(s, "gold")
        star(s, 16, 16, 13, 4, 8, "yellow", 3, 5)
        s.ellipse(16, 16, 5, 5, "white", lo=3, hi=5)
    f[12] = light

    def slow(s):
        plate(s, "teal")
        s.poly([(8, 5), (24, 5), (16, 16)], "sand", lo=2, hi=5)
        s.poly([(8, 27), (24, 27), (16, 16)], "sand", lo=1, hi=3)
        s.rect(7, 3, 18, 2.5, "wood", lo=1, hi=4)
        s.rect(7, 27, 18, 2.5, "wood", lo=1, hi=4)
    f[13] = slow

    def confuse(s):
        plate(s, "purple")
        pts = [(16 + (1 + a / 60) * math.cos(math.radians(a)), 16 + (1 + a / 60) * math.sin(math.radians(a)))
               for a in range(0, 720, 20)]
        s.path(pts, 2, "pink", "flat", lo=4, hi=4)
    f[14] = confuse

    def sleep(s):
        plate(s, "blue")
        s.paint(s.m_ellipse(14, 16, 9, 9) - s.m_ellipse(18, 13, 8, 8), "yellow", "sphere", lo=2, hi=5, center=(12, 14))
        for (x, y, k) in ((20, 18, 4), (24, 10, 3)):
            s.path([(x, y), (x + k, y), (x, y + k), (x + k, y + k)], 1.2, "white", "flat", lo=5, hi=5)
    f[15] = sleep

    def cloud(s):
        plate(s, "green")
        for (x, y, r) in ((11, 18, 6), (20, 17, 6.5), (15, 12, 6), (16, 21, 5)):
            s.ellipse(x, y, r, r * 0.85, "poison", lo=1, hi=5)
        skull_mini = [(14, 15), (18, 15)]
        for (x, y) in skull_mini:
            s.dot(x, y, R("dark", 0))
    f[16] = cloud

    def haste(s):
        plate(s, "gold")
        lightning_shape(s, "yellow", ((14, 3), (7, 16), (13, 16), (9, 29), (22, 13), (16, 13), (20, 3)))
        for y in (8, 14, 20):
            s.pline(21, y, 28, y, R("white", 4))
    f[17] = haste

    def turn_undead(s):
        plate(s, "gold")
        for a in range(0, 360, 30):
            r = math.radians(a)
            s.pline(16 + 8 * math.cos(r), 14 + 8 * math.sin(r), 16 + 13 * math.cos(r), 14 + 13 * math.sin(r), R("yellow", 4))
        s.rect(14, 5, 4, 18, "white", lo=2, hi=5)
        s.rect(9, 9, 14, 4, "white", lo=2, hi=5)
        s.ellipse(16, 25, 4.5, 3.8, "bone", lo=1, hi=5)
        for x in (14, 18):
            s.dot(x, 25, R("dark", 0))
    f[18] = turn_undead

    def throwing_knife(s):
        plate(s, "stone")
        for (x, y) in ((5, 25), (8, 24), (6, 21)):
            s.pline(x, y, x + 5, y - 5, R("white", 3))
        s.line(12, 20, 25, 7, 2.4, "steel", lo=2, hi=5)
        s.poly([(24, 5), (28, 4), (27, 8)], "steel", lo=3, hi=5)
        s.line(8, 24, 12, 20, 2.6, "leather", lo=1, hi=3)
        s.line(10, 18, 14, 22, 1.6, "gold", lo=2, hi=5)
    f[19] = throwing_knife

    def second_wind(s):
        plate(s, "red")
        heart(s, "red", 16, 17, 0.5)
        for (y, x0, ln) in ((7, 4, 14), (12, 18, 10), (25, 6, 12)):
            s.path([(x0, y), (x0 + ln, y), (x0 + ln + 2, y - 2)], 1.3, "white", "flat", lo=4, hi=4)
    f[20] = second_wind

    def keen_senses(s):
        plate(s, "teal")
        s.ellipse(16, 16, 12, 7, "white", lo=3, hi=5)
        s.ellipse(16, 16, 5.5, 5.5, "gold", lo=2, hi=5)
        s.ellipse(16, 16, 2.5, 2.5, "dark", "flat", lo=0, hi=0)
        s.dot(14, 14, R("white", 5))
        for (x, y) in ((4, 6), (28, 6), (4, 26), (28, 26)):
            s.dot(x, y, R("yellow", 5))
    f[21] = keen_senses

    def stone_skin(s):
        plate(s, "stone")
        for (x, y, r) in ((10, 10, 5), (21, 9, 5.5), (9, 21, 5.5), (21, 21, 5), (16, 15, 4.5)):
            s.ellipse(x, y, r, r * 0.85, "rock", lo=1, hi=5)
        s.pline(10, 10, 14, 13, R("rock", 0))
        s.pline(21, 21, 18, 17, R("rock", 0))
    f[22] = stone_skin

    def ice_storm(s):
        plate(s, "blue")
        for (x, y) in ((8, 8), (17, 6), (25, 10), (11, 17), (21, 16), (7, 25), (16, 25), (25, 23)):
            star(s, x, y, 4, 1.2, 6, "ice", 3, 5)
        for (y, x0) in ((12, 3), (20, 14)):
            s.path([(x0, y), (x0 + 13, y), (x0 + 15, y - 2)], 1.2, "white", "flat", lo=5, hi=5)
    f[23] = ice_storm

    def bash(s):
        plate(s, "brown")
        s.rect(6, 5, 14, 23, "wood", lo=1, hi=4)
        for x in (10, 15):
            s.pline(x, 5, x, 27, R("wood", 0))
        s.poly([(20, 5), (26, 13), (22, 15), (27, 22), (20, 28)], "wood", lo=1, hi=3)
        star(s, 22, 15, 7, 2.5, 6, "yellow", 3, 5)
    f[24] = bash

    def smite(s):
        plate(s, "gold")
        s.poly([(24, 3), (28, 5), (10, 27), (6, 27), (7, 23)], "white", lo=3, hi=5)
        s.path([(25, 5), (9, 25)], 1.0, "yellow", "flat", lo=5, hi=5)
        star(s, 8, 25, 6, 2, 8, "yellow", 3, 5)
    f[25] = smite

    sheet = Sheet(8, 4)
    for k, fn in f.items():
        s = Spr()
        fn(s)
        sheet.put(k, s)
    return sheet


# ---------------------------------------------------------------- effects


def burst(s, ramp, seed, r=13, spikes=11):
    rnd = random.Random(seed)
    pts = []
    for i in range(spikes * 2):
        a = math.radians(i * 180 / spikes + rnd.uniform(-6, 6))
        rr = r * (rnd.uniform(0.85, 1.0) if i % 2 == 0 else rnd.uniform(0.45, 0.6))
        pts.append((16 + rr * math.cos(a), 16 + rr * math.sin(a)))
    s.poly(pts, ramp, lo=2, hi=5)


def puff(s, ramp, seed, lo=1, hi=5):
    rnd = random.Random(seed)
    for _ in range(7):
        x, y, r = rnd.uniform(9, 23), rnd.uniform(10, 22), rnd.uniform(4.5, 7)
        s.ellipse(x, y, r, r * 0.85, ramp, lo=lo, hi=hi, dither=1.0)


def build_fx():
    f = {}
    f[0] = lambda s: (star(s, 16, 16, 12, 3, 4, "white", 3, 5), star(s, 16, 16, 7, 2, 4, "ice", 3, 5, rot=-45))
    # hit / red cloud: the damage number is written on its middle, so keep the centre dark red
    f[1] = lambda s: (burst(s, "red", 1), s.ellipse(16, 16, 7, 6, "blood", lo=1, hi=3))
    f[2] = lambda s: (puff(s, "poison", 2), s.ellipse(16, 16, 7, 6, "green", lo=1, hi=3))
    f[3] = lambda s: (puff(s, "ice", 3), s.ellipse(16, 16, 7, 6, "blue", lo=1, hi=3))
    f[4] = lambda s: (burst(s, "yellow", 4, r=15, spikes=8), burst(s, "orange", 5, r=10, spikes=8),
                      s.ellipse(16, 16, 4, 4, "white", lo=4, hi=5))

    def magic_shield(s):
        for (x, y) in s.m_ellipse(16, 16, 14, 14):
            if bayer(x, y) < 0.3:
                s.set(x, y, R("blue", 2))
        s.paint(s.m_ring(16, 16, 14.5, 12), "ice", "sphere", lo=2, hi=5, center=(16, 16))
        s.ellipse(16, 16, 7, 6, "blue", lo=1, hi=3)
    f[5] = magic_shield

    def battle_rage(s):
        flame(s, 16, 27, 25, 1.6)
        s.ellipse(16, 18, 7, 6, "red", lo=1, hi=3)
    f[6] = battle_rage

    def fire_flood(s):
        # drawn in every view cell: flames with gaps so the map shows through
        flame(s, 8, 30, 18, 0.9)
        flame(s, 24, 26, 14, 0.8)
        flame(s, 16, 12, 10, 0.6)
    f[7] = fire_flood

    def wind_flood(s):
        for (y, x0, ln) in ((6, 2, 20), (14, 10, 20), (22, 0, 14), (28, 16, 14)):
            s.path([(x0, y), (x0 + ln, y), (x0 + ln + 3, y - 2), (x0 + ln + 1, y - 4)], 1.4, "white", "flat", lo=4, hi=4)
    f[8] = wind_flood

    def cross_flood(s):
        s.rect(14, 4, 4, 22, "gold", lo=2, hi=5)
        s.rect(8, 9, 16, 4, "gold", lo=2, hi=5)
        for (x, y) in ((4, 26), (27, 5), (26, 26), (5, 6)):
            s.dot(x, y, R("yellow", 5))
    f[9] = cross_flood
    sheet = Sheet(8, 2)
    for k, fn in f.items():
        s = Spr()
        fn(s)
        if k not in (8,):
            s.outline()
        sheet.put(k, s)
    return sheet


def build_missiles():
    def fireball(s, ramp, core):
        for (x, y) in s.m_ellipse(16, 16, 12, 12):
            if bayer(x, y) < 0.25:
                s.set(x, y, R(ramp, 2))
        puff(s, ramp, 9, lo=2, hi=5)
        s.ellipse(16, 16, 5.5, 5.5, core, lo=3, hi=5)
        s.ellipse(15, 15, 2.5, 2.5, "white", lo=4, hi=5)

    def spark(s, ramp):
        rnd = random.Random(ramp)
        for (x, y) in s.m_ellipse(16, 16, 9, 9):
            if bayer(x, y) < 0.3:
                s.set(x, y, R(ramp, 2))
        for k in range(7):
            a = math.radians(k * 360 / 7 + rnd.uniform(-10, 10))
            pts = [(16, 16)]
            for n in range(1, 4):
                r = n * 4.2
                side = (1.6 if n % 2 else -1.6)
                pts.append((16 + r * math.cos(a) - side * math.sin(a), 16 + r * math.sin(a) + side * math.cos(a)))
            s.path(pts, 1.4, ramp, "flat", lo=4, hi=4)
        s.ellipse(16, 16, 5, 5, ramp, lo=3, hi=5)
        s.ellipse(16, 16, 2.5, 2.5, "white", lo=5, hi=5)

    fs = [lambda s: fireball(s, "orange", "yellow"), lambda s: fireball(s, "blue", "ice"),
          lambda s: fireball(s, "poison", "yellow"), lambda s: fireball(s, "purple", "pink"),
          lambda s: spark(s, "yellow"), lambda s: spark(s, "ice")]
    sheet = Sheet(6, 1)
    for k, fn in enumerate(fs):
        s = Spr()
        fn(s)
        s.outline()
        sheet.put(k, s)
    return sheet
