#include "widgets/Numedit.h"
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Counts beeps and Change signals of the fields made by one test.
class NumeditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        alterPiepser = TNumedit::Piepser;
        TNumedit::Piepser = [this] { ++piepser; };
    }
    void TearDown() override { TNumedit::Piepser = alterPiepser; }

    TNumedit* Feld(const QString& matrix = QString())
    {
        auto* ned = new TNumedit(&fenster);
        if (!matrix.isEmpty())
            ned->SetMatrix(matrix);
        QObject::connect(ned, &TNumedit::Change, [this, ned] { werte.push_back(ned->Wert()); });
        return ned;
    }

    static void Taste(QWidget* w, int key, Qt::KeyboardModifiers mod = Qt::NoModifier,
                      const QString& text = QString())
    {
        QKeyEvent ev(QEvent::KeyPress, key, mod, text);
        QCoreApplication::sendEvent(w, &ev);
    }

    static void Tippe(QWidget* w, const QString& zeichen)
    {
        for (const QChar c : zeichen) {
            int key = c.unicode();
            if (c == u',')
                key = Qt::Key_Comma;
            else if (c == u'.')
                key = Qt::Key_Period;
            else if (c == u'-')
                key = Qt::Key_Minus;
            else if (c.isLetter())
                key = Qt::Key_A + (c.toUpper().unicode() - 'A');
            Taste(w, key, Qt::NoModifier, QString(c));
        }
    }

    static void Verlassen(QWidget* w)
    {
        QFocusEvent ev(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &ev);
    }

    static void Einfuegen(QWidget* w, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        Taste(w, Qt::Key_V, Qt::ControlModifier);
    }

    QWidget fenster;
    int piepser = 0;
    std::vector<long double> werte;
    std::function<void()> alterPiepser;
};

// ---- Mask -----------------------------------------------------------------

TEST_F(NumeditTest, Maske_NachkommastellenBestimmenDenWertText)
{
    const std::pair<const char*, const char*> faelle[] = {
        {"", "5,00"}, {"100,0", "5,0"}, {"9999", "5"}, {"-90,00", "5,00"}};
    for (const auto& [matrix, erwartet] : faelle) {
        TNumedit* ned = Feld(QString::fromLatin1(matrix));
        ned->SetWert(5);
        EXPECT_EQ(ned->text(), QString::fromLatin1(erwartet)) << matrix;
    }
}

TEST_F(NumeditTest, Maske_PunktWirdZumDezimalkomma)
{
    TNumedit* ned = Feld("5000.0");
    EXPECT_EQ(ned->Matrix(), "5000,0");
    Tippe(ned, "12,5");
    EXPECT_EQ(ned->text(), "12,5");
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Maske_BetragIstGrenzeNichtZiffernbild)
{
    TNumedit* ned = Feld("100,0");
    Tippe(ned, "100,5");
    EXPECT_EQ(ned->text(), "100,");
    EXPECT_EQ(piepser, 1);
    ned->clear();
    Tippe(ned, "100,0");
    EXPECT_EQ(ned->text(), "100,0");
    EXPECT_EQ(ned->Wert(), 100);
}

TEST_F(NumeditTest, Maske_NichtNumerischeMaskeWirdIgnoriert)
{
    TNumedit* ned = Feld("9999");
    ned->SetMatrix("abc");
    ned->SetMatrix("");
    EXPECT_EQ(ned->Matrix(), "9999");
}

// ---- Typing ---------------------------------------------------------------

TEST_F(NumeditTest, Tippen_SiebteZifferUeberschreitetStandardmaske)
{
    TNumedit* ned = Feld();
    Tippe(ned, "1234567");
    EXPECT_EQ(ned->text(), "123456");
    EXPECT_EQ(ned->Wert(), 123456);
    EXPECT_EQ(ned->cursorPosition(), 6);
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Tippen_RueckgewiesenerSchrittSetztCaretZurueck)
{
    TNumedit* ned = Feld("9999");
    Tippe(ned, "1234");
    ned->setCursorPosition(2);
    Tippe(ned, "5");
    EXPECT_EQ(ned->text(), "1234");
    EXPECT_EQ(ned->cursorPosition(), 2);
}

