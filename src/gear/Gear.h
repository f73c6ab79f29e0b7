#pragma once
#include <QObject>
#include <QImage>
#include <QString>
#include <map>
#include <vector>
#include "GearSeite.h"

class TBitmap;

// The imaging control: decodes and encodes the file formats, reduces and
// expands the colour depth, runs the edge and effect filters, pages through
// multi-page files and copies to the clipboard. Its members read like the
// properties of the control they replace: writing an action member performs
// the action at once, on the calling thread.
//
// The picture is held as 8-bit samples: Format_BGR888 at 24 bits per pixel,
// Format_Indexed8 with a colour table of at most 2^bpp entries at 1, 4 and 8.
class TGear : public QObject {
    Q_OBJECT
public:
    explicit TGear(QObject* parent = nullptr);
    ~TGear() override;

    // Load: reads the file's bytes itself and decodes them; the extension is
    // only a hint. Afterwards ErrCount() > 0 means failure (no image).
    void LoadImage(const QString& pfad);
    int ErrCount() const { return m_errCount; }
    // German reason of the last failed load or save, for messages.
    QString LetzterFehler() const { return m_letzterFehler; }

    // Save: SetSaveFormat before SaveImage. A failed save leaves ErrCount() > 0
    // and no file (or the previous file) at the path.
    void SetSaveFormat(int speicherId) { m_saveFormat = speicherId; }
    int SaveFormat() const { return m_saveFormat; }
    void SaveImage(const QString& pfad);
    // Off for the program's own short-lived files (transfer, undo): a BMP is
    // then written straight from the rows, without a temporary copy and
    // without the flush to disk that replacing a user's file needs.
    void SetSicherSchreiben(bool an) { m_sicherSchreiben = an; }
    bool SicherSchreiben() const { return m_sicherSchreiben; }
    // Encodes with the current save format into memory, without a file.
    bool SaveToBytes(QByteArray& aus);

    // Presets
    void DelImage();
    void SetTransparent(int wert) { m_transparent = wert; }
    int Transparent() const { return m_transparent; }
    // 1-based; out of range is ignored. A page of a multi-page file is
    // decoded now, and the previous one is let go; a page that cannot be
    // decoded leaves ErrCount() > 0 and the current page as it was.
    void SetPage(int seite);
    int Page() const { return m_seiten.empty() ? 0 : m_seite + 1; }
    void SetAspectRatio(int wert) { m_aspectRatio = wert; }
    int AspectRatio() const { return m_aspectRatio; }
    // The colour the transparent parts of a loaded bitmap are laid on, and the
    // part of a damaged picture that was never in the file.
    void SetHintergrund(QRgb farbe) { m_hintergrund = farbe; }
    QRgb Hintergrund() const { return m_hintergrund; }

    // Image facts
    int ImageHeight() const;
    int ImageWidth() const;
    int ImageBitsPerPixel() const;
    void SetImageBitsPerPixel(int bpp);   // written 0 before a scan
    // The value last written to ImageBitsPerPixel (0 asks a scan for its own depth).
    int BitsPerPixelVorgabe() const { return m_bppVorgabe; }
    int PageCount() const { return int(m_seiten.size()); }
    // Whether the current page came from a damaged file that could be read
    // only in part (or with the decoder's warnings).
    bool Beschaedigt() const;
    QString ImageType() const { return m_typ; }          // "JPEG", "GIF", "TIFF", ... "UNKNOWN"
    QString CompressType() const { return m_kompression; }

    // Picture: read gives the image at its own depth; assigning hands a
    // bitmap to the control (one page, type "UNKNOWN").
    QImage Picture() const;
    void SetPicture(const QImage& bild);
    void SetPicture(const TBitmap& bmp);
    // The current page, for the back-ends and tests.
    const TGearSeite* AktuelleSeite() const;

    // Colour depth
    void DiffusionMono();
    void HalftoneMono();
    void BayerMono();
    void DiffusionColor();
    void BayerColor();
    void SetOctreeBits(int bits) { m_octreeBits = bits; }
    void SetOctreeColors(int farben) { m_octreeColors = farben; }
    void Octree(int wert);
    void MedianCut(int wert);
    void Popularity(int wert);
    void PromoteColor(int tiefe);
    void Gray();

    // Filters
    void EdgeMap(int n);
    void FXEmboss(int wert);
    void FXDiffuse(int wert);
    void FXMotion(int wert);
    void FXStitch(int wert);
    void FXPosterize(int wert);
    void FXTwist(int wert);
    void FXBlur(int wert);

    // Mode/value pairs: a mode is written before its value.
    void SetSettingMode(int modus) { m_settingMode = modus; }
    void SetSettingValue(int wert) { m_setting[m_settingMode] = wert; }
    int SettingValue(int modus, int vorgabe = 0) const;
    void SetControlMode(int modus) { m_controlMode = modus; }
    void SetControlValue(int wert) { m_control[m_controlMode] = wert; }
    int ControlValue(int modus, int vorgabe = 0) const;
    const std::map<int, int>& ControlWerte() const { return m_control; }

    // Other
    void SetExtFile(const QString& pfad) { m_extFile = pfad; }
    QString ExtFile() const { return m_extFile; }
    void SetStatusEvent(bool an) { m_statusEvent = an; }
    bool StatusEvent() const { return m_statusEvent; }
    void ClipboardCopy();

    // Scanning (SANE): ScanOpenSource lets the user choose the scanner for
    // this run; ScanAcquire scans with it (or the first one) into a single
    // page, asking for mode and resolution first while ScanShowUI is on. A
    // cancelled or failed scan leaves no image; ScanFehler gives the German
    // reason of a failure (empty after a cancel).
    void ScanOpenSource();
    void SetScanShowUI(bool an);
    bool ScanShowUI() const;
    void ScanAcquire();
    QString ScanFehler() const;

    // Called by the back-ends with 0..100; reaches OnStatusEvent only on the
    // GUI thread and only while StatusEvent is on.
    void MeldeFortschritt(int prozent);

signals:
    void OnStatusEvent(int& prozent);

private:
    TGearSeite* Seite();
    // Starts an operation: its progress begins anew at 0.
    void BeginneVorgang();
    TFortschritt Fortschritt();
    void Fehlschlag(const QString& grund);
    // Encodes the current page with the save format; no final 100.
    bool Kodieren(QByteArray& aus);
    // Runs an operation on the current page and reports 0 and 100 around it.
    template <class F> void AufSeite(F&& operation);

    std::vector<TGearSeite> m_seiten;
    int m_seite = 0;
    // Decodes the other pages of a multi-page file when they are asked for.
    std::shared_ptr<TGearSeitenQuelle> m_quelle;
    QString m_typ;
    QString m_kompression;
    int m_errCount = 0;
    QString m_letzterFehler;
    int m_saveFormat = 2;
    int m_transparent = 0;
    int m_aspectRatio = 1;
    QRgb m_hintergrund = qRgb(255, 255, 255);
    int m_octreeBits = 8;
    int m_octreeColors = 256;
    int m_settingMode = 0;
    int m_controlMode = 0;
    std::map<int, int> m_setting;
    std::map<int, int> m_control;
    QString m_extFile;
    bool m_statusEvent = false;
    bool m_sicherSchreiben = true;
    int m_fortschritt = -1;
    int m_bppVorgabe = 0;
    QString m_scanGeraet;
    bool m_scanShowUI = false;
    QString m_scanFehler;
};
