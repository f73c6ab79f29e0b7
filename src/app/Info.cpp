// The program-information box.
#include "Info.h"
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>
#include <cmath>
#include "Einstellungen.h"
#include "Global.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Bitmap_Skalieren.h"

TfrmInfo* frmInfo = nullptr;

namespace {

constexpr int KartenFarbe = 1274623;      // orange
constexpr int LeistenFarbe = 14869467;    // light grey-green of the bottom bar
constexpr QRgb CremeFarbe = qRgb(255, 251, 240);
constexpr int BildBreite = 1200, BildHoehe = 365;

QFrame* Flaeche(QWidget* eltern, QRgb fuellung, QRgb rand)
{
    auto* flaeche = new QFrame(eltern);
    flaeche->setAutoFillBackground(true);
    QPalette palette = flaeche->palette();
    palette.setColor(QPalette::Window, QColor(fuellung));
    palette.setColor(QPalette::WindowText, QColor(rand));
    flaeche->setPalette(palette);
    flaeche->setFrameShape(QFrame::Box);
    flaeche->setLineWidth(1);
    return flaeche;
}

} // namespace

QSize InfoHintergrundGroesse(int dpi)
{
    const long double faktor = dpi / 96.0L;
    return {static_cast<int>(BildBreite / 2.0L * faktor), static_cast<int>(BildHoehe / 2.0L * faktor)};
}

