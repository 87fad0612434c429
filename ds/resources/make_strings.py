import os
# -*- coding: utf-8 -*-
# Writes strings.rc, the string tables of pavo.ds in its six languages, from
# the table below: one row per English id, one text per language. Edit the
# table and run this script; never edit strings.rc by hand.
# id: [en, de, fr, it, es, nl]
S = {
0: ["Kerno Flatbed Scanners Twain DS "]*6,
2: ["Kerno_ Inc."]*6,
3: ["Kerno Scan"]*6,
5: ["Write disk file error.", "Fehler beim Schreiben der Datei.", "Erreur d'écriture du fichier.", "Errore di scrittura del file.", "Error al escribir el archivo.", "Fout bij het schrijven van het bestand."],
8: ["Kerno_ Inc."]*6,
9: ["Kerno Scanners"]*6,
10: [" Flatbed Scanner Setup", " Flachbettscanner Einstellungen", " Configuration du scanner à plat", " Impostazioni scanner piano", " Configuración del escáner plano", " Instellingen flatbedscanner"],
11: [" Flatbed Scanner", " Flachbettscanner", " Scanner à plat", " Scanner piano", " Escáner plano", " Flatbedscanner"],
101: [".TIF"]*6,
104: ["Read File Failure.", "Fehler beim Lesen der Datei.", "Erreur de lecture du fichier.", "Errore di lettura del file.", "Error al leer el archivo.", "Fout bij het lezen van het bestand."],
109: [" Insufficient Memory.", " Nicht genügend Speicher.", " Mémoire insuffisante.", " Memoria insufficiente.", " Memoria insuficiente.", " Onvoldoende geheugen."],
111: [" bytes of unused diskspace.Your disk has only ", " Byte freier Speicherplatz nötig. Ihr Datenträger hat nur ", " octets d'espace disque libre nécessaires. Votre disque n'a que ", " byte di spazio libero necessari. Il disco ha solo ", " bytes de espacio libre necesarios. Su disco sólo tiene ", " bytes vrije schijfruimte nodig. Uw schijf heeft slechts "],
112: [" bytes of unused diskspace. Free up some space on the disk.", " Byte frei. Bitte schaffen Sie Platz auf dem Datenträger.", " octets libres. Libérez de l'espace sur le disque.", " byte liberi. Liberare spazio sul disco.", " bytes libres. Libere espacio en el disco.", " bytes vrij. Maak ruimte vrij op de schijf."],
200: ["Flatbed Scanner not ready.", "Flachbettscanner nicht bereit.", "Scanner à plat non prêt.", "Scanner piano non pronto.", "Escáner plano no preparado.", "Flatbedscanner niet gereed."],
201: ["Flatbed Scanner not found.", "Flachbettscanner nicht gefunden.", "Scanner à plat introuvable.", "Scanner piano non trovato.", "Escáner plano no encontrado.", "Flatbedscanner niet gevonden."],
202: [" Please make sure :", " Bitte prüfen Sie :", " Vérifiez que :", " Verificare che :", " Compruebe que :", " Controleer of :"],
203: [" 1. The Scanner is turned on.", " 1. Der Scanner eingeschaltet ist.", " 1. Le scanner est allumé.", " 1. Lo scanner sia acceso.", " 1. El escáner está encendido.", " 1. De scanner is ingeschakeld."],
204: [" 2. The cables are connected.", " 2. Die Kabel angeschlossen sind.", " 2. Les câbles sont branchés.", " 2. I cavi siano collegati.", " 2. Los cables están conectados.", " 2. De kabels zijn aangesloten."],
205: [" 3. The Scanner is set up correctly", " 3. Der Scanner richtig eingerichtet ist", " 3. Le scanner est correctement installé", " 3. Lo scanner sia installato correttamente", " 3. El escáner está bien instalado", " 3. De scanner juist is geïnstalleerd"],
206: [" and card address does not conflict", " und die Kartenadresse nicht", " et l'adresse de la carte n'est pas en conflit", " e l'indirizzo della scheda non sia in conflitto", " y la dirección de la tarjeta no entra en conflicto", " en het kaartadres niet botst"],
207: [" with other devices.", " mit anderen Geräten kollidiert.", " avec d'autres périphériques.", " con altri dispositivi.", " con otros dispositivos.", " met andere apparaten."],
208: [" Paper Jammed in Automatic Document Feeder", " Papierstau im automatischen Vorlageneinzug", " Bourrage papier dans le chargeur automatique", " Carta inceppata nell'alimentatore automatico", " Atasco de papel en el alimentador automático", " Papierstoring in de automatische documentinvoer"],
209: [" No Paper in Automatic Document Feeder", " Kein Papier im automatischen Vorlageneinzug", " Pas de papier dans le chargeur automatique", " Nessun foglio nell'alimentatore automatico", " No hay papel en el alimentador automático", " Geen papier in de automatische documentinvoer"],
210: [" Slide Scanner Cover not Closed!", " Deckel des Diascanners nicht geschlossen!", " Couvercle du scanner de diapositives ouvert !", " Coperchio dello scanner per diapositive aperto!", " ¡Tapa del escáner de diapositivas abierta!", " Deksel van de diascanner niet gesloten!"],
211: [" The scan area cannot be scanned: it is empty, or it lies beyond the glass.", " Der Scanbereich kann nicht gescannt werden: Er ist leer oder liegt außerhalb der Glasfläche.", " La zone de numérisation ne peut pas être numérisée : elle est vide ou dépasse la vitre.", " L'area di scansione non può essere acquisita: è vuota o va oltre il vetro.", " No se puede escanear el área: está vacía o sobrepasa el cristal.", " Het scangebied kan niet worden gescand: het is leeg of ligt buiten de glasplaat."],
407: ["WinFax PRO 3.0"]*6,
409: ["Recognita Plus"]*6,
412: ["Delrina WinFax PRO 4.0"]*6,
414: ["Microsoft Publisher"]*6,
500: [" Scanning...   ", " Scannen...   ", " Numérisation...   ", " Scansione...   ", " Escaneando...   ", " Scannen...   "],
502: [" ESC to abort!", " ESC bricht ab!", " ÉCHAP pour annuler !", " ESC per annullare!", " ¡ESC para cancelar!", " ESC om af te breken!"],
505: [" Image Processing ...   ", " Bildverarbeitung ...   ", " Traitement de l'image ...   ", " Elaborazione immagine ...   ", " Procesando imagen ...   ", " Beeldverwerking ...   "],
507: [" Initialize Scanner... ", " Scanner wird initialisiert... ", " Initialisation du scanner... ", " Inizializzazione scanner... ", " Iniciando el escáner... ", " Scanner initialiseren... "],
601: [" Brightness/Contrast", " Helligkeit/Kontrast", " Luminosité/Contraste", " Luminosità/Contrasto", " Brillo/Contraste", " Helderheid/Contrast"],
602: [" Gamma", " Gamma", " Gamma", " Gamma", " Gamma", " Gamma"],
603: [" Level", " Tonwerte", " Niveaux", " Livelli", " Niveles", " Niveaus"],
604: [" Scanner source Selection", " Auswahl der Scannerquelle", " Choix de la source du scanner", " Scelta della sorgente dello scanner", " Selección del origen del escáner", " Keuze van de scannerbron"],
605: ["Prescan Mode", "Vorschaumodus", "Mode de prénumérisation", "Modalità anteprima", "Modo de previsualización", "Voorbeeldscanmodus"],
606: ["Gray", "Grau", "Gris", "Grigio", "Gris", "Grijs"],
607: ["Color", "Farbe", "Couleur", "Colore", "Color", "Kleur"],
608: ["Invert", "Invertieren", "Inverser", "Inverti", "Invertir", "Inverteren"],
610: ["Fast", "Schnell", "Rapide", "Veloce", "Rápida", "Snel"],
611: ["Medium Fast", "Mittelschnell", "Assez rapide", "Medio veloce", "Medio rápida", "Vrij snel"],
612: ["Medium", "Mittel", "Moyenne", "Media", "Media", "Gemiddeld"],
613: ["Medium Slow", "Mittellangsam", "Assez lente", "Medio lenta", "Medio lenta", "Vrij langzaam"],
614: ["Slow", "Langsam", "Lente", "Lenta", "Lenta", "Langzaam"],
615: ["Auto", "Automatisch", "Auto", "Auto", "Auto", "Automatisch"],
616: ["Halftone Cell...", "Rasterzelle...", "Cellule de trame...", "Cella di retino...", "Celda de semitono...", "Rastercel..."],
617: ["8x8:Coarse", "8x8:Grob", "8x8:Grossier", "8x8:Grossolano", "8x8:Grueso", "8x8:Grof"],
618: ["8x8:Fine", "8x8:Fein", "8x8:Fin", "8x8:Fine", "8x8:Fino", "8x8:Fijn"],
619: ["8x8:Very fine", "8x8:Sehr fein", "8x8:Très fin", "8x8:Molto fine", "8x8:Muy fino", "8x8:Zeer fijn"],
620: ["8x8:Finest", "8x8:Feinst", "8x8:Le plus fin", "8x8:Finissimo", "8x8:Finísimo", "8x8:Fijnst"],
621: ["6x6:Pattern", "6x6:Muster", "6x6:Motif", "6x6:Motivo", "6x6:Patrón", "6x6:Patroon"],
622: ["5x5:Pattern 1", "5x5:Muster 1", "5x5:Motif 1", "5x5:Motivo 1", "5x5:Patrón 1", "5x5:Patroon 1"],
623: ["5x5:Pattern 2", "5x5:Muster 2", "5x5:Motif 2", "5x5:Motivo 2", "5x5:Patrón 2", "5x5:Patroon 2"],
624: ["4x4:Pattern 1", "4x4:Muster 1", "4x4:Motif 1", "4x4:Motivo 1", "4x4:Patrón 1", "4x4:Patroon 1"],
625: ["4x4:Pattern 2", "4x4:Muster 2", "4x4:Motif 2", "4x4:Motivo 2", "4x4:Patrón 2", "4x4:Patroon 2"],
626: ["4x4:Pattern 3", "4x4:Muster 3", "4x4:Motif 3", "4x4:Motivo 3", "4x4:Patrón 3", "4x4:Patroon 3"],
627: ["3x3:Pattern", "3x3:Muster", "3x3:Motif", "3x3:Motivo", "3x3:Patrón", "3x3:Patroon"],
628: ["2x2:Pattern", "2x2:Muster", "2x2:Motif", "2x2:Motivo", "2x2:Patrón", "2x2:Patroon"],
629: ["User Defined", "Benutzerdefiniert", "Défini par l'utilisateur", "Definito dall'utente", "Definido por el usuario", "Door gebruiker gedefinieerd"],
632: ["About...", "Info über...", "À propos...", "Informazioni...", "Acerca de...", "Info..."],
633: ["Load Setting...", "Einstellung laden...", "Charger des réglages...", "Carica impostazioni...", "Cargar configuración...", "Instelling laden..."],
634: ["Save Setting...", "Einstellung speichern...", "Enregistrer les réglages...", "Salva impostazioni...", "Guardar configuración...", "Instelling opslaan..."],
635: [" Prescanning...     ", " Vorschau...     ", " Prénumérisation...     ", " Anteprima...     ", " Previsualizando...     ", " Voorbeeldscan...     "],
636: ["Reflective", "Aufsicht", "Réflexion", "Riflessione", "Reflexión", "Opzicht"],
637: ["Positive", "Positiv", "Positif", "Positivo", "Positivo", "Positief"],
638: ["Negative", "Negativ", "Négatif", "Negativo", "Negativo", "Negatief"],
639: ["LineArt", "Strich", "Trait", "Tratto", "Línea", "Lijntekening"],
640: ["Halftone", "Raster", "Demi-teinte", "Mezzatinta", "Semitono", "Raster"],
641: ["Gray", "Grau", "Gris", "Grigio", "Gris", "Grijs"],
642: ["Color", "Farbe", "Couleur", "Colore", "Color", "Kleur"],
643: ["inches", "Zoll", "pouces", "pollici", "pulgadas", "inch"],
644: ["pixels", "Pixel", "pixels", "pixel", "píxeles", "pixels"],
645: ["cm"]*6,
646: ["mm"]*6,
650: [" inches", " Zoll", " Pouces", " Pollice", " Pulgadas", " inches"],
651: [" pixels"]*6,
652: [" cm"]*6,
653: [" mm"]*6,
654: [" Bytes"]*6,
655: [" KBytes"]*6,
701: [" Ruler slider : drag to adjust paper length ", " Linealschieber : ziehen, um die Papierlänge einzustellen ", " Curseur de la règle : faites glisser pour régler la longueur du papier ", " Cursore del righello : trascinare per regolare la lunghezza della carta ", " Control de la regla : arrastre para ajustar la longitud del papel ", " Liniaalschuif : sleep om de papierlengte in te stellen "],
702: [" Scan frame : drag to set frame top ", " Scanrahmen : ziehen, um die Oberkante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le haut ", " Cornice di scansione : trascinare per fissare il bordo superiore ", " Marco de escaneo : arrastre para fijar el borde superior ", " Scankader : sleep om de bovenrand in te stellen "],
703: [" Scan frame : drag to set frame top and left ", " Scanrahmen : ziehen, um Ober- und linke Kante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le haut et la gauche ", " Cornice di scansione : trascinare per fissare i bordi superiore e sinistro ", " Marco de escaneo : arrastre para fijar los bordes superior e izquierdo ", " Scankader : sleep om de boven- en linkerrand in te stellen "],
704: [" Scan frame : drag to set frame top and rigth ", " Scanrahmen : ziehen, um Ober- und rechte Kante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le haut et la droite ", " Cornice di scansione : trascinare per fissare i bordi superiore e destro ", " Marco de escaneo : arrastre para fijar los bordes superior y derecho ", " Scankader : sleep om de boven- en rechterrand in te stellen "],
705: [" Scan frame : drag to set frame bottom ", " Scanrahmen : ziehen, um die Unterkante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le bas ", " Cornice di scansione : trascinare per fissare il bordo inferiore ", " Marco de escaneo : arrastre para fijar el borde inferior ", " Scankader : sleep om de onderrand in te stellen "],
706: [" Scan frame : drag to set frame bottom and left ", " Scanrahmen : ziehen, um Unter- und linke Kante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le bas et la gauche ", " Cornice di scansione : trascinare per fissare i bordi inferiore e sinistro ", " Marco de escaneo : arrastre para fijar los bordes inferior e izquierdo ", " Scankader : sleep om de onder- en linkerrand in te stellen "],
707: [" Scan frame : drag to set frame bottom and right ", " Scanrahmen : ziehen, um Unter- und rechte Kante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le bas et la droite ", " Cornice di scansione : trascinare per fissare i bordi inferiore e destro ", " Marco de escaneo : arrastre para fijar los bordes inferior y derecho ", " Scankader : sleep om de onder- en rechterrand in te stellen "],
708: [" Scan frame : drag to set frame side ", " Scanrahmen : ziehen, um die Seitenkante festzulegen ", " Cadre de numérisation : faites glisser pour fixer le côté ", " Cornice di scansione : trascinare per fissare il lato ", " Marco de escaneo : arrastre para fijar el lado ", " Scankader : sleep om de zijkant in te stellen "],
709: [" Click right mouse button, drag to position frame ", " Rechte Maustaste drücken und ziehen, um den Rahmen zu verschieben ", " Cliquez avec le bouton droit et faites glisser pour placer le cadre ", " Premere il tasto destro e trascinare per spostare la cornice ", " Pulse el botón derecho y arrastre para colocar el marco ", " Klik met de rechterknop en sleep om het kader te verplaatsen "],
711: [" Click right mouse button, clear window frame ", " Rechte Maustaste klicken, um den Bereich zu löschen ", " Cliquez avec le bouton droit pour effacer la zone ", " Fare clic con il tasto destro per cancellare l'area ", " Pulse el botón derecho para borrar la zona ", " Klik met de rechterknop om het gebied te wissen "],
712: [" Click left button and drag to create scan regions, Drag right to position frame.", " Mit der linken Taste ziehen, um Scanbereiche anzulegen, mit der rechten, um den Rahmen zu verschieben.", " Faites glisser avec le bouton gauche pour créer des zones, avec le droit pour placer le cadre.", " Trascinare con il tasto sinistro per creare aree, con il destro per spostare la cornice.", " Arrastre con el botón izquierdo para crear zonas y con el derecho para colocar el marco.", " Sleep met de linkerknop om scangebieden te maken, met de rechter om het kader te verplaatsen."],
713: [" Click left mouse button to zoom in / zoom out", " Linke Maustaste klicken zum Vergrößern / Verkleinern", " Cliquez avec le bouton gauche pour agrandir / réduire", " Fare clic con il tasto sinistro per ingrandire / ridurre", " Pulse el botón izquierdo para ampliar / reducir", " Klik met de linkerknop om in / uit te zoomen"],
}

