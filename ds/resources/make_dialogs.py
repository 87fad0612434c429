# -*- coding: utf-8 -*-
# Writes setup_dialogs.rc, the setup window's dialog templates in the six
# languages, from one layout and one table of texts: every template has the
# same controls at the same places, so a layout that fits the longest texts
# fits them all. Edit the tables and run this script; never edit
# setup_dialogs.rc by hand.
import os

LANGS = ["English", "German", "French", "Italian", "Spanish", "Dutch"]
SUFFIX = ["", "_G", "_F", "_I", "_S", "_D"]

# Texts of the templates: [en, de, fr, it, es, nl].
T = {
    "scan": ["&Scan", "&Scannen", "&Numériser", "&Scansione", "&Escanear", "&Scannen"],
    "prescan": ["&Prescan", "&Vorschau", "&Prénumériser", "&Anteprima", "&Previsualizar", "&Voorbeeld"],
    "cancel": ["&Cancel", "Abbre&chen", "&Annuler", "A&nnulla", "&Cancelar", "&Annuleren"],
    "reset": ["&Reset", "&Zurücksetzen", "&Réinitialiser", "&Ripristina", "&Restablecer", "&Herstellen"],
    "info": ["&Info", "&Info", "&Infos", "&Info", "&Info", "&Info"],
    "help": ["&Help", "&Hilfe", "Ai&de", "A&iuto", "A&yuda", "&Help"],
    "a4": ["A&4"] * 6,
    "letter": ["&Letter"] * 6,
    "legal": ["L&egal"] * 6,
    "a5": ["A&5"] * 6,
    "b5": ["&B5"] * 6,
    "area": ["Scan Area Size", "Scanbereich", "Format de la page", "Formato della pagina", "Tamaño de página", "Paginaformaat"],
    "dpi": [" dpi"] * 6,
    "more": ["More...", "Mehr...", "Plus...", "Altro...", "Más...", "Meer..."],
    "options": ["&Option Settings...", "&Optionen...", "&Options...", "&Opzioni...", "&Opciones...", "&Opties..."],
    "mode": ["&Mode:", "&Modus:", "&Mode :", "&Modalità:", "&Modo:", "&Modus:"],
    "resolution": ["Resolution:", "Auflösung:", "Résolution :", "Risoluzione:", "Resolución:", "Resolutie:"],
    "scaling": ["Scaling:", "Skalierung:", "Échelle :", "Scala:", "Escala:", "Schaal:"],
    "unit": ["&Unit:", "&Einheit:", "&Unité :", "&Unità:", "&Unidad:", "&Eenheid:"],
    "width": ["Width:", "Breite:", "Largeur :", "Larghezza:", "Ancho:", "Breedte:"],
    "length": ["Length:", "Länge:", "Longueur :", "Lunghezza:", "Largo:", "Lengte:"],
    "size": ["Image size:", "Bildgröße:", "Taille :", "Dimensione:", "Tamaño:", "Grootte:"],
}

# The layout in dialog units: (kind, id, text key or None, x, y, w, h).
# Places the window paints itself (preview, rulers, tool buttons, status
# line, frames) are plain statics that the window hides at start.
PLACE = "place"
LAYOUT = [
    # Frames and separators.
    (PLACE, 1050, None, 2, 3, 130, 213),
    (PLACE, 1051, None, 2, 218, 130, 24),
    (PLACE, 1052, None, 136, 3, 164, 168),
    (PLACE, 1053, None, 140, 101, 156, 1),
    (PLACE, 1054, None, 304, 3, 68, 130),
    (PLACE, 1055, None, 308, 44, 60, 1),
    (PLACE, 1056, None, 2, 245, 370, 1),
    # The preview with its rulers.
    (PLACE, 1058, None, 20, 6, 108, 12),
    (PLACE, 1059, None, 6, 18, 14, 196),
    (PLACE, 1057, None, 20, 18, 108, 191),
    # The drawn tool buttons and the source button.
    (PLACE, 1111, None, 8, 221, 22, 18),
    (PLACE, 1110, None, 32, 221, 22, 18),
    (PLACE, 1112, None, 56, 221, 22, 18),
    (PLACE, 1114, None, 82, 221, 22, 18),
    (PLACE, 1115, None, 104, 221, 22, 18),
    (PLACE, 1119, None, 104, 221, 22, 18),
    # The status line.
    (PLACE, 1090, None, 2, 248, 30, 11),
    (PLACE, 1089, None, 34, 248, 338, 11),
    # Scan parameters.
    ("label", -1, "mode", 142, 10, 54, 9),
    ("list", 1022, None, 198, 8, 96, 80),
    ("label", -1, "resolution", 142, 28, 54, 9),
    ("edit", 1025, None, 198, 26, 34, 13),
    ("text", 1026, "dpi", 233, 28, 16, 9),
    ("button", 1218, "more", 252, 25, 42, 14),
    ("hscroll", 1024, None, 142, 43, 152, 10),
    ("label", -1, "scaling", 142, 60, 54, 9),
    ("text", 1029, None, 198, 60, 60, 9),
    ("hscroll", 1030, None, 142, 72, 152, 10),
    ("label", -1, "unit", 142, 88, 54, 9),
    ("list", 1037, None, 198, 86, 96, 70),
    ("label", -1, "width", 142, 107, 54, 9),
    ("text", 1042, None, 198, 107, 96, 9),
    ("label", -1, "length", 142, 119, 54, 9),
    ("text", 1044, None, 198, 119, 96, 9),
    ("label", -1, "size", 142, 131, 54, 9),
    ("text", 1046, None, 198, 131, 96, 9),
    ("button", 1060, "options", 142, 149, 152, 14),
    # Page sizes of the document feeder.
    ("group", 1120, "area", 136, 175, 164, 34),
    ("button", 1007, "a4", 142, 189, 28, 14),
    ("button", 1008, "letter", 173, 189, 28, 14),
    ("button", 1010, "legal", 204, 189, 28, 14),
    ("button", 1009, "a5", 235, 189, 28, 14),
    ("button", 1015, "b5", 266, 189, 28, 14),
    # Commands.
    ("default", 1001, "scan", 308, 8, 60, 15),
    ("button", 1002, "prescan", 308, 26, 60, 15),
    ("button", 1004, "reset", 308, 50, 60, 15),
    ("button", 1005, "info", 308, 68, 60, 15),
    ("button", 1006, "help", 308, 86, 60, 15),
    ("button", 1003, "cancel", 308, 112, 60, 15),
]

