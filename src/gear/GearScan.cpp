#include "GearScan.h"
#include "GearBaender.h"
#include "GearHilfen.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QFormLayout>
#include <QInputDialog>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>
#include <poll.h>

namespace {

// Written by the device probe's worker thread only while the GUI thread
// waits for it.
bool g_gestartet = false;
// Set while a scan or a device query runs: the message loop turns between
// reads, and a second scan must not start on top of the first.
bool g_beschaeftigt = false;

// Largest amount of data one frame may bring; a scanner that does not know
// its height cannot fill the memory.
constexpr qint64 MaxRahmenBytes = GearMaxPixel * 6;
constexpr SANE_Int LeseBlock = 256 * 1024;

class TBeschaeftigt {
public:
    TBeschaeftigt() { g_beschaeftigt = true; }
    ~TBeschaeftigt() { g_beschaeftigt = false; }
};

QString StatusText(SANE_Status s)
{
    switch (s) {
    case SANE_STATUS_UNSUPPORTED: return QStringLiteral("Der Vorgang wird vom Scanner nicht unterstützt.");
    case SANE_STATUS_CANCELLED: return QStringLiteral("Der Vorgang wurde abgebrochen.");
    case SANE_STATUS_DEVICE_BUSY: return QStringLiteral("Der Scanner ist belegt.");
    case SANE_STATUS_INVAL: return QStringLiteral("Ungültige Angabe.");
    case SANE_STATUS_EOF: return QStringLiteral("Keine weiteren Daten.");
    case SANE_STATUS_JAMMED: return QStringLiteral("Papierstau im Einzug.");
    case SANE_STATUS_NO_DOCS: return QStringLiteral("Im Einzug liegt kein Dokument.");
    case SANE_STATUS_COVER_OPEN: return QStringLiteral("Die Abdeckung des Scanners ist offen.");
    case SANE_STATUS_IO_ERROR: return QStringLiteral("Ein- oder Ausgabefehler beim Scanner.");
    case SANE_STATUS_NO_MEM: return QStringLiteral("Nicht genug Speicher.");
    case SANE_STATUS_ACCESS_DENIED: return QStringLiteral("Der Zugriff auf den Scanner wurde verweigert.");
    default: return QStringLiteral("Unbekannter Fehler (%1).").arg(int(s));
    }
}

bool Starten(QString& fehler)
{
    if (g_gestartet)
        return true;
    SANE_Int version = 0;
    const SANE_Status s = sane_init(&version, nullptr);
    if (s != SANE_STATUS_GOOD) {
        fehler = QStringLiteral("Die Scanner-Schnittstelle konnte nicht gestartet werden: ") + StatusText(s);
        return false;
    }
    // Shut down by the main window as it closes (GearScanBeenden): an exit
    // handler would run after the back-ends' own static objects are gone.
    g_gestartet = true;
    return true;
}

struct TGeraet {
    QByteArray name;
    QString anzeige;
};

std::vector<TGeraet> Geraete(QString& fehler)
{
    std::vector<TGeraet> liste;
    if (!Starten(fehler))
        return liste;
    const SANE_Device** geraete = nullptr;
    const SANE_Status s = sane_get_devices(&geraete, SANE_FALSE);
    if (s != SANE_STATUS_GOOD) {
        fehler = QStringLiteral("Die Liste der Scanner konnte nicht gelesen werden: ") + StatusText(s);
        return liste;
    }
    for (int i = 0; geraete && geraete[i]; ++i) {
        const SANE_Device* g = geraete[i];
        if (!g->name)
            continue;
        TGeraet e;
        e.name = QByteArray(g->name);
        const QString name = QString::fromUtf8(g->name);
        const QString text = (QString::fromUtf8(g->vendor ? g->vendor : "") + QLatin1Char(' ') +
                              QString::fromUtf8(g->model ? g->model : "")).trimmed();
        e.anzeige = text.isEmpty() ? name : text + QStringLiteral(" (") + name + QLatin1Char(')');
        liste.push_back(e);
    }
    if (liste.empty())
        fehler = QStringLiteral("Es wurde kein Scanner gefunden.");
    return liste;
}

// Starting SANE and asking for the devices takes seconds with network
// back-ends. That runs on a worker thread under the busy cursor, while the
// GUI thread keeps repainting; the user's input waits until it is done.
std::vector<TGeraet> GeraeteSuchen(QString& fehler)
{
    std::vector<TGeraet> liste;
    QString grund;
    QEventLoop warten;
    std::thread arbeiter([&] {
        liste = Geraete(grund);
        QMetaObject::invokeMethod(&warten, &QEventLoop::quit, Qt::QueuedConnection);
    });
    const bool mitCursor = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (mitCursor)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    warten.exec(QEventLoop::ExcludeUserInputEvents);
    arbeiter.join();
    if (mitCursor)
        QGuiApplication::restoreOverrideCursor();
    fehler = grund;
    return liste;
}

// An open device, cancelled and closed on every way out.
class TGriff {
public:
    ~TGriff()
    {
        if (h) {
            sane_cancel(h);
            sane_close(h);
        }
    }
    SANE_Handle h = nullptr;
};

int OptionSuchen(SANE_Handle h, const char* name, const SANE_Option_Descriptor** d)
{
    *d = nullptr;
    SANE_Int anzahl = 0;
    if (sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &anzahl, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (int i = 1; i < anzahl; ++i) {
        const SANE_Option_Descriptor* o = sane_get_option_descriptor(h, i);
        if (o && o->name && std::strcmp(o->name, name) == 0) {
            if (!SANE_OPTION_IS_ACTIVE(o->cap) || !SANE_OPTION_IS_SETTABLE(o->cap))
                return -1;
            *d = o;
            return i;
        }
    }
    return -1;
}

// The value of a one-word option (integer or fixed).
bool WortLesen(SANE_Handle h, int index, const SANE_Option_Descriptor* d, SANE_Word& wert)
{
    if (d->size < SANE_Int(sizeof(SANE_Word)))
        return false;
    std::vector<SANE_Word> puffer(size_t(d->size) / sizeof(SANE_Word) + 1, 0);
    if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, puffer.data(), nullptr) != SANE_STATUS_GOOD)
        return false;
    wert = puffer[0];
    return true;
}