# The information dialog: names of the gamma curves (strings 800 to 809 and
# 811 to 819 for curves 1 to 19, 820 for a curve the user drew), of the scan
# modes and of the units.
_STANDARD = ["Standard", "Standard", "Standard", "Standard", "Estándar", "Standaard"]
_DEVICES = ["Monitor", "LaserJet", "PaintJet"]
_CURVES = [
    ["Lighten Shadows", "Tiefen aufhellen", "Éclaircir les ombres", "Schiarisci ombre", "Aclarar sombras", "Schaduwen lichter"],
    ["Lighten Midtones", "Mitteltöne aufhellen", "Éclaircir les tons moyens", "Schiarisci mezzitoni", "Aclarar medios tonos", "Middentonen lichter"],
    ["Lighten Hilights", "Lichter aufhellen", "Éclaircir les hautes lumières", "Schiarisci luci", "Aclarar luces", "Hoge lichten lichter"],
    ["Darken Shadows", "Tiefen abdunkeln", "Assombrir les ombres", "Scurisci ombre", "Oscurecer sombras", "Schaduwen donkerder"],
    ["Darken Midtones", "Mitteltöne abdunkeln", "Assombrir les tons moyens", "Scurisci mezzitoni", "Oscurecer medios tonos", "Middentonen donkerder"],
    ["Darken Hilights", "Lichter abdunkeln", "Assombrir les hautes lumières", "Scurisci luci", "Oscurecer luces", "Hoge lichten donkerder"],
]
_names = [_STANDARD] + [[d + " - " + c[li] for li in range(6)] for d in _DEVICES for c in _CURVES]
for curve, name in enumerate(_names, start=1):
    S[799 + curve if curve <= 10 else 800 + curve] = name
