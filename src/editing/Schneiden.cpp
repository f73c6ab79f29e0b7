#include "Schneiden.h"
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include "Global.h"
#include "Meldung.h"
#include "Modi.h"
#include "ZelvanoMain.h"
#include "pixelops/Runden.h"
#include "widgets/Numedit.h"

TfrmSchneiden* frmSchneiden = nullptr;

bool VerhaeltnisRahmen(int a, int b, TSchnittFormat format, int w, int h, int& x, int& y, long double& verhaeltnis)
{
    if (a <= 0 || b <= 0 || w <= 0 || h <= 0)
        return false;
    const bool hoch = format == sfHochformat || (format == sfAutomatisch && w < h);
    if (!hoch) {
        if (a < b)
            std::swap(a, b);
        verhaeltnis = (long double)a / b;
        x = Runden(w * 0.8L);
        y = Runden(x / verhaeltnis);
        if (y > Runden(h * 0.8L)) {
            y = Runden(h * 0.8L);
            x = Runden(y * verhaeltnis);
        }
    } else {
        if (b < a)
            std::swap(a, b);
        verhaeltnis = (long double)a / b;
        y = Runden(h * 0.8L);
        x = Runden(y * verhaeltnis);
        if (x > Runden(w * 0.8L)) {
            x = Runden(w * 0.8L);
            y = Runden(x / verhaeltnis);
        }
    }
    // An extreme ratio or a tiny image must still leave a frame to crop to.
    x = std::clamp(x, 1, w);
    y = std::clamp(y, 1, h);
    return true;
}

void FestRahmen(int a, int b, int w, int h, int& x, int& y)
{
    x = std::min(std::max(a, 2), w);
    y = std::min(std::max(b, 2), h);
}

TfrmSchneiden::TfrmSchneiden(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSchneiden"));
    FormCreate();
}

