#!/usr/bin/env python3
"""Builds the program's pictures in this folder.

- app.ico (16 to 96 px) and logo64.png (also logo64_150.png and logo64_200.png,
  96 and 128 px, for displays at 150 % and 200 %): our own mark, a rounded blue
  square with a white "V", drawn with ImageMagick;
- NAME.png and NAME_hot.png (16x16) for the buttons and menus, taken from the
  Silk icon set (Debian's famfamfam-silk); the _hot variant is the same icon a
  little brighter, shown while the mouse is over the button;
- progress_frame.png and progress_fill.png (60x10) for the small progress bar.

The outputs are committed, so building the program needs none of this:

    apt-get install famfamfam-silk imagemagick fonts-dejavu-core
    python3 resources/icons/make_icons.py [silk-folder]
"""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SILK = "/usr/share/icons/silk/16x16"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Button name -> Silk icon.
BUTTONS = {
    "translit": "text_replace",
    "mode": "cog",
    "help": "help",
    "about": "information",
    "exit": "door_out",
    "new": "page_white",
    "open": "folder_page",
    "save": "disk",
    "cut": "cut",
    "copy": "page_copy",
    "paste": "page_paste",
    "undo": "arrow_undo",
    "auto": "lightning",
    "modules": "world_add",
    "editor": "table_edit",
    # the table editor
    "table_open": "folder_table",
    "table_save": "table_save",
    "params": "wrench",
    "close": "cross",
    "add": "add",
    "remove": "delete",
    "up": "arrow_up",
    "down": "arrow_down",
}

# Pictures without a hover variant: the table editor's marker of a "_" (a blank).
MARKERS = {
    "blank": "text_underline",
}

# Written without time stamps, so a rebuild gives the same bytes.
PNG_OPTS = ["-strip", "-define", "png:exclude-chunks=date,time"]


def run(*args):
    subprocess.run(list(args), check=True)


def draw_mark(size, out):
    """The program mark at size x size, drawn 4x larger and scaled down."""
    s = size * 4
    radius = s * 0.2
    inset = s * 0.03
    border = max(4, s // 32)
    rect = f"roundrectangle {inset},{inset} {s - 1 - inset},{s - 1 - inset} {radius},{radius}"
    run("convert",
        # blue body with a vertical gradient, cut to the rounded square
        "-size", f"{s}x{s}", "gradient:#5aaaf0-#1557a8",
        "(", "-size", f"{s}x{s}", "xc:none", "-fill", "white", "-draw", rect, ")",
        "-alpha", "off", "-compose", "CopyOpacity", "-composite",
        # dark outline
        "-compose", "Over", "-fill", "none", "-stroke", "#0e3f7c",
        "-strokewidth", str(border), "-draw", rect,
        # soft highlight over the upper half
        "(", "-size", f"{s}x{s}", "xc:none", "-fill", "#ffffff38", "-stroke", "none",
        "-draw", f"roundrectangle {inset + border},{inset + border} "
                 f"{s - 1 - inset - border},{s * 0.5} {radius * 0.8},{radius * 0.8}", ")",
        "-composite",
        # the letter
        "-font", FONT, "-pointsize", str(s * 0.78), "-fill", "white",
        "-stroke", "#0e3f7c", "-strokewidth", str(max(2, s // 48)),
        "-gravity", "center", "-annotate", f"+0+{s * 0.02}", "V",
        "-filter", "Box", "-resize", f"{size}x{size}",
        *PNG_OPTS, f"PNG32:{out}")


def make_mark():
    with tempfile.TemporaryDirectory() as tmp:
        parts = []
        # The sizes the title bar, the taskbar and the windows ask for at
        # 100 % to 200 % display scale.
        for size in (16, 20, 24, 32, 40, 48, 64, 72, 96):
            p = os.path.join(tmp, f"app{size}.png")
            draw_mark(size, p)
            parts.append(p)
        run("convert", *parts, os.path.join(HERE, "app.ico"))
    draw_mark(64, os.path.join(HERE, "logo64.png"))
    # The same mark for displays at 150 % and 200 %.
    draw_mark(96, os.path.join(HERE, "logo64_150.png"))
    draw_mark(128, os.path.join(HERE, "logo64_200.png"))


def make_buttons(silk):
    for name, icon in BUTTONS.items():
        src = os.path.join(silk, icon + ".png")
        if not os.path.isfile(src):
            sys.exit(f"{name}: {src} not found")
        run("convert", src, "-alpha", "set", *PNG_OPTS,
            f"PNG32:{os.path.join(HERE, name + '.png')}")
        # hover: a little brighter and clearly more saturated; more brightness
        # than this washes out the white parts (the "?" of help)
        run("convert", src, "-alpha", "set", "-modulate", "110,135",
            *PNG_OPTS, f"PNG32:{os.path.join(HERE, name + '_hot.png')}")


def make_markers(silk):
    for name, icon in MARKERS.items():
        src = os.path.join(silk, icon + ".png")
        if not os.path.isfile(src):
            sys.exit(f"{name}: {src} not found")
        run("convert", src, "-alpha", "set", *PNG_OPTS,
            f"PNG32:{os.path.join(HERE, name + '.png')}")


def make_progress():
    # Frame: one grey pixel of border around a light inside.
    run("convert", "-size", "60x10", "xc:#8c8c8c",
        "-fill", "#f4f6f8", "-draw", "rectangle 1,1 58,8",
        *PNG_OPTS, f"PNG32:{os.path.join(HERE, 'progress_frame.png')}")
    # Fill: a green gradient inside a transparent one-pixel margin, so it can
    # be drawn at the frame's origin and cut to the done part of the width.
    run("convert", "-size", "60x10", "xc:none",
        "(", "-size", "58x8", "gradient:#9be58f-#2f9a2a", ")",
        "-geometry", "+1+1", "-composite",
        *PNG_OPTS, f"PNG32:{os.path.join(HERE, 'progress_fill.png')}")


def make_module_pictures(silk):
    # The module list's marks: a green tick and a red cross.
    for name, icon in (("apply_16x16", "accept"), ("cancel_16x16", "cancel")):
        run("convert", os.path.join(silk, icon + ".png"), "-alpha", "set", *PNG_OPTS,
            f"PNG32:{os.path.join(HERE, name + '.png')}")
    # Shown while the module catalogue loads: a globe with a download arrow.
    run("convert", "-size", "512x512", "xc:none",
        "-fill", "#dfe9f5", "-stroke", "#4a78b0", "-strokewidth", "16", "-draw", "circle 256,256 256,40",
        "-fill", "none", "-stroke", "#8fb0d6", "-strokewidth", "10",
        "-draw", "ellipse 256,256 100,214 0,360", "-draw", "line 44,256 468,256",
        "-draw", "ellipse 256,256 214,70 180,360",
        "-stroke", "none", "-fill", "#3c9a3c",
        "-draw", "polygon 206,150 306,150 306,300 366,300 256,420 146,300 206,300",
        "-resize", "128x128", *PNG_OPTS, f"PNG32:{os.path.join(HERE, 'modules_loading.png')}")


def main():
    silk = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_SILK
    make_mark()
    make_buttons(silk)
    make_markers(silk)
    make_progress()
    make_module_pictures(silk)
    print(f"wrote the pictures in {HERE}")


if __name__ == "__main__":
    main()
