"""Checks of the drawing toolkit, the sound synthesis and the written files.

    python3 -m unittest discover -s tools/tests
"""
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.dirname(HERE)
ROOT = os.path.dirname(TOOLS)
sys.path.insert(0, os.path.join(TOOLS, "art"))
sys.path.insert(0, TOOLS)

import make_graphics  # noqa: E402
import make_sounds  # noqa: E402
import misc  # noqa: E402
from pixel import RAMPS, Noise, Spr, read_png, write_png  # noqa: E402


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


class PngTest(unittest.TestCase):
    def test_round_trip_keeps_every_pixel(self):
        rows = [[((x * 37) % 256, (y * 91) % 256, (x ^ y) % 256) for x in range(13)] for y in range(7)]
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "t.png")
            write_png(path, 13, 7, rows)
            w, h, back = read_png(path)
        self.assertEqual((w, h), (13, 7))
        self.assertEqual(back, rows)

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick is not installed")
    def test_reader_undoes_the_filters_of_other_writers(self):
        # ImageMagick picks adaptive filters (sub, up, average, paeth); the reader must undo them all
        rows = [[((x * 7 + y * 3) % 256, (x * y) % 256, (200 - x) % 256) for x in range(40)] for y in range(30)]
        with tempfile.TemporaryDirectory() as d:
            src, dst = os.path.join(d, "a.png"), os.path.join(d, "b.png")
            write_png(src, 40, 30, rows)
            subprocess.run(["convert", src, "-define", "png:compression-filter=5", "PNG24:" + dst], check=True)
            _, _, back = read_png(dst)
        self.assertEqual(back, rows)


class ToolkitTest(unittest.TestCase):
    def test_ramps_run_from_dark_to_light_and_never_hit_the_see_through_colour(self):
        for name, ramp in RAMPS.items():
            self.assertEqual(len(ramp), 6, name)
            for c in ramp:
                self.assertNotEqual(c, (0, 0, 0), name)
            lum = [luminance(c) for c in ramp]
            self.assertEqual(lum, sorted(lum), name)

    def test_mirror_flips_shapes_left_to_right(self):
        a, b = Spr(), Spr()
        a.poly([(3, 4), (20, 6), (9, 27)], "red", "flat", dither=0)
        b.mirror = True
        b.poly([(3, 4), (20, 6), (9, 27)], "red", "flat", dither=0)
        self.assertEqual(a.flipped().px, b.px)

    def test_noise_wraps_so_tiles_join(self):
        n = Noise(5, cells=4, period=32)
        for y in range(0, 32, 3):
            for x in range(0, 32, 5):
                self.assertAlmostEqual(n(x, y), n(x + 32, y))
                self.assertAlmostEqual(n(x, y), n(x, y + 32))

    def test_outline_surrounds_the_silhouette_only(self):
        s = Spr(8, 8)
        s.set(4, 4, (200, 100, 50))
        s.outline()
        drawn = {(x, y) for y in range(8) for x in range(8) if s.get(x, y) is not None}
        self.assertEqual(drawn, {(4, 4), (3, 4), (5, 4), (4, 3), (4, 5)})
        self.assertLess(luminance(s.get(3, 4)), luminance((200, 100, 50)) / 2)

    def test_no_picture_draws_pure_black(self):
        # pure black would turn into holes wherever the game draws with transparency
        for name, build in make_graphics.outputs():
            pic = build()
            img = pic.img if hasattr(pic, "img") else pic
            for row in img.px:
                self.assertNotIn((0, 0, 0), row, name)

    def test_light_overlays_grow_and_stay_centred(self):
        radii = [misc.light_radius(n) for n in range(1, 8)]
        self.assertEqual(radii, sorted(radii))
        self.assertGreater(radii[0], 16)  # the character's own cell is always lit
        self.assertLess(radii[-1], 208)  # level 6 still darkens the view's edges
        s = misc.build_light(4)
        self.assertIsNone(s.get(208, 208))
        self.assertIsNone(s.get(192, 192))
        self.assertEqual(s.get(0, 208), misc.DARKNESS)