void TfrmSchneiden::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    setWindowTitle(QStringLiteral("Fotoschnitt"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setProperty("HilfeKontext", HilfeKontext);
    setAutoFillBackground(true);
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);
    setFixedSize(492, 371);

    auto radio = [this](QWidget* eltern, const char* name, const QString& text, int x, int y, int b) {
        auto* rb = new QRadioButton(text, eltern);
        rb->setObjectName(QLatin1String(name));
        rb->setGeometry(x, y, b, 22);
        return rb;
    };
    auto feld = [](QWidget* eltern, const char* name, int x, int y, long double wert) {
        auto* ned = new TNumedit(eltern);
        ned->setObjectName(QLatin1String(name));
        ned->SetMatrix(QStringLiteral("9999"));
        ned->setGeometry(x, y, 50, 22);
        ned->SetWert(wert);
        ned->setEnabled(false);
        return ned;
    };
    auto beschriftung = [](QWidget* eltern, const QString& text, int x, int y) {
        auto* l = new QLabel(text, eltern);
        l->setGeometry(x, y, l->sizeHint().width() + 4, 22);
        return l;
    };

    // The two modes exclude each other; the ratio buttons inside the group
    // boxes form groups of their own.
    rbFotoschnitt = radio(this, "rbFotoschnitt",
                          QStringLiteral("Fotoschnitt    (freie Ausschnittwahl mit festem Seitenverhältnis)"), 16, 12,
                          460);
    gbSeitenverhaeltnis = new QGroupBox(QStringLiteral(" Seitenverhältnis "), this);
    gbSeitenverhaeltnis->setGeometry(36, 40, 250, 200);
    rb3zu2 = radio(gbSeitenverhaeltnis, "rb3zu2", QStringLiteral("3:2  z.B. Fotoabzüge"), 12, 22, 230);
    rb4zu3 = radio(gbSeitenverhaeltnis, "rb4zu3", QStringLiteral("4:3  z.B. TV und Monitor"), 12, 46, 230);
    rb5zu4 = radio(gbSeitenverhaeltnis, "rb5zu4", QStringLiteral("5:4  z.B. Monitor"), 12, 70, 230);
    rb14zu10 = radio(gbSeitenverhaeltnis, "rb14zu10", QStringLiteral("1,414:1  DIN-Papiere"), 12, 94, 230);
    rb16zu9 = radio(gbSeitenverhaeltnis, "rb16zu9", QStringLiteral("16:9  z.B. Breitbild-TV"), 12, 118, 230);
    rbBenutzerdef = radio(gbSeitenverhaeltnis, "rbBenutzerdef", QStringLiteral("Benutzerdeffiniert"), 12, 142, 230);
    rb3zu2->setChecked(true);
    nedX = feld(gbSeitenverhaeltnis, "nedX", 32, 168, 3);
    beschriftung(gbSeitenverhaeltnis, QStringLiteral(":"), 86, 168);
    nedY = feld(gbSeitenverhaeltnis, "nedY", 96, 168, 2);
    nedY->SetAusrichtung(taLeftJustify);

    gbFormat = new QGroupBox(QStringLiteral(" Format "), this);
    gbFormat->setGeometry(300, 40, 170, 110);
    rbAutomatisch = radio(gbFormat, "rbAutomatisch", QStringLiteral("Automatisch"), 12, 22, 150);
    rbQuerformat = radio(gbFormat, "rbQuerformat", QStringLiteral("Querformat"), 12, 48, 150);
    rbHochformat = radio(gbFormat, "rbHochformat", QStringLiteral("Hochformat"), 12, 74, 150);
    rbAutomatisch->setChecked(true);

    rbFestschnitt = radio(this, "rbFestschnitt", QStringLiteral("Schnitt mit fester Größenvorgabe."), 16, 256, 460);
    nedFestX = feld(this, "nedFestX", 48, 284, 300);
    beschriftung(this, QStringLiteral("x"), 104, 284);
    nedFestY = feld(this, "nedFestY", 116, 284, 200);
    nedFestY->SetAusrichtung(taLeftJustify);
    beschriftung(this, QStringLiteral("Bildpunkte"), 172, 284);
    auto* modi = new QButtonGroup(this);
    modi->addButton(rbFotoschnitt);
    modi->addButton(rbFestschnitt);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(292, 330, 88, 28);
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setGeometry(388, 330, 88, 28);

    connect(btnOk, &QPushButton::clicked, this, &TfrmSchneiden::btnOkClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(rbFotoschnitt, &QRadioButton::clicked, this, &TfrmSchneiden::rbFotoschnittClick);
    connect(rbFestschnitt, &QRadioButton::clicked, this, &TfrmSchneiden::rbFestschnittClick);
    connect(rb3zu2, &QRadioButton::clicked, this, &TfrmSchneiden::rb3zu2Click);
    connect(rb4zu3, &QRadioButton::clicked, this, &TfrmSchneiden::rb4zu3Click);
    connect(rb5zu4, &QRadioButton::clicked, this, &TfrmSchneiden::rb5zu4Click);
    connect(rb14zu10, &QRadioButton::clicked, this, &TfrmSchneiden::rb14zu10Click);
    connect(rb16zu9, &QRadioButton::clicked, this, &TfrmSchneiden::rb16zu9Click);
    connect(rbBenutzerdef, &QRadioButton::clicked, this, &TfrmSchneiden::rbBenutzerdefClick);
}

void TfrmSchneiden::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    FormShow();
}

void TfrmSchneiden::FormShow()
{
    AktiviereSeitenverhaeltnisse(rbFotoschnitt->isChecked());
    AktiviereFestgroesse(rbFestschnitt->isChecked());
    // The last frame of either mode; a cut drag may have left a negative size.
    if (SchnittX > 0 && SchnittY > 0) {
        nedFestX->SetWert(std::min(SchnittX, 9999));
        nedFestY->SetWert(std::min(SchnittY, 9999));
    }
    // The user chooses with the whole image in view.
    Einpassen = true;
    if (frmZelvanoMain)
        frmZelvanoMain->SetAnzeigeBild();
}

