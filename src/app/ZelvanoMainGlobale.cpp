// The shared state of the whole program, held apart from the window code so
// that units without a window can be linked and tested alone.
#include "ZelvanoMain.h"

QStringList BildListe;
int BildIndex = -1;
int BildQuelle = BildQuelleKeine;
bool BildBearbeitet = false;
int BildFarbtiefe = 0;
double ZoomFaktor = 0.0;
bool Einpassen = true;
QString LadeVerzeichnis;
QString SpeicherVerzeichnis;
int OeffnenErgebnis = 0;
bool JpgDrehbar = false;
QString AktKommentar;
QDateTime AktDateiDatum;
TExifDaten* AktExifDaten = nullptr;
QString ZielTyp;
int ZielBreite = 0, ZielHoehe = 0;
bool NurVerkleinern = false;

TfrmZelvanoMain* frmZelvanoMain = nullptr;
