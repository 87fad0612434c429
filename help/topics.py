# -*- coding: utf-8 -*-
# The texts of the help files: for each file its title and its topics, each
# topic with the context number the product opens it at (WinHelp's
# HELP_CONTEXT), a context name, a title and its paragraphs. The words of
# the windows (buttons, lists, modes) are those of the dialogs in the same
# language.

# Context numbers, as the windows ask for them.
SETUP, TONESET, GAMMA, LEVEL = 1, 3, 4, 5

FILES = {}

FILES["TWAIN.HLP"] = {
    "title": "Flatbed Scanner Help",
    "topics": [
        (SETUP, "setup_window", "The Setup Window", [
            "The setup window prepares a scan. On the left it shows the picture of the glass "
            "from the last prescan, with rulers in the display unit. Drag inside the picture to "
            "draw the scan frame; drag its corners and edges to resize it, or drag it with the "
            "right mouse button to move it. The slider on the left ruler sets the paper length, "
            "and the zoom tool magnifies a part of the picture.",
            "In the middle you choose the scan mode (LineArt, Halftone, Gray or Color), the "
            "resolution, the scaling and the display unit; the width, length and size of the "
            "image follow from the frame. Option Settings... holds the prescan mode, Invert, the "
            "halftone cell, the setting files and the about box. The buttons under the picture "
            "open the brightness/contrast, gamma and level dialogs.",
            "Prescan scans the whole glass and shows the new picture. Scan scans the frame and "
            "hands the image to the application. Reset restores the factory settings, Info lists "
            "the settings of the coming scan, and Cancel closes the scanner. The status line at "
            "the bottom shows hints and the progress of a scan.",
        ]),
        (TONESET, "brightness_contrast", "Brightness and Contrast", [
            "This dialog sets the brightness and the contrast of the scan, each from -12 to +12. "
            "Choose RGB to change red, green and blue alike, a single colour, or Gray for grey "
            "scans, and move the two scroll bars. The picture on the left follows at once: it is "
            "the last prescan or, with Default, a sample picture.",
            "OK keeps the values for the next scan, Cancel leaves them as they were, and Reset "
            "sets every value back to 0.",
        ]),
        (GAMMA, "gamma_curve", "Gamma Curve", [
            "The gamma curve sets how the tones of the original become the tones of the image. "
            "The curve runs through ten points and is drawn beside the picture. The curve button "
            "offers Standard and, for Monitor, LaserJet and PaintJet, curves that lighten or "
            "darken the shadows, the midtones or the highlights.",
            "With UserDefined the curve is your own: drag its points with the mouse, enter a "
            "Gamma Value from 0.1 to 7.9, or save the curve as a .PAL file and load it again. "
            "OK keeps the curve for the next scan, Cancel keeps the curve as it was, and Reset "
            "sets the gamma value back to 1.0.",
        ]),
        (LEVEL, "levels", "Levels", [
            "The levels dialog shows the histogram of the picture for the chosen channel (RGB, "
            "Red, Green, Blue or Gray). The three markers under the histogram set the shadow, "
            "midtone and highlight input levels; drag them with the mouse. The Black Ratio ties "
            "the midtone to the shadow and the highlight when they move.",
            "Auto takes the darkest and the lightest samples of the picture, and Reset puts every "
            "channel back to 0, 128 and 255. The picture shows brightness/contrast, levels and "
            "gamma together. OK keeps the levels for the next scan; Cancel keeps them as they "
            "were.",
        ]),
    ],
}

