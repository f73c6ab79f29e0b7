#include <gtest/gtest.h>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMouseEvent>
#include <QToolTip>
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Gehezu.h"

namespace {

class GehezuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BildListe.clear();
        for (int i = 0; i < 10; ++i)
            BildListe << QStringLiteral("/bilder/bild%1.jpg").arg(i);
        BildIndex = 4;
        d = new TfrmGehezu();
    }
    void TearDown() override
    {
        delete d;
    }
    void Zeigen()
    {
        d->show();
        QCoreApplication::processEvents();
    }
    // The tool tip the list shows for its entry zeile (empty: none).
    QString Hinweis(int zeile)
    {
        QToolTip::hideText();
        QWidget* flaeche = d->lbGeheZu->viewport();
        const QPoint punkt = zeile < 0 ? QPoint(5, flaeche->height() - 2)
                                       : d->lbGeheZu->visualItemRect(d->lbGeheZu->item(zeile)).center();
        QHelpEvent ereignis(QEvent::ToolTip, punkt, flaeche->mapToGlobal(punkt));
        QApplication::sendEvent(flaeche, &ereignis);
        const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return text;
    }

    TfrmGehezu* d = nullptr;
};

TEST_F(GehezuTest, Zeigen_AlleEintraegeUndDieStelleDesBildes)
{
    Zeigen();
    ASSERT_EQ(d->lbGeheZu->count(), 10);
    EXPECT_EQ(d->lbGeheZu->item(9)->text(), QStringLiteral("/bilder/bild9.jpg"));
    EXPECT_EQ(d->lbGeheZu->currentRow(), 4);
    EXPECT_TRUE(d->lbGeheZu->item(4)->isSelected());
    EXPECT_EQ(d->lblBildNr->text(), QStringLiteral("Bild 5 von 10"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Gehe zu..."));
}

TEST_F(GehezuTest, Auswahl_AendertNurDieAnzeige)
{
    Zeigen();
    d->lbGeheZu->setCurrentRow(7);
    EXPECT_EQ(d->lblBildNr->text(), QStringLiteral("Bild 8 von 10"));
    EXPECT_EQ(BildIndex, 4);
}

TEST_F(GehezuTest, Ok_SetztDenIndex)
{
    Zeigen();
    d->lbGeheZu->setCurrentRow(7);
    d->btnOk->click();
    EXPECT_EQ(BildIndex, 7);
    EXPECT_EQ(d->result(), 1);
}

TEST_F(GehezuTest, Doppelklick_WaehltSofort)
{
    Zeigen();
    const QRect r = d->lbGeheZu->visualItemRect(d->lbGeheZu->item(2));
    QWidget* flaeche = d->lbGeheZu->viewport();
    const QPointF punkt = r.center();
    for (QEvent::Type art : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                             QEvent::MouseButtonRelease}) {
        QMouseEvent ereignis(art, punkt, flaeche->mapToGlobal(punkt), Qt::LeftButton,
                             art == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(flaeche, &ereignis);
    }
    EXPECT_EQ(BildIndex, 2);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), 1);
}

TEST_F(GehezuTest, AbbrechenEscUndSchliessen_LassenDenIndex)
{
    Zeigen();
    d->lbGeheZu->setCurrentRow(7);
    d->btnAbbrechen->click();
    EXPECT_EQ(BildIndex, 4);
    EXPECT_NE(d->result(), 1);

    Zeigen();
    d->lbGeheZu->setCurrentRow(8);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &esc);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(BildIndex, 4);
    EXPECT_NE(d->result(), 1);

    Zeigen();
    d->close();
    EXPECT_EQ(BildIndex, 4);
    EXPECT_NE(d->result(), 1);
}

TEST_F(GehezuTest, OhneAuswahl_OkTutNichts)
{
    Zeigen();
    d->lbGeheZu->clearSelection();
    d->lbGeheZu->setCurrentRow(-1);
    d->btnOk->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(BildIndex, 4);
}

TEST_F(GehezuTest, ErneutZeigen_FolgtDerListe)
{
    Zeigen();
    d->hide();
    BildListe = {QStringLiteral("/a.png"), QStringLiteral("/b.png")};
    BildIndex = 1;
    Zeigen();
    EXPECT_EQ(d->lbGeheZu->count(), 2);
    EXPECT_EQ(d->lblBildNr->text(), QStringLiteral("Bild 2 von 2"));
}

TEST_F(GehezuTest, Hinweis_NurFuerZuLangeEintraegeUeberDemEintrag)
{
    const QString lang = QStringLiteral("/bilder/") + QString(300, QLatin1Char('W')) + QStringLiteral(".jpg");
    BildListe = {QStringLiteral("/kurz.jpg"), lang};
    BildIndex = 0;
    Zeigen();
    // A shown tip fades out slowly: the empty cases go first.
    EXPECT_EQ(Hinweis(-1), QString());
    EXPECT_EQ(Hinweis(0), QString());
    EXPECT_EQ(Hinweis(1), lang);
}

} // namespace
