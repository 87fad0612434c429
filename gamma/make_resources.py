# -*- coding: utf-8 -*-
# Writes the resources of gamma.dll: gamma.rc with the gamma curve dialog
# GAMMA, the gamma value dialog GammaValue, the curve file dialogs LOAD and
# SAVE (each with its language variants), the module's strings (id n + 30
# x the language index) and the 19 built-in curves, whose 256 bytes are
# written to curves/*.bin. Edit the tables and run this script; never edit
# gamma.rc or the curve files by hand.
#
# With an output folder as argument it draws the drag cursor IDHAND0 there
# instead (at build time) and writes cursor.rc naming it.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "ds", "resources"))
from make_dialogs import LANGS, PLACE, dialog_template, string_table  # noqa: E402
import make_small_dialogs  # noqa: E402

STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# The y of P0..P9 of each built-in curve, by number (1 to 19).
CURVES = [
    ("STANDARD", None),
    ("LSHADOWS_M", [23, 102, 122, 139, 156, 177, 198, 220, 243, 255]),
    ("LMIDTONES_M", [0, 38, 107, 160, 185, 200, 212, 225, 243, 255]),
    ("LHILIGHTS_M", [0, 38, 81, 123, 171, 225, 244, 252, 254, 255]),
    ("DSHADOWS_M", [0, 4, 65, 122, 149, 176, 198, 220, 243, 255]),
    ("DMIDTONES_M", [0, 38, 65, 82, 95, 110, 161, 216, 244, 255]),
    ("DHILIGHTS_M", [0, 38, 81, 120, 146, 158, 166, 176, 186, 190]),
    ("LSHADOWS_L", [23, 93, 119, 143, 163, 182, 200, 216, 232, 239]),
    ("LMIDTONES_L", [0, 38, 105, 160, 185, 201, 213, 225, 235, 239]),
    ("LHILIGHTS_L", [0, 38, 81, 123, 170, 205, 221, 229, 235, 237]),
    ("DSHADOWS_L", [0, 4, 75, 127, 149, 176, 198, 217, 234, 240]),
    ("DMIDTONES_L", [0, 38, 66, 82, 95, 112, 161, 216, 237, 242]),
    ("DHILIGHTS_L", [0, 55, 101, 132, 146, 158, 166, 176, 186, 190]),
]
# The PaintJet curves are those of the LaserJet.
CURVES += [(name[:-1] + "P", ys) for name, ys in CURVES[7:13]]
XS = [0, 30, 60, 90, 120, 150, 180, 210, 240, 255]


def curve_bytes(ys):
    if ys is None:
        # The identity with the entries 16k + 4 and 16k + 5 swapped.
        c = list(range(256))
        for k in range(1, 16):
            c[16 * k + 4], c[16 * k + 5] = c[16 * k + 5], c[16 * k + 4]
        return bytes(c)
    c = []
    for i in range(256):
        k = max(j for j in range(10) if XS[j] <= i)
        if k == 9:
            c.append(ys[9])
        else:
            c.append(ys[k] + round((ys[k + 1] - ys[k]) * (i - XS[k]) / (XS[k + 1] - XS[k])))
    return bytes(c)


