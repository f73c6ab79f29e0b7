// The error picture stands in for a file that could not be loaded: nothing
// writes it (or the file's EXIF data) over a file, nor turns the file on disk.
#include <gtest/gtest.h>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTreeWidget>
#include "Einstellungen.h"
#include "DialogHilfen.h"
#include "Global.h"
#include "KameraJpeg.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/JpgDrehen.h"
#include "files/Speichern.h"

namespace {

class FehlerbildTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        ordner = FrischerOrdner(QStringLiteral("fehlerbild"));
        SpeicherVerzeichnis = MitTrenner(ordner);
        SpeichernTyp = QStringLiteral("JPG JPEG-Bitmap  ");
        ExifSchreiben = true;
        BildBearbeitet = false;
        // A camera file whose download stopped where the image data begins:
        // its EXIF data are all there, its picture is not.
        const QByteArray kamera = KameraJpeg(ordner, 320, 240);
        abgebrochen = kamera.left(JpegScanAnfang(kamera));
        pfad = ordner + QStringLiteral("/foto.jpg");
        DateiSchreiben(pfad, abgebrochen);
        TMeldungsFaenger still;
        BildListe = {pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 128);
        ASSERT_EQ(f->OriginalBild.Height(), 128);
    }
    void TearDown() override { BildBearbeitet = false; }

    // Runs the save command; when the window opens, it saves under name in
    // the test folder, answering every question with Yes.
    QStringList SpeichernAls(const QString& name)
    {
        TMeldungsFaenger faenger(mbJa);
        TImModalenDialog speichern([&](QWidget* w) {
            if (auto* d = qobject_cast<TfrmSpeichern*>(w)) {
                d->ediZielverz->setText(ordner);
                d->ediDateiname->setText(name);
                d->btnSpeichernClick();
                if (d->isVisible())
                    d->reject();
            } else if (auto* andere = qobject_cast<QDialog*>(w)) {
                andere->reject();
            }
        });
        f->mDatSpeichernalsExecute();
        return faenger.texte;
    }

    static bool NichtGeladenGesagt(const QStringList& texte)
    {
        for (const QString& t : texte)
            if (t.contains(QStringLiteral("konnte nicht geladen werden")))
                return true;
        return false;
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner, pfad;
    QByteArray abgebrochen;
};

} // namespace

TEST_F(FehlerbildTest, Speichern_UeberDieDateiVerweigertUndSagtWarum)
{
    // The save command, with the file's own name and Yes to replacing it.
    const QStringList texte = SpeichernAls(QStringLiteral("foto.jpg"));
    EXPECT_TRUE(NichtGeladenGesagt(texte)) << texte.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(DateiBytes(pfad), abgebrochen);

    // The save window's own button refuses as well, for any name.
    TMeldungsFaenger faenger(mbJa);
    TfrmSpeichern fenster(f);
    fenster.show();
    fenster.ediZielverz->setText(ordner);
    fenster.ediDateiname->setText(QStringLiteral("anders.jpg"));
    fenster.btnSpeichernClick();
    fenster.reject();
    EXPECT_TRUE(NichtGeladenGesagt(faenger.texte)) << faenger.texte.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(ordner + QStringLiteral("/anders.jpg")));
    EXPECT_EQ(DateiBytes(pfad), abgebrochen);
}

TEST_F(FehlerbildTest, Speichern_BearbeitetUndZurueckBleibtVerweigertEinfuegenNicht)
{
    // Turned and turned back by undo: still only the error picture.
    f->mBeaPlus90GradExecute();
    EXPECT_TRUE(NichtGeladenGesagt(SpeichernAls(QStringLiteral("gedreht.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(ordner + QStringLiteral("/gedreht.bmp")));
    f->mBeaRueckgaengigExecute();
    EXPECT_TRUE(NichtGeladenGesagt(SpeichernAls(QStringLiteral("zurueck.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(ordner + QStringLiteral("/zurueck.bmp")));

    // A pasted picture is the user's own and saves as always.
    QImage bild(40, 30, QImage::Format_RGB32);
    bild.fill(qRgb(10, 200, 30));
    QGuiApplication::clipboard()->setImage(bild);
    BildBearbeitet = false;
    f->mBeaEinfuegenExecute();
    ASSERT_EQ(BildQuelle, BildQuelleZwischenablage);
    EXPECT_FALSE(NichtGeladenGesagt(SpeichernAls(QStringLiteral("ablage.jpg"))));
    EXPECT_TRUE(QFileInfo(ordner + QStringLiteral("/ablage.jpg")).isFile());
}

TEST_F(FehlerbildTest, VerlustfreiesDrehen_VerweigertUndSagtWarum)
{
    ASSERT_TRUE(JpgDrehbar);
    TMeldungsFaenger faenger(mbOk);
    TImModalenDialog drehen([](QWidget* w) {
        if (auto* d = qobject_cast<TfrmJpgDrehen*>(w))
            d->PngBitBtnDrehPlus90Click();
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
            d->reject();
    });
    f->mBeaJpgDrehenExecute();
    EXPECT_TRUE(NichtGeladenGesagt(faenger.texte)) << faenger.texte.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(DateiBytes(pfad), abgebrochen);
}
