#include "PngImageList.h"
#include <QPalette>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

// ---- TPngImageCollectionItem ---------------------------------------------

TPngImageCollectionItem::TPngImageCollectionItem(TPngImageCollectionItems* sammlung, bool ohnePng)
    : m_sammlung(sammlung), m_hintergrund(QPalette().color(QPalette::Button))
{
    if (!ohnePng)
        m_png = std::make_unique<TPNGObject>();
    Name = QStringLiteral("PngImage%1").arg(sammlung ? sammlung->Count() : 0);
}

void TPngImageCollectionItem::SetPngImage(const TPNGObject* png)
{
    m_png = png ? std::make_unique<TPNGObject>(*png) : nullptr;
    if (m_sammlung)
        m_sammlung->Update();
}

void TPngImageCollectionItem::UebernehmePng(std::unique_ptr<TPNGObject> png)
{
    m_png = std::move(png);
}

void TPngImageCollectionItem::SetBackground(const QColor& farbe)
{
    if (farbe == m_hintergrund)
        return;
    m_hintergrund = farbe;
    if (m_sammlung)
        m_sammlung->Update();
}

QString TPngImageCollectionItem::DisplayName() const
{
    return Name.isEmpty() ? QStringLiteral("TPngImageCollectionItem") : Name;
}

int TPngImageCollectionItem::Index() const
{
    return m_sammlung ? m_sammlung->IndexOf(this) : -1;
}

void TPngImageCollectionItem::SetIndex(int index)
{
    if (m_sammlung)
        m_sammlung->Verschieben(Index(), index);
}

void TPngImageCollectionItem::Assign(const TPngImageCollectionItem& quelle)
{
    m_png = quelle.m_png ? std::make_unique<TPNGObject>(*quelle.m_png) : nullptr;
    Name = quelle.Name;
    SetBackground(quelle.m_hintergrund);
}

// ---- TPngImageCollectionItems --------------------------------------------

TPngImageCollectionItems::TPngImageCollectionItems(TPngImageList* liste) : m_liste(liste) {}

TPngImageCollectionItem* TPngImageCollectionItems::GetItem(int index)
{
    return index >= 0 && index < Count() ? m_eintraege[size_t(index)].get() : nullptr;
}

const TPngImageCollectionItem* TPngImageCollectionItems::GetItem(int index) const
{
    return index >= 0 && index < Count() ? m_eintraege[size_t(index)].get() : nullptr;
}

TPngImageCollectionItem* TPngImageCollectionItems::AddItem(bool ohnePng)
{
    m_eintraege.push_back(std::make_unique<TPngImageCollectionItem>(this, ohnePng));
    return m_eintraege.back().get();
}

TPngImageCollectionItem* TPngImageCollectionItems::InsertItem(int index, bool ohnePng)
{
    TPngImageCollectionItem* eintrag = AddItem(ohnePng);
    Verschieben(Count() - 1, index);
    return eintrag;
}

TPngImageCollectionItem* TPngImageCollectionItems::Add()
{
    TPngImageCollectionItem* eintrag = AddItem(false);
    Update();
    return eintrag;
}

void TPngImageCollectionItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_eintraege.erase(m_eintraege.begin() + index);
    Update();
}

void TPngImageCollectionItems::Clear()
{
    m_eintraege.clear();
    Update();
}

void TPngImageCollectionItems::Assign(const TPngImageCollectionItems& quelle)
{
    if (&quelle == this)
        return;
    m_eintraege.clear();
    for (const auto& eintrag : quelle.m_eintraege) {
        auto neu = std::make_unique<TPngImageCollectionItem>(nullptr, true);
        neu->Assign(*eintrag);
        neu->m_sammlung = this;
        m_eintraege.push_back(std::move(neu));
    }
    Update();
}

void TPngImageCollectionItems::Update()
{
    if (m_liste)
        m_liste->RebuildImageList();
}

int TPngImageCollectionItems::IndexOf(const TPngImageCollectionItem* eintrag) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_eintraege[size_t(i)].get() == eintrag)
            return i;
    return -1;
}

void TPngImageCollectionItems::Verschieben(int von, int nach)
{
    if (von < 0 || von >= Count())
        return;
    nach = std::clamp(nach, 0, Count() - 1);
    if (von == nach)
        return;
    auto eintrag = std::move(m_eintraege[size_t(von)]);
    m_eintraege.erase(m_eintraege.begin() + von);
    m_eintraege.insert(m_eintraege.begin() + nach, std::move(eintrag));
    Update();
}

// ---- TPngImageList --------------------------------------------------------

TPngImageList::TPngImageList(QObject* owner) : QObject(owner), m_pngImages(this) {}

TPngImageList::~TPngImageList() = default;

void TPngImageList::SetWidth(int breite)
{
    if (breite == m_breite || breite <= 0)
        return;
    m_breite = breite;
    Clear();
}

