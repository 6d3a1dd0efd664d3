#!/usr/bin/env python3
"""Draws every image of the program as SVG and renders it to resources/image/*.png.

The PNGs, and the logo in the desktop icon sizes under packaging/icons, are committed, so building
needs nothing of this; run it only after changing a drawing here:
               python3 scripts/make-images.py            (needs rsvg-convert, librsvg2-bin)
               python3 scripts/make-images.py --sheet /tmp/sheet.png   (also a contact sheet)

Glyphs are drawn on a 24-unit grid with round 2-unit strokes and placed into each image's
own size, so every button shares one line weight and one look.
"""
import argparse
import base64
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "resources", "image")
# The desktop menu's icon: the logo in the hicolor theme's sizes, installed with the program.
ICON_DIR = os.path.join(ROOT, "packaging", "icons", "hicolor")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

BLUE, GREEN, RED, SLATE = "#2d6cb5", "#2e9650", "#cf3f3a", "#4b5d70"
TEXT = "rgb(69,69,69)"
WINDOW = "#efefef"

# Hover and pressed tiles: the button itself stays flat, only the tile behind the glyph changes.
HOVER_TILE = ("#e1eaf6", "#c2d3ea")
PRESSED_TILE = ("#cad9ee", "#a6bfe0")


def darker(colour, factor=0.78):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return "#%02x%02x%02x" % (int(r * factor), int(g * factor), int(b * factor))


# ---- glyphs on the 24-unit grid; "C" stands for the glyph colour -------------------------

def _stroke(d, width=2.0):
    return ('<path d="%s" fill="none" stroke="C" stroke-width="%s" '
            'stroke-linecap="round" stroke-linejoin="round"/>' % (d, width))


def _fill(d):
    return '<path d="%s" fill="C"/>' % d


def glyph_globe():
    return (_stroke("M12 3a9 9 0 1 0 0.001 0Z") +
            _stroke("M12 3c-2.9 2.6-4.2 5.6-4.2 9s1.3 6.4 4.2 9c2.9-2.6 4.2-5.6 4.2-9S14.9 5.6 12 3Z", 1.6) +
            _stroke("M3.4 9.2H20.6M3.4 14.8H20.6", 1.6))


def glyph_connect(apart):
    # Two chain links hooked into each other, or pulled apart along the diagonal.
    upper = "M10.6 13.4a3.6 3.6 0 0 0 5.1 0l3.6-3.6a3.6 3.6 0 0 0-5.1-5.1l-1.3 1.3"
    lower = "M13.4 10.6a3.6 3.6 0 0 0-5.1 0l-3.6 3.6a3.6 3.6 0 0 0 5.1 5.1l1.3-1.3"
    if not apart:
        return _stroke(upper + lower, 2.2)
    return ('<g transform="translate(2.4 -2.4)">%s</g><g transform="translate(-2.4 2.4)">%s</g>'
            % (_stroke(upper, 2.2), _stroke(lower, 2.2)) +
            _stroke("M6.2 6.2L8 8M17.8 17.8L16 16", 1.6))


def glyph_download():
    return _stroke("M12 3V14.5M7.2 9.8L12 14.5L16.8 9.8M4 15v3.5a2 2 0 0 0 2 2H18a2 2 0 0 0 2-2V15")


def glyph_upload():
    return _stroke("M12 14.5V3M7.2 7.7L12 3L16.8 7.7M4 15v3.5a2 2 0 0 0 2 2H18a2 2 0 0 0 2-2V15")


def glyph_stop():
    return _stroke("M12 3a9 9 0 1 0 0.001 0Z") + _fill("M9.5 8.5H14.5a1 1 0 0 1 1 1V14.5a1 1 0 0 1-1 1H9.5a1 1 0 0 1-1-1V9.5a1 1 0 0 1 1-1Z")


