"""Figures: the adventurer (characters.png) and the monsters (monster.png)."""
import math
import random

from pixel import R, Spr, Sheet, darken, mix

# ---------------------------------------------------------------- humanoids


class Body:
    """Proportions and colours of a standing humanoid seen from the front."""

    def __init__(self, skin="skin", torso="green", legs="leather", boots="brown", hair="brown",
                 scale=1.0, width=1.0, head=1.0, eyes=None, top=0):
        self.skin, self.torso, self.legs, self.boots, self.hair = skin, torso, legs, boots, hair
        self.scale, self.width, self.head, self.eyes, self.top = scale, width, head, eyes, top


def humanoid_front(s, b, step=0, back=False, arms_up=False, extra_head=None, weapon=None, cloak=None):
    """Front (or back) view; step 0 stands, 1 / 2 lift the left / right foot."""
    k, w = b.scale, b.width
    cx = 16
    ground = 30.5
    hip = ground - 9 * k
    shoulder = ground - 17.5 * k
    head_cy = shoulder - 4.2 * k * b.head
    head_r = 5.2 * k * b.head
    if cloak and not back:
        s.poly([(cx - 6.5 * w, shoulder), (cx + 6.5 * w, shoulder), (cx + 8.5 * w, ground - 2), (cx - 8.5 * w, ground - 2)],
               cloak, lo=0, hi=2)
    # legs
    for side in (-1, 1):
        lift = 2 if (step == 1 and side == -1) or (step == 2 and side == 1) else 0
        x = cx + side * 2.6 * w - 1.9 * w
        s.rect(x, hip, 3.8 * w, ground - hip - lift, b.legs, "cyl_v", lo=0, hi=3)
        s.rect(x - 0.3, ground - 3.2 * k - lift, 4.4 * w, 3.2 * k, b.boots, lo=0, hi=3)
    # torso
    s.poly([(cx - 6.8 * w, shoulder), (cx + 6.8 * w, shoulder), (cx + 5 * w, hip + 1), (cx - 5 * w, hip + 1)],
           b.torso, lo=1, hi=4)
    s.rect(cx - 5.2 * w, hip - 1.6, 10.4 * w, 2, "leather", "flat", lo=1, hi=1)
    s.rect(cx - 1, hip - 1.8, 2, 2.4, "gold", "flat", lo=4, hi=4)
    if cloak and back:
        s.poly([(cx - 6.8 * w, shoulder - 0.5), (cx + 6.8 * w, shoulder - 0.5), (cx + 7.5 * w, ground - 5.5),
                (cx - 7.5 * w, ground - 5.5)], cloak, lo=1, hi=3)
    # arms
    for side in (-1, 1):
        swing = 0
        if step:
            swing = 1.5 if (step == 1) == (side == 1) else -1.0
        sx = cx + side * 6.4 * w
        if arms_up:
            hx, hy = cx + side * 9 * w, shoulder - 5 * k
        else:
            hx, hy = cx + side * 7.6 * w, shoulder + 8.5 * k + swing
        s.line(sx, shoulder + 1.2, hx, hy, 3.3 * min(1.25, w), b.torso, lo=0, hi=3, edge=True)
        s.ellipse(hx, hy + 0.5, 1.8 * min(1.3, w), 1.8, b.skin, lo=1, hi=4)
    # head
    s.ellipse(cx, head_cy, head_r, head_r * 1.02, b.skin, lo=1, hi=5)
    if b.hair:
        if back:
            s.ellipse(cx, head_cy - 0.5, head_r + 0.3, head_r * 0.98, b.hair, lo=0, hi=4)
        else:
            m = s.m_ellipse(cx, head_cy - 1.3, head_r + 0.4, head_r * 0.85)
            m = {p for p in m if p[1] < head_cy - 0.8 * k or abs(p[0] + 0.5 - cx) > head_r - 1.2}
            s.paint(m, b.hair, "sphere", lo=0, hi=4, center=(cx, head_cy - 2))
    if not back:
        eye = b.eyes or R("dark", 0)
        ey = head_cy + 0.6 * k
        s.dot(cx - 2.3 * k, ey, eye)
        s.dot(cx + 1.6 * k, ey, eye)
    if extra_head:
        extra_head(s, cx, head_cy, head_r)
    if weapon:
        weapon(s, cx + 7.6 * w, shoulder + 8.5 * k)
    return s


