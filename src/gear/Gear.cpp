#include "Gear.h"
#include "GearBmp.h"
#include "SicherErsetzen.h"
#include "pixelops/Bitmap.h"
#include "GearCodec.h"
#include "GearFarbtiefe.h"
#include "GearFilter.h"
#include "GearHilfen.h"
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QThread>
#include <algorithm>
#include <cerrno>

TGear::TGear(QObject* parent) : QObject(parent) {}

TGear::~TGear() = default;

TGearSeite* TGear::Seite()
{
    if (m_seite < 0 || m_seite >= int(m_seiten.size()))
        return nullptr;
    TGearSeite* s = &m_seiten[size_t(m_seite)];
    return s->Leer() ? nullptr : s;
}

const TGearSeite* TGear::AktuelleSeite() const
{
    if (m_seite < 0 || m_seite >= int(m_seiten.size()) || m_seiten[size_t(m_seite)].Leer())
        return nullptr;
    return &m_seiten[size_t(m_seite)];
}

void TGear::BeginneVorgang()
{
    m_fortschritt = -1;
}

TFortschritt TGear::Fortschritt()
{
    // The back-ends report up to 99; the operation itself ends with 100.
    return [this](int p) { MeldeFortschritt(std::min(p, 99)); };
}

void TGear::Fehlschlag(const QString& grund)
{
    m_errCount = 1;
    m_letzterFehler = grund;
    MeldeFortschritt(100);
}

void TGear::MeldeFortschritt(int prozent)
{
    if (!m_statusEvent)
        return;
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    const int p = std::clamp(prozent, 0, 100);
    if (p <= m_fortschritt)
        return;
    // After 100 the next operation starts from 0 again.
    m_fortschritt = p == 100 ? -1 : p;
    int wert = p;
    emit OnStatusEvent(wert);
}

template <class F>
void TGear::AufSeite(F&& operation)
{
    TGearSeite* s = Seite();
    if (!s)
        return;
    BeginneVorgang();
    MeldeFortschritt(0);
    operation(*s, Fortschritt());
    MeldeFortschritt(100);
}

// ---- Load and save ------------------------------------------------------

