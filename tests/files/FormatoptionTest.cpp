// The JPEG options, their window, and what the encoder makes of them.
#include <gtest/gtest.h>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Formatoption.h"

namespace {

class FormatoptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        JpegTyp = 0;
        JpegKomp = 23;
        JpegAufl = 0;
        ZielTyp = QStringLiteral("jpg");
        ordner = FrischerOrdner(QStringLiteral("formatoption"));
    }

    // A JPEG written through the control with the current options.
    QString JpegSchreiben(const QString& name)
    {
        QImage bild(64, 48, QImage::Format_BGR888);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                bild.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) * 3));
        TGear gear;
        gear.SetPicture(bild);
        JpgOptionenSetzen(gear);
        gear.SetSaveFormat(21);
        const QString pfad = ordner + QLatin1Char('/') + name;
        gear.SaveImage(pfad);
        EXPECT_EQ(gear.ErrCount(), 0);
        return pfad;
    }

    QString Identify(const QString& format, const QString& pfad)
    {
        QProcess p;
        p.start(QStringLiteral("identify"), {QStringLiteral("-format"), format, pfad});
        p.waitForFinished(20000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    // The frame-header markers in front of the first scan.
    QList<uchar> Rahmen(const QByteArray& b)
    {
        QList<uchar> liste;
        qsizetype pos = 2;
        while (pos + 4 <= b.size() && uchar(b[pos]) == 0xFF) {
            const uchar m = uchar(b[pos + 1]);
            if (m == 0xDA)
                break;
            if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC)
                liste.append(m);
            pos += 2 + ((uchar(b[pos + 2]) << 8) | uchar(b[pos + 3]));
        }
        return liste;
    }

    QString ordner;
};

} // namespace

// ---- The options applied to the control ---------------------------------

TEST_F(FormatoptionTest, Stufen_FuenfundzwanzigQualitaetenNachTabelle)
{
    const int erwartet[25] = {1, 5, 10, 20, 30, 40, 50, 55, 60, 65, 70, 75, 80,
                              85, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100};
    for (int stufe = 1; stufe <= 25; ++stufe) {
        JpegKomp = stufe;
        TGear gear;
        JpgOptionenSetzen(gear);
        EXPECT_EQ(gear.ControlValue(277, -1), erwartet[stufe - 1]) << "Stufe " << stufe;
    }
}

TEST_F(FormatoptionTest, Optionen_SchreibenTypQualitaetUndAufloesung)
{
    for (int typ : {0, 1, 2}) {
        JpegTyp = typ;
        JpegKomp = 25;
        JpegAufl = 7;
        TGear gear;
        JpgOptionenSetzen(gear);
        const std::map<int, int> erwartet = {{277, 100}, {533, 7}, {1813, typ}};
        EXPECT_EQ(gear.ControlWerte(), erwartet) << "Typ " << typ;
    }
}

TEST_F(FormatoptionTest, Optionen_UngueltigeWerteGeltenAlsVorgabe)
{
    JpegTyp = 7;
    JpegKomp = 0;
    JpegAufl = 99;
    TGear gear;
    JpgOptionenSetzen(gear);
    EXPECT_EQ(gear.ControlValue(1813, -1), 0);
    EXPECT_EQ(gear.ControlValue(277, -1), 98);
    EXPECT_EQ(gear.ControlValue(533, -1), 0);
    JpegKomp = 26;
    JpgOptionenSetzen(gear);
    EXPECT_EQ(gear.ControlValue(277, -1), 98);
}

TEST_F(FormatoptionTest, Ratensatz_InDeutscherSchreibweise)
{
    const QString anfang = QStringLiteral("Die zu erwartende Kompressionsrate beträgt, abhängig vom Bildinhalt, ca. ");
    EXPECT_EQ(JpgKompRateSatz(23), anfang + QStringLiteral("15,0 %"));
    EXPECT_EQ(JpgKompRateSatz(25), anfang + QStringLiteral("30,0 %"));
    EXPECT_EQ(JpgKompRateSatz(1), anfang + QStringLiteral("1,2 %"));
}

// ---- What the encoder writes -----------------------------------------

TEST_F(FormatoptionTest, Kodierer_Stufe23GibtQualitaet98)
{
    EXPECT_EQ(Identify(QStringLiteral("%Q"), JpegSchreiben(QStringLiteral("q98.jpg"))), QStringLiteral("98"));
    JpegKomp = 8;
    EXPECT_EQ(Identify(QStringLiteral("%Q"), JpegSchreiben(QStringLiteral("q55.jpg"))), QStringLiteral("55"));
}

TEST_F(FormatoptionTest, Kodierer_ProgressivSchreibtSof2StandardSof0)
{
    JpegTyp = 2;
    const QByteArray progressiv = DateiBytes(JpegSchreiben(QStringLiteral("p.jpg")));
    EXPECT_EQ(Rahmen(progressiv), QList<uchar>{0xC2});
    JpegTyp = 0;
    const QByteArray standard = DateiBytes(JpegSchreiben(QStringLiteral("s.jpg")));
    EXPECT_EQ(Rahmen(standard), QList<uchar>{0xC0});
}

