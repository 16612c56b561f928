#!/usr/bin/env python3
"""Draws the pictures of the two themes shipped with the program, handdrawn
and chalk, into gfx/themes/<theme>/ with ImageMagick's convert. The PNG files
are kept in the repository; the build only packs them (gfx/<theme>.zip).
Run again after changing a shape: python3 gfx/themes/draw_themes.py"""
import os
import random
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))

# Shapes on a 32 x 32 grid: ("line", points), ("loop", points) closed,
# ("circle", cx, cy, r), ("text", x, y, glyph).
P = "poly"
SHAPES = {
    "new": [(P, [(8, 3), (20, 3), (25, 8), (25, 29), (8, 29)], True), (P, [(20, 3), (20, 8), (25, 8)], False)],
    "add": [(P, [(16, 5), (16, 27)], False), (P, [(5, 16), (27, 16)], False)],
    "infiles": [(P, [(6, 3), (18, 3), (22, 7), (22, 27), (6, 27)], True), (P, [(26, 14), (26, 29), (12, 29)], False)],
    "infolder": [(P, [(3, 9), (12, 9), (14, 12), (29, 12), (29, 27), (3, 27)], True)],
    "outfolder": [(P, [(3, 9), (12, 9), (14, 12), (29, 12), (29, 27), (3, 27)], True), (P, [(9, 20), (22, 20)], False), (P, [(18, 16), (22, 20), (18, 24)], False)],
    "outformat": [(P, [(4, 6), (28, 6), (28, 26), (4, 26)], True), (P, [(6, 24), (13, 14), (18, 20), (21, 17), (26, 24)], False), ("circle", 22, 11, 2)],
    "favfolder": [(P, [(16, 3), (19, 12), (29, 12), (21, 18), (24, 28), (16, 22), (8, 28), (11, 18), (3, 12), (13, 12)], True)],
    "importfiles": [(P, [(16, 3), (16, 19)], False), (P, [(10, 13), (16, 19), (22, 13)], False), (P, [(4, 20), (4, 28), (28, 28), (28, 20)], False)],
    "exportfiles": [(P, [(16, 19), (16, 3)], False), (P, [(10, 9), (16, 3), (22, 9)], False), (P, [(4, 20), (4, 28), (28, 28), (28, 20)], False)],
    "exit": [(P, [(18, 4), (6, 4), (6, 28), (18, 28)], False), (P, [(12, 16), (28, 16)], False), (P, [(23, 11), (28, 16), (23, 21)], False)],
    "copy": [(P, [(4, 4), (18, 4), (18, 20), (4, 20)], True), (P, [(12, 12), (28, 12), (28, 28), (12, 28)], True)],
    "delete": [(P, [(7, 7), (25, 25)], False), (P, [(25, 7), (7, 25)], False)],
    "selectall": [(P, [(4, 4), (9, 4)], False), (P, [(14, 4), (18, 4)], False), (P, [(23, 4), (28, 4), (28, 9)], False), (P, [(28, 14), (28, 18)], False), (P, [(28, 23), (28, 28), (23, 28)], False), (P, [(18, 28), (14, 28)], False), (P, [(9, 28), (4, 28), (4, 23)], False), (P, [(4, 18), (4, 14)], False), (P, [(4, 9), (4, 4)], False)],
    "convert": [(P, [(4, 12), (17, 12), (17, 5), (29, 16), (17, 27), (17, 20), (4, 20)], True)],
    "error": [("circle", 16, 16, 12), (P, [(16, 9), (16, 18)], False), (P, [(16, 22), (16, 23)], False)],
    "preferences": [("circle", 16, 16, 6), (P, [(16, 3), (16, 8)], False), (P, [(16, 24), (16, 29)], False), (P, [(3, 16), (8, 16)], False), (P, [(24, 16), (29, 16)], False), (P, [(7, 7), (11, 11)], False), (P, [(21, 21), (25, 25)], False), (P, [(25, 7), (21, 11)], False), (P, [(11, 21), (7, 25)], False)],
    "customconverter": [("circle", 13, 13, 8), (P, [(19, 19), (28, 28)], False)],
    "help": [("circle", 16, 16, 12), (P, [(12, 12), (13, 9), (16, 8), (19, 9), (20, 12), (16, 16), (16, 19)], False), (P, [(16, 23), (16, 24)], False)],
    "email": [(P, [(3, 8), (29, 8), (29, 25), (3, 25)], True), (P, [(3, 8), (16, 18), (29, 8)], False)],
    "web": [("circle", 16, 16, 12), (P, [(4, 16), (28, 16)], False), (P, [(16, 4), (11, 10), (11, 22), (16, 28)], False), (P, [(16, 4), (21, 10), (21, 22), (16, 28)], False)],
    "updates": [(P, [(26, 16), (24, 9), (17, 5), (10, 7), (6, 13), (6, 19), (10, 25), (17, 27), (23, 24)], False), (P, [(21, 14), (26, 16), (28, 10)], False)],
    "about": [("circle", 16, 16, 12), (P, [(16, 14), (16, 23)], False), (P, [(16, 9), (16, 10)], False)],
}
# Image names of the program and the picture each one takes.
ICONS = {
    "New": "new", "Add": "add", "InFiles": "infiles", "InFolder": "infolder",
    "OutFolder": "outfolder", "OutFormat": "outformat", "FavFolder": "favfolder",
    "ImportFiles": "importfiles", "ExportFiles": "exportfiles", "Exit": "exit",
    "Copy": "copy", "Delete": "delete", "SelectAll": "selectall", "Convert": "convert",
    "Error": "error", "Preferences": "preferences", "CustomConverter": "customconverter",
    "Help": "help", "Email": "email", "Web": "web", "Updates": "updates", "About": "about",
}
THEMES = {
    # id: display name, stroke, fill of closed shapes, jitter in grid units
    "handdrawn": ("Hand-drawn", "#2b2b2b", "#f4e7b0", 0.7),
    "chalk": ("Chalk on slate", "#f2f2f2", "#3f6f8f", 0.4),
}