# Texts: [en, de, fr, it, es, nl].
T = dict(make_small_dialogs.T)
T.update({
    "title": ["Gamma", "Gamma", "Gamma", "Gamma", "Gamma", "Gamma"],
    "rgb": ["&RGB"] * 6,
    "red": ["R&ed", "R&ot", "R&ouge", "R&osso", "R&ojo", "R&ood"],
    "green": ["&Green", "&Grün", "&Vert", "&Verde", "&Verde", "&Groen"],
    "blue": ["&Blue", "&Blau", "&Bleu", "&Blu", "A&zul", "&Blauw"],
    "gray": ["GR&AY", "GR&AU", "GR&IS", "GR&IGIO", "GR&IS", "GR&IJS"],
    "type": ["Standard", "Standard", "Standard", "Standard", "Estándar", "Standaard"],
    "user": ["&UserDefined", "&Benutzerdefiniert", "&Personnalisée", "&Personalizzata",
             "&Personalizada", "&Eigen curve"],
    "default": ["&Default", "&Beispielbild", "Image d'&exemple", "Immagine di &esempio",
                "Imagen de &ejemplo", "Voorbeeld&beeld"],
    "prescan": ["Presca&n", "&Vorschau", "&Prénumérisation", "A&nteprima", "&Previsualización",
                "Voor&scan"],
    "ok": ["&OK"] * 6,
    "reset": ["Re&set", "&Zurücksetzen", "&Réinitialiser", "&Ripristina", "&Restablecer",
              "&Herstellen"],
    "help": ["&Help", "&Hilfe", "Ai&de", "A&iuto", "A&yuda", "&Help"],
    "in": ["In", "Ein", "Entrée", "Ingresso", "Entrada", "In"],
    "out": ["Out", "Aus", "Sortie", "Uscita", "Salida", "Uit"],
    "value_title": ["Gamma Value", "Gammawert", "Valeur gamma", "Valore gamma", "Valor gamma",
                    "Gammawaarde"],
    "value_label": ["Gamma &Value : ", "Gamma&wert : ", "&Valeur gamma : ", "&Valore gamma : ",
                    "&Valor gamma : ", "Gamma&waarde : "],
    "hint": ["( 0.1 .. 7.9 )"] * 6,
    "value_ok": ["&Ok"] * 6,
    "value_cancel": ["&Cancel", "Abbre&chen", "&Annuler", "A&nnulla", "&Cancelar", "&Annuleren"],
    "load_title": ["Open Gamma Pattern File", "Gammakurve öffnen", "Ouvrir une courbe gamma",
                   "Apri curva gamma", "Abrir curva gamma", "Gammacurve openen"],
    "save_title": ["Save Gamma Pattern File", "Gammakurve speichern", "Enregistrer la courbe gamma",
                   "Salva curva gamma", "Guardar curva gamma", "Gammacurve opslaan"],
    "pattern": ["*.PAL"] * 6,
})

# Module strings, id n + 30 x the language index.
S = {
    0: ["Open bitmap file procedure failed.", "Die Bilddatei konnte nicht geöffnet werden.",
        "Impossible d'ouvrir le fichier image.", "Impossibile aprire il file immagine.",
        "No se pudo abrir el archivo de imagen.", "Het afbeeldingsbestand kon niet worden geopend."],
    1: ["Save halftone pattern file procedure failed.",
        "Die Kurvendatei konnte nicht gelesen oder geschrieben werden.",
        "Impossible de lire ou d'écrire le fichier de courbe.",
        "Impossibile leggere o scrivere il file della curva.",
        "No se pudo leer ni escribir el archivo de curva.",
        "Het curvebestand kon niet worden gelezen of geschreven."],
    2: ["Flatbed Scanner", "Flachbettscanner", "Scanner à plat", "Scanner piano", "Escáner plano",
        "Flatbedscanner"],
    10: T["type"],
    12: ["Monitor", "Monitor", "Moniteur", "Monitor", "Monitor", "Monitor"],
    13: ["LaserJet"] * 6,
    14: ["PaintJet"] * 6,
    15: T["value_title"],
    16: ["Lighten Shadows", "Tiefen aufhellen", "Éclaircir les ombres", "Schiarisci le ombre",
         "Aclarar sombras", "Schaduwen lichter"],
    17: ["Lighten Midtones", "Mitteltöne aufhellen", "Éclaircir les tons moyens",
         "Schiarisci i mezzitoni", "Aclarar medios tonos", "Middentonen lichter"],
    18: ["Lighten Hilights", "Lichter aufhellen", "Éclaircir les hautes lumières",
         "Schiarisci le luci", "Aclarar luces", "Hoge lichten lichter"],
    19: ["Darken Shadows", "Tiefen abdunkeln", "Assombrir les ombres", "Scurisci le ombre",
         "Oscurecer sombras", "Schaduwen donkerder"],
    20: ["Darken Midtones", "Mitteltöne abdunkeln", "Assombrir les tons moyens",
         "Scurisci i mezzitoni", "Oscurecer medios tonos", "Middentonen donkerder"],
    21: ["Darken Hilights", "Lichter abdunkeln", "Assombrir les hautes lumières",
         "Scurisci le luci", "Oscurecer luces", "Hoge lichten donkerder"],
    22: T["value_label"],
    23: T["value_ok"],
    24: T["value_cancel"],
}

WIDTH, HEIGHT = 352, 203


