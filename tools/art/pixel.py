"""Small pixel-art drawing toolkit: PNG writing, a shared palette of colour
ramps, filled shapes with automatic shading (light from the top left),
ordered dithering, outlines and tileable noise.

Pictures are drawn into Spr objects. A pixel is None (see-through, written
as pure black) or an (r, g, b) tuple. Drawn colours never are pure black,
because the game treats RGB(0, 0, 0) as the transparent colour.
"""
import colorsys
import math
import random
import struct
import zlib

# ---------------------------------------------------------------- PNG output


def write_png(path, width, height, rows):
    """rows: list of lists of (r, g, b) tuples. Writes an 8-bit RGB PNG."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for (r, g, b) in row:
            raw += bytes((r, g, b))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def read_png(path):
    """Reads back an 8-bit RGB or RGBA PNG written by write_png (for checks)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        tag = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and ctype in (2, 6)
            bpp = 3 if ctype == 2 else 4
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    rows, stride, prev = [], w * bpp, bytearray(w * bpp)
    for y in range(h):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(w)])
        prev = line
    return w, h, rows


# ------------------------------------------------------------------- palette


def _ramp(h, s, v_lo, v_hi, n=6, shift=0.06, sat_top=0.55):
    """A colour ramp from dark to light; shadows lean towards blue/purple,
    highlights towards yellow, the lightest colours lose saturation."""
    out = []
    for i in range(n):
        t = i / (n - 1)
        hue = h
        # shift darks towards 0.7 (blue-violet) and lights towards 0.15 (yellow)
        toward_dark = 0.7 - h
        if toward_dark > 0.5:
            toward_dark -= 1
        if toward_dark < -0.5:
            toward_dark += 1
        toward_light = 0.15 - h
        if toward_light > 0.5:
            toward_light -= 1
        if toward_light < -0.5:
            toward_light += 1
        hue += toward_dark * shift * (1 - t) * 1.6 + toward_light * shift * t
        hue %= 1.0
        sat = s * (1 - (1 - sat_top) * t * t) * (0.85 + 0.3 * math.sin(t * math.pi) * 0.5)
        val = v_lo + (v_hi - v_lo) * (t ** 0.9)
        r, g, b = colorsys.hsv_to_rgb(hue, min(1, sat), min(1, val))
        out.append((max(1, round(r * 255)), max(1, round(g * 255)), max(1, round(b * 255))))
    return out