void WortSetzen(SANE_Handle h, const char* name, SANE_Word wert)
{
    const SANE_Option_Descriptor* d = nullptr;
    const int i = OptionSuchen(h, name, &d);
    if (i < 0 || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size != SANE_Int(sizeof(SANE_Word)))
        return;
    // A value the device cannot take exactly is rounded by the device; a
    // refused one leaves the device's own setting.
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, &wert, nullptr);
}

std::vector<SANE_Word> Wortliste(const SANE_Option_Descriptor* d)
{
    std::vector<SANE_Word> werte;
    if (d && d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list)
        for (SANE_Int k = 1; k <= d->constraint.word_list[0]; ++k)
            werte.push_back(d->constraint.word_list[k]);
    return werte;
}

// One entry of the mode list: a SANE mode and, where the device offers it
// through its bit depth, the depth to go with it (0: leave the depth alone).
struct TModus {
    QString anzeige;
    QByteArray modus;
    SANE_Word tiefe = 0;
};

QString ModusText(const QByteArray& modus)
{
    if (modus == SANE_VALUE_SCAN_MODE_LINEART)
        return QStringLiteral("Strichzeichnung (1 Bit)");
    if (modus == SANE_VALUE_SCAN_MODE_HALFTONE)
        return QStringLiteral("Halbton (1 Bit)");
    if (modus == SANE_VALUE_SCAN_MODE_GRAY)
        return QStringLiteral("Graustufen (8 Bit)");
    if (modus == SANE_VALUE_SCAN_MODE_COLOR)
        return QStringLiteral("Farbe (24 Bit)");
    return QString::fromUtf8(modus);
}

