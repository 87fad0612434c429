# -*- coding: utf-8 -*-
# Writes dotgrid.rc: the halftone cell editor HTDIAG of dotgrid.dll with its
# language variants, and the module's strings (id n + 20 x the language
# index: 0 the brand's line, 1 to 12 the built-in cells). Edit the tables
# and run this script; never edit dotgrid.rc by hand.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "ds", "resources"))
from make_dialogs import LANGS, PLACE, dialog_template, string_table  # noqa: E402

STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# Texts: [en, de, fr, it, es, nl].
T = {
    "title": ["Halftone Cell", "Rasterzelle", "Cellule de trame", "Cella di retino", "Celda de trama",
              "Rastercel"],
    "hint": ["Click the places in the order they turn black.",
             "Klicken Sie die Felder in der Reihenfolge an, in der sie schwarz werden.",
             "Cliquez les cases dans l'ordre où elles noircissent.",
             "Fare clic sulle caselle nell'ordine in cui diventano nere.",
             "Haga clic en las casillas en el orden en que se vuelven negras.",
             "Klik de vakjes aan in de volgorde waarin ze zwart worden."],
    "start": ["Start from:", "Ausgehen von:", "Partir de :", "Partire da:", "Partir de:", "Uitgaan van:"],
    "use": ["&Use", "&Übernehmen", "&Utiliser", "&Usa", "&Usar", "&Gebruiken"],
    "clear": ["C&lear", "&Leeren", "&Effacer", "&Cancella", "&Borrar", "&Wissen"],
    "patterns": ["Patterns:", "Muster:", "Motifs :", "Motivi:", "Patrones:", "Patronen:"],
    "ok": ["OK"] * 6,
    "cancel": ["Cancel", "Abbrechen", "Annuler", "Annulla", "Cancelar", "Annuleren"],
}

CELLS = [
    ["8 x 8 coarse", "8 x 8 grob", "8 x 8 grossier", "8 x 8 grossa", "8 x 8 grueso", "8 x 8 grof"],
    ["8 x 8 fine", "8 x 8 fein", "8 x 8 fin", "8 x 8 fine", "8 x 8 fino", "8 x 8 fijn"],
    ["8 x 8 very fine", "8 x 8 sehr fein", "8 x 8 très fin", "8 x 8 molto fine", "8 x 8 muy fino",
     "8 x 8 zeer fijn"],
    ["8 x 8 finest", "8 x 8 feinst", "8 x 8 le plus fin", "8 x 8 finissima", "8 x 8 finísimo",
     "8 x 8 fijnst"],
    ["6 x 6"] * 6,
    ["5 x 5 pattern 1", "5 x 5 Muster 1", "5 x 5 motif 1", "5 x 5 motivo 1", "5 x 5 patrón 1",
     "5 x 5 patroon 1"],
    ["5 x 5 pattern 2", "5 x 5 Muster 2", "5 x 5 motif 2", "5 x 5 motivo 2", "5 x 5 patrón 2",
     "5 x 5 patroon 2"],
    ["4 x 4 pattern 1", "4 x 4 Muster 1", "4 x 4 motif 1", "4 x 4 motivo 1", "4 x 4 patrón 1",
     "4 x 4 patroon 1"],
    ["4 x 4 pattern 2", "4 x 4 Muster 2", "4 x 4 motif 2", "4 x 4 motivo 2", "4 x 4 patrón 2",
     "4 x 4 patroon 2"],
    ["4 x 4 pattern 3", "4 x 4 Muster 3", "4 x 4 motif 3", "4 x 4 motivo 3", "4 x 4 patrón 3",
     "4 x 4 patroon 3"],
    ["3 x 3"] * 6,
    ["2 x 2"] * 6,
]

LAYOUT = [
    ("label", 310, "hint", 8, 6, 244, 9),
    (PLACE, 300, None, 8, 18, 120, 120),
    ("label", 311, "start", 136, 18, 116, 9),
    ("list", 302, None, 136, 28, 116, 120),
    ("button", 303, "use", 136, 44, 56, 14),
    ("button", 301, "clear", 196, 44, 56, 14),
    ("label", 312, "patterns", 136, 66, 116, 9),
    (PLACE, 304, None, 136, 76, 116, 40),
    ("default", 1, "ok", 136, 124, 56, 14),
    ("button", 2, "cancel", 196, 124, 56, 14),
]


def main():
    lines = ["// The halftone cell editor of dotgrid.dll: HTDIAG (English) and HTDIAG_G,",
             "// _F, _I, _S, _D, and the module's strings, id n + 20 x the language index.",
             "// Made by make_resources.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        lines += dialog_template("HTDIAG", li, 260, 146, STYLE, T["title"][li], LAYOUT, T)
        lines += string_table({n + 1: names for n, names in enumerate(CELLS)}, li, 20)
        lines.append("")
    with open(os.path.join(here, "dotgrid.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
