#pragma once

class QObject;
class TPngImageList;

// Positions of the icons in every menu and tool-bar icon list (42 each, the
// same order at every size). Dialogs that take a glyph refer to these.
enum TSymbol : int {
    symKeins = -1,
    symOeffnen = 0,
    symSpeichern = 1,
    symDrucken = 2,
    symArchivdruck = 3,
    symInfo = 4,
    symSuchen = 5,
    symKonvertieren = 6,
    symScannen = 7,
    symScannerAuswaehlen = 8,
    symEinstellungen = 9,
    symBeenden = 10,
    symHaken = 11,
    symRueckgaengig = 12,
    symKopieren = 13,
    symStop = 14,
    symEinfuegen = 15,
    symLoeschen = 16,
    symBildattribute = 17,
    symAblageZeigen = 18,
    symAusschneiden = 19,
    symSchliessen = 20,
    symFotoschnitt = 21,
    symSkalieren = 22,
    symDrehen = 23,
    symDrehenMinus90 = 24,
    symDrehenPlus90 = 25,
    symDrehen180 = 26,
    symHorizontal = 27,
    symVertikal = 28,
    symJpgDrehen = 29,
    symGehezu = 30,
    symZoom = 31,
    symVollbild = 32,
    symAutoShow = 33,
    symBildWeiter = 34,
    symBildZurueck = 35,
    symSeiteVor = 36,
    symSeiteZurueck = 37,
    symVorschau = 38,
    symFarbkorrektur = 39,
    symHilfe = 40,
    symAlleZeigen = 41,
    SymbolAnzahl = 42
};

// A list of the 42 icons at the given size (20, 25, 30, 35 or 40) from the
// program's resources, owned by besitzer.
TPngImageList* SymbolListeLaden(int groesse, QObject* besitzer);