TEST_F(NumeditTest, Tippen_KommaUndZiffernMeldenJedenSchritt)
{
    TNumedit* ned = Feld();
    Tippe(ned, "1,5");
    ASSERT_EQ(werte.size(), 3u);
    EXPECT_EQ(werte[0], 1);
    EXPECT_EQ(werte[1], 1);
    EXPECT_EQ(werte[2], 1.5L);
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Winkel_GrenzeGiltMitVorzeichen)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "-90");
    EXPECT_EQ(ned->text(), "-90");
    EXPECT_EQ(ned->Wert(), -90);
    Tippe(ned, ",01");
    EXPECT_EQ(ned->text(), "-90,0");
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Winkel_DritteNachkommastelleAbgewiesen)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "45,678");
    EXPECT_EQ(ned->text(), "45,67");
    EXPECT_EQ(ned->Wert(), 45.67L);
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Winkel_TeiltexteStehenOhneChange)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "-");
    EXPECT_EQ(ned->text(), "-");
    Tippe(ned, ",");
    EXPECT_EQ(ned->text(), "-,");
    EXPECT_EQ(ned->Wert(), 0);
    ned->clear();
    Tippe(ned, ",");
    EXPECT_EQ(ned->text(), ",");
    EXPECT_TRUE(werte.empty());
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Winkel_VerlassenMitMinusLeertDasFeld)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "-");
    Verlassen(ned);
    EXPECT_EQ(ned->text(), "");
    EXPECT_EQ(ned->Wert(), 0);
}

TEST_F(NumeditTest, Ganzzahl_KommaUndMinusAbgewiesen)
{
    TNumedit* ned = Feld("9999");
    Tippe(ned, ",");
    Tippe(ned, "-");
    EXPECT_EQ(ned->text(), "");
    Tippe(ned, "12-");
    EXPECT_EQ(ned->text(), "12");
    ned->setCursorPosition(0);
    Tippe(ned, "-");
    EXPECT_EQ(ned->text(), "12");
    ned->setCursorPosition(2);
    Tippe(ned, ",");
    EXPECT_EQ(ned->text(), "12");
    EXPECT_EQ(piepser, 5);
}

TEST_F(NumeditTest, Null_KeineZweiteFuehrendeNull)
{
    TNumedit* ned = Feld();
    Tippe(ned, "0");
    Tippe(ned, "0");
    EXPECT_EQ(ned->text(), "0");
    EXPECT_EQ(piepser, 1);
    Tippe(ned, ",5");
    ned->setCursorPosition(2);
    Tippe(ned, "0");
    EXPECT_EQ(ned->text(), "0,05");
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Null_NachMinusNullAbgewiesen)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "-0");
    Tippe(ned, "0");
    EXPECT_EQ(ned->text(), "-0");
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Null_UeberAuswahlErlaubt)
{
    TNumedit* ned = Feld();
    Tippe(ned, "0");
    ned->selectAll();
    Tippe(ned, "0");
    EXPECT_EQ(ned->text(), "0");
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Loeschen_RuecktasteLeertOhneChange)
{
    TNumedit* ned = Feld();
    Tippe(ned, "7");
    werte.clear();
    Taste(ned, Qt::Key_Backspace);
    EXPECT_EQ(ned->text(), "");
    EXPECT_EQ(ned->Wert(), 0);
    EXPECT_TRUE(werte.empty());
}

TEST_F(NumeditTest, Tasten_BuchstabenEscapeUndSteuerzeichenAbgewiesen)
{
    TNumedit* ned = Feld();
    Tippe(ned, "12");
    Tippe(ned, "a.");
    Taste(ned, Qt::Key_Escape);
    Taste(ned, Qt::Key_A, Qt::ControlModifier);  // select all
    Taste(ned, Qt::Key_Z, Qt::ControlModifier);  // undo
    EXPECT_EQ(ned->text(), "12");
    EXPECT_FALSE(ned->hasSelectedText());
    EXPECT_EQ(piepser, 5);
}

TEST_F(NumeditTest, Tasten_OhneWarntonKeinPiepen)
{
    TNumedit* ned = Feld("9999");
    ned->SetWarnton(false);
    Tippe(ned, "x,-99999");
    EXPECT_EQ(ned->text(), "9999");
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Tasten_EntfUndPfeileBleibenDemFeld)
{
    TNumedit* ned = Feld();
    Tippe(ned, "123");
    Taste(ned, Qt::Key_Home);
    Taste(ned, Qt::Key_Delete);
    EXPECT_EQ(ned->text(), "23");
    EXPECT_EQ(piepser, 0);
}

// ---- Pasted and cut text --------------------------------------------------

TEST_F(NumeditTest, Einfuegen_GueltigeZahlUebernommen)
{
    TNumedit* ned = Feld();
    Einfuegen(ned, "12,5");
    EXPECT_EQ(ned->text(), "12,5");
    EXPECT_EQ(ned->Wert(), 12.5L);
    EXPECT_EQ(werte.size(), 1u);
}

TEST_F(NumeditTest, Einfuegen_UngueltigesBringtLetztenText)
{
    const char* schlecht[] = {"abc", "1,2,3", "1.000", "1,,5", "1e", "--5", "5-"};
    for (const char* s : schlecht) {
        TNumedit* ned = Feld();
        Tippe(ned, "42");
        const int vorher = piepser;
        Einfuegen(ned, QString::fromLatin1(s));
        EXPECT_EQ(ned->text(), "42") << s;
        EXPECT_EQ(ned->Wert(), 42) << s;
        EXPECT_EQ(piepser, vorher + 1) << s;
    }
}