FILES["TWAIN_G.HLP"] = {
    "title": "Hilfe zum Flachbettscanner",
    "topics": [
        (SETUP, "setup_window", "Das Einstellungsfenster", [
            "Im Einstellungsfenster bereiten Sie einen Scan vor. Links sehen Sie das Bild der "
            "Glasfläche aus der letzten Vorschau, mit Linealen in der gewählten Einheit. Ziehen "
            "Sie mit der Maus im Bild, um den Scanrahmen aufzuziehen; an seinen Ecken und Kanten "
            "ändern Sie seine Größe, mit der rechten Maustaste verschieben Sie ihn. Der Schieber "
            "am linken Lineal legt die Papierlänge fest, die Lupe vergrößert einen Teil des "
            "Bildes.",
            "In der Mitte wählen Sie den Modus (Strich, Raster, Grau oder Farbe), die Auflösung, "
            "die Skalierung und die Einheit; Breite, Länge und Bildgröße ergeben sich aus dem "
            "Rahmen. Unter „Optionen...“ finden Sie den Vorschaumodus, „Invertieren“, die "
            "Rasterzelle, die Einstellungsdateien und die Programminformation. Die Schaltflächen "
            "unter dem Bild öffnen die Dialoge für Helligkeit/Kontrast, Gamma und Tonwerte.",
            "„Vorschau“ tastet die ganze Glasfläche ab und zeigt das neue Bild. „Scannen“ scannt "
            "den Rahmen und übergibt das Bild an die Anwendung. „Zurücksetzen“ stellt die "
            "Werkseinstellungen wieder her, „Info“ zeigt die Einstellungen des nächsten Scans, "
            "und „Abbrechen“ schließt den Scanner. Die Statuszeile unten zeigt Hinweise und den "
            "Fortschritt eines Scans.",
        ]),
        (TONESET, "brightness_contrast", "Helligkeit und Kontrast", [
            "In diesem Dialog stellen Sie Helligkeit und Kontrast des Scans ein, jeweils von -12 "
            "bis +12. Wählen Sie RGB, um Rot, Grün und Blau gemeinsam zu ändern, eine einzelne "
            "Farbe oder Grau für Graustufenscans, und bewegen Sie die beiden Schieberegler. Das "
            "Bild links folgt sofort: Es ist die letzte Vorschau oder, mit „Beispielbild“, ein "
            "mitgeliefertes Bild.",
            "„OK“ übernimmt die Werte für den nächsten Scan, „Abbrechen“ lässt sie, wie sie "
            "waren, und „Zurücksetzen“ setzt alle Werte auf 0 zurück.",
        ]),
        (GAMMA, "gamma_curve", "Gammakurve", [
            "Die Gammakurve legt fest, wie aus den Tönen der Vorlage die Töne des Bildes werden. "
            "Die Kurve verläuft durch zehn Punkte und steht neben dem Bild. Die Kurvenschaltfläche "
            "bietet „Standard“ und für Monitor, LaserJet und PaintJet Kurven, die Tiefen, "
            "Mitteltöne oder Lichter aufhellen oder abdunkeln.",
            "Mit „Benutzerdefiniert“ gehört die Kurve Ihnen: Ziehen Sie ihre Punkte mit der Maus, "
            "geben Sie einen Gammawert von 0.1 bis 7.9 ein, oder speichern Sie die Kurve als "
            ".PAL-Datei und laden Sie sie wieder. „OK“ übernimmt die Kurve für den nächsten Scan, "
            "„Abbrechen“ behält die bisherige Kurve, und „Zurücksetzen“ stellt den Gammawert "
            "wieder auf 1.0.",
        ]),
        (LEVEL, "levels", "Tonwerte", [
            "Der Dialog „Tonwerte“ zeigt das Histogramm des Bildes für den gewählten Kanal (RGB, "
            "Rot, Grün, Blau oder Grau). Die drei Marken unter dem Histogramm legen die Tonwerte "
            "für Tiefen, Mitteltöne und Lichter fest; ziehen Sie sie mit der Maus. Der "
            "Schwarzanteil koppelt die Mitteltöne an Tiefen und Lichter, wenn diese sich bewegen.",
            "„Auto“ übernimmt die dunkelsten und die hellsten Stellen des Bildes, „Zurücksetzen“ "
            "stellt jeden Kanal auf 0, 128 und 255 zurück. Das Bild zeigt Helligkeit/Kontrast, "
            "Tonwerte und Gamma zusammen. „OK“ übernimmt die Tonwerte für den nächsten Scan, "
            "„Abbrechen“ lässt sie, wie sie waren.",
        ]),
    ],
}

