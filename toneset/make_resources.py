# -*- coding: utf-8 -*-
# Writes toneset.rc: the brightness and contrast dialog TONESET with its
# language variants, from one layout and one table of texts, and the
# module's strings (id n + 10 x the language index). Edit the tables and
# run this script; never edit toneset.rc by hand.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "ds", "resources"))
from make_dialogs import LANGS, PLACE, dialog_template, string_table  # noqa: E402

STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# Texts: [en, de, fr, it, es, nl].
T = {
    "title": ["Brightness/Contrast", "Helligkeit/Kontrast", "Luminosité/Contraste",
              "Luminosità/Contrasto", "Brillo/Contraste", "Helderheid/Contrast"],
    "brightness": ["Brightness:", "Helligkeit:", "Luminosité :", "Luminosità:", "Brillo:", "Helderheid:"],
    "contrast": ["Contrast:", "Kontrast:", "Contraste :", "Contrasto:", "Contraste:", "Contrast:"],
    "rgb": ["&RGB"] * 6,
    "red": ["R&ed", "R&ot", "R&ouge", "R&osso", "R&ojo", "R&ood"],
    "green": ["&Green", "&Grün", "&Vert", "&Verde", "&Verde", "&Groen"],
    "blue": ["&Blue", "&Blau", "&Bleu", "&Blu", "A&zul", "&Blauw"],
    "gray": ["Gray", "Grau", "Gris", "Grigio", "Gris", "Grijs"],
    "default": ["&Default", "&Beispielbild", "Image d'&exemple", "Immagine di &esempio",
                "Imagen de &ejemplo", "Voorbeeld&beeld"],
    "prescan": ["Presca&n", "&Vorschau", "&Prénumérisation", "A&nteprima", "&Previsualización", "Voor&scan"],
    "ok": ["&OK"] * 6,
    "cancel": ["&Cancel", "Abbre&chen", "&Annuler", "A&nnulla", "&Cancelar", "&Annuleren"],
    "help": ["&Help", "&Hilfe", "Ai&de", "A&iuto", "A&yuda", "&Help"],
    "reset": ["Re&set", "&Zurücksetzen", "&Réinitialiser", "&Ripristina", "&Restablecer", "&Herstellen"],
}

# Module strings, n = 0 and 1.
S = {
    0: ["Open bitmap file procedure failed.", "Die Bilddatei konnte nicht geöffnet werden.",
        "Impossible d'ouvrir le fichier image.", "Impossibile aprire il file immagine.",
        "No se pudo abrir el archivo de imagen.", "Het afbeeldingsbestand kon niet worden geopend."],
    1: ["Flatbed Scanner", "Flachbettscanner", "Scanner à plat", "Scanner piano", "Escáner plano",
        "Flatbedscanner"],
}

WIDTH, HEIGHT = 240, 203
# The image area (3030) has the size of the setup window's preview, so that
# the rendering the dialog hands back fits the setup window as it is.
LAYOUT = [
    (PLACE, 3030, None, 6, 6, 108, 191),
    ("label", 3021, "brightness", 122, 8, 84, 9),
    ("text", 3018, None, 210, 8, 24, 9),
    ("hscroll", 3001, None, 122, 18, 112, 10),
    ("label", 3022, "contrast", 122, 34, 84, 9),
    ("text", 3019, None, 210, 34, 24, 9),
    ("hscroll", 3011, None, 122, 44, 112, 10),
    (PLACE, 3002, None, 122, 60, 112, 58),
    ("radio", 3003, "rgb", 128, 64, 100, 10),
    ("radio", 3004, "red", 128, 74, 100, 10),
    ("radio", 3005, "green", 128, 84, 100, 10),
    ("radio", 3006, "blue", 128, 94, 100, 10),
    ("radio", 3007, "gray", 128, 104, 100, 10),
    (PLACE, 3015, None, 122, 122, 112, 28),
    ("radio", 3016, "default", 128, 126, 100, 10),
    ("radio", 3017, "prescan", 128, 136, 100, 10),
    ("default", 3012, "ok", 122, 156, 54, 14),
    ("button", 3013, "cancel", 180, 156, 54, 14),
    ("button", 3020, "reset", 122, 174, 54, 14),
    ("button", 3014, "help", 180, 174, 54, 14),
]


def template(li):
    return dialog_template("TONESET", li, WIDTH, HEIGHT, STYLE, T["title"][li], LAYOUT, T)


def main():
    lines = ["// The brightness and contrast dialog of toneset.dll: TONESET (English)",
             "// and TONESET_G, _F, _I, _S, _D, and the module's strings, id n + 10 x",
             "// the language index. Made by make_resources.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        lines += template(li)
        lines += string_table(S, li, 10)
        lines.append("")
    with open(os.path.join(here, "toneset.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
