#!/usr/bin/env python3
"""Makes the desktop icons of the installed game from the shipped art: the
adventurer facing the player (game/graphics/characters.png, cell 4), centred
in its 32 x 32 cell and enlarged by whole pixels (nearest
neighbour), pure black (the game's see-through colour) made transparent.
Writes dist/icons/NxN/umbrane.png for every size below.

    python3 tools/make_icons.py
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "art"))

from pixel import read_png  # noqa: E402

ROOT = os.path.dirname(HERE)
SIZES = (16, 24, 32, 48, 64, 128, 256)
CELL = 4  # facing down, first walking frame


def write_rgba_png(path, size, pixels):
    """pixels: size x size rows of (r, g, b, a)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def figure():
    """The cell's figure centred on a 32 x 32 square: rows of (r, g, b, a)."""
    _, _, rows = read_png(os.path.join(ROOT, "game", "graphics", "characters.png"))
    cell = [row[CELL * 32:CELL * 32 + 32] for row in rows[:32]]
    inside = [(x, y) for y in range(32) for x in range(32) if cell[y][x] != (0, 0, 0)]
    x0, x1 = min(x for x, _ in inside), max(x for x, _ in inside)
    y0, y1 = min(y for _, y in inside), max(y for _, y in inside)
    side = 32  # whole-number enlargements to 64, 128 and 256
    left, top = x0 - (side - (x1 - x0 + 1)) // 2, y0 - (side - (y1 - y0 + 1)) // 2
    square = []
    for y in range(top, top + side):
        line = []
        for x in range(left, left + side):
            c = cell[y][x] if 0 <= x < 32 and 0 <= y < 32 else (0, 0, 0)
            line.append(c + ((0,) if c == (0, 0, 0) else (255,)))
        square.append(line)
    return square


def main():
    square = figure()
    side = len(square)
    for size in SIZES:
        pixels = [[square[y * side // size][x * side // size] for x in range(size)] for y in range(size)]
        write_rgba_png(os.path.join(ROOT, "dist", "icons", "%dx%d" % (size, size), "umbrane.png"), size, pixels)
    print("icons: %s from a %d x %d figure" % (", ".join(str(s) for s in SIZES), side, side))


if __name__ == "__main__":
    main()