FILES["TWAIN_F.HLP"] = {
    "title": "Aide du scanner à plat",
    "topics": [
        (SETUP, "setup_window", "La fenêtre de configuration", [
            "La fenêtre de configuration prépare la numérisation. À gauche, elle montre l'image "
            "de la vitre prise lors de la dernière prénumérisation, avec des règles dans l'unité "
            "choisie. Faites glisser la souris dans l'image pour tracer le cadre de numérisation ; "
            "faites glisser ses coins et ses bords pour le redimensionner, ou déplacez-le avec le "
            "bouton droit de la souris. Le curseur de la règle de gauche fixe la longueur du "
            "papier, et la loupe agrandit une partie de l'image.",
            "Au centre, vous choisissez le mode (Trait, Demi-teinte, Gris ou Couleur), la "
            "résolution, l'échelle et l'unité ; la largeur, la longueur et la taille de l'image "
            "découlent du cadre. « Options... » donne accès au mode de prénumérisation, à "
            "l'inversion, à la cellule de trame, aux fichiers de réglages et à la boîte « À "
            "propos ». Les boutons sous l'image ouvrent les dialogues de luminosité/contraste, de "
            "gamma et de niveaux.",
            "« Prénumériser » numérise toute la vitre et affiche la nouvelle image. « Numériser » "
            "numérise le cadre et transmet l'image à l'application. « Réinitialiser » rétablit "
            "les réglages d'usine, « Infos » affiche les réglages de la prochaine numérisation et "
            "« Annuler » ferme le scanner. La ligne d'état, en bas, affiche des conseils et "
            "l'avancement d'une numérisation.",
        ]),
        (TONESET, "brightness_contrast", "Luminosité et contraste", [
            "Ce dialogue règle la luminosité et le contraste de la numérisation, chacun de -12 à "
            "+12. Choisissez RGB pour modifier ensemble le rouge, le vert et le bleu, une seule "
            "couleur, ou Gris pour les numérisations en niveaux de gris, puis déplacez les deux "
            "barres de défilement. L'image de gauche suit aussitôt : c'est la dernière "
            "prénumérisation ou, avec « Image d'exemple », une image fournie.",
            "« OK » conserve les valeurs pour la prochaine numérisation, « Annuler » les laisse "
            "telles qu'elles étaient et « Réinitialiser » remet toutes les valeurs à 0.",
        ]),
        (GAMMA, "gamma_curve", "Courbe gamma", [
            "La courbe gamma définit comment les tons de l'original deviennent ceux de l'image. "
            "La courbe passe par dix points et s'affiche à côté de l'image. Le bouton de courbe "
            "propose « Standard » et, pour Moniteur, LaserJet et PaintJet, des courbes qui "
            "éclaircissent ou assombrissent les ombres, les tons moyens ou les hautes lumières.",
            "Avec « Personnalisée », la courbe devient la vôtre : faites glisser ses points avec "
            "la souris, saisissez une valeur gamma de 0.1 à 7.9, ou enregistrez la courbe dans un "
            "fichier .PAL pour la recharger plus tard. « OK » conserve la courbe pour la prochaine "
            "numérisation, « Annuler » garde la courbe précédente et « Réinitialiser » remet la "
            "valeur gamma à 1.0.",
        ]),
        (LEVEL, "levels", "Niveaux", [
            "Le dialogue « Niveaux » montre l'histogramme de l'image pour la couche choisie (RVB, "
            "Rouge, Vert, Bleu ou Gris). Les trois repères sous l'histogramme fixent les niveaux "
            "d'entrée des ombres, des tons moyens et des hautes lumières ; faites-les glisser avec "
            "la souris. La part de noir lie les tons moyens aux ombres et aux hautes lumières "
            "quand celles-ci bougent.",
            "« Auto » retient les points les plus sombres et les plus clairs de l'image, "
            "« Réinitialiser » remet chaque couche à 0, 128 et 255. L'image montre ensemble "
            "luminosité/contraste, niveaux et gamma. « OK » conserve les niveaux pour la "
            "prochaine numérisation ; « Annuler » les laisse tels qu'ils étaient.",
        ]),
    ],
}


def _french_spacing(text):
    """French typography: no line break inside guillemets or before ; : ? !"""
    nbsp = "\u00a0"
    for plain, kept in (("« ", "«" + nbsp), (" »", nbsp + "»"), (" ;", nbsp + ";"),
                        (" :", nbsp + ":"), (" ?", nbsp + "?"), (" !", nbsp + "!")):
        text = text.replace(plain, kept)
    return text


FILES["TWAIN_F.HLP"]["topics"] = [
    (number, name, _french_spacing(title), [_french_spacing(p) for p in paragraphs])
    for number, name, title, paragraphs in FILES["TWAIN_F.HLP"]["topics"]]