TEST_F(NumeditTest, Einfuegen_MinusOhneVorzeichenmaskeAbgewiesen)
{
    TNumedit* ned = Feld("9999");
    Einfuegen(ned, "-");
    EXPECT_EQ(ned->text(), "");
    Einfuegen(ned, "-5");
    EXPECT_EQ(ned->text(), "");
    EXPECT_EQ(piepser, 2);
}

TEST_F(NumeditTest, Einfuegen_UeberGrenzeAbgewiesen)
{
    TNumedit* ned = Feld("9999");
    Tippe(ned, "9");
    Einfuegen(ned, "999");
    EXPECT_EQ(ned->text(), "9999");
    Einfuegen(ned, "9");
    EXPECT_EQ(ned->text(), "9999");
    EXPECT_EQ(piepser, 1);
}

TEST_F(NumeditTest, Einfuegen_LeerzeichenUndExponentWieZahlumwandlung)
{
    TNumedit* ned = Feld("9999");
    Einfuegen(ned, " 7 ");
    EXPECT_EQ(ned->Wert(), 7);
    Verlassen(ned);
    EXPECT_EQ(ned->text(), "7");
    ned->clear();
    Einfuegen(ned, "1e3");
    EXPECT_EQ(ned->Wert(), 1000);
    Verlassen(ned);
    EXPECT_EQ(ned->text(), "1000");
}

TEST_F(NumeditTest, Ausschneiden_RestWirdGeprueft)
{
    TNumedit* ned = Feld("-90,00");
    Tippe(ned, "-45");
    ned->setSelection(1, 2);
    Taste(ned, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "45");
    EXPECT_EQ(ned->text(), "-");
    EXPECT_EQ(ned->Wert(), 0);
}

// ---- Writing the value ----------------------------------------------------

TEST_F(NumeditTest, Wert_NullInLeeresFeldBleibtLeer)
{
    TNumedit* ned = Feld();
    ned->SetWert(0);
    EXPECT_EQ(ned->text(), "");
    EXPECT_TRUE(werte.empty());
}

TEST_F(NumeditTest, Wert_WirdAufMaskeGerundet)
{
    TNumedit* ned = Feld();
    ned->SetWert(1.234L);
    EXPECT_EQ(ned->text(), "1,23");
    EXPECT_EQ(ned->Wert(), 1.23L);
    // The same text again: nothing to change, but the value follows the text.
    ned->SetWert(1.2349L);
    EXPECT_EQ(ned->Wert(), 1.23L);
}

TEST_F(NumeditTest, Wert_Rundungsregeln)
{
    TNumedit* ganz = Feld("-9999");
    const std::pair<long double, const char*> ganzFaelle[] = {
        {2.5L, "2"}, {3.5L, "4"}, {-2.5L, "-2"}, {-0.4L, "0"}, {1234.6L, "1235"}};
    for (const auto& [w, erwartet] : ganzFaelle) {
        ganz->SetWert(w);
        EXPECT_EQ(ganz->text(), QString::fromLatin1(erwartet)) << double(w);
    }
    TNumedit* dez = Feld("-90,00");
    const std::pair<long double, const char*> dezFaelle[] = {
        {0.125L, "0,13"}, {-2.5L, "-2,50"}, {-0.001L, "0,00"}, {89.996L, "90,00"}, {0.5L, "0,50"}};
    for (const auto& [w, erwartet] : dezFaelle) {
        dez->SetWert(w);
        EXPECT_EQ(dez->text(), QString::fromLatin1(erwartet)) << double(w);
    }
}

TEST_F(NumeditTest, Wert_UeberGrenzeBringtLetztenText)
{
    TNumedit* ned = Feld("9999");
    ned->SetWert(12);
    const int vorher = piepser;
    ned->SetWert(10000);
    EXPECT_EQ(ned->text(), "12");
    EXPECT_EQ(ned->Wert(), 12);
    EXPECT_EQ(piepser, vorher + 1);
}

TEST_F(NumeditTest, Wert_NegativOhneVorzeichenmaskeAbgewiesen)
{
    TNumedit* ned = Feld("9999");
    ned->SetWert(-5);
    EXPECT_EQ(ned->text(), "");
    EXPECT_EQ(ned->Wert(), 0);
}

// ---- Leaving the field ----------------------------------------------------

TEST_F(NumeditTest, Verlassen_SchreibtDenWertText)
{
    TNumedit* dez = Feld();
    Tippe(dez, "5");
    Verlassen(dez);
    EXPECT_EQ(dez->text(), "5,00");
    TNumedit* ganz = Feld("9999");
    Tippe(ganz, "07");
    EXPECT_EQ(ganz->text(), "07");
    Verlassen(ganz);
    EXPECT_EQ(ganz->text(), "7");
    TNumedit* komma = Feld();
    Tippe(komma, "-,");  // "-" refused by the mask, "," stands alone
    Verlassen(komma);
    EXPECT_EQ(komma->text(), "");
}

