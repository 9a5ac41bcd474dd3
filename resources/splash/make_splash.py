#!/usr/bin/env python3
"""Draws the splash picture splash.png (476 x 294 pixels, RGBA) and the about
window's banner banner.png (129 x 32, RGBA: the web page's button).

A rounded card with a blue gradient, the program mark and its name, tilted
a little and lifted off the desktop by a soft shadow; everything around the
card is transparent, so the window takes the card's shape. Our own work,
drawn with ImageMagick:

    apt-get install imagemagick fonts-dejavu-core
    python3 resources/splash/make_splash.py
"""

import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
LOGO = os.path.join(HERE, "..", "icons", "logo64.png")
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
BOOK = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
W, H = 476, 294
# The card inside the picture; the margin holds the shadow.
CX, CY, CW, CH = 18, 14, 430, 252
PNG_OPTS = ["-strip", "-define", "png:exclude-chunks=date,time"]


def run(*args):
    subprocess.run(list(args), check=True)


def banner(out):
    """A small button with the mark and the words that lead to the web page."""
    # The gradient gets an alpha channel first: without one, the rounded mask
    # leaves the corners black instead of transparent.
    run("convert", "-size", "129x32", "gradient:#3b7fcc-#1d4f8f", "-alpha", "set",
        "(", "-size", "129x32", "xc:none", "-fill", "white", "-draw", "roundrectangle 0,0 128,31 7,7", ")",
        "-compose", "DstIn", "-composite", "-compose", "over",
        "(", LOGO, "-resize", "24x24", ")", "-gravity", "west", "-geometry", "+5+0", "-composite",
        "-font", BOLD, "-pointsize", "12", "-fill", "white", "-gravity", "northwest",
        "-annotate", "+34+3", "VelmarPro",
        "-font", BOOK, "-pointsize", "10", "-fill", "#dbe8f7", "-annotate", "+34+17", "сайт программы",
        "-colorspace", "sRGB", "-type", "TrueColorAlpha", "-define", "png:color-type=6", *PNG_OPTS, f"PNG32:{out}")


def main():
    banner(os.path.join(HERE, "banner.png"))
    with tempfile.TemporaryDirectory() as tmp:
        card = os.path.join(tmp, "card.png")
        mask = os.path.join(tmp, "mask.png")
        shadow = os.path.join(tmp, "shadow.png")
        rect = f"roundrectangle 0,0 {CW - 1},{CH - 1} 26,26"
        run("convert", "-size", f"{CW}x{CH}", "xc:none", "-fill", "white", "-draw", rect, mask)
        # Gradient card with a lighter band, the mark, the name and a line of text.
        run("convert", "-size", f"{CW}x{CH}", "gradient:#2f6fb8-#163a6b",
            "(", "-size", f"{CW}x{CH // 2}", "gradient:#ffffff40-#ffffff00", ")",
            "-gravity", "north", "-composite",
            "(", LOGO, "-resize", "96x96", ")", "-gravity", "northwest", "-geometry", "+30+34", "-composite",
            "-font", BOLD, "-pointsize", "44", "-fill", "white",
            "-gravity", "northwest", "-annotate", "+142+46", "VelmarPro",
            "-font", BOOK, "-pointsize", "17", "-fill", "#dbe8f7",
            "-annotate", "+144+104", "транслитерация текста",
            "-fill", "#ffffff30", "-draw", f"rectangle 30,160 {CW - 31},161",
            "-font", BOOK, "-pointsize", "15", "-fill", "#c3d6ee",
            "-annotate", "+30+178", "Кириллица \u2194 латиница по таблицам",
            "-annotate", "+30+202", "Загрузка...",
            mask, "-compose", "DstIn", "-composite", card)
        # The shadow: the card's shape, dark, blurred and moved down and right.
        run("convert", mask, "-background", "none", "-gravity", "center", "-extent", f"{W}x{H}",
            "-fill", "#000000", "-colorize", "100", "-channel", "A", "-evaluate", "multiply", "0.55",
            "+channel", "-blur", "0x7",
            # Moved by padding the top and left and cutting as much off the
            # other sides: a roll would wrap the blur's bottom edge round to
            # the top rows, a faint stray line above the card.
            "-gravity", "northwest", "-background", "none", "-splice", "12x12",
            "-crop", f"{W}x{H}+0+0", "+repage",
            # The faint end of the blur is cut off, so the window's shape ends cleanly
            # inside the picture, not at its right and bottom edges.
            "-channel", "A", "-fx", "a < 0.1 ? 0 : a", "+channel", shadow)
        run("convert", shadow, "-colorspace", "sRGB", "-type", "TrueColorAlpha", card, "-geometry", f"+{CX}+{CY}", "-compose", "over", "-composite",
            "-define", "png:color-type=6", *PNG_OPTS, f"PNG32:{os.path.join(HERE, 'splash.png')}")


if __name__ == "__main__":
    main()
