#pragma once
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>
#include <vector>
#include "PngFunctions.h"
#include "PngObject.h"

class QPainter;
class TPngImageCollectionItems;
class TPngImageList;

// One PNG image of a list or collection. Its PNG may be unset (a list
// skips such items when it builds its icons) or set and possibly empty.
class TPngImageCollectionItem {
public:
    // ohnePng: leave PngImage unset, for the list's adding operations.
    explicit TPngImageCollectionItem(TPngImageCollectionItems* sammlung, bool ohnePng = false);

    const TPNGObject* PngImage() const { return m_png.get(); }
    // Copies png into the item's own PNG (nullptr unsets it) and reports the
    // item as changed.
    void SetPngImage(const TPNGObject* png);
    // Takes the PNG without copying, used by the list's conversions.
    void UebernehmePng(std::unique_ptr<TPNGObject> png);

    QString Name;
    QColor Background() const { return m_hintergrund; }
    void SetBackground(const QColor& farbe);
    QString DisplayName() const;
    int Index() const;
    void SetIndex(int index);
    // Copies PNG, background and name.
    void Assign(const TPngImageCollectionItem& quelle);

private:
    friend class TPngImageCollectionItems;
    TPngImageCollectionItems* m_sammlung;
    std::unique_ptr<TPNGObject> m_png;
    QColor m_hintergrund;
};

// The items of a list or a plain collection; every change of an item, an
// addition or a removal rebuilds the owning list's icons.
class TPngImageCollectionItems {
public:
    explicit TPngImageCollectionItems(TPngImageList* liste = nullptr);
    TPngImageCollectionItems(const TPngImageCollectionItems&) = delete;
    TPngImageCollectionItems& operator=(const TPngImageCollectionItems&) = delete;

    int Count() const { return int(m_eintraege.size()); }
    // nullptr for an index out of range.
    TPngImageCollectionItem* GetItem(int index);
    const TPngImageCollectionItem* GetItem(int index) const;
    TPngImageCollectionItem* Add();
    void Delete(int index);
    void Clear();
    // Copies all items of another collection.
    void Assign(const TPngImageCollectionItems& quelle);
    TPngImageList* Owner() const { return m_liste; }

    // Run after each change: rebuilds the owning list.
    void Update();

private:
    friend class TPngImageCollectionItem;
    friend class TPngImageList;
    TPngImageCollectionItem* AddItem(bool ohnePng);
    TPngImageCollectionItem* InsertItem(int index, bool ohnePng);
    int IndexOf(const TPngImageCollectionItem* eintrag) const;
    void Verschieben(int von, int nach);

    TPngImageList* m_liste;
    std::vector<std::unique_ptr<TPngImageCollectionItem>> m_eintraege;
};

// A plain holder of PNG images, with no icons of its own.
class TPngImageCollection : public QObject {
    Q_OBJECT
public:
    explicit TPngImageCollection(QObject* owner = nullptr) : QObject(owner) {}
    TPngImageCollectionItems& Items() { return m_items; }

private:
    TPngImageCollectionItems m_items;
};

// An image list whose images are PNGs with alpha. The icons that menus, tool
// bars and buttons draw (the "system list", one per item that has a PNG) are
// rebuilt from the items whenever they change.
//
// A dialog takes a glyph from the main window's lists like this:
//     btn->SetPngImage(PngAusListe(ButtonBilderListe(), 18));
// and an icon with its disabled look for a QAction or a plain button:
//     aktion->setIcon(MenueBilderListe()->Icon(4));
class TPngImageList : public QObject {
    Q_OBJECT
public:
    explicit TPngImageList(QObject* owner = nullptr);
    ~TPngImageList() override;

    int Width() const { return m_breite; }
    int Height() const { return m_hoehe; }
    // A new size empties the list: set the size before the items.
    void SetWidth(int breite);
    void SetHeight(int hoehe);

    bool EnabledImages() const { return m_enabledImages; }
    void SetEnabledImages(bool an);
    TPngOptions PngOptions() const { return m_pngOptions; }
    void SetPngOptions(TPngOptions optionen);
    bool Masked = true;
    int AllocBy = 4;

    TPngImageCollectionItems& PngImages() { return m_pngImages; }
    const TPngImageCollectionItems& PngImages() const { return m_pngImages; }
    void SetPngImages(const TPngImageCollectionItems& quelle);

    // Holds the rebuild back while many items are added; the last EndUpdate
    // rebuilds once.
    void BeginUpdate() { ++m_sperre; }
    void EndUpdate();
    void RebuildImageList();

    // The system list: its images, non-premultiplied ARGB32.
    int Count() const { return m_bilder.size(); }
    QImage Bild(int index) const;
    // The icon at index with its disabled look (PngOptions); a null icon out
    // of range.
    QIcon Icon(int index) const;
    // Draws item index (not the system list's icon) into a Width x Height
    // rectangle at (x, y); disabled with PngOptions.
    void Draw(QPainter& maler, int x, int y, int index, bool enabled = true) const;
    // Copies attributes, size, items and EnabledImages into another list.
    void AssignTo(TPngImageList& ziel) const;

    // The image-list operations, kept in step with the items. A null image
    // gives -1 (or does nothing).
    int Add(const QImage& bild, const QImage& maske);
    int AddIcon(const QIcon& symbol);
    int AddImage(const TPngImageList* quelle, int index);
    void AddImages(const TPngImageList* quelle);
    int AddMasked(const QImage& bild, QRgb maskenFarbe);
    // Appends a copy of a PNG, as the stored lists are loaded.
    int AddPng(const TPNGObject& png);
    void Clear();
    void Delete(int index);
    void Insert(int index, const QImage& bild, const QImage& maske);
    void InsertIcon(int index, const QIcon& symbol);
    void InsertMasked(int index, const QImage& bild, QRgb maskenFarbe);
    void Move(int alt, int neu);
    void Replace(int index, const QImage& bild, const QImage& maske);
    void ReplaceIcon(int index, const QIcon& symbol);
    void ReplaceMasked(int index, const QImage& bild, QRgb maskenFarbe);

    // The alpha form of an item's icon.
    static QImage IconFromPng(const TPNGObject& png, const QColor& hintergrund);

signals:
    void Change();

private:
    void Geaendert();
    QImage SymbolBild(const QIcon& symbol) const;
    int Anhaengen(std::unique_ptr<TPNGObject> png);
    void Einfuegen(int index, std::unique_ptr<TPNGObject> png);
    void Ersetzen(int index, std::unique_ptr<TPNGObject> png);
    void InsertIconAt(int index, const QImage& bild);

    int m_breite = 16;
    int m_hoehe = 16;
    bool m_enabledImages = true;
    TPngOptions m_pngOptions = pngBlendOnDisabled;
    TPngImageCollectionItems m_pngImages;
    int m_sperre = 0;
    QVector<QImage> m_bilder;
    mutable QVector<QIcon> m_symbole;
};

// A copy of item index of a list, or an empty PNG when the list or item is
// missing: dialogs need no checks of their own.
TPNGObject PngAusListe(const TPngImageList* liste, int index);