void TfrmSchneiden::AktiviereSeitenverhaeltnisse(bool an)
{
    for (QRadioButton* rb : {rb3zu2, rb4zu3, rb5zu4, rb14zu10, rb16zu9, rbBenutzerdef, rbAutomatisch, rbQuerformat,
                             rbHochformat})
        rb->setEnabled(an);
}

void TfrmSchneiden::AktiviereFestgroesse(bool an)
{
    nedFestX->setEnabled(an);
    nedFestY->setEnabled(an);
}

void TfrmSchneiden::rbFotoschnittClick()
{
    AktiviereSeitenverhaeltnisse(true);
    AktiviereFestgroesse(false);
}

void TfrmSchneiden::rbFestschnittClick()
{
    AktiviereSeitenverhaeltnisse(false);
    AktiviereFestgroesse(true);
    nedFestX->setFocus();
}

void TfrmSchneiden::Verhaeltnis(int a, int b)
{
    nedX->setEnabled(false);
    nedY->setEnabled(false);
    nedX->SetWert(a);
    nedY->SetWert(b);
}

void TfrmSchneiden::rb3zu2Click() { Verhaeltnis(3, 2); }
void TfrmSchneiden::rb4zu3Click() { Verhaeltnis(4, 3); }
void TfrmSchneiden::rb5zu4Click() { Verhaeltnis(5, 4); }
void TfrmSchneiden::rb14zu10Click() { Verhaeltnis(1414, 1000); }
void TfrmSchneiden::rb16zu9Click() { Verhaeltnis(16, 9); }

void TfrmSchneiden::rbBenutzerdefClick()
{
    nedX->setEnabled(true);
    nedY->setEnabled(true);
    nedX->setFocus();
}

void TfrmSchneiden::btnOkClick()
{
    const TBitmap* bild = frmZelvanoMain ? &frmZelvanoMain->OriginalBild : nullptr;
    const int w = bild ? bild->Width() : 0, h = bild ? bild->Height() : 0;
    Fotoschnitt = rbFotoschnitt->isChecked();
    Festschnitt = rbFestschnitt->isChecked();
    if (w <= 0 || h <= 0) {
        Fotoschnitt = Festschnitt = false;
        accept();
        return;
    }
    if (Fotoschnitt) {
        const TSchnittFormat format = rbQuerformat->isChecked()   ? sfQuerformat
                                      : rbHochformat->isChecked() ? sfHochformat
                                                                  : sfAutomatisch;
        int x = 0, y = 0;
        long double verhaeltnis = 0;
        if (!VerhaeltnisRahmen(int(nedX->Wert()), int(nedY->Wert()), format, w, h, x, y, verhaeltnis)) {
            Meldung(QStringLiteral("Unzulässiges Seitenverhältnis"), TMeldungArt::Information, mbOk);
            Ausschneiden = Fotoschnitt = Festschnitt = false;
            accept();
            return;
        }
        SchnittX = x;
        SchnittY = y;
        SchnittVerhaeltnis = verhaeltnis;
        if (frmZelvanoMain) {
            // Large enough for the four lines of help, wrapped.
            QWidget* panel = frmZelvanoMain->pnlSchnittinfo;
            panel->resize(DpiSkalieren(360, 96), DpiSkalieren(175, 96));
            frmZelvanoMain->memoSchnittinfo->setGeometry(4, 4, panel->width() - 8, panel->height() - 8);
            frmZelvanoMain->memoSchnittinfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            frmZelvanoMain->pnlSchnittinfo->move(5, 5);
            frmZelvanoMain->pnlSchnittinfo->show();
            frmZelvanoMain->pnlSchnittinfo->raise();
        }
    } else if (Festschnitt) {
        FestRahmen(int(nedFestX->Wert()), int(nedFestY->Wert()), w, h, SchnittX, SchnittY);
    }
    Einpassen = true;
    if (frmZelvanoMain)
        frmZelvanoMain->CursorSetzen();
    accept();
}
