#pragma once
#include <QString>
#include <functional>

// Every message box of the program goes through here, with German captions
// and buttons. Tests install a hook that records the text and answers.
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

// The hook gets the text as shown ("\r" already turned into line breaks).
using TMeldungHaken = std::function<int(const QString& text, TMeldungArt art, int knoepfe)>;
void SetzeMeldungHaken(TMeldungHaken haken);

// The program's title ("Zelvano 1.0"), the caption of plain message boxes;
// "Zelvano" until the main window has set it.
void SetzeAnwendungsTitel(const QString& titel);
QString AnwendungsTitel();