// Asks for mode and resolution and sets them on the device. False when the
// user cancelled.
bool OptionenDialog(QWidget* eltern, SANE_Handle h)
{
    std::vector<TModus> modi;
    int modusWahl = -1;
    const SANE_Option_Descriptor* dm = nullptr;
    const int im = OptionSuchen(h, SANE_NAME_SCAN_MODE, &dm);
    if (im >= 0 && dm->type == SANE_TYPE_STRING && dm->constraint_type == SANE_CONSTRAINT_STRING_LIST &&
        dm->size > 0) {
        QByteArray jetzt(dm->size + 1, '\0');
        if (sane_control_option(h, im, SANE_ACTION_GET_VALUE, jetzt.data(), nullptr) == SANE_STATUS_GOOD)
            jetzt = QByteArray(jetzt.constData());
        else
            jetzt.clear();
        const SANE_Option_Descriptor* dt = nullptr;
        const int it = OptionSuchen(h, SANE_NAME_BIT_DEPTH, &dt);
        const std::vector<SANE_Word> tiefen = dt && dt->type == SANE_TYPE_INT ? Wortliste(dt) : std::vector<SANE_Word>{};
        auto hatTiefe = [&](SANE_Word t) { return std::find(tiefen.begin(), tiefen.end(), t) != tiefen.end(); };
        SANE_Word tiefeJetzt = 0;
        if (it >= 0)
            WortLesen(h, it, dt, tiefeJetzt);

        bool hatStrich = false;
        for (int k = 0; dm->constraint.string_list[k]; ++k)
            hatStrich = hatStrich || QByteArray(dm->constraint.string_list[k]) == SANE_VALUE_SCAN_MODE_LINEART;
        // Devices without a lineart mode often give one through grey at depth 1.
        const bool strichUeberTiefe = !hatStrich && hatTiefe(1);
        for (int k = 0; dm->constraint.string_list[k]; ++k) {
            const QByteArray m(dm->constraint.string_list[k]);
            const bool mehrbittig = m == SANE_VALUE_SCAN_MODE_GRAY || m == SANE_VALUE_SCAN_MODE_COLOR;
            if (m == SANE_VALUE_SCAN_MODE_GRAY && strichUeberTiefe)
                modi.push_back({ModusText(SANE_VALUE_SCAN_MODE_LINEART), m, 1});
            modi.push_back({ModusText(m), m, mehrbittig && hatTiefe(8) ? 8 : 0});
        }
        for (size_t k = 0; k < modi.size() && modusWahl < 0; ++k)
            if (modi[k].modus == jetzt && (!strichUeberTiefe || jetzt != SANE_VALUE_SCAN_MODE_GRAY ||
                                           (modi[k].tiefe == 1) == (tiefeJetzt == 1)))
                modusWahl = int(k);
    }

    std::vector<SANE_Word> aufloesungen;
    SANE_Word aufloesungJetzt = 0;
    bool festkomma = false;
    {
        const SANE_Option_Descriptor* dr = nullptr;
        const int ir = OptionSuchen(h, SANE_NAME_SCAN_RESOLUTION, &dr);
        if (ir >= 0 && (dr->type == SANE_TYPE_INT || dr->type == SANE_TYPE_FIXED) && WortLesen(h, ir, dr, aufloesungJetzt)) {
            festkomma = dr->type == SANE_TYPE_FIXED;
            if (dr->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
                aufloesungen = Wortliste(dr);
            } else if (dr->constraint_type == SANE_CONSTRAINT_RANGE && dr->constraint.range) {
                const SANE_Range* r = dr->constraint.range;
                for (int dpi : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400, 4800}) {
                    const SANE_Word w = festkomma ? SANE_FIX(dpi) : SANE_Word(dpi);
                    if (w >= r->min && w <= r->max)
                        aufloesungen.push_back(w);
                }
            }
            if (std::find(aufloesungen.begin(), aufloesungen.end(), aufloesungJetzt) == aufloesungen.end())
                aufloesungen.push_back(aufloesungJetzt);
            std::sort(aufloesungen.begin(), aufloesungen.end());
        }
    }
    if (modi.empty() && aufloesungen.empty())
        return true;   // nothing to ask: the device's own settings

    QDialog dlg(eltern);
    dlg.setObjectName(QStringLiteral("dlgScanOptionen"));
    dlg.setWindowTitle(QStringLiteral("Scanner-Einstellungen"));
    auto* form = new QFormLayout(&dlg);
    QComboBox* cbModus = nullptr;
    QComboBox* cbAufloesung = nullptr;
    if (!modi.empty()) {
        cbModus = new QComboBox(&dlg);
        cbModus->setObjectName(QStringLiteral("cbModus"));
        for (const TModus& m : modi)
            cbModus->addItem(m.anzeige);
        cbModus->setCurrentIndex(std::max(modusWahl, 0));
        form->addRow(QStringLiteral("Modus:"), cbModus);
    }
    if (!aufloesungen.empty()) {
        cbAufloesung = new QComboBox(&dlg);
        cbAufloesung->setObjectName(QStringLiteral("cbAufloesung"));
        for (SANE_Word w : aufloesungen) {
            const double dpi = festkomma ? SANE_UNFIX(w) : double(w);
            cbAufloesung->addItem(QLocale().toString(dpi, 'g', 6), QVariant::fromValue(int(w)));
            if (w == aufloesungJetzt)
                cbAufloesung->setCurrentIndex(cbAufloesung->count() - 1);
        }
        form->addRow(QStringLiteral("Auflösung (dpi):"), cbAufloesung);
    }
    auto* knoepfe = new QDialogButtonBox(&dlg);
    QPushButton* ok = knoepfe->addButton(QStringLiteral("Scannen"), QDialogButtonBox::AcceptRole);
    knoepfe->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(knoepfe, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(knoepfe, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    form->addRow(knoepfe);
    if (dlg.exec() != QDialog::Accepted)
        return false;

    // Mode first: it may change which depths and resolutions the device offers.
    if (cbModus && cbModus->currentIndex() >= 0) {
        const TModus& m = modi[size_t(cbModus->currentIndex())];
        const SANE_Option_Descriptor* d = nullptr;
        const int i = OptionSuchen(h, SANE_NAME_SCAN_MODE, &d);
        if (i >= 0 && d->type == SANE_TYPE_STRING && qsizetype(d->size) > m.modus.size()) {
            QByteArray wert(d->size, '\0');
            std::memcpy(wert.data(), m.modus.constData(), size_t(m.modus.size()));
            sane_control_option(h, i, SANE_ACTION_SET_VALUE, wert.data(), nullptr);
        }
        if (m.tiefe > 0)
            WortSetzen(h, SANE_NAME_BIT_DEPTH, m.tiefe);
    }
    if (cbAufloesung && cbAufloesung->currentIndex() >= 0)
        WortSetzen(h, SANE_NAME_SCAN_RESOLUTION, SANE_Word(cbAufloesung->currentData().toInt()));
    return true;
}

// One frame as it came from the device.
struct TRahmen {
    SANE_Parameters p{};
    std::vector<uint8_t> daten;
    int zeilen = 0;
    bool da = false;
};

int Kanaele(SANE_Frame f) { return f == SANE_FRAME_RGB ? 3 : 1; }

bool ParameterGueltig(const SANE_Parameters& p)
{
    if (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB && p.format != SANE_FRAME_RED &&
        p.format != SANE_FRAME_GREEN && p.format != SANE_FRAME_BLUE)
        return false;
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return false;
    if (p.pixels_per_line <= 0 || p.pixels_per_line > 1000000 || p.bytes_per_line <= 0)
        return false;
    const qint64 noetig = (qint64(p.pixels_per_line) * Kanaele(p.format) * p.depth + 7) / 8;
    return noetig <= p.bytes_per_line;
}

// Sample i of a row: 8 bits as they are, 16 bits (machine byte order) scaled
// to 8, 1 bit as 0 or 255 for a cleared or set bit.
inline uint8_t Probe(const uint8_t* zeile, qsizetype i, int tiefe)
{
    if (tiefe == 8)
        return zeile[i];
    if (tiefe == 16) {
        uint16_t v;
        std::memcpy(&v, zeile + 2 * i, 2);
        return uint8_t((uint32_t(v) * 255u + 32767u) / 65535u);
    }
    return (zeile[i >> 3] >> (7 - (i & 7))) & 1 ? 255 : 0;
}

bool BildBauen(const TRahmen& einzeln, const TRahmen* kanal, TGearSeite& seite, QString& fehler)
{
    if (einzeln.da) {
        const SANE_Parameters& p = einzeln.p;
        const int b = p.pixels_per_line, h = einzeln.zeilen;
        if (p.format == SANE_FRAME_GRAY) {
            QImage bild = GearNeuesBild(b, h, QImage::Format_Indexed8, fehler);
            if (bild.isNull())
                return false;
            for (int y = 0; y < h; ++y) {
                const uint8_t* q = einzeln.daten.data() + qsizetype(y) * p.bytes_per_line;
                uint8_t* z = bild.scanLine(y);
                if (p.depth == 1) {
                    // A set bit is black: index 0 of the black-and-white table.
                    for (int x = 0; x < b; ++x)
                        z[x] = Probe(q, x, 1) ? 0 : 1;
                } else if (p.depth == 8) {
                    std::memcpy(z, q, size_t(b));
                } else {
                    for (int x = 0; x < b; ++x)
                        z[x] = Probe(q, x, 16);
                }
            }
            bild.setColorTable(GearGrauPalette(p.depth == 1 ? 2 : 256));
            seite.bild = bild;
            seite.bpp = p.depth == 1 ? 1 : 8;
            return true;
        }
        QImage bild = GearNeuesBild(b, h, QImage::Format_BGR888, fehler);
        if (bild.isNull())
            return false;
        for (int y = 0; y < h; ++y) {
            const uint8_t* q = einzeln.daten.data() + qsizetype(y) * p.bytes_per_line;
            uint8_t* z = bild.scanLine(y);
            for (int x = 0; x < b; ++x, z += 3) {
                const qsizetype i = qsizetype(x) * 3;
                z[0] = Probe(q, i + 2, p.depth);
                z[1] = Probe(q, i + 1, p.depth);
                z[2] = Probe(q, i, p.depth);
            }
        }
        seite.bild = bild;
        seite.bpp = 24;
        return true;
    }

    // Three passes: red, green and blue arrive one after the other.
    for (int c = 0; c < 3; ++c)
        if (!kanal[c].da || kanal[c].p.pixels_per_line != kanal[0].p.pixels_per_line ||
            kanal[c].p.depth != kanal[0].p.depth) {
            fehler = QStringLiteral("Der Scanner hat ein unvollständiges Farbbild geliefert.");
            return false;
        }
    const int b = kanal[0].p.pixels_per_line;
    const int h = std::min({kanal[0].zeilen, kanal[1].zeilen, kanal[2].zeilen});
    QImage bild = GearNeuesBild(b, h, QImage::Format_BGR888, fehler);
    if (bild.isNull())
        return false;
    for (int y = 0; y < h; ++y) {
        uint8_t* z = bild.scanLine(y);
        for (int c = 0; c < 3; ++c) {
            const uint8_t* q = kanal[c].daten.data() + qsizetype(y) * kanal[c].p.bytes_per_line;
            const int tiefe = kanal[c].p.depth;
            for (int x = 0; x < b; ++x)
                z[qsizetype(x) * 3 + (2 - c)] = Probe(q, x, tiefe);
        }
    }
    seite.bild = bild;
    seite.bpp = 24;
    return true;
}

enum class TLesen { Fertig, Abgebrochen, Fehler };

// Reads one frame to its end, turning the message loop between reads.
TLesen RahmenLesen(SANE_Handle h, TRahmen& r, QProgressDialog& fenster, TFortschrittsMelder& melder,
                   int teil, int teile, QString& fehler)
{
    const SANE_Parameters& p = r.p;
    const qint64 erwartet = p.lines > 0 ? qint64(p.lines) * p.bytes_per_line : -1;
    if (erwartet > MaxRahmenBytes) {
        fehler = QStringLiteral("Das gescannte Bild ist zu groß.");
        return TLesen::Fehler;
    }
    bool nichtBlockierend = sane_set_io_mode(h, SANE_TRUE) == SANE_STATUS_GOOD;
    SANE_Int fd = -1;
    if (nichtBlockierend && sane_get_select_fd(h, &fd) != SANE_STATUS_GOOD)
        fd = -1;

    fenster.setMaximum(erwartet > 0 ? 100 : 0);
    qint64 gefuellt = 0;
    try {
        r.daten.resize(size_t(erwartet > 0 ? erwartet : std::max<qint64>(LeseBlock, p.bytes_per_line)));
        for (;;) {
            if (qint64(r.daten.size()) - gefuellt < LeseBlock) {
                const qint64 neu = std::min<qint64>(MaxRahmenBytes, std::max<qint64>(qint64(r.daten.size()) * 2, gefuellt + LeseBlock));
                if (neu <= gefuellt) {
                    fehler = QStringLiteral("Das gescannte Bild ist zu groß.");
                    return TLesen::Fehler;
                }
                r.daten.resize(size_t(neu));
            }
            const SANE_Int platz = SANE_Int(std::min<qint64>(LeseBlock, qint64(r.daten.size()) - gefuellt));
            SANE_Int laenge = 0;
            const SANE_Status s = sane_read(h, r.daten.data() + gefuellt, platz, &laenge);
            if (s == SANE_STATUS_EOF)
                break;
            if (s == SANE_STATUS_CANCELLED)
                return TLesen::Abgebrochen;
            if (s != SANE_STATUS_GOOD) {
                fehler = QStringLiteral("Fehler beim Einlesen vom Scanner: ") + StatusText(s);
                return TLesen::Fehler;
            }
            gefuellt += std::clamp<SANE_Int>(laenge, 0, platz);
            if (laenge <= 0 && nichtBlockierend) {
                if (fd >= 0) {
                    pollfd warte{fd, POLLIN, 0};
                    poll(&warte, 1, 20);
                } else {
                    QThread::msleep(5);
                }
            }
            if (erwartet > 0) {
                const int prozent = int((qint64(teil) * 100 + 100 * std::min(gefuellt, erwartet) / erwartet) / teile);
                melder.Melde(prozent);
                fenster.setValue(prozent);
            }
            QCoreApplication::processEvents();
            if (fenster.wasCanceled())
                return TLesen::Abgebrochen;
        }
    } catch (const std::bad_alloc&) {
        fehler = QStringLiteral("Nicht genug Speicher für das gescannte Bild.");
        return TLesen::Fehler;
    }
    qint64 zeilen = gefuellt / p.bytes_per_line;
    if (p.lines > 0)
        zeilen = std::min<qint64>(zeilen, p.lines);
    if (zeilen <= 0) {
        fehler = QStringLiteral("Der Scanner hat kein Bild geliefert.");
        return TLesen::Fehler;
    }
    r.zeilen = int(zeilen);
    r.daten.resize(size_t(zeilen * p.bytes_per_line));
    return TLesen::Fertig;
}

} // namespace