def humanoid_side(s, b, step=0, cloak=None, weapon=None):
    """Side view facing right (set s.mirror for the left)."""
    k = b.scale
    cx = 16
    ground = 30.5
    hip = ground - 9 * k
    shoulder = ground - 17.5 * k
    head_cy = shoulder - 4.2 * k
    head_r = 5.2 * k
    if cloak:
        s.poly([(cx - 1, shoulder - 0.5), (cx - 4.5, shoulder + 1), (cx - 7.5 + step * 1.0, ground - 2.5),
                (cx - 1, ground - 3)], cloak, lo=0, hi=3)
    # legs: a stride or feet together
    strides = [(-4.0, 4.0), (-1.0, 1.5)][step]
    for n, dx in enumerate(strides):
        ramp_lo = 0 if n == 0 else 1
        s.line(cx, hip + 1, cx + dx, ground - 2.2, 3.6, b.legs, lo=ramp_lo, hi=3)
        s.rect(cx + dx - 1.5, ground - 3, 4.8, 3, b.boots, lo=ramp_lo, hi=3)
    # torso
    s.poly([(cx - 3.6, shoulder), (cx + 3.8, shoulder), (cx + 3.4, hip + 1), (cx - 3.4, hip + 1)], b.torso, lo=1, hi=4)
    s.rect(cx - 3.4, hip - 1.6, 6.8, 2, "leather", "flat", lo=1, hi=1)
    # head
    s.ellipse(cx + 0.5, head_cy, head_r, head_r * 1.02, b.skin, lo=1, hi=5)
    if b.hair:
        m = s.m_ellipse(cx - 0.3, head_cy - 1.2, head_r + 0.3, head_r * 0.9)
        m = {p for p in m if (p[1] < head_cy - 1.3) or ((p[0] + 0.5 < cx + 0.4) != s.mirror)}
        s.paint(m, b.hair, "sphere", lo=0, hi=4, center=(cx, head_cy - 2))
    s.dot(cx + 3.3, head_cy + 0.3, R("dark", 0))
    s.dot(cx + 5.7, head_cy + 1.5, R(b.skin, 3))
    # arm swinging against the front leg
    hx = cx + (3.5 if step == 0 else -2.5)
    s.line(cx + 0.2, shoulder + 1.5, hx, shoulder + 8, 3.2, b.torso, lo=0, hi=3, edge=True)
    if weapon:
        weapon(s, hx, shoulder + 8.5)
    s.ellipse(hx, shoulder + 8.5, 1.8, 1.8, b.skin, lo=1, hi=4)
    return s


def sword_held(s, x, y):
    s.line(x + 0.5, y - 0.5, x + 0.5, y - 12, 2, "steel", "cyl_v", lo=2, hi=5)
    s.rect(x - 1.5, y - 1.5, 5, 1.6, "gold", "flat", lo=3, hi=3)


def sword_forward(s, x, y):
    s.line(x + 1, y - 1, x + 8, y - 7, 2, "steel", lo=2, hi=5)
    s.line(x - 0.5, y - 2.5, x + 2, y + 0.5, 1.4, "gold", "flat", lo=3, hi=3)


def build_characters():
    """Eight cells: facing up, right, down, left, each with two walking frames."""
    body = Body(torso="green", legs="leather", boots="brown", hair="hair")
    sheet = Sheet(8, 1)
    for facing in range(4):
        for frame in range(2):
            s = Spr()
            if facing == 0:
                humanoid_front(s, body, step=1 + frame, back=True, cloak="cloth")
                # the sword hilt over the shoulder and a pack
                s.rect(12, 13.5, 8, 6, "leather", lo=0, hi=3)
                s.line(21, 9, 21, 15, 2, "steel", lo=2, hi=4)
                s.rect(19.5, 12, 4, 1.5, "gold", "flat", lo=3, hi=3)
            elif facing == 2:
                humanoid_front(s, body, step=1 + frame, cloak="cloth", weapon=sword_held)
            else:
                s.mirror = facing == 3
                humanoid_side(s, body, step=frame, cloak="cloth", weapon=sword_forward)
                s.mirror = False
            s.outline()
            sheet.put(facing * 2 + frame, s)
    return sheet


# ----------------------------------------------------------------- monsters


def m_rat(s):
    s.ellipse(15, 21, 9, 6, "fur", lo=1, hi=4)
    s.ellipse(23, 18, 5, 4.2, "fur", lo=1, hi=4)
    s.ellipse(21.5, 13.5, 2.2, 2.2, "pink", lo=2, hi=4)
    s.ellipse(26.5, 14.5, 2, 2, "pink", lo=2, hi=4)
    s.dot(25, 17, R("red", 4))
    s.dot(28, 19, R("pink", 3))
    s.path([(7, 22), (3, 20), (2, 25), (6, 28)], 1.4, "pink", "flat", lo=2, hi=2)
    for x in (10, 14, 19):
        s.rect(x, 26, 2, 2.5, "pink", "flat", lo=3, hi=3)


def wing(s, x0, y0, span, drop, ramp, mirror=False):
    d = -1 if mirror else 1
    pts = [(x0, y0), (x0 + d * span * 0.5, y0 - drop), (x0 + d * span, y0 - drop * 0.4),
           (x0 + d * span * 0.9, y0 + drop * 0.7), (x0 + d * span * 0.6, y0 + drop * 0.3),
           (x0 + d * span * 0.35, y0 + drop * 0.9), (x0 + d * span * 0.1, y0 + drop * 0.4)]
    s.poly(pts, ramp, lo=0, hi=3)
    for k in (0.5, 0.9):
        s.pline(x0, y0, x0 + d * span * k, y0 - drop * (0.4 if k > 0.7 else 1.0), R(ramp, 0))


def m_bat(s, ramp="dark", eye="yellow"):
    wing(s, 13, 14, 12, 6, ramp, mirror=True)
    wing(s, 19, 14, 12, 6, ramp)
    s.ellipse(16, 16, 4.5, 5.5, ramp, lo=1, hi=4)
    s.poly([(12.5, 12), (13.5, 7), (15, 11)], ramp, lo=1, hi=3)
    s.poly([(19.5, 12), (18.5, 7), (17, 11)], ramp, lo=1, hi=3)
    s.dot(14, 15, R(eye, 5))
    s.dot(18, 15, R(eye, 5))
    s.dot(15, 18, R("white", 5))
    s.dot(17, 18, R("white", 5))


