#pragma once
#include <QString>
#include "Meldung.h"

// What the save and convert windows settle before they write: the target
// folder and whether a file already there is replaced.

// SpeicherVerzeichnis made a folder that exists: LadeVerzeichnis when it is
// empty, the documents folder or else the home folder when it is no folder.
void SpeicherVerzeichnisPruefen();

// The folder the text eingabe names: the folder shown when it is empty, a
// relative text counted from the folder shown; cleaned, with a trailing
// '/'. Empty when both are empty.
QString ZielOrdnerAusEingabe(const QString& eingabe, const QString& gezeigt);

// A missing ordner is created when the user agrees; a failure is told. True
// when the folder is there afterwards.
bool ZielOrdnerAnlegen(const QString& ordner);

// Asks whether the existing file pfad is to be overwritten, with the buttons
// knoepfe; the answer.
int UeberschreibenFragen(const QString& pfad, TMeldungArt art, int knoepfe);
