# -*- coding: utf-8 -*-
# Writes small_dialogs.rc: the setup window's own small dialogs in the six
# languages, each from one layout and one table of texts: the setting-file
# dialogs LOAD_SET and SAVE_SET, the information dialog INFODLG and the
# change-temporary-drive dialog CHGTMPDRV. Edit the tables and run this
# script; never edit small_dialogs.rc by hand.
import os

from make_dialogs import LANGS, PLACE, dialog_template

STYLE = "DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU"

# Texts: [en, de, fr, it, es, nl].
T = {
    "load_title": ["Open Setting File", "Einstellungsdatei öffnen", "Ouvrir un fichier de réglages",
                   "Apri file di impostazioni", "Abrir archivo de configuración", "Instellingenbestand openen"],
    "save_title": ["Save Setting File", "Einstellungsdatei speichern", "Enregistrer un fichier de réglages",
                   "Salva file di impostazioni", "Guardar archivo de configuración", "Instellingenbestand opslaan"],
    "file_name": ["File &Name:", "Datei&name:", "&Nom du fichier :", "&Nome file:", "&Nombre de archivo:", "Bestands&naam:"],
    "directories": ["&Directories:", "&Verzeichnisse:", "&Répertoires :", "&Cartelle:", "&Directorios:", "&Mappen:"],
    "file_type": ["List Files of &Type:", "Datei&typ:", "&Type de fichier :", "&Tipo file:", "&Tipo de archivo:", "Bestands&type:"],
    "pattern": ["*.PAR"] * 6,
    "load": ["&Load", "&Laden", "&Charger", "&Carica", "&Cargar", "&Laden"],
    "save": ["&Save", "&Speichern", "&Enregistrer", "&Salva", "&Guardar", "&Opslaan"],
    "cancel": ["&Cancel", "Abbre&chen", "&Annuler", "A&nnulla", "&Cancelar", "&Annuleren"],
    "ok": ["&OK"] * 6,
    "info_ok": ["Ok"] * 6,
    "info_title": ["Scan Information", "Scaninformationen", "Informations de numérisation",
                   "Informazioni di scansione", "Información de escaneo", "Scaninformatie"],
    "tmp_title": ["Temporary Drive", "Temporäres Laufwerk", "Lecteur temporaire",
                  "Unità temporanea", "Unidad temporal", "Tijdelijk station"],
    "tmp1": ["There is not enough storage space for ", "Für das neue Dokument ist nicht genug",
             "Il n'y a pas assez d'espace disque pour", "Lo spazio su disco non è sufficiente per",
             "No hay espacio suficiente para el", "Er is onvoldoende schijfruimte voor het"],
    "tmp2": ["the new document. Specify disk drive ", "Speicherplatz frei. Geben Sie unten",
             "le nouveau document. Indiquez ci-dessous", "il nuovo documento. Indicare qui sotto",
             "nuevo documento. Indique abajo la unidad", "nieuwe document. Geef hieronder het"],
    "tmp3": ["and directory for the temporary working", "Laufwerk und Verzeichnis für die",
             "le lecteur et le répertoire du fichier", "l'unità e la cartella per il file di",
             "y el directorio del archivo de trabajo", "station en de map op voor het tijdelijke"],
    "tmp4": ["file below :", "temporäre Arbeitsdatei an :", "de travail temporaire :",
             "lavoro temporaneo :", "temporal :", "werkbestand :"],
    "one": ["1."] * 6,
    "two": ["2."] * 6,
    "mode": ["Scan Mode:", "Scanmodus:", "Mode :", "Modalità:", "Modo:", "Modus:"],
    "resolution": ["Resolution:", "Auflösung:", "Résolution :", "Risoluzione:", "Resolución:", "Resolutie:"],
    "scaling": ["Scaling:", "Skalierung:", "Échelle :", "Scala:", "Escala:", "Schaal:"],
    "invert": ["Invert:", "Invertiert:", "Inversion :", "Inverti:", "Invertir:", "Inverteren:"],
    "speed": ["Speed:", "Geschwindigkeit:", "Vitesse :", "Velocità:", "Velocidad:", "Snelheid:"],
    "brightness": ["Brightness:", "Helligkeit:", "Luminosité :", "Luminosità:", "Brillo:", "Helderheid:"],
    "contrast": ["Contrast:", "Kontrast:", "Contraste :", "Contrasto:", "Contraste:", "Contrast:"],
    "gamma": ["Gamma:", "Gamma:", "Gamma :", "Gamma:", "Gamma:", "Gamma:"],
    "shadow": ["Shadow:", "Tiefen:", "Ombres :", "Ombre:", "Sombras:", "Schaduwen:"],
    "highlight": ["Highlight:", "Lichter:", "Hautes lumières :", "Luci:", "Luces:", "Hoge lichten:"],
    "unit": ["Unit:", "Einheit:", "Unité :", "Unità:", "Unidad:", "Eenheid:"],
    "r": ["R :"] * 6,
    "g": ["G:"] * 6,
    "b": ["B:"] * 6,
}