void TGear::LoadImage(const QString& pfad)
{
    BeginneVorgang();
    m_errCount = 0;
    m_letzterFehler.clear();
    DelImage();
    MeldeFortschritt(0);
    const QFileInfo info(pfad);
    if (pfad.isEmpty() || !info.exists()) {
        Fehlschlag(QStringLiteral("Die Datei „%1“ wurde nicht gefunden.").arg(pfad));
        return;
    }
    if (!info.isFile()) {
        Fehlschlag(QStringLiteral("„%1“ ist keine Bilddatei.").arg(pfad));
        return;
    }
    if (info.size() > (qint64(1) << 31)) {
        Fehlschlag(QStringLiteral("Die Datei „%1“ ist zu groß.").arg(pfad));
        return;
    }
    // One budget for everything this load holds, the file's bytes included.
    TGearSpeicherRahmen budget;
    QString fehler;
    if (!GearSpeicherNehmen(info.size(), fehler)) {
        Fehlschlag(fehler);
        return;
    }
    // The bytes are read here; the decoders never see the name, so brackets,
    // colons or pipes in it are just characters.
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        Fehlschlag(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden (%2).").arg(pfad, datei.errorString()));
        return;
    }
    const QByteArray daten = datei.readAll();
    if (datei.error() != QFileDevice::NoError) {
        Fehlschlag(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden (%2).").arg(pfad, datei.errorString()));
        return;
    }
    datei.close();
    TGearDokument dok;
    if (!GearDekodieren(daten, info.suffix(), dok, fehler, Fortschritt(), m_hintergrund) || dok.seiten.empty()) {
        Fehlschlag(fehler.isEmpty() ? QStringLiteral("Die Datei kann nicht gelesen werden.") : fehler);
        return;
    }
    m_seiten = std::move(dok.seiten);
    m_seite = 0;
    for (TGearSeite& s : m_seiten)
        GearLueckeFuellen(s, m_hintergrund);
    if (dok.quelle && dok.quelle->Anzahl() > 1) {
        m_quelle = std::move(dok.quelle);
        m_seiten.resize(size_t(m_quelle->Anzahl()));
    }
    m_typ = dok.typ;
    m_kompression = dok.kompression;
    MeldeFortschritt(100);
}

bool TGear::Kodieren(QByteArray& aus)
{
    BeginneVorgang();
    m_errCount = 0;
    m_letzterFehler.clear();
    MeldeFortschritt(0);
    const TGearSeite* s = AktuelleSeite();
    if (!s) {
        Fehlschlag(QStringLiteral("Es ist kein Bild vorhanden."));
        return false;
    }
    QString fehler;
    if (!GearKodieren(*s, m_saveFormat, m_control, aus, fehler, Fortschritt())) {
        Fehlschlag(fehler);
        return false;
    }
    return true;
}

bool TGear::SaveToBytes(QByteArray& aus)
{
    if (!Kodieren(aus))
        return false;
    MeldeFortschritt(100);
    return true;
}

void TGear::SaveImage(const QString& pfad)
{
    if (!m_sicherSchreiben && m_saveFormat == 2) {
        BeginneVorgang();
        m_errCount = 0;
        m_letzterFehler.clear();
        MeldeFortschritt(0);
        const TGearSeite* s = AktuelleSeite();
        QString fehler;
        if (!s) {
            Fehlschlag(QStringLiteral("Es ist kein Bild vorhanden."));
            return;
        }
        if (!BmpDateiSchreiben(*s, pfad, fehler)) {
            Fehlschlag(fehler);
            return;
        }
        MeldeFortschritt(100);
        return;
    }
    QByteArray daten;
    if (!Kodieren(daten))
        return;
    // A write-protected file stays as it is, also for root, who could
    // otherwise rename over it.
    const QFileInfo ziel(pfad);
    if (ziel.exists() && ziel.isFile() && !(QFile::permissions(pfad) & QFileDevice::WriteOwner)) {
        Fehlschlag(SchreibfehlerText(pfad, EACCES));
        return;
    }
    // Written beside the target and renamed over it: a failed write leaves
    // the previous file as it was.
    QString fehler;
    if (!DateiSicherErsetzen(pfad, daten, fehler)) {
        Fehlschlag(fehler);
        return;
    }
    MeldeFortschritt(100);
}

// ---- Presets and facts ------------------------------------------------

void TGear::DelImage()
{
    m_seiten.clear();
    m_quelle.reset();
    m_seite = 0;
    m_typ.clear();
    m_kompression.clear();
}

void TGear::SetPage(int seite)
{
    if (seite < 1 || seite > int(m_seiten.size()) || seite - 1 == m_seite)
        return;
    if (m_quelle) {
        BeginneVorgang();
        m_errCount = 0;
        m_letzterFehler.clear();
        MeldeFortschritt(0);
        TGearSeite neu;
        QString fehler;
        {
            TGearSpeicherRahmen budget;
            if (!m_quelle->Lesen(seite - 1, neu, fehler, Fortschritt()) || neu.Leer()) {
                Fehlschlag(fehler.isEmpty() ? QStringLiteral("Die Seite %1 kann nicht gelesen werden.").arg(seite)
                                            : fehler);
                return;
            }
            GearLueckeFuellen(neu, m_hintergrund);
        }
        // Only the page on screen is held.
        m_seiten[size_t(m_seite)] = TGearSeite();
        m_seiten[size_t(seite - 1)] = std::move(neu);
        m_seite = seite - 1;
        MeldeFortschritt(100);
        return;
    }
    m_seite = seite - 1;
}

bool TGear::Beschaedigt() const
{
    const TGearSeite* s = AktuelleSeite();
    return s && s->beschaedigt;
}

int TGear::ImageHeight() const
{
    const TGearSeite* s = AktuelleSeite();
    return s ? s->bild.height() : 0;
}

int TGear::ImageWidth() const
{
    const TGearSeite* s = AktuelleSeite();
    return s ? s->bild.width() : 0;
}

int TGear::ImageBitsPerPixel() const
{
    const TGearSeite* s = AktuelleSeite();
    return s ? s->bpp : 0;
}

void TGear::SetImageBitsPerPixel(int bpp)
{
    m_bppVorgabe = bpp;
}

QImage TGear::Picture() const
{
    const TGearSeite* s = AktuelleSeite();
    return s ? s->bild : QImage();
}

void TGear::SetPicture(const QImage& bild)
{
    DelImage();
    TGearSeite s = GearSeiteAusBild(bild);
    if (!s.Leer())
        m_seiten.push_back(std::move(s));
    m_typ = QStringLiteral("UNKNOWN");
    m_kompression = QStringLiteral("UNCOMPRESSED");
}

void TGear::SetPicture(const TBitmap& bmp)
{
    SetPicture(bmp.Bild());
}

int TGear::SettingValue(int modus, int vorgabe) const
{
    const auto it = m_setting.find(modus);
    return it == m_setting.end() ? vorgabe : it->second;
}

int TGear::ControlValue(int modus, int vorgabe) const
{
    const auto it = m_control.find(modus);
    return it == m_control.end() ? vorgabe : it->second;
}

void TGear::ClipboardCopy()
{
    QImage bild = Picture();
    if (bild.isNull() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (ImageBitsPerPixel() == 1 && bild.format() == QImage::Format_Indexed8) {
        // Qt's own conversion would dither to black and white; keep the two colours.
        QImage mono(bild.size(), QImage::Format_Mono);
        if (mono.isNull())
            return;
        QList<QRgb> t = bild.colorTable();
        while (t.size() < 2)
            t.append(qRgb(255, 255, 255));
        mono.setColorTable(t.mid(0, 2));
        mono.fill(0);
        for (int y = 0; y < bild.height(); ++y) {
            const uint8_t* s = bild.constScanLine(y);
            uint8_t* z = mono.scanLine(y);
            for (int x = 0; x < bild.width(); ++x)
                if (s[x] & 1)
                    z[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
        bild = mono;
    }
    QGuiApplication::clipboard()->setImage(bild);
}

// ---- Colour depth -------------------------------------------------------

void TGear::DiffusionMono() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearDiffusionMono(s, fs); }); }
void TGear::HalftoneMono() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearHalftoneMono(s, fs); }); }
void TGear::BayerMono() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearBayerMono(s, fs); }); }
void TGear::DiffusionColor() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearDiffusionColor(s, fs); }); }
void TGear::BayerColor() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearBayerColor(s, fs); }); }