RAMPS = {
    "skin": _ramp(0.07, 0.55, 0.30, 1.00, shift=0.04),
    "red": _ramp(0.99, 0.85, 0.22, 1.00),
    "blood": _ramp(0.99, 0.9, 0.18, 0.80, shift=0.02),
    "orange": _ramp(0.07, 0.9, 0.30, 1.00),
    "yellow": _ramp(0.14, 0.85, 0.35, 1.00, shift=0.08),
    "gold": _ramp(0.12, 0.85, 0.25, 1.00, shift=0.07),
    "green": _ramp(0.30, 0.75, 0.16, 0.90),
    "leaf": _ramp(0.25, 0.70, 0.14, 0.80),
    "poison": _ramp(0.24, 0.85, 0.22, 1.00, shift=0.03),
    "teal": _ramp(0.47, 0.70, 0.18, 0.95),
    "blue": _ramp(0.60, 0.75, 0.22, 1.00, shift=0.03),
    "ice": _ramp(0.55, 0.45, 0.35, 1.00, shift=0.03),
    "purple": _ramp(0.78, 0.65, 0.20, 0.95),
    "pink": _ramp(0.90, 0.55, 0.35, 1.00),
    "brown": _ramp(0.07, 0.60, 0.16, 0.78, shift=0.05),
    "wood": _ramp(0.08, 0.55, 0.20, 0.85, shift=0.05),
    "leather": _ramp(0.06, 0.55, 0.18, 0.70, shift=0.04),
    "stone": _ramp(0.62, 0.12, 0.16, 0.80, shift=0.02, sat_top=0.9),
    "rock": _ramp(0.08, 0.12, 0.12, 0.62, shift=0.02, sat_top=0.9),
    "steel": _ramp(0.58, 0.14, 0.22, 1.00, shift=0.02),
    "bone": _ramp(0.11, 0.22, 0.32, 1.00, shift=0.05),
    "dark": _ramp(0.70, 0.25, 0.06, 0.40, shift=0.02),
    "cloth": _ramp(0.62, 0.55, 0.16, 0.80),
    "sand": _ramp(0.11, 0.40, 0.35, 0.95, shift=0.05),
    "dirt": _ramp(0.08, 0.45, 0.15, 0.62, shift=0.05),
    "lava": _ramp(0.04, 0.95, 0.40, 1.00, shift=0.10, sat_top=0.3),
    "water": _ramp(0.57, 0.75, 0.18, 0.90, shift=0.02),
    "slime": _ramp(0.20, 0.60, 0.20, 0.90),
    "ghost": _ramp(0.52, 0.25, 0.35, 1.00, shift=0.03),
    "white": _ramp(0.60, 0.08, 0.45, 1.00, shift=0.02),
    "fur": _ramp(0.06, 0.30, 0.18, 0.75, shift=0.04),
    "hair": _ramp(0.08, 0.65, 0.10, 0.55, shift=0.04),
    "grey": _ramp(0.65, 0.06, 0.20, 0.85, shift=0.01),
}

OUTLINE = (20, 14, 26)
NEAR_BLACK = (1, 1, 1)


def R(name, i):
    """Colour i (0 dark .. 5 light) of a ramp."""
    return RAMPS[name][max(0, min(5, i))]


def darken(c, f=0.45):
    return (max(1, int(c[0] * f)), max(1, int(c[1] * f)), max(1, int(c[2] * f + 6)))


def mix(a, b, t):
    return tuple(max(1, int(round(a[i] + (b[i] - a[i]) * t))) for i in range(3))


# Ordered dithering
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def bayer(x, y):
    return (BAYER4[y & 3][x & 3] + 0.5) / 16.0


# ---------------------------------------------------------------------- noise


class Noise:
    """Value noise on a lattice that wraps around a period (tileable)."""

    def __init__(self, seed, cells=4, period=32):
        rnd = random.Random(seed)
        self.cells, self.period = cells, period
        self.v = [[rnd.random() for _ in range(cells)] for _ in range(cells)]

    def __call__(self, x, y):
        c, p = self.cells, self.period
        fx, fy = (x % p) / p * c, (y % p) / p * c
        x0, y0 = int(fx), int(fy)
        tx, ty = fx - x0, fy - y0
        tx, ty = tx * tx * (3 - 2 * tx), ty * ty * (3 - 2 * ty)
        v = self.v
        a = v[y0 % c][x0 % c] * (1 - tx) + v[y0 % c][(x0 + 1) % c] * tx
        b = v[(y0 + 1) % c][x0 % c] * (1 - tx) + v[(y0 + 1) % c][(x0 + 1) % c] * tx
        return a * (1 - ty) + b * ty


def fractal(seed, period=32, octaves=(4, 8, 16), weights=(0.55, 0.3, 0.15)):
    ns = [Noise(seed * 31 + i, c, period) for i, c in enumerate(octaves)]

    def f(x, y):
        return sum(w * n(x, y) for n, w in zip(ns, weights))

    return f


# -------------------------------------------------------------------- drawing

LIGHT = (-0.55, -0.65, 0.85)
_ln = math.sqrt(sum(c * c for c in LIGHT))
LIGHT = tuple(c / _ln for c in LIGHT)