def setting_dialog(base, title, action):
    """The Open (base 500) and Save (base 600) dialogs share one layout."""
    return (title, 236, 128, [
        ("label", base + 16, "file_name", 6, 6, 108, 9),
        ("edit", base + 8, None, 6, 16, 108, 12),
        ("listbox", base + 5, None, 6, 32, 108, 66),
        ("label", base + 17, "directories", 120, 6, 110, 9),
        (PLACE, base + 13, None, 119, 15, 112, 12),
        ("path", base + 9, None, 121, 17, 108, 9),
        ("listbox", base + 6, None, 120, 32, 110, 66),
        ("label", base + 18, "file_type", 6, 100, 108, 9),
        (PLACE, base + 14, None, 6, 109, 108, 12),
        ("text", base + 12, "pattern", 8, 111, 104, 9),
        (PLACE, base + 15, None, 120, 102, 110, 2),
        ("default", base + 10, action, 120, 108, 52, 14),
        ("button", base + 11, "cancel", 178, 108, 52, 14),
    ])


# Rows of the information dialog: label id, label text, value id. The tone
# rows also carry the red, green and blue labels and values.
INFO_ROWS = [
    (870, "mode", 821, None),
    (871, "resolution", 822, None),
    (872, "scaling", 823, None),
    (873, "invert", 824, None),
    (874, "speed", 825, None),
    (875, "brightness", 826, ((832, 844), (833, 846), (834, 848))),
    (876, "contrast", 827, ((835, 845), (836, 847), (837, 849))),
    (877, "gamma", 828, None),
    (878, "shadow", 829, ((838, 850), (839, 852), (840, 854))),
    (879, "highlight", 830, ((841, 851), (842, 853), (843, 855))),
    (880, "unit", 831, None),
]


def info_dialog():
    controls = []
    for row, (label, key, value, channels) in enumerate(INFO_ROWS):
        y = 8 + 12 * row
        controls.append(("label", label, key, 8, y, 72, 9))
        controls.append(("text", value, None, 84, y, 40 if channels else 170, 9))
        if channels:
            for i, (clabel, cvalue) in enumerate(channels):
                x = 84 + 36 * i
                controls.append(("label", clabel, "rgb"[i], x, y, 11, 9))
                controls.append(("text", cvalue, None, x + 12, y, 22, 9))
    controls.append((PLACE, 101, None, 6, 144, 248, 1))
    controls.append(("default", 856, "info_ok", 105, 152, 50, 14))
    return ("info_title", 260, 172, controls)


def temp_drive_dialog():
    return ("tmp_title", 200, 102, [
        ("label", 1, "tmp1", 8, 6, 184, 9),
        ("label", 2, "tmp2", 8, 15, 184, 9),
        ("label", 3, "tmp3", 8, 24, 184, 9),
        ("label", 4, "tmp4", 8, 33, 184, 9),
        ("label", 5, "one", 8, 48, 10, 9),
        ("path", 10, None, 20, 48, 172, 9),
        ("label", 6, "two", 8, 63, 10, 9),
        ("edit", 7, None, 20, 61, 172, 12),
        ("default", 8, "ok", 44, 82, 50, 14),
        ("button", 9, "cancel", 106, 82, 50, 14),
    ])


DIALOGS = [
    ("LOAD_SET", setting_dialog(500, "load_title", "load")),
    ("SAVE_SET", setting_dialog(600, "save_title", "save")),
    ("INFODLG", info_dialog()),
    ("CHGTMPDRV", temp_drive_dialog()),
]


def template(name, dialog, li):
    title, width, height, controls = dialog
    return dialog_template(name, li, width, height, STYLE, T[title][li], controls, T)


def main():
    lines = ["// The setup window's small dialogs: LOAD_SET, SAVE_SET, INFODLG and",
             "// CHGTMPDRV (English) with the suffixes _G, _F, _I, _S, _D (German,",
             "// French, Italian, Spanish, Dutch). Made by make_small_dialogs.py.",
             "#include <windows.h>",
             "#pragma code_page(65001)", ""]
    for name, dialog in DIALOGS:
        for li, lang in enumerate(LANGS):
            lines.append("// %s, %s" % (name, lang))
            lines += template(name, dialog, li)
            lines.append("")
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "small_dialogs.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