class SynthTest(unittest.TestCase):
    def test_normalise_sets_the_peak_and_fades_the_ends(self):
        sparse = ([0.0] * 30 + [0.1, -0.4, 0.2]) * 100
        out = make_sounds.normalise(sparse, peak=0.8)
        self.assertAlmostEqual(max(abs(v) for v in out), 0.8, places=6)
        self.assertEqual(out[0], 0.0)
        self.assertEqual(out[-1], 0.0)

    def test_normalise_tames_dense_square_waves(self):
        square = [0.3 if (i // 20) % 2 else -0.3 for i in range(4000)]
        out = make_sounds.normalise(square, peak=0.85)
        rms = (sum(v * v for v in out) / len(out)) ** 0.5
        self.assertAlmostEqual(rms, 0.25, places=2)

    def test_every_sound_is_short_and_not_silent(self):
        for name, make in make_sounds.SOUNDS.items():
            samples = make()
            seconds = len(samples) / make_sounds.RATE
            self.assertGreaterEqual(seconds, 0.1, name)
            self.assertLessEqual(seconds, 1.5, name)
            self.assertGreater(max(abs(v) for v in samples), 0.01, name)


def ogg_info(path):
    """(channels, rate, samples) of an Ogg Vorbis file."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:4] == b"OggS", path
    segments = data[26]
    body = 27 + segments
    assert data[body:body + 7] == b"\x01vorbis", path
    channels = data[body + 11]
    (rate,) = struct.unpack("<I", data[body + 12:body + 16])
    last = data.rfind(b"OggS")
    (granule,) = struct.unpack("<q", data[last + 6:last + 14])
    return channels, rate, granule


class ShippedSoundsTest(unittest.TestCase):
    def test_exactly_the_sound_names_the_game_plays(self):
        files = sorted(os.path.basename(p)[:-4] for p in glob.glob(os.path.join(ROOT, "game", "sound", "*.ogg")))
        self.assertEqual(files, sorted(make_sounds.SOUNDS))
        self.assertLessEqual(len(files), 125)  # the game loads no more than 125

    def test_files_are_short_mono_vorbis(self):
        for path in glob.glob(os.path.join(ROOT, "game", "sound", "*.ogg")):
            channels, rate, samples = ogg_info(path)
            self.assertEqual(channels, 1, path)
            self.assertIn(rate, (22050, 44100), path)
            self.assertTrue(0.1 <= samples / rate <= 1.5, path)
            self.assertLess(os.path.getsize(path), 40000, path)


class ShippedPicturesTest(unittest.TestCase):
    def test_files_match_their_generators(self):
        # the committed pictures are the generators' current output
        for name, build in make_graphics.outputs():
            pic = build()
            img = pic.img if hasattr(pic, "img") else pic
            w, h, rows = read_png(os.path.join(ROOT, "game", name))
            self.assertEqual((w, h), (img.w, img.h), name)
            self.assertEqual(rows, img.rows(), name)

    def test_every_monster_type_has_its_picture_on_the_sheet(self):
        # a monster type's tile is its cell of monster.png: each one named in the data is drawn
        import re
        import figures
        with open(os.path.join(ROOT, "game", "data", "monster.xml"), encoding="utf-8") as f:
            tiles = [int(t) for t in re.findall(r'<monster\b[^>]*\btile="(\d+)"', f.read())]
        sheet = figures.build_monsters()
        self.assertEqual(sheet.cols, 8)
        self.assertGreater(len(tiles), 0)
        for tile in tiles:
            self.assertLess(tile, sheet.cols * sheet.rows_n, "tile %d lies outside the sheet" % tile)
            x0, y0 = (tile % sheet.cols) * 32, (tile // sheet.cols) * 32
            drawn = sum(1 for y in range(y0, y0 + 32) for x in range(x0, x0 + 32) if sheet.img.get(x, y) is not None)
            self.assertGreater(drawn, 150, "tile %d is (nearly) empty" % tile)


if __name__ == "__main__":
    unittest.main()