S[820] = ["UserDefined", "Benutzerdefiniert", "Personnalisée", "Personalizzata", "Personalizada", "Aangepast"]
S[857] = ["Lineart", "Strich", "Trait", "Tratto", "Línea", "Lijntekening"]
S[858] = ["Halftone", "Raster", "Demi-teinte", "Mezzatinta", "Semitono", "Raster"]
S[859] = ["Gray", "Grau", "Gris", "Grigio", "Gris", "Grijs"]
S[860] = ["Color", "Farbe", "Couleur", "Colore", "Color", "Kleur"]
S[861] = ["inches", "Zoll", "pouces", "pollici", "pulgadas", "inch"]
S[862] = ["pixels", "Pixel", "pixels", "pixel", "píxeles", "pixels"]
S[863] = ["cm"] * 6
S[864] = ["mm"] * 6
S[865] = ["TRUE"] * 6
S[866] = ["FALSE"] * 6

# The setting-file dialogs: a name that cannot be a file, a file that is not
# there, and a save that did not succeed. The name or path follows the text.
S[120] = ["A setting file cannot have this name. Type a name without * ? < > | or \":\n",
          "Diese Bezeichnung ist als Name einer Einstellungsdatei nicht möglich. Geben Sie einen Namen ohne * ? < > | oder \" ein:\n",
          "Ce nom ne peut pas être celui d'un fichier de réglages. Tapez un nom sans * ? < > | ni \" :\n",
          "Questo nome non può essere usato per un file di impostazioni. Digitare un nome senza * ? < > | o \":\n",
          "Este nombre no sirve para un archivo de configuración. Escriba un nombre sin * ? < > | ni \":\n",
          "Deze naam kan niet voor een instellingenbestand worden gebruikt. Typ een naam zonder * ? < > | of \":\n"]