// ---- Mask written after the value -----------------------------------------

TEST_F(NumeditTest, Maske_NachWertFormatiertDenText)
{
    TNumedit* ned = Feld();
    ned->SetWert(100);
    EXPECT_EQ(ned->text(), "100,00");
    ned->SetMatrix("9999");
    EXPECT_EQ(ned->text(), "100");
    ned->end(false);
    Tippe(ned, "5");
    EXPECT_EQ(ned->text(), "1005");
    EXPECT_EQ(ned->Wert(), 1005);
}

TEST_F(NumeditTest, Maske_KleinereGrenzeLaesstKeinenUngueltigenText)
{
    TNumedit* ned = Feld("9999");
    ned->SetWert(500);
    ned->SetMatrix("99");
    EXPECT_EQ(ned->text(), "");
    EXPECT_EQ(ned->Wert(), 0);
    Tippe(ned, "5");
    EXPECT_EQ(ned->text(), "5");
}

// ---- Several fields -------------------------------------------------------

// A Change handler that writes a second field (width kept in step with a
// percentage) must not hand that field's text to the first one.
TEST_F(NumeditTest, Felder_LetzterTextGehoertJedemFeldSelbst)
{
    TNumedit* pixel = Feld("99999");
    TNumedit* prozent = Feld("5000,0");
    QObject::connect(pixel, &TNumedit::Change, [&] { prozent->SetWert(pixel->Wert() / 2); });
    Tippe(pixel, "15");
    EXPECT_EQ(prozent->text(), "7,5");
    Tippe(pixel, ",");
    EXPECT_EQ(pixel->text(), "15");
    EXPECT_EQ(pixel->Wert(), 15);
    EXPECT_EQ(prozent->text(), "7,5");
}

TEST_F(NumeditTest, Felder_FokusMerktDenEigenenText)
{
    TNumedit* a = Feld("9999");
    TNumedit* b = Feld("9999");
    a->SetWert(11);
    b->SetWert(22);
    QFocusEvent ein(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(a, &ein);
    QCoreApplication::sendEvent(b, &ein);
    a->end(false);
    Tippe(a, ",");
    EXPECT_EQ(a->text(), "11");
    EXPECT_EQ(a->Wert(), 11);
}

// ---- Enter --------------------------------------------------------------

TEST_F(NumeditTest, Enter_GehtZumNaechstenFeld)
{
    auto* layout = new QVBoxLayout(&fenster);
    TNumedit* a = Feld();
    TNumedit* b = Feld();
    layout->addWidget(a);
    layout->addWidget(b);
    fenster.show();
    fenster.activateWindow();
    QApplication::setActiveWindow(&fenster);
    a->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(a->hasFocus());
    Tippe(a, "3");
    bool zurueck = false;
    QObject::connect(a, &QLineEdit::returnPressed, [&] { zurueck = true; });
    Taste(a, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::processEvents();
    EXPECT_TRUE(b->hasFocus());
    EXPECT_FALSE(zurueck);
    EXPECT_EQ(a->text(), "3,00");  // normalised on leaving
    EXPECT_EQ(piepser, 0);
}

TEST_F(NumeditTest, Enter_OhneEntertasteErreichtDasFeld)
{
    TNumedit* a = Feld();
    a->SetEntertaste(false);
    bool zurueck = false;
    QObject::connect(a, &QLineEdit::returnPressed, [&] { zurueck = true; });
    Taste(a, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::processEvents();
    EXPECT_TRUE(zurueck);
    EXPECT_EQ(piepser, 0);
}

// ---- Locale with a decimal point ------------------------------------------

TEST_F(NumeditTest, Gebietsschema_PunktAlsTrenner)
{
    const QLocale vorher;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    {
        TNumedit ned;
        QObject::connect(&ned, &TNumedit::Change, [&] { werte.push_back(ned.Wert()); });
        ned.SetMatrix("5000,0");
        EXPECT_EQ(ned.Matrix(), "5000.0");
        Tippe(&ned, "12,");
        EXPECT_EQ(ned.text(), "12");
        Tippe(&ned, ".55");
        EXPECT_EQ(ned.text(), "12.5");
        EXPECT_EQ(ned.Wert(), 12.5L);
        ned.SetWert(7);
        EXPECT_EQ(ned.text(), "7.0");
        EXPECT_EQ(piepser, 2);
    }
    QLocale::setDefault(vorher);
    TNumedit deutsch;
    EXPECT_EQ(deutsch.Matrix(), "999999,99");
}

}  // namespace