def gamma_layout(li):
    # The picture area (2056) has the size of the setup window's preview,
    # so that the rendering handed back fits the setup window as it is.
    layout = [
        (PLACE, 2056, None, 6, 6, 108, 191),
        ("label", 2024, "out", 120, 5, 40, 9),
        (PLACE, 2059, None, 122, 16, 6, 128),
        (PLACE, 2057, None, 130, 16, 128, 128),
        (PLACE, 2058, None, 130, 146, 128, 6),
        ("rlabel", 2023, "in", 198, 154, 60, 9),
        (PLACE, 2060, None, 266, 12, 80, 58 if li else 26),
    ]
    channels = [(2007, "rgb"), (2008, "red"), (2009, "green"), (2010, "blue"), (2011, "gray")]
    if li == 0:
        # The English dialog offers RGB and grey only.
        channels = [channels[0], channels[4]]
    for row, (cid, key) in enumerate(channels):
        layout.append(("radio", cid, key, 272, 16 + 10 * row, 70, 10))
    top = 76 if li else 44
    layout += [
        ("button", 2022, "type", 266, top, 80, 14),
        ("check", 2020, "user", 266, top + 18, 80, 10),
        (PLACE, 2061, None, 266, top + 32, 80, 28),
        ("radio", 2051, "default", 272, top + 36, 72, 10),
        ("radio", 2052, "prescan", 272, top + 46, 72, 10),
        ("default", 2002, "ok", 122, 166, 52, 14),
        ("button", 2003, "cancel", 178, 166, 52, 14),
        ("button", 2012, "reset", 234, 166, 52, 14),
        ("button", 2053, "help", 290, 166, 56, 14),
        ("button", 2054, "load", 122, 184, 52, 14),
        ("button", 2055, "save", 178, 184, 52, 14),
    ]
    return layout


VALUE_LAYOUT = [
    ("label", 2047, "value_label", 8, 10, 72, 9),
    ("edit", 2004, None, 82, 8, 30, 12),
    ("text", 2048, "hint", 118, 10, 54, 9),
    ("default", 2045, "value_ok", 36, 30, 50, 14),
    ("button", 2046, "value_cancel", 96, 30, 50, 14),
]


def templates(li):
    out = dialog_template("GAMMA", li, WIDTH, HEIGHT, STYLE, T["title"][li], gamma_layout(li), T)
    out.append("")
    out += dialog_template("GammaValue", li, 180, 52, STYLE, T["value_title"][li], VALUE_LAYOUT, T)
    for name, base, title, action in (("LOAD", 500, "load_title", "load"),
                                      ("SAVE", 600, "save_title", "save")):
        caption, width, height, layout = make_small_dialogs.setting_dialog(base, title, action)
        out.append("")
        out += dialog_template(name, li, width, height, STYLE, T[caption][li], layout, T)
    return out


def write_sources():
    os.makedirs(os.path.join(here, "curves"), exist_ok=True)
    lines = ["// The dialogs of gamma.dll: GAMMA, GammaValue, LOAD and SAVE (English)",
             "// with the suffixes _G, _F, _I, _S, _D, the module's strings, id n + 30 x",
             "// the language index, and the built-in curves. Made by make_resources.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for name, ys in CURVES:
        with open(os.path.join(here, "curves", name + ".bin"), "wb") as f:
            f.write(curve_bytes(ys))
        lines.append('%s RCDATA "curves/%s.bin"' % (name, name))
    lines.append("")
    for li, lang in enumerate(LANGS):
        lines.append("// %s" % lang)
        lines += templates(li)
        lines += string_table(S, li, 30)
        lines.append("")
    with open(os.path.join(here, "gamma.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def write_cursor(out):
    import make_pictures
    os.makedirs(out, exist_ok=True)
    shape, hotspot = make_pictures.hand_cursor()
    path = os.path.join(out, "IDHAND0.cur")
    with open(path, "wb") as f:
        f.write(make_pictures.cur_bytes(shape, hotspot))
    with open(os.path.join(out, "cursor.rc"), "w") as f:
        f.write('// The drag cursor of gamma.dll, made by make_resources.py.\n')
        f.write('IDHAND0 CURSOR "%s"\n' % path.replace("\\", "/"))


if __name__ == "__main__":
    if len(sys.argv) > 1:
        write_cursor(sys.argv[1])
    else:
        write_sources()