void TPngImageList::SetHeight(int hoehe)
{
    if (hoehe == m_hoehe || hoehe <= 0)
        return;
    m_hoehe = hoehe;
    Clear();
}

void TPngImageList::SetEnabledImages(bool an)
{
    if (an == m_enabledImages)
        return;
    m_enabledImages = an;
    RebuildImageList();
}

void TPngImageList::SetPngOptions(TPngOptions optionen)
{
    if (optionen == m_pngOptions)
        return;
    m_pngOptions = optionen;
    RebuildImageList();
}

void TPngImageList::SetPngImages(const TPngImageCollectionItems& quelle)
{
    if (&quelle == &m_pngImages)
        return;
    m_pngImages.Assign(quelle);
    emit Change();
}

void TPngImageList::EndUpdate()
{
    if (m_sperre > 0 && --m_sperre == 0)
        RebuildImageList();
}

QImage TPngImageList::IconFromPng(const TPNGObject& png, const QColor&)
{
    // The alpha form: colour types 4 and 6 bring their alpha, a transparent
    // colour becomes 0, everything else is opaque. The background only
    // served icons without alpha, which no supported system needs.
    return png.ToImage();
}

void TPngImageList::RebuildImageList()
{
    if (m_sperre > 0)
        return;
    m_bilder.clear();
    m_symbole.clear();
    const bool abgeblendet = !m_enabledImages && m_pngOptions != 0;
    for (int i = 0; i < m_pngImages.Count(); ++i) {
        const TPngImageCollectionItem* eintrag = m_pngImages.GetItem(i);
        if (!eintrag->PngImage())
            continue;
        if (!abgeblendet) {
            m_bilder.append(IconFromPng(*eintrag->PngImage(), eintrag->Background()));
            continue;
        }
        TPNGObject schmier = *eintrag->PngImage();
        if (m_pngOptions & pngBlendOnDisabled)
            FadePng(schmier, 127);
        if (m_pngOptions & pngGrayscaleOnDisabled)
            GreyPng(schmier, 255);
        m_bilder.append(IconFromPng(schmier, Qt::transparent));
    }
}

QImage TPngImageList::Bild(int index) const
{
    return index >= 0 && index < m_bilder.size() ? m_bilder[index] : QImage();
}

QIcon TPngImageList::Icon(int index) const
{
    if (index < 0 || index >= m_bilder.size())
        return QIcon();
    if (m_symbole.size() != m_bilder.size())
        m_symbole = QVector<QIcon>(m_bilder.size());
    QIcon& symbol = m_symbole[index];
    if (symbol.isNull()) {
        const QImage& bild = m_bilder[index];
        symbol.addPixmap(QPixmap::fromImage(bild), QIcon::Normal);
        // Menus and bars draw the disabled look from this pixmap.
        QImage grau(bild.size(), QImage::Format_ARGB32_Premultiplied);
        grau.fill(Qt::transparent);
        {
            QPainter maler(&grau);
            DrawPngWithOptions(*PngFromGraphic(bild), maler, grau.rect(), m_pngOptions);
        }
        symbol.addPixmap(QPixmap::fromImage(grau), QIcon::Disabled);
    }
    return symbol;
}

void TPngImageList::Draw(QPainter& maler, int x, int y, int index, bool enabled) const
{
    const TPngImageCollectionItem* eintrag = m_pngImages.GetItem(index);
    if (!eintrag || !eintrag->PngImage())
        return;
    DrawPngWithOptions(*eintrag->PngImage(), maler, QRect(x, y, m_breite, m_hoehe), enabled ? 0 : m_pngOptions);
}

void TPngImageList::AssignTo(TPngImageList& ziel) const
{
    if (&ziel == this)
        return;
    ziel.BeginUpdate();
    ziel.Masked = Masked;
    ziel.AllocBy = AllocBy;
    ziel.m_pngOptions = m_pngOptions;
    ziel.SetWidth(m_breite);
    ziel.SetHeight(m_hoehe);
    ziel.m_pngImages.Assign(m_pngImages);
    ziel.m_enabledImages = m_enabledImages;
    ziel.EndUpdate();
    emit ziel.Change();
}

void TPngImageList::Geaendert()
{
    m_symbole.clear();
    emit Change();
}

QImage TPngImageList::SymbolBild(const QIcon& symbol) const
{
    if (symbol.isNull())
        return QImage();
    return symbol.pixmap(QSize(m_breite, m_hoehe)).toImage().convertToFormat(QImage::Format_ARGB32);
}

int TPngImageList::Anhaengen(std::unique_ptr<TPNGObject> png)
{
    BeginUpdate();
    TPngImageCollectionItem* eintrag = m_pngImages.AddItem(true);
    eintrag->UebernehmePng(std::move(png));
    m_bilder.append(IconFromPng(*eintrag->PngImage(), eintrag->Background()));
    Geaendert();
    EndUpdate();
    return m_pngImages.Count() - 1;
}