def m_spider(s):
    for side in (-1, 1):
        for n, (a, b) in enumerate(((-8, -6), (-10, -1), (-10, 4), (-8, 9))):
            kx, ky = 16 + side * 7, 17 + b * 0.5
            s.path([(16 + side * 3, 17), (kx + side * 1, ky - 4), (16 + side * (-a + 3), 17 + b + 3)], 1.6, "dark", lo=1, hi=3)
    s.ellipse(16, 21, 7, 7, "dark", lo=1, hi=4)
    s.ellipse(16, 12, 4.5, 4, "dark", lo=1, hi=4)
    for (x, y) in ((14, 20), (18, 20), (16, 23)):
        s.dot(x, y, R("red", 4))
    for (x, y) in ((14, 12), (18, 12), (15, 11), (17, 11)):
        s.dot(x, y, R("red", 5))


def m_snake(s, ramp="green"):
    s.path([(6, 26), (12, 28), (20, 26), (24, 22), (18, 18), (11, 18), (9, 14), (14, 10)], 4.5, ramp, lo=1, hi=4)
    s.ellipse(17, 9, 5, 3.8, ramp, lo=1, hi=5)
    s.dot(17, 8, R("yellow", 5))
    s.dot(19.5, 8, R("yellow", 5))
    s.path([(21, 10), (24, 11), (25, 10)], 1, "red", "flat", lo=4, hi=4)
    for (x, y) in ((10, 26), (16, 27), (21, 23), (15, 18)):
        s.dot(x, y, R(ramp, 5))


def ears(ramp, size=4, up=False):
    def f(s, cx, cy, r):
        for side in (-1, 1):
            tip = (cx + side * (r + size), cy - (size if up else 1.5))
            s.poly([(cx + side * (r - 1.5), cy - 2.5), tip, (cx + side * (r - 1), cy + 1.5)], ramp, lo=1, hi=4)
    return f


def horns(ramp="bone", size=5):
    def f(s, cx, cy, r):
        for side in (-1, 1):
            s.path([(cx + side * (r - 2), cy - r + 1.5), (cx + side * (r + 1), cy - r - 1),
                    (cx + side * (r + 1.5), cy - r - size * 0.8)], 2, ramp, lo=2, hi=5)
    return f


def hood(ramp):
    def f(s, cx, cy, r):
        m = s.m_ellipse(cx, cy - 0.5, r + 1.5, r + 1.6)
        m -= s.m_ellipse(cx, cy + 1.5, r - 1.2, r - 1.5)
        s.paint(m, ramp, "sphere", lo=0, hi=3, center=(cx - 1, cy - 2))
    return f


def helmet(ramp="steel"):
    def f(s, cx, cy, r):
        m = {p for p in s.m_ellipse(cx, cy, r + 0.7, r + 0.7) if p[1] < cy - 0.5}
        s.paint(m, ramp, "sphere", lo=1, hi=5, center=(cx - 1, cy - 3))
        s.rect(cx - 0.5, cy - 1, 1.2, 3, ramp, "flat", lo=2, hi=2)
    return f


def tusks(s, cx, cy, r):
    for side in (-1, 1):
        s.poly([(cx + side * 2.2, cy + r * 0.55), (cx + side * 3.3, cy + r * 0.55), (cx + side * 2.7, cy + r * 0.05)],
               "bone", "flat", lo=5, hi=5)


def both(*fs):
    def f(s, cx, cy, r):
        for g in fs:
            g(s, cx, cy, r)
    return f


def club(s, x, y):
    s.line(x, y + 1, x + 3, y - 11, 3, "wood", lo=0, hi=3)
    s.ellipse(x + 3, y - 11, 2.8, 3.5, "wood", lo=1, hi=4)


def spear(s, x, y):
    s.line(x, y + 6, x, y - 16, 1.5, "wood", "flat", lo=2, hi=2)
    s.poly([(x - 1.5, y - 15), (x + 1.5, y - 15), (x, y - 20)], "steel", lo=2, hi=5)


def axe(s, x, y):
    s.line(x, y + 2, x + 1, y - 12, 1.8, "wood", lo=1, hi=3)
    s.poly([(x + 1, y - 12), (x + 6, y - 15), (x + 6, y - 6), (x + 1, y - 9)], "steel", lo=1, hi=5)


def staff(color):
    def f(s, x, y):
        s.line(x, y + 8, x, y - 16, 1.6, "wood", "flat", lo=2, hi=2)
        s.ellipse(x, y - 17, 2.6, 2.6, color, lo=2, hi=5)
    return f


def blade(s, x, y):
    s.line(x, y, x + 1, y - 11, 1.6, "steel", "flat", lo=4, hi=4)
    s.rect(x - 1, y - 1, 3, 1.2, "steel", "flat", lo=2, hi=2)


