// Stepping through the list and the pages of a file, the command line and
// files dropped on the main window.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Meldung.h"
#include "Modi.h"
#include "ZelvanoMainSperre.h"

// ---- Next and previous image, next and previous page ---------------------------

void TfrmZelvanoMain::mAnsBildWeiterExecute()
{
    if (GearBeschaeftigt || AnzeigeBeschaeftigt || !AchtungBearbeitet())
        return;
    if (BildIndex + 1 < BildListe.size()) {
        ++BildIndex;
        BildAnzeigen();
    }
}

void TfrmZelvanoMain::mAnsBildZurueckExecute()
{
    if (GearBeschaeftigt || AnzeigeBeschaeftigt || !AchtungBearbeitet())
        return;
    if (BildIndex > 0) {
        --BildIndex;
        BildAnzeigen();
    }
}

void TfrmZelvanoMain::mAnsSeiteVorExecute()
{
    if (Gear1->Page() >= Gear1->PageCount())
        return;
    SeiteWechseln(+1);
}

void TfrmZelvanoMain::mAnsSeiteZurueckExecute()
{
    if (Gear1->Page() < 2)
        return;
    SeiteWechseln(-1);
}

void TfrmZelvanoMain::SeiteWechseln(int schritt)
{
    // Another page replaces the working image, so an unsaved edit is asked
    // about first, as for another file; Cancel or Yes keep the page.
    if (GearBeschaeftigt)
        return;
    const bool warBearbeitet = BildBearbeitet;
    if (!AchtungBearbeitet())
        return;
    // Decoding the page pumps messages, as a load does.
    TBeschaeftigt beschaeftigt(GearBeschaeftigt);
    TBeschaeftigtSperre sperre(this);
    // The steps belong to the page left behind.
    RueckgaengigLoeschen();
    Gear1->SetPage(Gear1->Page() + schritt);
    BildFarbtiefe = Gear1->ImageBitsPerPixel();
    BildBeschaedigt = Gear1->Beschaedigt();
    GearZuBitmap(*Gear1, OriginalBild);
    // The edit was given up: the page on screen is the file's own.
    if (warBearbeitet)
        BildBearbeitet = false;
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    MenuesSetzen();
}

// ---- Command line -------------------------------------------------------------

void TfrmZelvanoMain::KommandozeileVerarbeiten(const QStringList& argumente)
{
    if (argumente.isEmpty()) {
        if (OeffnenFensterLaden)
            mDatOeffnen->trigger();
        return;
    }

    BildListe.clear();
    // An empty list has no valid index but -1.
    BildIndex = -1;
    QString ordner;
    const bool ganzerOrdner = BeiStartAlleLaden && argumente.size() == 1;
    for (const QString& argument : argumente) {
        const QFileInfo datei(argument);
        // Only existing files count; folders and missing paths are passed over.
        if (!datei.isFile())
            continue;
        const QString name = datei.fileName();
        ordner = MitTrenner(datei.absolutePath());
        if (ganzerOrdner) {
            const QStringList muster = BildMaske.split(QLatin1Char(';'), Qt::SkipEmptyParts);
            const QStringList namen = QDir(ordner).entryList(muster, QDir::Files,
                                                             QDir::Name | QDir::IgnoreCase);
            for (int j = 0; j < namen.size(); ++j) {
                if (namen.at(j) == name)
                    BildIndex = j;
                BildListe.append(PfadVerbinden(ordner, namen.at(j)));
                QCoreApplication::processEvents();
            }
            // The named file is shown even when the mask does not take its
            // extension (a ".tiff", ".webp" or ".cur"): the content decides
            // whether it can be read. It joins the list where the listing's
            // order puts it.
            if (BildIndex < 0) {
                const auto stelle = std::upper_bound(namen.cbegin(), namen.cend(), name,
                                                     [](const QString& a, const QString& b) {
                                                         return a.compare(b, Qt::CaseInsensitive) < 0;
                                                     });
                BildIndex = int(stelle - namen.cbegin());
                BildListe.insert(BildIndex, PfadVerbinden(ordner, name));
            }
        } else {
            BildListe.append(PfadVerbinden(ordner, name));
            QCoreApplication::processEvents();
            BildIndex = 0;
        }
    }

    // With no existing file the folder chosen at start stays.
    if (!ordner.isEmpty())
        LadeVerzeichnis = MitTrenner(ordner);
    if (BildListe.isEmpty() || BildIndex < 0 || BildIndex >= BildListe.size())
        return;
    BildAnzeigen();
    FremdeDateiMelden();
}

void TfrmZelvanoMain::FremdeDateiMelden()
{
    // The error picture alone does not say that the named file is of a type
    // we do not offer and that its content is no picture we read either.
    const QString pfad = BildListe.value(BildIndex);
    if (BildQuelle != BildQuelleDatei || Gear1->ErrCount() == 0 || !QFileInfo(pfad).isFile()
        || QDir::match(BildMaske.split(QLatin1Char(';'), Qt::SkipEmptyParts), QFileInfo(pfad).fileName()))
        return;
    Meldung(QStringLiteral("Die Datei „%1“ kann nicht angezeigt werden: ihr Inhalt ist kein lesbares Bild.\r\r%2")
                .arg(QDir::toNativeSeparators(pfad), Gear1->LetzterFehler()),
            TMeldungArt::Warnung);
}

// ---- Dropped files ------------------------------------------------------------

static QStringList LokaleDateien(const QMimeData* daten)
{
    QStringList pfade;
    if (!daten || !daten->hasUrls())
        return pfade;
    for (const QUrl& url : daten->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            pfade.append(url.toLocalFile());
    return pfade;
}

void TfrmZelvanoMain::dragEnterEvent(QDragEnterEvent* ereignis)
{
    if (!LokaleDateien(ereignis->mimeData()).isEmpty())
        ereignis->acceptProposedAction();
    else
        ereignis->ignore();
}

void TfrmZelvanoMain::dropEvent(QDropEvent* ereignis)
{
    const QStringList pfade = LokaleDateien(ereignis->mimeData());
    if (pfade.isEmpty()) {
        ereignis->ignore();
        return;
    }
    ereignis->acceptProposedAction();
    DateienEmpfangen(pfade);
}

void TfrmZelvanoMain::DateienEmpfangen(const QStringList& pfade)
{
    // Nothing that names a local file: the list and the image stay. Nor
    // may a drop replace the list while an image is still being loaded.
    if (pfade.isEmpty() || GearBeschaeftigt)
        return;
    // Paths are taken whole and unchecked; a folder shows as the error picture.
    BildListe = pfade;
    const QString ordner = MitTrenner(QFileInfo(pfade.first()).absolutePath());
    LadeVerzeichnis = ordner;
    SpeicherVerzeichnis = ordner;
    BildIndex = 0;
    BildAnzeigen();
    AnzeigeBild->setVisible(true);
    QCoreApplication::processEvents();
    raise();
    activateWindow();
    FremdeDateiMelden();
}