QStringList GearScanQuellen(QString& fehler)
{
    fehler.clear();
    QStringList texte;
    if (g_beschaeftigt) {
        fehler = QStringLiteral("Es läuft bereits ein Scanvorgang.");
        return texte;
    }
    TBeschaeftigt beschaeftigt;
    for (const TGeraet& g : GeraeteSuchen(fehler))
        texte << g.anzeige;
    return texte;
}

bool GearScanQuelleWaehlen(QWidget* eltern, QString& gewaehlt, QString& fehler)
{
    fehler.clear();
    if (g_beschaeftigt) {
        fehler = QStringLiteral("Es läuft bereits ein Scanvorgang.");
        return false;
    }
    std::vector<TGeraet> geraete;
    {
        TBeschaeftigt beschaeftigt;
        geraete = GeraeteSuchen(fehler);
    }
    if (geraete.empty())
        return false;
    QStringList texte;
    int vorwahl = 0;
    for (size_t i = 0; i < geraete.size(); ++i) {
        texte << geraete[i].anzeige;
        if (QString::fromUtf8(geraete[i].name) == gewaehlt)
            vorwahl = int(i);
    }
    QInputDialog dlg(eltern);
    dlg.setObjectName(QStringLiteral("dlgScannerAuswahl"));
    dlg.setWindowTitle(QStringLiteral("Scanner auswählen"));
    dlg.setLabelText(QStringLiteral("Scanner:"));
    dlg.setComboBoxItems(texte);
    dlg.setComboBoxEditable(false);
    dlg.setTextValue(texte[vorwahl]);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const int i = int(texte.indexOf(dlg.textValue()));
    if (i < 0)
        return false;
    gewaehlt = QString::fromUtf8(geraete[size_t(i)].name);
    return true;
}