def glyph_restart():
    # A clockwise circle that ends in an arrowhead at its upper right, with a play mark inside.
    return (_stroke("M19.6 12A7.6 7.6 0 1 1 17.4 6.6") +
            _fill("M20.2 3.9L19.9 9.5L14.6 8.9Z") +
            _fill("M10.4 9.2L15 12L10.4 14.8Z"))


def _pane(filled):
    return _stroke("M5 4H19a2 2 0 0 1 2 2V18a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2V6a2 2 0 0 1 2-2Z") + _fill(filled)


def glyph_left():
    return _pane("M3 6a2 2 0 0 1 2-2H11V20H5a2 2 0 0 1-2-2Z")


def glyph_right():
    return _pane("M13 4H19a2 2 0 0 1 2 2V18a2 2 0 0 1-2 2H13Z")


def glyph_bottom():
    return _pane("M3 13H21V18a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2Z")


def glyph_swap():
    return _stroke("M4 8H19.5M15.5 4L19.5 8L15.5 12M20 16H4.5M8.5 12L4.5 16L8.5 20")


def glyph_command():
    return _stroke("M4.5 4H19.5a2 2 0 0 1 2 2V18a2 2 0 0 1-2 2H4.5a2 2 0 0 1-2-2V6a2 2 0 0 1 2-2Z"
                   "M7 9.2L10 12L7 14.8M12.5 15H17")


def glyph_server():
    return (_stroke("M5 3.5H19a1.5 1.5 0 0 1 1.5 1.5V9a1.5 1.5 0 0 1-1.5 1.5H5A1.5 1.5 0 0 1 3.5 9V5A1.5 1.5 0 0 1 5 3.5Z"
                    "M5 13.5H19a1.5 1.5 0 0 1 1.5 1.5V19a1.5 1.5 0 0 1-1.5 1.5H5A1.5 1.5 0 0 1 3.5 19V15A1.5 1.5 0 0 1 5 13.5Z"
                    "M12 7H16.5M12 17H16.5") +
            '<circle cx="7.6" cy="7" r="1.3" fill="C"/><circle cx="7.6" cy="17" r="1.3" fill="C"/>')


def glyph_language():
    # A Chinese "wen" beside a Latin A: translation.
    return _stroke("M7 2.2V4.2M2.4 5.4H11.6M4.4 7.2C5.6 10.8 7.8 13.3 11.4 14.6M9.6 7.2C8.4 10.8 6.2 13.3 2.6 14.6"
                   "M13 21.2L17 10.4L21 21.2M14.4 17.6H19.6")


def glyph_help():
    return (_stroke("M12 3a9 9 0 1 0 0.001 0Z") +
            _stroke("M9.3 9.4a2.8 2.8 0 1 1 3.9 2.6c-0.8 0.4-1.2 1-1.2 1.8V14.2") +
            '<circle cx="12" cy="17.2" r="1.25" fill="C"/>')


def glyph_monitor():
    return _stroke("M4.5 4H19.5a1.5 1.5 0 0 1 1.5 1.5V15a1.5 1.5 0 0 1-1.5 1.5H4.5A1.5 1.5 0 0 1 3 15V5.5A1.5 1.5 0 0 1 4.5 4Z"
                   "M12 16.5V20M8 20.5H16", 2.2)


def glyph_netpane():
    return (_stroke("M12 3a9 9 0 1 0 0.001 0Z", 2.2) +
            _stroke("M12 3c-2.9 2.6-4.2 5.6-4.2 9s1.3 6.4 4.2 9c2.9-2.6 4.2-5.6 4.2-9S14.9 5.6 12 3ZM3.4 12H20.6", 1.8))


def glyph_dirtree():
    return (_stroke("M6 3.5V17.5H11M6 9.5H11", 2.2) +
            _fill("M12 6.5H20a1 1 0 0 1 1 1V11.5a1 1 0 0 1-1 1H12Z") +
            _fill("M12 14.5H20a1 1 0 0 1 1 1V19.5a1 1 0 0 1-1 1H12Z") +
            _fill("M3 1.5H9a1 1 0 0 1 1 1V4.5a1 1 0 0 1-1 1H3a1 1 0 0 1-1-1V2.5a1 1 0 0 1 1-1Z"))


