#!/usr/bin/env python3
"""Draws every shipped picture of the game from code and writes the PNG files
into game/graphics and game/tilesets.

    python3 tools/make_graphics.py            # write all pictures
    python3 tools/make_graphics.py --preview DIR
                                              # also write 3x enlargements to DIR
                                              # (needs ImageMagick's convert)
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "art"))

import figures  # noqa: E402
import icons  # noqa: E402
import misc  # noqa: E402
import tiles  # noqa: E402
from pixel import save  # noqa: E402

ROOT = os.path.dirname(HERE)
GRAPHICS = os.path.join(ROOT, "game", "graphics")
TILESETS = os.path.join(ROOT, "game", "tilesets")


def outputs():
    """(file, builder) pairs; a builder returns a Sheet or a Spr."""
    out = [
        ("graphics/characters.png", figures.build_characters),
        ("graphics/frame.png", misc.build_frame),
        ("graphics/abilities.png", icons.build_abilities),
        ("graphics/splash.png", misc.build_splash),
        ("graphics/monster.png", figures.build_monsters),
        ("graphics/mousepointer.png", misc.build_mousepointer),
        ("graphics/blood.png", misc.build_blood),
        ("graphics/powers.png", icons.build_powers),
        ("graphics/cursor.png", misc.build_cursor),
        ("graphics/starsprites.png", misc.build_starsprites),
        ("graphics/missiles.png", icons.build_missiles),
        ("graphics/items.png", icons.build_items),
        ("graphics/fx.png", icons.build_fx),
        ("tilesets/tiles_standard.png", tiles.build),
    ]
    for n in range(1, 8):
        out.append(("graphics/light%d.png" % n, (lambda k: lambda: misc.build_light(k))(n)))
    return out


def main(argv):
    preview = None
    if len(argv) >= 2 and argv[0] == "--preview":
        preview = argv[1]
        os.makedirs(preview, exist_ok=True)
    os.makedirs(GRAPHICS, exist_ok=True)
    os.makedirs(TILESETS, exist_ok=True)
    for name, build in outputs():
        path = os.path.join(ROOT, "game", name)
        pic = build()
        if hasattr(pic, "save"):
            pic.save(path)
        else:
            save(pic, path)
        print("wrote", os.path.relpath(path, ROOT))
        if preview:
            big = os.path.join(preview, os.path.basename(name))
            subprocess.run(["convert", path, "-scale", "300%", big], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