bool GearScannen(const QString& geraet, bool dialogZeigen, QWidget* eltern, TGearSeite& seite, QString& fehler,
                 const TFortschritt& fs)
{
    seite = TGearSeite();
    fehler.clear();
    if (g_beschaeftigt) {
        fehler = QStringLiteral("Es läuft bereits ein Scanvorgang.");
        return false;
    }
    TBeschaeftigt beschaeftigt;
    if (!Starten(fehler))
        return false;

    QByteArray name = geraet.toUtf8();
    if (name.isEmpty()) {
        const std::vector<TGeraet> geraete = GeraeteSuchen(fehler);
        if (geraete.empty())
            return false;
        name = geraete.front().name;
    }
    TGriff griff;
    const SANE_Status offen = sane_open(name.constData(), &griff.h);
    if (offen != SANE_STATUS_GOOD) {
        griff.h = nullptr;
        fehler = QStringLiteral("Der Scanner \"%1\" konnte nicht geöffnet werden: ").arg(QString::fromUtf8(name)) +
                 StatusText(offen);
        return false;
    }
    if (dialogZeigen && !OptionenDialog(eltern, griff.h))
        return false;

    QProgressDialog fenster(QStringLiteral("Das Bild wird vom Scanner eingelesen..."), QStringLiteral("Abbrechen"),
                            0, 100, eltern);
    fenster.setObjectName(QStringLiteral("dlgScanFortschritt"));
    fenster.setWindowTitle(QStringLiteral("Scannen"));
    fenster.setWindowModality(Qt::ApplicationModal);
    fenster.setAutoClose(false);
    fenster.setAutoReset(false);
    fenster.setMinimumDuration(800);
    fenster.setValue(0);
    TFortschrittsMelder melder(fs);
    melder.Melde(0);

    TRahmen einzeln;
    TRahmen kanal[3];
    for (int teil = 0;; ++teil) {
        if (teil >= 8) {
            fehler = QStringLiteral("Der Scanner liefert ein nicht unterstütztes Bildformat.");
            return false;
        }
        const SANE_Status s = sane_start(griff.h);
        if (s == SANE_STATUS_CANCELLED)
            return false;
        if (s != SANE_STATUS_GOOD) {
            fehler = QStringLiteral("Der Scanvorgang konnte nicht gestartet werden: ") + StatusText(s);
            return false;
        }
        TRahmen r;
        if (sane_get_parameters(griff.h, &r.p) != SANE_STATUS_GOOD || !ParameterGueltig(r.p)) {
            fehler = QStringLiteral("Der Scanner liefert ein nicht unterstütztes Bildformat.");
            return false;
        }
        const bool einKanal = r.p.format == SANE_FRAME_RED || r.p.format == SANE_FRAME_GREEN ||
                              r.p.format == SANE_FRAME_BLUE;
        const TLesen ergebnis = RahmenLesen(griff.h, r, fenster, melder, einKanal ? std::min(teil, 2) : 0,
                                            einKanal ? 3 : 1, fehler);
        if (ergebnis == TLesen::Abgebrochen) {
            fehler.clear();
            return false;
        }
        if (ergebnis == TLesen::Fehler)
            return false;
        r.da = true;
        const bool letzter = r.p.last_frame;
        switch (r.p.format) {
        case SANE_FRAME_RED: kanal[0] = std::move(r); break;
        case SANE_FRAME_GREEN: kanal[1] = std::move(r); break;
        case SANE_FRAME_BLUE: kanal[2] = std::move(r); break;
        default: einzeln = std::move(r); break;
        }
        if (letzter)
            break;
    }
    if (!BildBauen(einzeln, kanal, seite, fehler)) {
        seite = TGearSeite();
        return false;
    }
    melder.Melde(100);
    return true;
}

bool GearScanGestartet()
{
    return g_gestartet;
}

void GearScanBeenden()
{
    if (!g_gestartet || g_beschaeftigt)
        return;
    sane_exit();
    g_gestartet = false;
}