void TGear::Octree(int)
{
    const int bits = m_octreeBits, farben = m_octreeColors;
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearOctree(s, bits, farben, fs); });
}

void TGear::MedianCut(int)
{
    const int farben = SettingValue(1, 256);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearMedianCut(s, farben, fs); });
}

void TGear::Popularity(int)
{
    const int farben = SettingValue(1, 256);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearPopularity(s, farben, fs); });
}

void TGear::PromoteColor(int tiefe)
{
    AufSeite([=](TGearSeite& s, const TFortschritt&) { GearPromoteColor(s, tiefe); });
}

void TGear::Gray() { AufSeite([](TGearSeite& s, const TFortschritt& fs) { GearGrau(s, fs); }); }

// ---- Filters (mode 5 = direction, mode 6 = twist kind) ---------------------

void TGear::EdgeMap(int n)
{
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearEdgeMap(s, n, fs); });
}

void TGear::FXEmboss(int wert)
{
    const int richtung = SettingValue(5, 0);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearEmboss(s, wert, richtung, fs); });
}

void TGear::FXDiffuse(int wert)
{
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearDiffuse(s, wert, fs); });
}

void TGear::FXMotion(int wert)
{
    const int richtung = SettingValue(5, 0);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearMotion(s, wert, richtung, fs); });
}

void TGear::FXStitch(int wert)
{
    const int richtung = SettingValue(5, 0);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearStitch(s, wert, richtung, fs); });
}

void TGear::FXPosterize(int wert)
{
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearPosterize(s, wert, fs); });
}

void TGear::FXTwist(int wert)
{
    const int art = SettingValue(6, 1);
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearTwist(s, wert, art, fs); });
}

void TGear::FXBlur(int wert)
{
    AufSeite([=](TGearSeite& s, const TFortschritt& fs) { GearBlur(s, wert, fs); });
}
