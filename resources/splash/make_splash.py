#!/usr/bin/env python3
"""Draws the splash picture splash.png (476 x 294 pixels, RGBA) and the about
window's banner banner.png (129 x 32, RGBA: the web page's button), each also
drawn anew at 150 % and 200 % of that size (NAME_150.png, NAME_200.png) for
displays set to a bigger scale, where a stretched picture would look blurred.

A rounded card with a blue gradient, the program mark and its name, tilted
a little and lifted off the desktop by a soft shadow; everything around the
card is transparent, so the window takes the card's shape. Our own work,
drawn with ImageMagick:

    apt-get install imagemagick fonts-dejavu-core
    python3 resources/splash/make_splash.py
"""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "icons"))
from make_icons import draw_mark  # noqa: E402  the program mark, drawn at any size
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
BOOK = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
# The picture is 476 x 294 at 100 %; the card inside it (18, 14, 430 x 252),
# the margin holds the shadow.
PNG_OPTS = ["-strip", "-define", "png:exclude-chunks=date,time"]


def run(*args):
    subprocess.run(list(args), check=True)


# The scales drawn, with the suffix of their file names.
SCALES = ((1, ""), (1.5, "_150"), (2, "_200"))


def n(value, scale):
    """A length of the 100 % picture at `scale`, in whole pixels."""
    return int(round(value * scale))


def mark(tmp, size):
    """The program mark drawn at `size` pixels, not enlarged from a smaller picture."""
    path = os.path.join(tmp, f"mark{size}.png")
    draw_mark(size, path)
    return path


def banner(out, s=1):
    """A small button with the mark and the words that lead to the web page."""
    w, h = n(129, s), n(32, s)
    with tempfile.TemporaryDirectory() as tmp:
        banner_with(out, s, w, h, mark(tmp, n(24, s)))


def banner_with(out, s, w, h, logo):
    # The gradient gets an alpha channel first: without one, the rounded mask
    # leaves the corners black instead of transparent.
    run("convert", "-size", f"{w}x{h}", "gradient:#3b7fcc-#1d4f8f", "-alpha", "set",
        "(", "-size", f"{w}x{h}", "xc:none", "-fill", "white",
        "-draw", f"roundrectangle 0,0 {w - 1},{h - 1} {n(7, s)},{n(7, s)}", ")",
        "-compose", "DstIn", "-composite", "-compose", "over",
        logo, "-gravity", "west", "-geometry", f"+{n(5, s)}+0",
        "-composite",
        "-font", BOLD, "-pointsize", str(12 * s), "-fill", "white", "-gravity", "northwest",
        "-annotate", f"+{n(34, s)}+{n(3, s)}", "VelmarPro",
        "-font", BOOK, "-pointsize", str(10 * s), "-fill", "#dbe8f7",
        "-annotate", f"+{n(34, s)}+{n(17, s)}", "сайт программы",
        "-colorspace", "sRGB", "-type", "TrueColorAlpha", "-define", "png:color-type=6", *PNG_OPTS, f"PNG32:{out}")


def main():
    for scale, suffix in SCALES:
        banner(os.path.join(HERE, f"banner{suffix}.png"), scale)
        splash(os.path.join(HERE, f"splash{suffix}.png"), scale)


def splash(out, s=1):
    """The card over its shadow, every length and letter drawn at `s` times the size."""
    W, H = n(476, s), n(294, s)
    CX, CY, CW, CH = n(18, s), n(14, s), n(430, s), n(252, s)
    with tempfile.TemporaryDirectory() as tmp:
        card = os.path.join(tmp, "card.png")
        mask = os.path.join(tmp, "mask.png")
        shadow = os.path.join(tmp, "shadow.png")
        rect = f"roundrectangle 0,0 {CW - 1},{CH - 1} {n(26, s)},{n(26, s)}"
        run("convert", "-size", f"{CW}x{CH}", "xc:none", "-fill", "white", "-draw", rect, mask)
        # Gradient card with a lighter band, the mark, the name and a line of text.
        run("convert", "-size", f"{CW}x{CH}", "gradient:#2f6fb8-#163a6b",
            "(", "-size", f"{CW}x{CH // 2}", "gradient:#ffffff40-#ffffff00", ")",
            "-gravity", "north", "-composite",
            mark(tmp, n(96, s)), "-gravity", "northwest",
            "-geometry", f"+{n(30, s)}+{n(34, s)}", "-composite",
            "-font", BOLD, "-pointsize", str(44 * s), "-fill", "white",
            "-gravity", "northwest", "-annotate", f"+{n(142, s)}+{n(46, s)}", "VelmarPro",
            "-font", BOOK, "-pointsize", str(17 * s), "-fill", "#dbe8f7",
            "-annotate", f"+{n(144, s)}+{n(104, s)}", "транслитерация текста",
            "-fill", "#ffffff30", "-draw", f"rectangle {n(30, s)},{n(160, s)} {CW - n(31, s)},{n(161, s) + n(1, s) - 1}",
            "-font", BOOK, "-pointsize", str(15 * s), "-fill", "#c3d6ee",
            "-annotate", f"+{n(30, s)}+{n(178, s)}", "Кириллица \u2194 латиница по таблицам",
            "-annotate", f"+{n(30, s)}+{n(202, s)}", "Загрузка...",
            mask, "-compose", "DstIn", "-composite", card)
        # The shadow: the card's shape, dark, blurred and moved down and right.
        run("convert", mask, "-background", "none", "-gravity", "center", "-extent", f"{W}x{H}",
            "-fill", "#000000", "-colorize", "100", "-channel", "A", "-evaluate", "multiply", "0.55",
            "+channel", "-blur", f"0x{7 * s}",
            # Moved by padding the top and left and cutting as much off the
            # other sides: a roll would wrap the blur's bottom edge round to
            # the top rows, a faint stray line above the card.
            "-gravity", "northwest", "-background", "none", "-splice", f"{n(12, s)}x{n(12, s)}",
            "-crop", f"{W}x{H}+0+0", "+repage",
            # The faint end of the blur is cut off, so the window's shape ends cleanly
            # inside the picture, not at its right and bottom edges.
            "-channel", "A", "-fx", "a < 0.1 ? 0 : a", "+channel", shadow)
        run("convert", shadow, "-colorspace", "sRGB", "-type", "TrueColorAlpha", card, "-geometry", f"+{CX}+{CY}", "-compose", "over", "-composite",
            "-define", "png:color-type=6", *PNG_OPTS, f"PNG32:{out}")


if __name__ == "__main__":
    main()