# ---- images -----------------------------------------------------------------------------

def svg(width, height, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>'
            % (width, height, width, height, body))


def placed(glyph, colour, size, offset_x, offset_y):
    scale = size / 24.0
    return ('<g transform="translate(%g %g) scale(%g)">%s</g>'
            % (offset_x, offset_y, scale, glyph.replace('"C"', '"%s"' % colour)))


def tile(size, inset, radius, colours):
    fill, edge = colours
    extent = size - 2 * inset
    return ('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s" stroke="%s" stroke-width="1"/>'
            % (inset, inset, extent, extent, radius, fill, edge))


TOOL_BUTTONS = [
    ("sites", glyph_globe, BLUE), ("connect", lambda: glyph_connect(False), GREEN),
    ("diconnect", lambda: glyph_connect(True), RED), ("download", glyph_download, BLUE),
    ("upload", glyph_upload, BLUE), ("stopall", glyph_stop, RED), ("restart", glyph_restart, GREEN),
    ("left", glyph_left, SLATE), ("right", glyph_right, SLATE), ("bottom", glyph_bottom, SLATE),
    ("swap", glyph_swap, SLATE), ("command", glyph_command, SLATE), ("server", glyph_server, BLUE),
    ("language", glyph_language, BLUE), ("help", glyph_help, BLUE),
]

# The pane buttons keep the spelling of their names as the window refers to them.
PANE_BUTTONS = [
    ("LocalIcon_normal", "LocalIcon_Down", glyph_monitor),
    ("NetIcon_Normal", "NetIcon_Down", glyph_netpane),
    ("DirTree_normal", "DirTree_down", glyph_dirtree),
]


def tool_button(glyph, colour, state):
    size, glyph_size = 50, 30
    offset = (size - glyph_size) / 2.0
    if state == "normal":
        return svg(size, size, placed(glyph, colour, glyph_size, offset, offset))
    if state == "up":
        return svg(size, size, tile(size, 1.5, 8, HOVER_TILE) + placed(glyph, colour, glyph_size, offset, offset))
    # Pressed: a deeper tile and the glyph sinks by a pixel.
    return svg(size, size, tile(size, 1.5, 8, PRESSED_TILE) +
               placed(glyph, darker(colour), glyph_size, offset, offset + 1))


def pane_button(glyph, pressed):
    # Drawn as a border image with 8-pixel borders at 22 x 22, so it is shown 1:1.
    size, glyph_size = 22, 18
    offset = (size - glyph_size) / 2.0
    if not pressed:
        return svg(size, size, placed(glyph, SLATE, glyph_size, offset, offset))
    return svg(size, size, tile(size, 0.5, 3, PRESSED_TILE) + placed(glyph, BLUE, glyph_size, offset, offset + 0.5))


def folder_icon():
    return svg(16, 16,
               '<path d="M2 2.5H6L7.5 4H14a1 1 0 0 1 1 1V13a1 1 0 0 1-1 1H2a1 1 0 0 1-1-1V3.5a1 1 0 0 1 1-1Z" fill="#d99a2b"/>'
               '<path d="M1 6.2a0.7 0.7 0 0 1 0.7-0.7H14.3a0.7 0.7 0 0 1 0.7 0.7V13a1 1 0 0 1-1 1H2a1 1 0 0 1-1-1Z" fill="#f5c14e"/>')


