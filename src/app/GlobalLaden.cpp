// Unit Global: a file into an imaging control, with the error picture in
// place of what cannot be read. What loading records in the main window's
// shared state is in GlobalHauptfenster.cpp.
#include "Global.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "gear/GearHilfen.h"

const QImage& FehlerBild()
{
    static const QImage bild = [] {
        QImage zeichnung(128, 128, QImage::Format_RGB32);
        zeichnung.fill(Qt::white);
        QPainter p(&zeichnung);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(24, 16, 104, 96);
        p.drawLine(104, 16, 24, 96);
        p.setPen(QPen(QColor(120, 120, 120), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 125, 125);
        // Text needs the font database, which only a GUI application has.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QFont schrift = p.font();
            schrift.setPixelSize(18);
            schrift.setBold(true);
            p.setFont(schrift);
            p.setPen(QColor(200, 0, 0));
            p.drawText(QRect(0, 100, 128, 24), Qt::AlignCenter, QStringLiteral("Fehler"));
        }
        p.end();
        return zeichnung.convertToFormat(QImage::Format_BGR888);
    }();
    return bild;
}

// An icon drawn on the background colour, so its transparent pixels show
// that colour; a null image when the file is no readable icon.
static QImage IconAufHintergrund(const QString& pfad, QRgb hintergrund)
{
    QImageReader leser(pfad, "ico");
    leser.setDecideFormatFromContent(false);
    const QImage icon = leser.read();
    if (icon.isNull() || icon.width() <= 0 || icon.height() <= 0)
        return {};
    QString fehler;
    return GearAufHintergrund(icon, hintergrund, fehler);
}

bool BildLadefehler = false;
bool BildBeschaedigt = false;

bool LadeGearBild(TGear& gear, const QString& pfad, QRgb hintergrund, TExifDaten* metadaten, TLadeAngaben& angaben)
{
    gear.DelImage();
    gear.SetTransparent(0);
    gear.SetPage(1);
    gear.SetAspectRatio(1);
    gear.SetHintergrund(hintergrund);   // a bitmap's transparent parts, as an icon's
    angaben = TLadeAngaben();
    if (metadaten)
        metadaten->Leeren();

    const QFileInfo info(pfad);
    if (pfad.isEmpty() || !info.isFile()) {
        gear.SetPicture(FehlerBild());
        return false;
    }

    bool geladen;
    if (info.suffix().toUpper() == QLatin1String("ICO")) {
        QImage bitmap;
        try {
            bitmap = IconAufHintergrund(pfad, hintergrund);
        } catch (...) {
            bitmap = QImage();
        }
        geladen = !bitmap.isNull();
        gear.SetPicture(geladen ? bitmap : FehlerBild());
    } else {
        gear.LoadImage(pfad);
        geladen = gear.ErrCount() == 0;
        if (!geladen)
            gear.SetPicture(FehlerBild());
    }

    angaben.datum = info.lastModified();

    // The metadata reader reads only the file's metadata segments; a caller
    // that needs more than the comment gets them here, so the file is not
    // opened for them a second time.
    TExifDaten eigener;
    TExifDaten& leser = metadaten ? *metadaten : eigener;
    if (leser.Lesen(pfad) && leser.KommentarGefunden())
        angaben.kommentar = leser.Kommentar();
    return geladen;
}