S[121] = ["This setting file does not exist:\n", "Diese Einstellungsdatei gibt es nicht:\n",
          "Ce fichier de réglages n'existe pas :\n", "Questo file di impostazioni non esiste:\n",
          "Este archivo de configuración no existe:\n", "Dit instellingenbestand bestaat niet:\n"]
S[123] = ["This directory cannot be used:\n", "Dieses Verzeichnis kann nicht verwendet werden:\n",
          "Ce répertoire ne peut pas être utilisé :\n", "Questa cartella non può essere usata:\n",
          "Este directorio no se puede usar:\n", "Deze map kan niet worden gebruikt:\n"]
S[122] = ["The settings could not be saved. The file is unchanged:\n",
          "Die Einstellungen konnten nicht gespeichert werden. Die Datei ist unverändert:\n",
          "Les réglages n'ont pas pu être enregistrés. Le fichier n'a pas été modifié :\n",
          "Impossibile salvare le impostazioni. Il file non è stato modificato:\n",
          "No se pudo guardar la configuración. El archivo no ha cambiado:\n",
          "De instellingen konden niet worden opgeslagen. Het bestand is ongewijzigd:\n"]


def esc(s):
    return s.replace('\\', '\\\\').replace('"', '""').replace('\n', '\\n')
langs = ["English", "German", "French", "Italian", "Spanish", "Dutch"]
out = ["// String tables of pavo.ds. The id of a text is its English id plus",
       "// 1000 times the language index: 0 English, 1 German, 2 French,",
       "// 3 Italian, 4 Spanish, 5 Dutch.",
       "#pragma code_page(65001)", ""]
for li, lang in enumerate(langs):
    out.append("// %s" % lang)
    out.append("STRINGTABLE")
    out.append("BEGIN")
    for i in sorted(S):
        v = S[i]
        assert len(v) == 6, i
        out.append('    %d, "%s"' % (i + 1000 * li, esc(v[li])))
    out.append("END")
    out.append("")
open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'strings.rc'), 'w', encoding='utf-8').write("\n".join(out))