def logo():
    return svg(64, 64,
               '<rect x="2" y="2" width="60" height="60" rx="13" fill="%s"/>'
               '<path d="M12 17a3 3 0 0 1 3-3H26l4 4.5H49a3 3 0 0 1 3 3V46a3 3 0 0 1-3 3H15a3 3 0 0 1-3-3Z" fill="#bcd5f1"/>'
               '<path d="M12 25a3 3 0 0 1 3-3H49a3 3 0 0 1 3 3V46a3 3 0 0 1-3 3H15a3 3 0 0 1-3-3Z" fill="#ffffff"/>'
               '<path d="M25 27.5V42.5M20 37.5L25 42.5L30 37.5" fill="none" stroke="%s" stroke-width="3.4" '
               'stroke-linecap="round" stroke-linejoin="round"/>'
               '<path d="M39 43.5V28.5M34 33.5L39 28.5L44 33.5" fill="none" stroke="%s" stroke-width="3.4" '
               'stroke-linecap="round" stroke-linejoin="round"/>' % (BLUE, BLUE, GREEN))


def padlock():
    # The status row's sign of an encrypted connection: a closed lock, 16 pixels like the folder.
    return svg(16, 16,
               '<path d="M5 7.5V5.2a3 3 0 0 1 6 0V7.5" fill="none" stroke="%s" stroke-width="1.8" '
               'stroke-linecap="round"/>'
               '<rect x="2.8" y="7" width="10.4" height="7.6" rx="1.4" fill="%s"/>'
               '<circle cx="8" cy="10.4" r="1.1" fill="#ffffff"/>'
               '<path d="M8 10.8V12.6" stroke="#ffffff" stroke-width="1.2" stroke-linecap="round"/>'
               % (SLATE, GREEN))


def queue_mark(kind, pressed):
    # The queue's per-row button: drawn into a square of the row height less 10 pixels (18 at 28).
    colour = GREEN if kind == "run" else RED
    if pressed:
        colour = darker(colour)
    mark = ('<path d="M7.2 5.4L13 9L7.2 12.6Z" fill="#ffffff"/>' if kind == "run"
            else '<rect x="5.8" y="5.8" width="6.4" height="6.4" rx="1" fill="#ffffff"/>')
    return svg(18, 18, '<circle cx="9" cy="9" r="8.3" fill="%s"/>%s' % (colour, mark))


def all_images():
    images = {}
    for stem, glyph, colour in TOOL_BUTTONS:
        for state in ("normal", "up", "down"):
            images["%s_%s" % (stem, state)] = tool_button(glyph(), colour, state)
    for normal, pressed, glyph in PANE_BUTTONS:
        images[normal] = pane_button(glyph(), False)
        images[pressed] = pane_button(glyph(), True)
    images["folder_icon"] = folder_icon()
    images["logo_64x64"] = logo()
    images["padlock_closed"] = padlock()
    for kind in ("run", "stop"):
        images["%s_normal" % kind] = queue_mark(kind, False)
        images["%s_down" % kind] = queue_mark(kind, True)
    return images


def render(svg_text, png_path, workdir, size=None):
    source = os.path.join(workdir, os.path.basename(png_path) + ".svg")
    with open(source, "w", encoding="utf-8") as f:
        f.write(svg_text)
    scale = ["-w", str(size), "-h", str(size)] if size else []
    subprocess.run(["rsvg-convert"] + scale + ["-o", png_path, source], check=True)


