# -*- coding: utf-8 -*-
# Writes the resources of level.dll: level.rc with the level dialog LEVEL
# (English), LEVEL_G and LEVEL_F, and the module's strings (id n + 20 x the
# language index, English, German and French). Edit the tables and run this
# script; never edit level.rc by hand.
#
# With an output folder as argument it draws the marker bitmaps IDL_LOW,
# IDL_MED and IDL_HIG and the drag cursor IDL_HAND0 there instead (at build
# time) and writes pictures.rc naming them.
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "ds", "resources"))
from make_dialogs import PLACE, dialog_template, string_table  # noqa: E402

LANGS = ["English", "German", "French"]
STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# Texts: [en, de, fr].
T = {
    "title": ["Levels", "Tonwerte", "Niveaux"],
    "channel": ["Channel:", "Kanal:", "Couche :"],
    "input": ["Input Level :", "Tonwert :", "Niveau d'entrée :"],
    "ratio": ["Black Ratio :", "Schwarzanteil :", "Part de noir :"],
    "default": ["Default", "Beispielbild", "Image d'exemple"],
    "prescan": ["Prescan", "Vorschau", "Prénumérisation"],
    "ok": ["OK"] * 3,
    "cancel": ["Cancel", "Abbrechen", "Annuler"],
    "reset": ["Reset", "Zurücksetzen", "Réinitialiser"],
    "auto": ["Auto", "Auto", "Auto"],
    "help": ["Help", "Hilfe", "Aide"],
}

# Module strings, n + 20 x the language index.
S = {
    0: ["Open bitmap file procedure failed.", "Die Bilddatei konnte nicht geöffnet werden.",
        "Impossible d'ouvrir le fichier image."],
    1: ["Flatbed Scanner", "Flachbettscanner", "Scanner à plat"],
    10: ["RGB", "RGB", "RVB"],
    11: ["Red", "Rot", "Rouge"],
    12: ["Green", "Grün", "Vert"],
    13: ["Blue", "Blau", "Bleu"],
    14: ["Gray", "Grau", "Gris"],
}

WIDTH, HEIGHT = 300, 203
SUFFIX = ["", "_G", "_F"]

# The picture area (7028) has the size of the setup window's preview, so
# that the rendering handed back fits the setup window as it is.
LAYOUT = [
    (PLACE, 7028, None, 6, 6, 108, 191),
    ("label", 7030, "channel", 122, 8, 50, 9),
    ("list", 7000, None, 174, 6, 120, 80),
    (PLACE, 7027, None, 122, 24, 172, 80),
    (PLACE, 7029, None, 122, 106, 172, 8),
    ("label", 7031, "input", 122, 126, 58, 9),
    (PLACE, 7024, None, 182, 124, 34, 12),
    ("text", 7003, None, 185, 126, 28, 9),
    (PLACE, 7025, None, 221, 124, 34, 12),
    ("text", 7004, None, 224, 126, 28, 9),
    (PLACE, 7026, None, 260, 124, 34, 12),
    ("text", 7005, None, 263, 126, 28, 9),
    ("label", 7032, "ratio", 122, 142, 58, 9),
    ("text", 7022, None, 185, 142, 28, 9),
    (PLACE, 7033, None, 122, 154, 172, 14),
    ("radio", 7012, "default", 128, 156, 80, 10),
    ("radio", 7013, "prescan", 210, 156, 80, 10),
    ("default", 7006, "ok", 122, 172, 54, 14),
    ("button", 7007, "cancel", 181, 172, 54, 14),
    ("button", 7019, "reset", 240, 172, 54, 14),
    ("button", 7009, "auto", 122, 188, 54, 12),
    ("button", 7008, "help", 181, 188, 54, 12),
]


def write_sources():
    lines = ["// The level dialog of level.dll: LEVEL (English), LEVEL_G and LEVEL_F,",
             "// and the module's strings, id n + 20 x the language index. Made by",
             "// make_resources.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        out = dialog_template("LEVEL", li, WIDTH, HEIGHT, STYLE, T["title"][li], LAYOUT, T)
        lines += out
        lines += string_table(S, li, 20)
        lines.append("")
    with open(os.path.join(here, "level.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


# The markers: a triangle pointing up at the level it marks, on the grey of
# the dialog (drawn transparently over the marker bar).
MW, MH = 11, 10
GREY = (192, 192, 192)
MARKERS = {"IDL_LOW": (0, 0, 0), "IDL_MED": (128, 128, 128), "IDL_HIG": (255, 255, 255)}


def marker_bmp(fill):
    px = [[GREY] * MW for _ in range(MH)]
    for y in range(MH):
        half = y * (MW // 2) // (MH - 1)
        for x in range(MW // 2 - half, MW // 2 + half + 1):
            edge = x in (MW // 2 - half, MW // 2 + half) or y == MH - 1
            px[y][x] = (0, 0, 0) if edge else fill
    row = (MW * 3 + 3) & ~3
    data = b""
    for y in range(MH - 1, -1, -1):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in px[y])
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, MW, MH, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def write_pictures(out):
    import make_pictures
    os.makedirs(out, exist_ok=True)
    lines = ["// The markers and the drag cursor of level.dll, made by make_resources.py."]
    for name, fill in MARKERS.items():
        path = os.path.join(out, name + ".bmp")
        with open(path, "wb") as f:
            f.write(marker_bmp(fill))
        lines.append('%s BITMAP "%s"' % (name, path.replace("\\", "/")))
    shape, hotspot = make_pictures.hand_cursor()
    path = os.path.join(out, "IDL_HAND0.cur")
    with open(path, "wb") as f:
        f.write(make_pictures.cur_bytes(shape, hotspot))
    lines.append('IDL_HAND0 CURSOR "%s"' % path.replace("\\", "/"))
    with open(os.path.join(out, "pictures.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) > 1:
        write_pictures(sys.argv[1])
    else:
        write_sources()