class Spr:
    """A picture being drawn. Geometry is in continuous pixel coordinates
    (pixel (i, j) covers [i, i+1) x [j, j+1)). With mirror set, every shape
    is flipped left-right while the light keeps coming from the top left."""

    def __init__(self, w=32, h=32, fill=None):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]
        self.mirror = False
        self.ox = self.oy = 0.0  # offset added to every shape

    # -- basic pixel access
    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return None

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def dot(self, x, y, c):
        """One pixel at geometry coordinates (mirrored when mirror is set)."""
        x, y = int(math.floor(x + self.ox)), int(math.floor(y + self.oy))
        if self.mirror:
            x = self.w - 1 - x
        self.set(x, y, c)

    def blit(self, other, x, y, transparent=True):
        for j in range(other.h):
            for i in range(other.w):
                c = other.px[j][i]
                if c is not None or not transparent:
                    self.set(x + i, y + j, c)

    def copy(self):
        s = Spr(self.w, self.h)
        s.px = [row[:] for row in self.px]
        return s

    def flipped(self):
        s = Spr(self.w, self.h)
        s.px = [row[::-1] for row in self.px]
        return s

    # -- masks
    def _mask(self, inside, bbox):
        x0, y0, x1, y1 = bbox
        x0, y0 = x0 + self.ox, y0 + self.oy
        x1, y1 = x1 + self.ox, y1 + self.oy
        pts = set()
        for j in range(max(0, int(math.floor(y0)) - 1), min(self.h, int(math.ceil(y1)) + 1)):
            for i in range(max(0, int(math.floor(x0)) - 1), min(self.w, int(math.ceil(x1)) + 1)):
                if inside(i + 0.5 - self.ox, j + 0.5 - self.oy):
                    pts.add((self.w - 1 - i if self.mirror else i, j))
        return pts

    def m_ellipse(self, cx, cy, rx, ry):
        return self._mask(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                          (cx - rx, cy - ry, cx + rx, cy + ry))

    def m_rect(self, x, y, w, h):
        return self._mask(lambda px, py: x <= px < x + w and y <= py < y + h, (x, y, x + w, y + h))

    def m_poly(self, pts):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]

        def inside(x, y):
            n, c = len(pts), False
            for k in range(n):
                (ax, ay), (bx, by) = pts[k], pts[(k + 1) % n]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    c = not c
            return c

        return self._mask(inside, (min(xs), min(ys), max(xs), max(ys)))

    def m_line(self, x1, y1, x2, y2, width):
        r = width / 2.0

        def inside(x, y):
            dx, dy = x2 - x1, y2 - y1
            ll = dx * dx + dy * dy
            t = 0 if ll == 0 else max(0, min(1, ((x - x1) * dx + (y - y1) * dy) / ll))
            qx, qy = x1 + t * dx - x, y1 + t * dy - y
            return qx * qx + qy * qy <= r * r

        return self._mask(inside, (min(x1, x2) - r, min(y1, y2) - r, max(x1, x2) + r, max(y1, y2) + r))

    def m_path(self, pts, width):
        m = set()
        for a, b in zip(pts, pts[1:]):
            m |= self.m_line(a[0], a[1], b[0], b[1], width)
        return m

    def m_ring(self, cx, cy, r_out, r_in, ry_scale=1.0):
        return self._mask(lambda x, y: r_in ** 2 < (x - cx) ** 2 + ((y - cy) / ry_scale) ** 2 <= r_out ** 2,
                          (cx - r_out, cy - r_out * ry_scale, cx + r_out, cy + r_out * ry_scale))

    def m_arc(self, cx, cy, r, a0, a1, width):
        """Thick arc from angle a0 to a1 (degrees, 0 = right, 90 = down)."""
        pts, n = [], max(4, int(abs(a1 - a0) / 10))
        for k in range(n + 1):
            a = math.radians(a0 + (a1 - a0) * k / n)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        return self.m_path(pts, width)

    # -- painting
    def paint(self, mask, ramp, shade="pillow", lo=0, hi=5, bias=0.0, dither=0.6, depth=3.0,
              center=None, edge=False, ramp_colors=None):
        """Fill a mask with shades of a ramp.

        shade: 'pillow' (rounded edges found from the mask), 'sphere' (ball
        around center), 'flat' (one colour, lo+hi/2 + bias), 'vgrad' / 'hgrad'
        (top->bottom / left->right gradient), 'cyl_v' / 'cyl_h' (cylinders).
        edge: draw the mask's boundary in the ramp's darkest shade."""
        if not mask:
            return
        cols = ramp_colors or RAMPS[ramp]
        xs = [p[0] for p in mask]
        ys = [p[1] for p in mask]
        bx0, bx1, by0, by1 = min(xs), max(xs), min(ys), max(ys)
        cx = (bx0 + bx1 + 1) / 2.0 if center is None else center[0]
        cy = (by0 + by1 + 1) / 2.0 if center is None else center[1]
        if center is not None and self.mirror:
            cx = self.w - cx
        rw, rh = max(1.0, (bx1 - bx0 + 1) / 2.0), max(1.0, (by1 - by0 + 1) / 2.0)
        dist = _distance(mask) if shade == "pillow" else None
        for (x, y) in mask:
            px, py = x + 0.5, y + 0.5
            if shade == "flat":
                inten = 0.5
            elif shade == "sphere":
                u, v = (px - cx) / rw, (py - cy) / rh
                d2 = u * u + v * v
                z = math.sqrt(max(0.0, 1 - min(1.0, d2)))
                inten = max(0.0, u * LIGHT[0] + v * LIGHT[1] + z * LIGHT[2])
                inten = 0.1 + 0.95 * inten
            elif shade == "vgrad":
                inten = 1.0 - (py - by0) / (by1 - by0 + 1)
            elif shade == "hgrad":
                inten = 1.0 - (px - bx0) / (bx1 - bx0 + 1)
            elif shade == "cyl_v":
                u = (px - cx) / rw
                z = math.sqrt(max(0.0, 1 - min(1.0, u * u)))
                inten = 0.1 + 0.95 * max(0.0, u * LIGHT[0] + z * LIGHT[2] * 0.9 + 0.15)
            elif shade == "cyl_h":
                v = (py - cy) / rh
                z = math.sqrt(max(0.0, 1 - min(1.0, v * v)))
                inten = 0.1 + 0.95 * max(0.0, v * LIGHT[1] + z * LIGHT[2] * 0.9 + 0.15)
            else:  # pillow
                nx = _d(dist, x - 1, y, depth) - _d(dist, x + 1, y, depth)
                ny = _d(dist, x, y - 1, depth) - _d(dist, x, y + 1, depth)
                nx, ny = -nx / (2 * depth) * 1.8, -ny / (2 * depth) * 1.8
                nz = 1.0
                ln = math.sqrt(nx * nx + ny * ny + nz * nz)
                inten = (nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2]) / ln
                # a little overall volume: lighter to the top left of the shape
                inten += -0.18 * (px - cx) / rw - 0.22 * (py - cy) / rh
                inten = 0.05 + 0.9 * max(0.0, min(1.2, inten)) * 0.95 + 0.0
                inten = (inten - 0.3) / 0.7 * 0.85 + 0.15
            inten = max(0.0, min(1.0, inten + bias))
            f = lo + inten * (hi - lo)
            if dither:
                f += (bayer(x, y) - 0.5) * dither
            k = int(math.floor(f + 0.5))
            self.px[y][x] = cols[max(lo, min(hi, k))]
        if edge:
            dark = cols[0] if edge is True else edge
            for (x, y) in mask:
                if any((x + dx, y + dy) not in mask for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                    self.px[y][x] = dark

    def fill(self, mask, color):
        for (x, y) in mask:
            self.px[y][x] = color

    # convenient shape+paint combinations
    def ellipse(self, cx, cy, rx, ry, ramp, shade="sphere", **kw):
        m = self.m_ellipse(cx, cy, rx, ry)
        if shade == "sphere" and "center" not in kw:
            kw["center"] = None
        self.paint(m, ramp, shade, **kw)
        return m

    def rect(self, x, y, w, h, ramp, shade="pillow", **kw):
        m = self.m_rect(x, y, w, h)
        self.paint(m, ramp, shade, **kw)
        return m

    def poly(self, pts, ramp, shade="pillow", **kw):
        m = self.m_poly(pts)
        self.paint(m, ramp, shade, **kw)
        return m

    def line(self, x1, y1, x2, y2, width, ramp, shade="pillow", **kw):
        m = self.m_line(x1, y1, x2, y2, width)
        self.paint(m, ramp, shade, **kw)
        return m

    def path(self, pts, width, ramp, shade="pillow", **kw):
        m = self.m_path(pts, width)
        self.paint(m, ramp, shade, **kw)
        return m

    def pline(self, x1, y1, x2, y2, color):
        """A one-pixel line (Bresenham) in one colour."""
        n = int(max(abs(x2 - x1), abs(y2 - y1))) + 1
        for k in range(n + 1):
            t = k / n
            self.dot(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, color)

    # -- post passes
    def outline(self, color=OUTLINE, diagonal=False, selective=True):
        """Dark outline around the silhouette (outside pixels next to drawn ones)."""
        add = []
        nb = [(1, 0), (-1, 0), (0, 1), (0, -1)]
        if diagonal:
            nb += [(1, 1), (-1, 1), (1, -1), (-1, -1)]
        for y in range(self.h):
            for x in range(self.w):
                if self.px[y][x] is not None:
                    continue
                for dx, dy in nb:
                    c = self.get(x + dx, y + dy)
                    if c is not None and c != color:
                        add.append((x, y, darken(c, 0.28) if selective else color))
                        break
        for x, y, c in add:
            # keep outlines dark and consistent
            self.px[y][x] = mix(c, color, 0.55)
        return self

    def shadow(self, color=(10, 8, 14), dx=1, dy=1):
        """A hard drop shadow to the bottom right under the drawn pixels."""
        src = [row[:] for row in self.px]
        for y in range(self.h):
            for x in range(self.w):
                if src[y][x] is None:
                    sx, sy = x - dx, y - dy
                    if 0 <= sx < self.w and 0 <= sy < self.h and src[sy][sx] is not None:
                        self.px[y][x] = color

    def rows(self, background=(0, 0, 0)):
        return [[c if c is not None else background for c in row] for row in self.px]


def _distance(mask):
    """Chessboard distance of every mask pixel to the nearest outside pixel."""
    dist = {}
    frontier = []
    for (x, y) in mask:
        if any((x + dx, y + dy) not in mask for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
            dist[(x, y)] = 1
            frontier.append((x, y))
    d = 1
    while frontier:
        nxt = []
        d += 1
        for (x, y) in frontier:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (-1, -1), (1, -1), (-1, 1)):
                p = (x + dx, y + dy)
                if p in mask and p not in dist:
                    dist[p] = d
                    nxt.append(p)
        frontier = nxt
    return dist


def _d(dist, x, y, depth):
    return min(depth, dist.get((x, y), 0))


# --------------------------------------------------------------------- sheets


class Sheet:
    """A sprite sheet of equal cells."""

    def __init__(self, cols, rows, cw=32, ch=32):
        self.cols, self.rows_n, self.cw, self.ch = cols, rows, cw, ch
        self.img = Spr(cols * cw, rows * ch)

    def put(self, index, spr, transparent=False):
        x, y = (index % self.cols) * self.cw, (index // self.cols) * self.ch
        self.img.blit(spr, x, y, transparent=transparent)

    def save(self, path):
        write_png(path, self.img.w, self.img.h, self.img.rows())


def save(spr, path):
    write_png(path, spr.w, spr.h, spr.rows())