def skeleton(s, weapon=None, crown=False, robe=None):
    if robe:
        s.poly([(10, 12), (22, 12), (25, 30), (7, 30)], robe, lo=0, hi=3)
    else:
        for x in (13.5, 18.5):
            s.line(x, 21, x, 29, 1.6, "bone", lo=2, hi=4)
            s.ellipse(x, 29.5, 1.8, 1, "bone", lo=2, hi=4)
        s.ellipse(16, 21, 3.5, 1.8, "bone", lo=2, hi=4)
        s.line(16, 13, 16, 21, 1.6, "bone", lo=2, hi=4)
        for y in (14.5, 16.5, 18.5):
            s.line(12.5, y, 19.5, y, 1.2, "bone", "flat", lo=3, hi=3)
    for side in (-1, 1):
        s.path([(16 + side * 4, 13), (16 + side * 6.5, 18), (16 + side * 7, 22)], 1.5, "bone", lo=2, hi=4)
    s.ellipse(16, 8, 4.6, 4.4, "bone", lo=2, hi=5)
    s.rect(13.5, 10.5, 5, 3, "bone", lo=2, hi=4)
    for x in (14, 18):
        s.ellipse(x, 8.5, 1.3, 1.4, "dark", "flat", lo=0, hi=0)
    s.dot(13.6, 8.2, R("red", 5) if crown else R("dark", 0))
    s.dot(17.6, 8.2, R("red", 5) if crown else R("dark", 0))
    for x in (14.5, 16, 17.5):
        s.dot(x, 12, R("dark", 1))
    if crown:
        s.poly([(11.5, 5), (12.5, 1), (14, 3.5), (16, 0.5), (18, 3.5), (19.5, 1), (20.5, 5)], "gold", lo=2, hi=5)
    if weapon:
        weapon(s, 23, 22)


def m_ghost(s, ramp="ghost", eyes="dark", wavy=True):
    pts = [(7, 30), (7, 12)]
    pts = [(16 + 9 * math.cos(math.radians(a)), 13 + 9.5 * math.sin(math.radians(a))) for a in range(180, 361, 15)]
    pts += [(25, 22), (27, 29), (23, 26), (20, 30), (16, 26), (12, 30), (9, 26), (5, 29), (7, 22)]
    s.poly(pts, ramp, lo=1, hi=5, dither=1.0)
    s.ellipse(12.5, 13, 1.8, 2.4, eyes, "flat", lo=0, hi=0)
    s.ellipse(19.5, 13, 1.8, 2.4, eyes, "flat", lo=0, hi=0)
    s.ellipse(16, 19.5, 2, 2.4, eyes, "flat", lo=0, hi=0)


def m_slug(s):
    s.ellipse(15, 22, 12, 6, "slime", lo=1, hi=5)
    s.ellipse(23, 17, 5.5, 5, "slime", lo=1, hi=5)
    for (x1, x2) in ((21, 20), (25, 27)):
        s.line(x1, 14, x2, 8, 1.3, "slime", "flat", lo=2, hi=2)
        s.ellipse(x2, 8, 1.4, 1.4, "slime", lo=3, hi=5)
    s.path([(4, 27), (12, 29), (24, 28)], 1.2, "slime", "flat", lo=4, hi=4)
    for (x, y) in ((10, 19), (15, 18), (19, 21)):
        s.dot(x, y, R("slime", 5))


def m_wolf(s, ramp="grey", eye="yellow", chest="white"):
    # side view, facing left
    s.path([(25, 15), (29, 20), (30, 26)], 4, ramp, lo=1, hi=4)
    for x, y in ((21, 19), (25, 19)):
        s.line(x, y, x + 0.5, 29, 2.6, ramp, lo=0, hi=2)
    s.ellipse(17, 17, 10, 5.5, ramp, lo=1, hi=4)
    s.ellipse(11, 16, 5, 6, ramp, lo=1, hi=4)
    for x, y in ((8, 20), (12, 20)):
        s.line(x, y, x - 0.5, 29, 2.6, ramp, lo=1, hi=3)
    s.ellipse(7, 11, 4.8, 4.3, ramp, lo=1, hi=5)
    s.poly([(4, 10), (-0.5, 13), (0.5, 15), (5, 15)], ramp, lo=1, hi=4)
    s.poly([(7, 8), (8, 3), (10.5, 8)], ramp, lo=0, hi=3)
    s.dot(5.5, 10, R(eye, 5))
    s.dot(0.5, 13, R("dark", 0))
    s.pline(1, 15, 4, 15, R("white", 5))
    s.ellipse(10, 14, 2.5, 3, chest, lo=2, hi=4)


def m_dragon(s, ramp="red", belly="yellow", eye="yellow"):
    wing(s, 12, 13, 12, 8, ramp, mirror=True)
    wing(s, 20, 13, 12, 8, ramp)
    s.ellipse(16, 20, 7, 7.5, ramp, lo=1, hi=4)
    s.ellipse(16, 21.5, 3.5, 5.5, belly, lo=2, hi=4)
    s.path([(20, 26), (26, 29), (30, 26)], 2.6, ramp, lo=1, hi=3)
    s.ellipse(16, 9, 4.8, 4.5, ramp, lo=1, hi=5)
    s.ellipse(16, 12, 3, 2.4, ramp, lo=2, hi=4)
    horns("bone", 4)(s, 16, 8, 4.5)
    s.dot(14, 8.5, R(eye, 5))
    s.dot(18, 8.5, R(eye, 5))
    s.dot(15, 13, R("dark", 0))
    s.dot(17, 13, R("dark", 0))
    for x in (12, 20):
        s.rect(x - 1.5, 26, 3, 4, ramp, lo=0, hi=3)


def m_golem(s, ramp="stone", eye="ice"):
    s.rect(10, 21, 5, 9, ramp, lo=1, hi=4)
    s.rect(17, 21, 5, 9, ramp, lo=1, hi=4)
    s.rect(7, 10, 18, 13, ramp, lo=1, hi=4)
    s.rect(3, 11, 5, 13, ramp, lo=1, hi=4)
    s.rect(24, 11, 5, 13, ramp, lo=1, hi=4)
    s.rect(11, 3, 10, 8, ramp, lo=1, hi=5)
    s.rect(13, 6, 2, 1.5, eye, "flat", lo=5, hi=5)
    s.rect(17, 6, 2, 1.5, eye, "flat", lo=5, hi=5)
    for pts in (((9, 14), (13, 18)), ((20, 12), (23, 19)), ((11, 24), (13, 27))):
        s.pline(pts[0][0], pts[0][1], pts[1][0], pts[1][1], R(ramp, 0))
    s.ellipse(16, 16, 2, 2, eye, lo=3, hi=5)