def desktop_icons(workdir):
    scalable = os.path.join(ICON_DIR, "scalable", "apps")
    os.makedirs(scalable, exist_ok=True)
    with open(os.path.join(scalable, "torvex.svg"), "w", encoding="utf-8") as f:
        f.write(logo() + "\n")
    for size in ICON_SIZES:
        folder = os.path.join(ICON_DIR, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        render(logo(), os.path.join(folder, "torvex.png"), workdir, size)
    return len(ICON_SIZES) + 1


# ---- contact sheet: every button at its real size on the window's colour -----------------

TOOL_LABELS = {"sites": "Sites", "connect": "Connect", "diconnect": "Disconnect", "download": "Download",
               "upload": "Upload", "stopall": "Stop", "restart": "Restart", "command": "Command",
               "server": "Ftp Server", "language": "Language", "help": "Help"}


def embedded(png_path, x, y, width, height):
    with open(png_path, "rb") as f:
        data = base64.b64encode(f.read()).decode("ascii")
    return ('<image x="%g" y="%g" width="%g" height="%g" href="data:image/png;base64,%s"/>'
            % (x, y, width, height, data))


def label(x, y, text, size=12, colour=TEXT):
    return ('<text x="%g" y="%g" font-family="DejaVu Sans" font-size="%d" fill="%s" text-anchor="middle">%s</text>'
            % (x, y, size, colour, text))


def contact_sheet(path, workdir):
    parts, step = [], 78
    width = 30 + step * len(TOOL_BUTTONS)
    for row, state in enumerate(("normal", "up", "down")):
        top = 20 + row * 90
        parts.append('<text x="4" y="%d" font-family="DejaVu Sans" font-size="10" fill="#999">%s</text>'
                     % (top - 6, state))
        for column, (stem, _, _) in enumerate(TOOL_BUTTONS):
            x = 30 + column * step
            parts.append(embedded(os.path.join(OUT_DIR, "%s_%s.png" % (stem, state)), x, top, 50, 50))
            parts.append(label(x + 25, top + 66, TOOL_LABELS.get(stem, ""), 12))
            if stem not in TOOL_LABELS:
                parts.append(label(x + 25, top + 66, "(%s)" % stem, 9, "#aaa"))
    top = 300
    x = 30
    for normal, pressed, _ in PANE_BUTTONS:
        for name in (normal, pressed):
            parts.append(embedded(os.path.join(OUT_DIR, name + ".png"), x, top, 22, 22))
            parts.append(embedded(os.path.join(OUT_DIR, name + ".png"), x - 11, top + 34, 44, 44))
            x += 56
    # A sample file row: 28 pixels high on white, the way the lists show folders and queue marks.
    parts.append('<rect x="%d" y="%d" width="380" height="28" fill="#ffffff" stroke="#c8c8c8"/>' % (x, top))
    parts.append(embedded(os.path.join(OUT_DIR, "folder_icon.png"), x + 6, top + 6, 16, 16))
    parts.append('<text x="%d" y="%d" font-family="DejaVu Sans" font-size="12" fill="#222">Documents</text>'
                 % (x + 28, top + 18))
    for i, name in enumerate(("run_normal", "run_down", "stop_normal", "stop_down")):
        parts.append(embedded(os.path.join(OUT_DIR, name + ".png"), x + 180 + i * 48, top + 5, 18, 18))
    parts.append(embedded(os.path.join(OUT_DIR, "logo_64x64.png"), x + 400, top - 10, 64, 64))
    height = top + 90
    body = '<rect width="%d" height="%d" fill="%s"/>%s' % (width, height, WINDOW, "".join(parts))
    render(svg(width, height, body), path, workdir)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sheet", metavar="PNG", help="also write a contact sheet of every image")
    args = parser.parse_args()
    if not shutil.which("rsvg-convert"):
        sys.exit("make-images: rsvg-convert is missing (apt-get install librsvg2-bin)")
    os.makedirs(OUT_DIR, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="torvex-images-") as workdir:
        images = all_images()
        for name, text in sorted(images.items()):
            render(text, os.path.join(OUT_DIR, name + ".png"), workdir)
        print("make-images: wrote %d images to %s" % (len(images), os.path.relpath(OUT_DIR, ROOT)))
        count = desktop_icons(workdir)
        print("make-images: wrote %d desktop icons to %s" % (count, os.path.relpath(ICON_DIR, ROOT)))
        if args.sheet:
            contact_sheet(os.path.abspath(args.sheet), workdir)
            print("make-images: contact sheet %s" % args.sheet)


if __name__ == "__main__":
    main()