QImage InfoHintergrundBild()
{
    QImage bild(BildBreite, BildHoehe, QImage::Format_RGB32);
    bild.fill(QColor(FarbwertZuRgb(KartenFarbe)));
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::Antialiasing);

    // Soft light from the upper left.
    QRadialGradient licht(QPointF(260, 60), 700);
    licht.setColorAt(0, QColor(255, 200, 120, 170));
    licht.setColorAt(1, QColor(255, 114, 19, 0));
    maler.fillRect(bild.rect(), licht);

    // Three waves across the card.
    for (int i = 0; i < 3; ++i) {
        QPainterPath welle;
        const double basis = 250 + i * 38;
        welle.moveTo(0, basis);
        for (int x = 0; x <= BildBreite; x += 20)
            welle.lineTo(x, basis + 22 * std::sin((x + i * 140) / 170.0));
        welle.lineTo(BildBreite, BildHoehe);
        welle.lineTo(0, BildHoehe);
        welle.closeSubpath();
        maler.fillPath(welle, QColor(255, 255, 255, 40 + i * 25));
    }

    // A lens of rings with an aperture of six blades.
    const QPointF mitte(1000, 170);
    for (int r = 130; r > 40; r -= 18) {
        maler.setPen(QPen(QColor(255, 255, 255, 200 - r), 6));
        maler.setBrush(Qt::NoBrush);
        maler.drawEllipse(mitte, r, r);
    }
    maler.setPen(Qt::NoPen);
    for (int blatt = 0; blatt < 6; ++blatt) {
        const double winkel = blatt * M_PI / 3;
        QPainterPath klinge;
        klinge.moveTo(mitte);
        klinge.lineTo(mitte + QPointF(48 * std::cos(winkel), 48 * std::sin(winkel)));
        klinge.lineTo(mitte + QPointF(48 * std::cos(winkel + M_PI / 3), 48 * std::sin(winkel + M_PI / 3)));
        klinge.closeSubpath();
        maler.fillPath(klinge, QColor(60, 40, 30, blatt % 2 ? 200 : 150));
    }

    // The product name.
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPixelSize(150);
    schrift.setBold(true);
    maler.setFont(schrift);
    maler.setPen(QColor(120, 45, 0, 110));
    maler.drawText(QRectF(66, 46, 760, 200), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zelvano"));
    maler.setPen(Qt::white);
    maler.drawText(QRectF(60, 40, 760, 200), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zelvano"));

    // A light frame sets the picture off from the card around it.
    maler.setPen(QPen(QColor(255, 255, 255, 210), 6));
    maler.setBrush(Qt::NoBrush);
    maler.drawRect(QRectF(3, 3, BildBreite - 6, BildHoehe - 6));
    return bild;
}

TfrmInfo::~TfrmInfo()
{
    if (frmInfo == this)
        frmInfo = nullptr;
}

TfrmInfo::TfrmInfo(QWidget* parent, int dpi) : QDialog(parent), m_dpi(dpi)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(760, 410);
    setAutoFillBackground(true);
    QPalette karte = palette();
    karte.setColor(QPalette::Window, QColor(FarbwertZuRgb(KartenFarbe)));
    setPalette(karte);

    shpFussleiste = Flaeche(this, FarbwertZuRgb(LeistenFarbe), FarbwertZuRgb(LeistenFarbe));
    shpFussleiste->setObjectName(QStringLiteral("shpFussleiste"));
    shpFussleiste->setGeometry(0, 410 - 75, 760, 75);
    imgHintergrund = new QLabel(this);
    imgHintergrund->setObjectName(QStringLiteral("imgHintergrund"));
    imgHintergrund->move(45, 45);
    imgHintergrund->installEventFilter(this);
    shpTextHintergrund = Flaeche(this, CremeFarbe, FarbwertZuRgb(LeistenFarbe));
    shpTextHintergrund->setObjectName(QStringLiteral("shpTextHintergrund"));
    shpTextHintergrund->setGeometry(0, 0, 760, 335);
    shpTextHintergrund->hide();
    RichInfo = new QPlainTextEdit(shpTextHintergrund);
    RichInfo->setObjectName(QStringLiteral("RichInfo"));
    RichInfo->setReadOnly(true);
    RichInfo->setFrameShape(QFrame::NoFrame);
    RichInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichInfo->resize(744, 319);
    RichInfo->viewport()->installEventFilter(this);
    QPalette creme = RichInfo->palette();
    creme.setColor(QPalette::Base, QColor(CremeFarbe));
    RichInfo->setPalette(creme);
    RichInfo->setPlainText(QStringLiteral(
        "Zelvano %1\n\n"
        "Bildbetrachter und Bildbearbeitung.\n\n"
        "Bilder öffnen, durchblättern, zoomen und als Vollbild oder Auto-Show ansehen; "
        "bearbeiten, drehen, skalieren, Farben ändern und filtern; in rund dreißig Formaten speichern, "
        "ganze Listen umwandeln, drucken und scannen.\n\n"
        "Erstellt mit Qt %2.")
                               .arg(ProgrammVersion(4), QString::fromLatin1(qVersion())));
    lblTitel = new QLabel(this);
    lblTitel->setObjectName(QStringLiteral("lblTitel"));
    lblTitel->setAlignment(Qt::AlignCenter);
    lblTitel->setAttribute(Qt::WA_TranslucentBackground);
    lblTitel->setText(QStringLiteral("Zelvano %1  ·  Bildbetrachter und Bildbearbeitung").arg(ProgrammVersion(2)));
    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(657, 363, 70, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    PngImageList1 = InfoHintergrundBild();
    FormCreate();
}

void TfrmInfo::FormCreate()
{
    int dpi = m_dpi;
    if (dpi <= 0) {
        const QScreen* schirm = QGuiApplication::primaryScreen();
        dpi = schirm ? static_cast<int>(std::lround(schirm->logicalDotsPerInch())) : 96;
    }
    // 1.
    const QSize ziel = InfoHintergrundGroesse(dpi);
    // 2. The large picture is held once only.
    QImage bild = PngImageList1;
    PngImageList1 = QImage();
    // 3.
    TBitmap hintergrund(bild);
    BitmapSkalieren(hintergrund, ziel.width(), ziel.height(), 0, FilterNrLanczos3);
    imgHintergrund->setPixmap(QPixmap::fromImage(hintergrund.Bild()));
    imgHintergrund->resize(hintergrund.Width(), hintergrund.Height());
    // 4. Bottom right inside the outline.
    const int rand = shpTextHintergrund->lineWidth();
    RichInfo->move(shpTextHintergrund->width() - RichInfo->width() - rand,
                   shpTextHintergrund->height() - RichInfo->height() - rand);
    // 5., 6.
    setFont(QApplication::font("QMenu"));
    QPalette weiss = lblTitel->palette();
    weiss.setColor(QPalette::WindowText, Qt::white);
    lblTitel->setPalette(weiss);
    lblTitel->adjustSize();
    lblTitel->move(58, 302);
    lblTitel->raise();
    btnOk->raise();
}

void TfrmInfo::imgHintergrundClick()
{
    const bool zeigen = shpTextHintergrund->isHidden();
    shpTextHintergrund->setVisible(zeigen);
    RichInfo->setVisible(zeigen);
    if (zeigen)
        shpTextHintergrund->raise();
}

bool TfrmInfo::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if ((objekt == imgHintergrund || objekt == RichInfo->viewport()) && ereignis->type() == QEvent::MouseButtonRelease) {
        imgHintergrundClick();
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}