void TPngImageList::InsertIconAt(int index, const QImage& bild)
{
    index = std::clamp(index, 0, int(m_bilder.size()));
    m_bilder.insert(index, bild);
}

void TPngImageList::Einfuegen(int index, std::unique_ptr<TPNGObject> png)
{
    if (index < 0 || index > m_pngImages.Count())
        return;
    ++m_sperre;
    TPngImageCollectionItem* eintrag = m_pngImages.InsertItem(index, true);
    eintrag->UebernehmePng(std::move(png));
    InsertIconAt(index, IconFromPng(*eintrag->PngImage(), eintrag->Background()));
    Geaendert();
    --m_sperre;
}

void TPngImageList::Ersetzen(int index, std::unique_ptr<TPNGObject> png)
{
    TPngImageCollectionItem* eintrag = m_pngImages.GetItem(index);
    if (!eintrag)
        return;
    ++m_sperre;
    eintrag->UebernehmePng(std::move(png));
    if (index < m_bilder.size())
        m_bilder[index] = IconFromPng(*eintrag->PngImage(), eintrag->Background());
    Geaendert();
    --m_sperre;
}

int TPngImageList::Add(const QImage& bild, const QImage& maske)
{
    if (bild.isNull())
        return -1;
    return Anhaengen(PngFromBitmapAndMask(bild, maske, false));
}

int TPngImageList::AddIcon(const QIcon& symbol)
{
    if (symbol.isNull())
        return -1;
    return Anhaengen(PngFromGraphic(SymbolBild(symbol)));
}

int TPngImageList::AddImage(const TPngImageList* quelle, int index)
{
    auto png = std::make_unique<TPNGObject>();
    PngFromImageList(*png, quelle, index);
    return Anhaengen(std::move(png));
}

void TPngImageList::AddImages(const TPngImageList* quelle)
{
    if (!quelle)
        return;
    BeginUpdate();
    for (int i = 0; i < quelle->PngImages().Count(); ++i)
        AddImage(quelle, i);
    EndUpdate();
}

int TPngImageList::AddMasked(const QImage& bild, QRgb maskenFarbe)
{
    if (bild.isNull())
        return -1;
    return Anhaengen(PngFromMaskColour(bild, maskenFarbe));
}

int TPngImageList::AddPng(const TPNGObject& png)
{
    return Anhaengen(std::make_unique<TPNGObject>(png));
}

void TPngImageList::Clear()
{
    ++m_sperre;
    m_pngImages.Clear();
    m_bilder.clear();
    Geaendert();
    --m_sperre;
}

void TPngImageList::Delete(int index)
{
    if (index < 0 || index >= m_pngImages.Count())
        return;
    ++m_sperre;
    m_pngImages.Delete(index);
    if (index < m_bilder.size())
        m_bilder.remove(index);
    Geaendert();
    --m_sperre;
}

void TPngImageList::Insert(int index, const QImage& bild, const QImage& maske)
{
    if (!bild.isNull())
        Einfuegen(index, PngFromBitmapAndMask(bild, maske, false));
}

void TPngImageList::InsertIcon(int index, const QIcon& symbol)
{
    if (!symbol.isNull())
        Einfuegen(index, PngFromGraphic(SymbolBild(symbol)));
}

void TPngImageList::InsertMasked(int index, const QImage& bild, QRgb maskenFarbe)
{
    if (!bild.isNull())
        Einfuegen(index, PngFromMaskColour(bild, maskenFarbe));
}

void TPngImageList::Move(int alt, int neu)
{
    TPngImageCollectionItem* eintrag = m_pngImages.GetItem(alt);
    if (!eintrag || neu < 0 || neu >= m_pngImages.Count() || alt == neu)
        return;
    ++m_sperre;
    if (alt < m_bilder.size())
        m_bilder.remove(alt);
    if (eintrag->PngImage())
        InsertIconAt(neu, IconFromPng(*eintrag->PngImage(), eintrag->Background()));
    eintrag->SetIndex(neu);
    Geaendert();
    --m_sperre;
}

void TPngImageList::Replace(int index, const QImage& bild, const QImage& maske)
{
    if (!bild.isNull())
        Ersetzen(index, PngFromBitmapAndMask(bild, maske, false));
}

void TPngImageList::ReplaceIcon(int index, const QIcon& symbol)
{
    if (!symbol.isNull())
        Ersetzen(index, PngFromGraphic(SymbolBild(symbol)));
}

void TPngImageList::ReplaceMasked(int index, const QImage& bild, QRgb maskenFarbe)
{
    if (!bild.isNull())
        Ersetzen(index, PngFromMaskColour(bild, maskenFarbe));
}

TPNGObject PngAusListe(const TPngImageList* liste, int index)
{
    TPNGObject png;
    PngFromImageList(png, liste, index);
    return png;
}