def m_imp(s):
    wing(s, 13, 14, 9, 5, "purple", mirror=True)
    wing(s, 19, 14, 9, 5, "purple")
    b = Body(skin="red", torso="red", legs="red", boots="dark", hair=None, scale=0.75, width=0.8, head=1.15,
             eyes=R("yellow", 5))
    humanoid_front(s, b, extra_head=horns("bone", 3))
    s.path([(19, 27), (24, 28), (26, 25)], 1.2, "red", "flat", lo=2, hi=2)
    s.poly([(25, 23), (28, 25), (25, 27)], "red", lo=2, hi=3)
    s.ellipse(22, 19, 2, 2, "orange", lo=3, hi=5)


def m_minotaur(s):
    b = Body(skin="brown", torso="brown", legs="leather", boots="dark", hair=None, scale=1.0, width=1.25,
             head=1.05, eyes=R("red", 5))
    humanoid_front(s, b, extra_head=horns("bone", 5), weapon=axe)
    s.ellipse(16, 12.5, 3, 2, "brown", lo=2, hi=4)
    s.dot(15, 12.5, R("dark", 0))
    s.dot(17, 12.5, R("dark", 0))
    s.rect(14, 14, 4, 1, "gold", "flat", lo=4, hi=4)


def m_lizard(s):
    b = Body(skin="green", torso="leather", legs="green", boots="green", hair=None, width=0.95,
             eyes=R("yellow", 5))
    s.path([(12, 26), (6, 29), (3, 26)], 2.6, "green", lo=1, hi=3)
    humanoid_front(s, b, weapon=spear)
    s.poly([(12, 3), (16, 0.5), (20, 3), (16, 5)], "orange", lo=2, hi=4)


def m_demon(s):
    wing(s, 11, 12, 11, 8, "dark", mirror=True)
    wing(s, 21, 12, 11, 8, "dark")
    b = Body(skin="red", torso="red", legs="red", boots="dark", hair=None, width=1.2, eyes=R("yellow", 5))
    humanoid_front(s, b, extra_head=horns("bone", 5), weapon=staff("orange"))


def m_wraith(s):
    m_ghost(s, ramp="dark", eyes="dark")
    for (x, y) in ((12.5, 13), (19.5, 13)):
        s.dot(x, y, R("teal", 5))
        s.dot(x - 0.8, y, R("teal", 3))
    hood("purple")(s, 16, 12, 7)


# ------------------------------------------------- the deeper bestiary (cells 24..47)


def m_beetle(s):
    for side in (-1, 1):
        for y in (18, 22, 26):
            s.path([(16 + side * 5, y), (16 + side * 9, y - 2), (16 + side * 11, y + 2)], 1.3, "dark", "flat", lo=1, hi=1)
    s.ellipse(16, 22, 7.5, 8, "brown", lo=0, hi=4)
    s.pline(16, 15, 16, 29, R("brown", 0))
    s.ellipse(16, 12, 4, 3.2, "dark", lo=1, hi=3)
    s.path([(16, 10), (17, 6), (19, 4)], 1.5, "bone", lo=2, hi=4)
    s.dot(14, 12, R("red", 4))
    s.dot(18, 12, R("red", 4))
    s.dot(13, 19, R("brown", 5))


def m_centipede(s):
    pts = [(5, 27), (9, 24), (13, 26), (18, 24), (21, 19), (18, 15), (13, 13), (11, 9), (14, 6)]
    for k, (x, y) in enumerate(pts[:-1]):
        s.pline(x - 3, y + 2, x + 3, y - 2, R("orange", 1))
        s.pline(x - 3, y - 2, x + 3, y + 2, R("orange", 1))
    for (x, y) in pts[:-1]:
        s.ellipse(x, y, 2.6, 2.3, "orange", lo=1, hi=4)
    s.ellipse(15, 6, 3, 2.6, "red", lo=1, hi=4)
    s.path([(17, 5), (20, 2)], 0.9, "orange", "flat", lo=3, hi=3)
    s.path([(17, 7), (20, 9)], 0.9, "orange", "flat", lo=3, hi=3)
    s.dot(15.5, 5.5, R("yellow", 5))


def m_myconid(s):
    s.rect(12, 15, 8, 13, "bone", "cyl_v", lo=2, hi=4)
    for side in (-1, 1):
        s.path([(16 + side * 4, 18), (16 + side * 7, 22), (16 + side * 8, 25)], 1.8, "bone", lo=1, hi=4)
    s.rect(11.5, 27, 3.5, 3, "sand", lo=1, hi=3)
    s.rect(17, 27, 3.5, 3, "sand", lo=1, hi=3)
    m = {p for p in s.m_ellipse(16, 13, 12, 9) if p[1] < 15}
    s.paint(m, "red", "sphere", lo=1, hi=5, center=(13, 8))
    for (x, y, r) in ((10, 10, 1.5), (16, 7, 1.8), (21, 10, 1.4), (13, 12.5, 1.1), (19, 13, 1.1)):
        s.ellipse(x, y, r, r, "white", lo=4, hi=5)
    s.dot(14, 18, R("dark", 0))
    s.dot(18, 18, R("dark", 0))
    s.pline(15, 21, 17, 21, R("dark", 1))