def mvg(shape_list, size, stroke, fill, jitter, seed):
    rnd = random.Random(seed)
    k = size / 32.0
    width = max(1.2, 2.2 * k)
    out = [f"stroke '{stroke}' stroke-width {width:.2f} stroke-linecap round stroke-linejoin round"]
    for shape in shape_list:
        if shape[0] == "circle":
            _, cx, cy, r = shape
            out.append(f"fill '{fill}' circle {cx * k:.2f},{cy * k:.2f} {(cx + r) * k:.2f},{cy * k:.2f}")
            continue
        _, points, closed = shape
        pts = " ".join(f"{(x + rnd.uniform(-jitter, jitter)) * k:.2f},{(y + rnd.uniform(-jitter, jitter)) * k:.2f}"
                       for x, y in points)
        if closed:
            out.append(f"fill '{fill}' polygon {pts}")
        else:
            out.append(f"fill none polyline {pts}")
    return "\n".join(out)


def draw(path, shape_list, size, stroke, fill, jitter, seed):
    script = mvg(shape_list, size, stroke, fill, jitter, seed)
    subprocess.run(["convert", "-size", f"{size}x{size}", "xc:none", "-draw", script,
                    "-strip", f"PNG32:{path}"], check=True)


for theme, (name, stroke, fill, jitter) in THEMES.items():
    folder = os.path.join(HERE, theme)
    os.makedirs(folder, exist_ok=True)
    for picture, shape_list in SHAPES.items():
        for size in (16, 32):
            draw(os.path.join(folder, f"{picture}_{size}.png"), shape_list, size, stroke, fill,
                 jitter, picture)
    draw(os.path.join(folder, "convert_button.png"), SHAPES["convert"], 64, stroke, fill, jitter,
         "button")
    lines = ["[Theme]", f"Name = {name}", "[Buttons]", "Convert = convert_button.png", "[Icons]"]
    lines += [f"{image} = {picture}" for image, picture in ICONS.items()]
    with open(os.path.join(folder, "theme.cfg"), "w", newline="") as cfg:
        cfg.write("\r\n".join(lines) + "\r\n")