TEST_F(FormatoptionTest, Kodierer_VerlustfreiSchreibtSof3)
{
    JpegTyp = 1;
    JpegKomp = 5;
    EXPECT_EQ(Rahmen(DateiBytes(JpegSchreiben(QStringLiteral("v.jpg")))), QList<uchar>{0xC3});
}

// ---- The window -------------------------------------------------------

TEST_F(FormatoptionTest, Fenster_ZeigtDieEinstellungen)
{
    JpegTyp = 2;
    JpegKomp = 12;
    JpegAufl = 3;
    TfrmFormatOption fenster;
    fenster.show();
    EXPECT_TRUE(fenster.rbJpgProgressive->isChecked());
    EXPECT_EQ(fenster.trbJpgKomp->value(), 12);
    EXPECT_EQ(fenster.lblJpgKompWert->text(), QStringLiteral("12"));
    EXPECT_EQ(fenster.trbJpgAufl->value(), -3);
    EXPECT_EQ(fenster.lblJpgAuflWert->text(), QStringLiteral("8"));
    EXPECT_EQ(fenster.lblKompRate->text(), JpgKompRateSatz(12));
    EXPECT_TRUE(fenster.pcFormatoptionen->isTabVisible(0));
    EXPECT_TRUE(fenster.btnJpgOptimierung->isVisible());
}

TEST_F(FormatoptionTest, Fenster_AndererZieltypVerbirgtJpgSeite)
{
    ZielTyp = QStringLiteral("png");
    TfrmFormatOption fenster;
    fenster.show();
    EXPECT_FALSE(fenster.pcFormatoptionen->isTabVisible(0));
    EXPECT_FALSE(fenster.btnJpgOptimierung->isVisible());
}

TEST_F(FormatoptionTest, Aufloesung_LinkesEndeGibtZehnUndEtikettEins)
{
    TfrmFormatOption fenster;
    fenster.show();
    fenster.trbJpgAufl->setValue(-10);
    EXPECT_EQ(JpegAufl, 10);
    EXPECT_EQ(fenster.lblJpgAuflWert->text(), QStringLiteral("1"));
    fenster.trbJpgAufl->setValue(0);
    EXPECT_EQ(JpegAufl, 0);
    EXPECT_EQ(fenster.lblJpgAuflWert->text(), QStringLiteral("11"));
}

TEST_F(FormatoptionTest, Kompression_ReglerAendertStufeUndSatz)
{
    TfrmFormatOption fenster;
    fenster.show();
    fenster.trbJpgKomp->setValue(25);
    EXPECT_EQ(JpegKomp, 25);
    EXPECT_EQ(fenster.lblJpgKompWert->text(), QStringLiteral("25"));
    EXPECT_TRUE(fenster.lblKompRate->text().endsWith(QStringLiteral("30,0 %")));
}

TEST_F(FormatoptionTest, Verlustfrei_SperrtNeunSteuerelementeStandardGibtSieFrei)
{
    TfrmFormatOption fenster;
    fenster.show();
    const QList<QWidget*> neun = {fenster.trbJpgKomp, fenster.lblJpgKomp, fenster.lblJpgKompWert,
                                  fenster.trbJpgAufl, fenster.lblJpgAufl, fenster.lblJpgAuflWert,
                                  fenster.lblKompRate, fenster.btnJpgOptimierung, fenster.imgInfo};
    fenster.rbJpgVerlustfrei->click();
    EXPECT_EQ(JpegTyp, 1);
    for (QWidget* w : neun)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    fenster.rbJpgStandard->click();
    EXPECT_EQ(JpegTyp, 0);
    for (QWidget* w : neun)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    fenster.rbJpgProgressive->click();
    EXPECT_EQ(JpegTyp, 2);
}

TEST_F(FormatoptionTest, Erklaerung_ErstesOkVerbirgtNurDenText)
{
    TfrmFormatOption fenster;
    fenster.show();
    fenster.imgInfoClick();
    EXPECT_TRUE(fenster.memInfo->isVisible());
    EXPECT_EQ(fenster.memInfo->size(), QSize(455, 305));
    const QString text = fenster.memInfo->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Für das \"Standard-JPG-Format\" und")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Kompressionsstufe  1-11 - Beste Kompressionsraten aber auch deutlich "
                                             "sichtbare Bildverluste.")));
    EXPECT_EQ(text.count(QStringLiteral("\n\n")), 6);
    fenster.btnOk->click();
    EXPECT_FALSE(fenster.memInfo->isVisible());
    EXPECT_TRUE(fenster.isVisible());
    fenster.btnOk->click();
    EXPECT_FALSE(fenster.isVisible());
    EXPECT_EQ(fenster.result(), int(QDialog::Accepted));
}