def m_bear(s):
    # side view, facing left: a heavy body on thick legs
    for x in (20, 24):
        s.rect(x, 20, 4, 10, "brown", "cyl_v", lo=0, hi=2)
    s.ellipse(18, 17, 11, 7.5, "brown", lo=1, hi=4)
    for x in (7, 11):
        s.rect(x, 20, 4, 10, "brown", "cyl_v", lo=1, hi=3)
    s.ellipse(8, 12, 5.5, 5, "brown", lo=1, hi=5)
    s.ellipse(3.5, 14, 3, 2.4, "sand", lo=1, hi=4)
    s.ellipse(10, 7.5, 1.8, 1.8, "brown", lo=1, hi=4)
    s.dot(1.5, 13, R("dark", 0))
    s.dot(6, 11, R("dark", 0))
    for x in (7.5, 9.5, 11.5):
        s.dot(x, 29.5, R("bone", 5))


def m_scorpion(s):
    for side in (-1, 1):
        for k in range(3):
            s.path([(12 + side * 3, 21 + k * 2.5), (12 + side * 7, 20 + k * 3), (12 + side * 8, 25 + k * 2)], 1.3,
                   "brown", "flat", lo=1, hi=1)
        s.path([(12 + side * 3, 17), (12 + side * 6, 13), (12 + side * 6, 10)], 2, "orange", lo=1, hi=4)
        s.ellipse(12 + side * 6, 7.5, 2.6, 2.2, "orange", lo=1, hi=4)
        s.poly([(12 + side * 6 - 0.8, 6), (12 + side * 6 + 0.8, 6), (12 + side * 6, 8)], "dark", "flat", lo=0, hi=0)
    # the tail curls up over the back to the sting
    s.path([(13, 27), (19, 29), (25, 26), (27, 19), (25, 13), (21, 11)], 2.4, "orange", lo=1, hi=4)
    for (x, y) in ((19, 29), (25, 26), (27, 19)):
        s.dot(x, y - 1, R("orange", 5))
    s.poly([(21.5, 9.5), (17, 12), (21, 13)], "dark", lo=1, hi=3)
    s.ellipse(12, 22, 4.5, 6, "orange", lo=1, hi=4)
    s.ellipse(12, 16.5, 3.2, 2.6, "orange", lo=1, hi=4)
    s.dot(11, 16, R("dark", 0))
    s.dot(13, 16, R("dark", 0))


def bird_legs(s, cx=16):
    for side in (-1, 1):
        x = cx + side * 2.5
        s.line(x, 23, x, 29, 1.3, "gold", "flat", lo=2, hi=2)
        s.path([(x - 2, 30), (x, 29), (x + 2, 30)], 1, "gold", "flat", lo=3, hi=3)


def m_harpy(s):
    wing(s, 12, 14, 11, 7, "brown", mirror=True)
    wing(s, 20, 14, 11, 7, "brown")
    bird_legs(s)
    s.poly([(11, 13), (21, 13), (19, 24), (13, 24)], "brown", lo=1, hi=4)
    s.ellipse(16, 15, 3.5, 2.5, "skin", lo=2, hi=4)
    s.ellipse(16, 8, 4.2, 4.4, "skin", lo=1, hi=5)
    m = {p for p in s.m_ellipse(16, 7, 5.5, 5.5) if p[1] < 6 or abs(p[0] + 0.5 - 16) > 3.2}
    s.paint(m, "hair", "sphere", lo=0, hi=4, center=(15, 4))
    s.dot(14.3, 8.5, R("yellow", 5))
    s.dot(17.7, 8.5, R("yellow", 5))
    s.poly([(15, 10.5), (17, 10.5), (16, 12.5)], "dark", "flat", lo=0, hi=0)


def weeds(s, pts):
    for (x, y) in pts:
        s.path([(x, y), (x + 1, y + 3), (x - 0.5, y + 6)], 1, "leaf", "flat", lo=3, hi=3)


def trident(s, x, y):
    s.line(x, y + 7, x, y - 14, 1.4, "gold", "flat", lo=2, hi=2)
    s.rect(x - 3, y - 15, 7, 1.3, "gold", "flat", lo=3, hi=3)
    for dx in (-3, 0, 3):
        s.poly([(x + dx - 0.8, y - 15), (x + dx + 0.8, y - 15), (x + dx, y - 19)], "gold", lo=3, hi=5)


def m_drowned(s):
    b = Body(skin="teal", torso="water", legs="cloth", boots="dark", hair="leaf", eyes=R("white", 5))
    humanoid_front(s, b, arms_up=True)
    weeds(s, ((12, 5), (19, 4), (11, 16), (20, 18)))
    for (x, y) in ((9, 26), (23, 27), (15, 30)):
        s.dot(x, y, R("water", 5))


def m_leech(s):
    s.path([(5, 26), (10, 28), (18, 26), (22, 20), (20, 13)], 7, "blood", lo=1, hi=4)
    for y in (14, 18, 22):
        s.pline(17, y, 24, y + 1, R("blood", 1))
    s.ellipse(20, 11, 4.5, 4, "blood", lo=1, hi=4)
    s.ellipse(20, 9.5, 2.5, 2, "dark", "flat", lo=0, hi=0)
    for a in range(0, 360, 60):
        s.dot(20 + 2.3 * math.cos(math.radians(a)), 9.5 + 1.8 * math.sin(math.radians(a)), R("bone", 5))
    for (x, y) in ((9, 25), (14, 26), (19, 23)):
        s.dot(x, y, R("blood", 5))


