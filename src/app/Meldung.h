#pragma once
#include <QString>

// Every message box of the program goes through here, with German captions
// and buttons. Tests take them through the hook of Testnaht.h, which records
// the text and answers.
enum class TMeldungArt { Schlicht, Warnung, Fehler, Information, Bestaetigung };

enum TMeldungKnopf : int {
    mbOk = 1,
    mbJa = 2,
    mbNein = 4,
    mbAbbrechen = 8,
    mbAlle = 16,
};

// Results: one of the button values.
int Meldung(const QString& text, TMeldungArt art = TMeldungArt::Schlicht, int knoepfe = mbOk);

// The program's title ("Zelvano 1.0"), the caption of plain message boxes;
// "Zelvano" until the main window has set it.
void SetzeAnwendungsTitel(const QString& titel);
QString AnwendungsTitel();
