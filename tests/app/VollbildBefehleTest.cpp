#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>
#include <functional>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Vollbild.h"

namespace {

// Runs the steps one after another while the full-screen view is showing;
// a step returning false is tried again on the next tick. A step waits for
// the view's own loop: run while the view's show handler pumps events, a
// closing step would close it before exec() waits, for ever.
class TVollbildAblauf {
public:
    explicit TVollbildAblauf(QList<std::function<bool()>> schritte)
        : m_schritte(std::move(schritte)), m_ebene(QThread::currentThread()->loopLevel())
    {
        m_uhr.setInterval(10);
        QObject::connect(&m_uhr, &QTimer::timeout, [this] {
            if (!frmVollbild || !frmVollbild->isVisible() || m_schritte.isEmpty()
                || QThread::currentThread()->loopLevel() <= m_ebene)
                return;
            if (m_schritte.first()())
                m_schritte.removeFirst();
        });
        m_uhr.start();
    }
    bool fertig() const { return m_schritte.isEmpty(); }

private:
    QList<std::function<bool()>> m_schritte;
    int m_ebene;
    QTimer m_uhr;
};

// A key pressed and released in the view.
std::function<bool()> Taste(int code)
{
    return [code] {
        QKeyEvent runter(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(frmVollbild, &runter);
        QKeyEvent hoch(QEvent::KeyRelease, code, Qt::NoModifier);
        QApplication::sendEvent(frmVollbild, &hoch);
        return true;
    };
}

class VollbildBefehleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmVollbild(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        BildBearbeitet = false;
        AutoShowLaeuft = false;
        Endlosschleife = false;
        BildPause = 10;
        ordner = FrischerOrdner(QStringLiteral("vollbildbefehle"));
        BildListe.clear();
        for (int i = 1; i <= 3; ++i) {
            const QString pfad = ordner + QStringLiteral("/bild%1.png").arg(i);
            QImage bild(10 * i, 5, QImage::Format_RGB888);
            bild.fill(Qt::green);
            bild.save(pfad);
            BildListe << pfad;
        }
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 10);
    }

    bool Loslassen(int taste)
    {
        QKeyEvent ereignis(QEvent::KeyRelease, taste, Qt::NoModifier);
        QApplication::sendEvent(f, &ereignis);
        return ereignis.isAccepted();
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

TEST_F(VollbildBefehleTest, Leertaste_OeffnetVollbildUndLaedtDortGewaehltesBild)
{
    TVollbildAblauf ablauf({Taste(Qt::Key_Right), Taste(Qt::Key_Space)});
    Loslassen(Qt::Key_Space);
    EXPECT_TRUE(ablauf.fertig());
    EXPECT_FALSE(frmVollbild->isVisible());
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    EXPECT_FALSE(ProgrammBeenden);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(VollbildBefehleTest, Vollbild_UnveraenderteStelleBehaeltDieBearbeitung)
{
    f->OriginalBild = TBitmap(44, 4);
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbNein);
    TVollbildAblauf ablauf({Taste(Qt::Key_Right), Taste(Qt::Key_Left), Taste(Qt::Key_Escape)});
    f->mAnsVollbild->trigger();
    EXPECT_TRUE(ablauf.fertig());
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 44);
    EXPECT_TRUE(BildBearbeitet);
}

TEST_F(VollbildBefehleTest, Vollbild_OhneBildOeffnetNichts)
{
    BildQuelle = BildQuelleKeine;
    TModalSchliesser schliesser;
    f->mAnsVollbildExecute();
    EXPECT_EQ(schliesser.geschlossen, 0);
    BildQuelle = BildQuelleDatei;
}

TEST_F(VollbildBefehleTest, Vollbild_BeendetDenAusschneidemodus)
{
    Ausschneiden = true;
    f->mBeaAusschneiden->setChecked(true);
    TVollbildAblauf ablauf({Taste(Qt::Key_Escape)});
    f->mAnsVollbildExecute();
    EXPECT_FALSE(Ausschneiden);
    EXPECT_FALSE(f->mBeaAusschneiden->isChecked());
}

TEST_F(VollbildBefehleTest, AutoShow_StartetBeimOeffnenUndLaeuftBisZumEnde)
{
    bool lief = false;
    TVollbildAblauf ablauf({[&] {
                                lief = lief || AutoShowLaeuft;
                                return lief && !AutoShowLaeuft && BildIndex == 2;
                            },
                            Taste(Qt::Key_Escape)});
    f->mAnsAutoShowExecute();
    EXPECT_TRUE(ablauf.fertig());
    EXPECT_TRUE(lief);
    EXPECT_FALSE(AutoShowStarten);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(f->OriginalBild.Width(), 30);
}

TEST_F(VollbildBefehleTest, AutoShow_BearbeitetesBildFragtVorherUndAbbrechenZeigtNichts)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    TModalSchliesser schliesser;
    f->mAnsAutoShowExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(schliesser.geschlossen, 0);
    EXPECT_EQ(BildIndex, 0);
    EXPECT_TRUE(BildBearbeitet);
}

class VollbildBeendenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HauptfensterFuerTestAnlegen();
        new TfrmVollbild(frmZelvanoMain);
        const QString ordner = FrischerOrdner(QStringLiteral("vollbildende"));
        QImage bild(8, 8, QImage::Format_RGB888);
        bild.fill(Qt::red);
        bild.save(ordner + QStringLiteral("/a.png"));
        BildListe = QStringList{ordner + QStringLiteral("/a.png")};
        BildIndex = 0;
        BildBearbeitet = false;
        frmZelvanoMain->BildAnzeigen();
    }
    void TearDown() override { delete frmZelvanoMain; }
};

TEST_F(VollbildBeendenTest, ProgrammBeenden_SchliesstAuchDasHauptfenster)
{
    TVollbildAblauf ablauf({[] {
        frmVollbild->popVBildEnde->trigger();
        return true;
    }});
    frmZelvanoMain->mAnsVollbildExecute();
    EXPECT_TRUE(ProgrammBeenden);
    // The quit command ran: closing cleared the control's image.
    EXPECT_EQ(frmZelvanoMain->Gear1->ImageHeight(), 0);
}

TEST_F(VollbildBeendenTest, Leertaste_SchliesstNurDieAnsicht)
{
    TVollbildAblauf ablauf({Taste(Qt::Key_Space)});
    frmZelvanoMain->mAnsVollbildExecute();
    EXPECT_FALSE(ProgrammBeenden);
    EXPECT_GT(frmZelvanoMain->Gear1->ImageHeight(), 0);
}

} // namespace