def m_ghoul(s):
    b = Body(skin="grey", torso="cloth", legs="grey", boots="grey", hair=None, scale=0.95, width=0.85,
             eyes=R("yellow", 5))
    humanoid_front(s, b, arms_up=True)
    for side in (-1, 1):
        hx, hy = 16 + side * 9 * 0.85, 11.5 - 4.5
        for k in (-1, 0, 1):
            s.pline(hx + k, hy - 1, hx + k * 1.5, hy - 3, R("bone", 5))
    s.rect(14, 12, 4, 1.2, "dark", "flat", lo=0, hi=0)
    for x in (14.5, 16, 17.5):
        s.dot(x, 12.7, R("bone", 5))


def m_crocodile(s):
    s.path([(31, 24), (26, 22), (20, 21)], 3.5, "green", lo=1, hi=3)
    for x in (9, 21):
        s.rect(x, 22, 3.5, 6, "green", lo=0, hi=2)
    s.ellipse(16, 20, 10, 4.5, "green", lo=1, hi=4)
    for x in (12, 16, 20):
        s.poly([(x - 1.5, 16), (x, 14), (x + 1.5, 16)], "green", lo=3, hi=4)
    for x in (6, 18):
        s.rect(x, 23, 3.5, 6, "green", lo=1, hi=3)
    s.poly([(7, 17), (0.5, 18.5), (0.5, 21), (7, 22)], "green", lo=1, hi=4)
    s.pline(1, 20, 7, 20, R("dark", 0))
    for x in (2, 4, 6):
        s.dot(x, 19.3, R("white", 5))
        s.dot(x + 1, 20.7, R("white", 5))
    s.ellipse(7, 15.5, 1.8, 1.5, "green", lo=2, hi=4)
    s.dot(7, 15.3, R("yellow", 5))


def m_grave_knight(s):
    b = Body(skin="bone", torso="steel", legs="steel", boots="dark", hair=None, width=1.1, eyes=R("teal", 5))
    humanoid_front(s, b, extra_head=helmet("steel"), weapon=blade, cloak="dark")
    s.rect(7, 15, 5, 7, "blood", lo=1, hi=3)
    s.pline(9.5, 16, 9.5, 21, R("gold", 4))
    s.pline(7.5, 18, 11.5, 18, R("gold", 4))


def m_banshee(s):
    m_ghost(s, ramp="white", eyes="dark")
    m = {p for p in s.m_ellipse(16, 12, 10, 10) if p[1] < 12 and (abs(p[0] + 0.5 - 16) > 6 or p[1] < 6)}
    s.paint(m, "ghost", "sphere", lo=2, hi=5, center=(13, 5))
    for side in (-1, 1):
        s.path([(16 + side * 9, 10), (16 + side * 10, 18), (16 + side * 9, 25)], 1.8, "ghost", lo=2, hi=5)
    s.ellipse(16, 19.5, 2.2, 3.2, "dark", "flat", lo=0, hi=0)


def m_water_elemental(s):
    s.poly([(6, 30), (9, 20), (8, 11), (13, 4), (20, 3), (25, 9), (23, 19), (27, 30)], "water", lo=1, hi=5, dither=1.0)
    for (cx, cy, r) in ((16, 12, 5), (15, 22, 5.5)):
        s.fill(s.m_arc(cx, cy, r, 200, 480, 1.2), R("ice", 5))
    s.ellipse(13, 10, 1.6, 1.6, "white", lo=5, hi=5)
    s.ellipse(19, 10, 1.6, 1.6, "white", lo=5, hi=5)
    for (x, y) in ((7, 28), (12, 30), (21, 30), (26, 28)):
        s.ellipse(x, y, 1.5, 1.2, "ice", lo=3, hi=5)


def m_mummy(s):
    b = Body(skin="sand", torso="sand", legs="sand", boots="sand", hair=None, width=1.0, eyes=R("red", 5))
    humanoid_front(s, b, arms_up=True)
    for y in (4.5, 7.5, 15, 18, 21, 24, 27):
        s.pline(9 if y > 12 else 12, y, 23 if y > 12 else 20, y + 1.2, R("sand", 1))
    s.path([(20, 19), (24, 23), (23, 28)], 1.2, "sand", "flat", lo=4, hi=4)


def m_sea_serpent(s):
    for (x, y) in ((4, 28), (12, 29), (22, 29), (28, 27)):
        s.path([(x - 3, y), (x, y - 1.5), (x + 3, y)], 1.2, "ice", "flat", lo=4, hi=4)
    m_snake(s, ramp="blue")
    s.poly([(9, 14), (6, 8), (12, 10)], "teal", lo=2, hi=4)
    s.poly([(20, 22), (26, 18), (24, 24)], "teal", lo=2, hi=4)
    s.poly([(14, 5), (17, 1), (20, 5)], "teal", lo=2, hi=4)


def m_hellhound(s):
    for (x, y, h) in ((25, 12, 5), (21, 11, 4), (17, 11, 3)):
        s.poly([(x - 2, y + 2), (x, y - h), (x + 2, y + 2)], "lava", lo=2, hi=5)
    m_wolf(s, ramp="blood", eye="yellow", chest="lava")
    for (x, y) in ((1, 17), (3, 18.5)):
        s.ellipse(x, y, 1.4, 1.1, "lava", lo=3, hi=5)