WIDTH, HEIGHT = 374, 261

STYLES = {
    PLACE: ('"Static"', "SS_LEFT"),
    "label": ('"Static"', "SS_LEFT"),
    "text": ('"Static"', "SS_LEFT | SS_NOPREFIX"),
    "list": ('"ComboBox"', "CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP"),
    "edit": ('"Edit"', "ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP"),
    "hscroll": ('"ScrollBar"', "SBS_HORZ | WS_TABSTOP"),
    "button": ('"Button"', "BS_PUSHBUTTON | WS_TABSTOP"),
    "default": ('"Button"', "BS_DEFPUSHBUTTON | WS_TABSTOP"),
    "group": ('"Button"', "BS_GROUPBOX"),
    "listbox": ('"ListBox"', "LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP"),
    "radio": ('"Button"', "BS_RADIOBUTTON | WS_TABSTOP"),
    "check": ('"Button"', "BS_AUTOCHECKBOX | WS_TABSTOP"),
    "rlabel": ('"Static"', "SS_RIGHT"),
    "path": ('"Static"', "SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS"),
}


def esc(s):
    return s.replace('"', '""')


def control_line(kind, cid, text, x, y, w, h):
    cls, style = STYLES[kind]
    return ('    CONTROL "%s", %d, %s, %s | WS_CHILD | WS_VISIBLE, %d, %d, %d, %d'
            % (esc(text), cid, cls, style, x, y, w, h))


def dialog_template(name, li, width, height, style, caption, layout, texts):
    """One template: `name` with the language's suffix, the controls of
    `layout` (kind, id, text key, x, y, w, h) with their texts from `texts`."""
    out = ["%s%s DIALOGEX 0, 0, %d, %d" % (name, SUFFIX[li], width, height),
           "STYLE " + style]
    if caption is not None:
        out.append('CAPTION "%s"' % esc(caption))
    out += ['FONT 8, "MS Shell Dlg"', "BEGIN"]
    for kind, cid, key, x, y, w, h in layout:
        out.append(control_line(kind, cid, texts[key][li] if key else "", x, y, w, h))
    out.append("END")
    return out


def string_table(strings, li, stride):
    """The STRINGTABLE of one language: strings[n][li] under id n + stride x li."""
    out = ["STRINGTABLE", "BEGIN"]
    for n in sorted(strings):
        out.append('    %d, "%s"' % (n + stride * li, esc(strings[n][li])))
    return out + ["END"]


def template(li):
    return dialog_template("SCANNER", li, WIDTH, HEIGHT,
                           "DS_SETFONT | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"
                           " | WS_MINIMIZEBOX | WS_CLIPCHILDREN", None, LAYOUT, T)


def main():
    lines = ["// Dialog templates of the setup window: SCANNER (English) and SCANNER_G,",
             "// _F, _I, _S, _D (German, French, Italian, Spanish, Dutch). Made by",
             "// make_dialogs.py from one layout; the control ids are the window's.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        lines += template(li)
        lines.append("")
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "setup_dialogs.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
