# -*- coding: utf-8 -*-
# Writes about.rc: the about box ABOUT of About.dll with its language
# variants, and the module's strings (id n + 10 x the language index). Edit
# the tables and run this script; never edit about.rc by hand.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "ds", "resources"))
from make_dialogs import LANGS, dialog_template, string_table  # noqa: E402

STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# Texts: [en, de, fr, it, es, nl].
T = {
    "title": ["About", "Info", "À propos", "Informazioni", "Acerca de", "Info"],
    "model": ["Model:", "Modell:", "Modèle :", "Modello:", "Modelo:", "Model:"],
    "firmware": ["Firmware:", "Firmware:", "Microprogramme :", "Firmware:", "Firmware:", "Firmware:"],
    "version": ["Version:", "Version:", "Version :", "Versione:", "Versión:", "Versie:"],
    "ok": ["OK"] * 6,
}
# Module strings: 0 the product line under the brand.
S = {
    0: ["Flatbed Scanner TWAIN Data Source", "TWAIN-Datenquelle für Flachbettscanner",
        "Source de données TWAIN pour scanner à plat", "Origine dati TWAIN per scanner piano",
        "Origen de datos TWAIN para escáner plano", "TWAIN-gegevensbron voor flatbedscanner"],
}

LAYOUT = [
    ("text", 100, None, 10, 8, 180, 10),
    ("text", 104, None, 10, 20, 180, 9),
    ("label", 110, "model", 10, 38, 60, 9),
    ("text", 101, None, 74, 38, 116, 9),
    ("label", 111, "firmware", 10, 50, 60, 9),
    ("text", 102, None, 74, 50, 116, 9),
    ("label", 112, "version", 10, 62, 60, 9),
    ("text", 103, None, 74, 62, 116, 9),
    ("default", 1, "ok", 75, 80, 50, 14),
]


def main():
    lines = ["// The about box of About.dll: ABOUT (English) and ABOUT_G, _F, _I, _S,",
             "// _D, and the module's strings, id n + 10 x the language index. Made by",
             "// make_resources.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        lines += dialog_template("ABOUT", li, 200, 102, STYLE, T["title"][li], LAYOUT, T)
        lines += string_table(S, li, 10)
        lines.append("")
    with open(os.path.join(here, "about.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