def m_shade(s):
    m_ghost(s, ramp="purple", eyes="dark")
    for (x, y) in ((12.5, 13), (19.5, 13)):
        s.dot(x, y, R("teal", 5))
    hood("dark")(s, 16, 12, 7)
    for (x, y) in ((6, 20), (25, 18), (9, 29), (24, 29)):
        s.dot(x, y, R("purple", 5))


def m_umbrax(s):
    wing(s, 13, 13, 14, 10, "purple", mirror=True)
    wing(s, 19, 13, 14, 10, "purple")
    m_dragon(s, ramp="dark", belly="purple", eye="teal")
    crown(s, 16, 5.2)
    for (x, y) in ((3, 22), (29, 22), (6, 4), (26, 4)):
        s.dot(x, y, R("teal", 5))


def crown(s, cx, y):
    s.poly([(cx - 4.5, y), (cx - 3.5, y - 4), (cx - 2, y - 1.5), (cx, y - 4.5), (cx + 2, y - 1.5), (cx + 3.5, y - 4),
            (cx + 4.5, y)], "gold", lo=2, hi=5)
    s.dot(cx, y - 1.5, R("red", 5))


def m_troll_king(s):
    b = Body(skin="teal", torso="fur", legs="teal", boots="dark", hair="dark", width=1.45, eyes=R("red", 5))
    humanoid_front(s, b, extra_head=both(tusks, lambda s, cx, cy, r: crown(s, cx, cy - r + 0.5)), weapon=club,
                   cloak="blood")


def m_drowned_king(s):
    weeds(s, ((8, 14), (23, 13)))
    skeleton(s, weapon=trident, crown=True, robe="teal")
    weeds(s, ((12, 3), (20, 4)))
    for (x, y) in ((8, 29), (24, 29)):
        s.ellipse(x, y, 2, 1, "water", lo=3, hi=5)


def build_monsters():
    H = humanoid_front
    cells = {
        0: m_rat,
        1: m_bat,
        2: m_spider,
        3: lambda s: H(s, Body(skin="orange", torso="leather", legs="brown", boots="dark", hair=None, scale=0.8,
                                head=1.15, eyes=R("yellow", 5)), extra_head=both(ears("orange", 3), horns("bone", 2)),
                        weapon=spear),
        4: m_snake,
        5: lambda s: H(s, Body(skin="leaf", torso="brown", legs="leather", boots="dark", hair=None, scale=0.85,
                                head=1.1, eyes=R("red", 5)), extra_head=ears("leaf", 4, up=True), weapon=blade),
        6: m_wolf,
        7: lambda s: skeleton(s, weapon=blade),
        8: lambda s: H(s, Body(skin="slime", torso="cloth", legs="grey", boots="dark", hair="dark",
                                eyes=R("red", 4)), arms_up=True),
        9: lambda s: H(s, Body(skin="green", torso="steel", legs="leather", boots="dark", hair=None, width=1.15,
                                eyes=R("red", 5)), extra_head=both(helmet("steel"), tusks), weapon=axe),
        10: m_slug,
        11: lambda s: m_ghost(s),
        12: lambda s: H(s, Body(skin="teal", torso="leather", legs="teal", boots="teal", hair="dark", width=1.3,
                                 scale=1.0, eyes=R("yellow", 5)), extra_head=tusks, weapon=club),
        13: m_imp,
        14: lambda s: H(s, Body(skin="sand", torso="leather", legs="brown", boots="dark", hair=None, width=1.4,
                                 eyes=R("dark", 0)), weapon=club),
        15: m_wraith,
        16: m_lizard,
        17: lambda s: H(s, Body(skin="skin", torso="purple", legs="purple", boots="dark", hair=None,
                                 eyes=R("purple", 5)), extra_head=hood("purple"), weapon=staff("purple")),
        18: m_minotaur,
        19: lambda s: m_bat(s, ramp="red", eye="yellow"),
        20: m_golem,
        21: m_demon,
        22: lambda s: skeleton(s, weapon=staff("teal"), crown=True, robe="purple"),
        23: m_dragon,
        24: m_beetle,
        25: m_centipede,
        26: m_myconid,
        27: m_bear,
        28: lambda s: H(s, Body(skin="orange", torso="steel", legs="leather", boots="dark", hair="dark", width=1.1,
                                 eyes=R("yellow", 5)), extra_head=both(ears("orange", 3), tusks), weapon=axe),
        29: m_scorpion,
        30: m_harpy,
        31: m_drowned,
        32: m_leech,
        33: m_ghoul,
        34: m_crocodile,
        35: m_grave_knight,
        36: m_banshee,
        37: m_water_elemental,
        38: m_mummy,
        39: m_sea_serpent,
        40: m_hellhound,
        41: m_shade,
        42: lambda s: m_golem(s, ramp="steel", eye="orange"),
        43: lambda s: m_dragon(s, ramp="purple", belly="dark", eye="teal"),
        44: lambda s: (H(s, Body(skin="blood", torso="blood", legs="dark", boots="dark", hair=None, width=1.35,
                                  scale=1.05, eyes=R("yellow", 5)), extra_head=horns("dark", 6), weapon=staff("lava")),
                       wing(s, 10, 11, 10, 7, "blood", mirror=True), wing(s, 22, 11, 10, 7, "blood")),
        45: m_troll_king,
        46: m_drowned_king,
        47: m_umbrax,
    }
    sheet = Sheet(8, 6)
    for k, f in cells.items():
        s = Spr()
        f(s)
        s.outline()
        sheet.put(k, s)
    return sheet
