// The main window's actions, menus, pop-up menus and tool bars.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include "AnzeigeBild.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"

QAction* TfrmZelvanoMain::AktionAnlegen(const char* name, const QString& text, const QKeySequence& taste,
                                        const QIcon& symbol)
{
    auto* aktion = new QAction(symbol, text, this);
    aktion->setObjectName(QLatin1String(name));
    if (!taste.isEmpty()) {
        aktion->setShortcut(taste);
        aktion->setShortcutContext(Qt::WindowShortcut);
    }
    // On the window itself, so the shortcut works whether or not a menu or bar shows it.
    addAction(aktion);
    Aktionen.append(aktion);
    return aktion;
}

QAction* TfrmZelvanoMain::AktionAnlegen(const char* name, const QString& text, const QKeySequence& taste, int symbol)
{
    const TPngImageList* liste = MenueBilderListe();
    QAction* aktion = AktionAnlegen(name, text, taste, liste ? liste->Icon(symbol) : QIcon());
    aktion->setProperty("Symbol", symbol);
    return aktion;
}

void TfrmZelvanoMain::AktionVerbinden(QAction* aktion, void (TfrmZelvanoMain::*handler)())
{
    // Every command runs through this one connection, so whatever must
    // happen before any command has one place to go.
    // While Gear1 works no second command may start.
    connect(aktion, &QAction::triggered, this, [this, aktion, handler] {
        if (GearBeschaeftigt)
            return;
        ActionManMainExecute(aktion);
        (this->*handler)();
    });
}

void TfrmZelvanoMain::AktionenAnlegen()
{
    using F = TfrmZelvanoMain;
    // One row per action, in menu order.
    struct TZeile {
        QAction* TfrmZelvanoMain::*aktion;
        const char* name;
        const char* text;
        const char* taste;   // nullptr: none
        int symbol;
    };
    auto anlegen = [this](std::initializer_list<TZeile> zeilen) {
        for (const TZeile& z : zeilen)
            this->*z.aktion = AktionAnlegen(z.name, QString::fromUtf8(z.text),
                                            z.taste ? QKeySequence(QLatin1String(z.taste)) : QKeySequence(), z.symbol);
    };
    anlegen({
        // File
        {&F::mDatOeffnen, "mDatOeffnen", "Ö&ffnen...", "Ctrl+O", symOeffnen},
        {&F::mDatVorschau, "mDatVorschau", "&Vorschau...", "V", symVorschau},
        {&F::mDatSpeichernals, "mDatSpeichernals", "Speichern unter...", "Ctrl+S", symSpeichern},
        {&F::mDatSuchen, "mDatSuchen", "S&uchen...", nullptr, symSuchen},
        {&F::mDatKonvertieren, "mDatKonvertieren", "&Konvertieren...", "Ctrl+K", symKonvertieren},
        {&F::mDatDrucken, "mDatDrucken", "&Drucken...", "Ctrl+D", symDrucken},
        {&F::mDatArchivdruck, "mDatArchivdruck", "&Archivdruck...", nullptr, symArchivdruck},
        {&F::mDatInfo, "mDatInfo", "Bildinfo...", "Ctrl+I", symInfo},
        {&F::mDatScannerauswaehlen, "mDatScannerauswaehlen", "S&canner auswählen...", nullptr, symScannerAuswaehlen},
        {&F::mDatScannen, "mDatScannen", "Sca&nnen...", nullptr, symScannen},
        {&F::mDatEinstellungen, "mDatEinstellungen", "&Einstellungen...", nullptr, symEinstellungen},
        {&F::mDatBeenden, "mDatBeenden", "&Beenden", nullptr, symBeenden},
        // Edit
        {&F::mBeaRueckgaengig, "mBeaRueckgaengig", "&Rückgängig", "Ctrl+Z", symRueckgaengig},
        {&F::mBeaKopieren, "mBeaKopieren", "&Kopieren", "Ctrl+C", symKopieren},
        {&F::mBeaEinfuegen, "mBeaEinfuegen", "&Einfügen", "Ctrl+V", symEinfuegen},
        {&F::mBeaLoeschen, "mBeaLoeschen", "&Löschen...", "Del", symLoeschen},
        {&F::mBeaBildattribute, "mBeaBildattribute", "&Bildattribute...", nullptr, symBildattribute},
        {&F::mBeaAusschneiden, "mBeaAusschneiden", "&Ausschneiden", nullptr, symAusschneiden},
        {&F::mBeaFotoschnitt, "mBeaFotoschnitt", "&Fotoschnitt...", nullptr, symFotoschnitt},
        {&F::mBeaSkalieren, "mBeaSkalieren", "&Skalieren...", nullptr, symSkalieren},
        {&F::mBeaDrehen, "mBeaDrehen", "Drehen...", nullptr, symDrehen},
        {&F::mBeaHorizontal, "mBeaHorizontal", "&Horizontal spiegeln", nullptr, symHorizontal},
        {&F::mBeaVertikal, "mBeaVertikal", "&Vertikal spiegeln", nullptr, symVertikal},
        {&F::mBeaPlus90Grad, "mBeaPlus90Grad", "&Um +90 Grad drehen", nullptr, symDrehenPlus90},
        {&F::mBeaMinus90Grad, "mBeaMinus90Grad", "U&m -90 Grad drehen", nullptr, symDrehenMinus90},
        {&F::mBea180Grad, "mBea180Grad", "Um &180 Grad drehen", nullptr, symDrehen180},
        {&F::mBeaJpgDrehen, "mBeaJpgDrehen", "&JPG-Bilder verlustfrei drehen...", nullptr, symJpgDrehen},
        // View
        {&F::mAnsGehezu, "mAnsGehezu", "&Gehe zu...", nullptr, symGehezu},
    });
    mBeaAusschneiden->setCheckable(true);
    mBeaFotoschnitt->setCheckable(true);
    ZoomAktionenAnlegen();
    // The menu's own captions, with their accelerator letters.
    const std::pair<QAction*, const char*> zoomMenue[] = {
        {mAnsZoomEinpassen, "&Einpassen (Einfg oder Minus)"}, {mAnsZoom10, "&Verkleinern auf 10%"},
        {mAnsZoom25, "Ve&rkleinern auf 25%"},                 {mAnsZoom50, "Ver&kleinern auf 50%"},
        {mAnsZoom100, "&Originalgröße (Einfg oder Minus)"},    {mAnsZoom150, "Ver&größern auf 150%"},
        {mAnsZoom200, "Vergrößer&n auf 200%"},                 {mAnsZoom400, "Vergrößern &auf 400%"},
        {mAnsZoom1000, "Vergrößern a&uf 1000%"}};
    for (const auto& [aktion, text] : zoomMenue)
        aktion->setText(QString::fromUtf8(text));
    anlegen({
        {&F::mAnsVollbild, "mAnsVollbild", "&Vollbild  (Leertaste)", nullptr, symVollbild},
        {&F::mAnsAutoShow, "mAnsAutoShow", "Auto-Show starten", nullptr, symAutoShow},
        {&F::mAnsBildWeiter, "mAnsBildWeiter", "Ein Bild weiter  (Pfeiltaste rechts)", nullptr, symBildWeiter},
        {&F::mAnsBildZurueck, "mAnsBildZurueck", "Ein Bild zurück  (Pfeiltaste links)", nullptr, symBildZurueck},
        {&F::mAnsSeiteVor, "mAnsSeiteVor", "&Seite vor", nullptr, symSeiteVor},
        {&F::mAnsSeiteZurueck, "mAnsSeiteZurueck", "S&eite zurück", nullptr, symSeiteZurueck},
        {&F::mAnsAnimieren, "mAnsAnimieren", "&Animieren", nullptr, symAutoShow},
        // Colour
        {&F::mFarKorrektur, "mFarKorrektur", "Farb&korrektur...", nullptr, symFarbkorrektur},
        {&F::mFarToenen, "mFarToenen", "&Tönen...", nullptr, symKeins},
        {&F::mFarEinfaerben, "mFarEinfaerben", "Ei&nfärben...", nullptr, symKeins},
        {&F::mFarKolorieren, "mFarKolorieren", "K&olorieren...", nullptr, symKeins},
        {&F::mFarGraustufen, "mFarGraustufen", "&Graustufen...", nullptr, symKeins},
        {&F::mFar1Schwellwert, "mFar1Schwellwert", "&Schwellwert...", nullptr, symKeins},
        {&F::mFarInvertieren, "mFarInvertieren", "&Invertieren", nullptr, symKeins},
        {&F::mFar1FehlerVerteilungsDithering, "mFar1FehlerVerteilungsDithering",
         "Fehler-Verteilungs-Dithering", nullptr, symKeins},
        {&F::mFar1HalbtonMonoDithering, "mFar1HalbtonMonoDithering", "Halbton-Mono-Dithering", nullptr, symKeins},
        {&F::mFar1BayerMonoDithering, "mFar1BayerMonoDithering", "Bayer-Mono-Dithering", nullptr, symKeins},
        {&F::mFar4Octree, "mFar4Octree", "Octree-Methode", nullptr, symKeins},
        {&F::mFar4FehlerVerteilungsDithering, "mFar4FehlerVerteilungsDithering",
         "Dithering (Standardpalette)", nullptr, symKeins},
        {&F::mFar4BayerFarbDithering, "mFar4BayerFarbDithering", "Bayer-Farb-Dithering", nullptr, symKeins},
        {&F::mFar8Oct, "mFar8Oct", "Octree-Methode", nullptr, symKeins},
        {&F::mFar8FehlerVerteilungsDithering, "mFar8FehlerVerteilungsDithering",
         "Fehler-Verteilungs-Dithering", nullptr, symKeins},
        {&F::mFar8PalettenOptimierung, "mFar8PalettenOptimierung", "Paletten-Optimierung", nullptr, symKeins},
        {&F::mFarFarbexpansion4, "mFarFarbexpansion4", "&Farbexpansion auf 4 Bit", nullptr, symKeins},
        {&F::mFarFarbexpansion8, "mFarFarbexpansion8", "F&arbexpansion auf 8 Bit", nullptr, symKeins},
        {&F::mFarFarbexpansion24, "mFarFarbexpansion24", "Fa&rbexpansion auf 24 Bit", nullptr, symKeins},
        // Filter
        {&F::mFilterIsoPrewitt, "mFilterIsoPrewitt", "Prewitt", nullptr, symKeins},
        {&F::mFilterIsoRoberts, "mFilterIsoRoberts", "Roberts", nullptr, symKeins},
        {&F::mFilterIsoSobel, "mFilterIsoSobel", "Sobel", nullptr, symKeins},
        {&F::mFilterIsoLaplacian, "mFilterIsoLaplacian", "Laplacian", nullptr, symKeins},
        {&F::mFilterIsoHorizontal, "mFilterIsoHorizontal", "Horizontal", nullptr, symKeins},
        {&F::mFilterIsoVertikal, "mFilterIsoVertikal", "Vertikal", nullptr, symKeins},
        {&F::mFilterIsoPositivSchraeg, "mFilterIsoPositivSchraeg", "Positiv schräg", nullptr, symKeins},
        {&F::mFilterIsoNegativSchraeg, "mFilterIsoNegativSchraeg", "Negativ schräg", nullptr, symKeins},
        {&F::mFilterPraegen, "mFilterPraegen", "Prägen", nullptr, symKeins},
        {&F::mFilterZerstreuen, "mFilterZerstreuen", "Zerstreuen", nullptr, symKeins},
        {&F::mFilterVerwischen, "mFilterVerwischen", "Verwischen", nullptr, symKeins},
        {&F::mFilterRelief, "mFilterRelief", "Relief", nullptr, symKeins},
        {&F::mFilterPoster, "mFilterPoster", "Poster", nullptr, symKeins},
        {&F::mFilterTwist, "mFilterTwist", "Twist", nullptr, symKeins},
        {&F::mFilterStrukturglas, "mFilterStrukturglas", "Strukturglas", nullptr, symKeins},
        {&F::mFilterSchleier, "mFilterSchleier", "Schleier", nullptr, symKeins},
        // Help
        {&F::mHilfeInhalt, "mHilfeInhalt", "&Hilfe...", "F1", symHilfe},
        {&F::mHilfeInfo, "mHilfeInfo", " Programminfo...", nullptr, symKeins},
    });
    // No image at start, so no pages and nothing to animate.
    mAnsSeiteVor->setVisible(false);
    mAnsSeiteZurueck->setVisible(false);
    mAnsAnimieren->setVisible(false);

    // The handlers: the file menu's save and quit and the image stepping
    // here, every other block's through its own wiring.
    AktionVerbinden(mDatSpeichernals, &TfrmZelvanoMain::mDatSpeichernalsExecute);
    AktionVerbinden(mDatBeenden, &TfrmZelvanoMain::mDatBeendenExecute);
    AktionVerbinden(mAnsBildWeiter, &TfrmZelvanoMain::mAnsBildWeiterExecute);
    AktionVerbinden(mAnsBildZurueck, &TfrmZelvanoMain::mAnsBildZurueckExecute);
    AktionVerbinden(mAnsSeiteVor, &TfrmZelvanoMain::mAnsSeiteVorExecute);
    AktionVerbinden(mAnsSeiteZurueck, &TfrmZelvanoMain::mAnsSeiteZurueckExecute);
    OeffnenVerbinden();
    VorschauVerbinden();
    BearbeitenVerbinden();
    FarbeVerbinden();
    HilfeVerbinden();
    ActionManMainVerbinden();
    VollbildVerbinden();
    EditierenVerbinden();
    InfoVerbinden();
    ModiVerbinden();
    KonvertierenVerbinden();
    FensterVerbinden();

    const QList<QAction*> zoom = {mAnsZoomEinpassen, mAnsZoom10, mAnsZoom25, mAnsZoom50, mAnsZoom100,
                                  mAnsZoom150, mAnsZoom200, mAnsZoom400, mAnsZoom1000};

    // ---- Main menu ----
    QMenuBar* leiste = menuBar();
    menDatei = leiste->addMenu(QStringLiteral("&Datei"));
    menDatei->setObjectName(QStringLiteral("menDatei"));
    menDatei->addActions({mDatOeffnen, mDatVorschau, mDatSpeichernals, mDatSuchen});
    menDatei->addSeparator();
    menDatei->addActions({mDatKonvertieren, mDatDrucken, mDatArchivdruck});
    menDatei->addSeparator();
    menDatei->addAction(mDatInfo);
    menDatei->addSeparator();
    menDatei->addActions({mDatScannerauswaehlen, mDatScannen});
    menDatei->addSeparator();
    menDatei->addActions({mDatEinstellungen, mDatBeenden});

    menBearbeiten = leiste->addMenu(QStringLiteral("&Bearbeiten"));
    menBearbeiten->setObjectName(QStringLiteral("menBearbeiten"));
    menBearbeiten->addAction(mBeaRueckgaengig);
    menBearbeiten->addSeparator();
    menBearbeiten->addActions({mBeaKopieren, mBeaEinfuegen, mBeaLoeschen});
    menBearbeiten->addSeparator();
    menBearbeiten->addActions({mBeaBildattribute, mBeaAusschneiden, mBeaFotoschnitt, mBeaSkalieren, mBeaDrehen});
    menBearbeiten->addSeparator();
    menBearbeiten->addActions({mBeaHorizontal, mBeaVertikal});
    menBearbeiten->addSeparator();
    menBearbeiten->addActions({mBeaPlus90Grad, mBeaMinus90Grad, mBea180Grad});
    menBearbeiten->addSeparator();
    menBearbeiten->addAction(mBeaJpgDrehen);

    menAnsicht = leiste->addMenu(QStringLiteral("&Ansicht"));
    menAnsicht->setObjectName(QStringLiteral("menAnsicht"));
    menAnsicht->addAction(mAnsGehezu);
    menAnsicht->addSeparator();
    menZoom = menAnsicht->addMenu(QStringLiteral("&Zoom"));
    menZoom->setObjectName(QStringLiteral("menZoom"));
    menZoom->addActions(zoom);
    menAnsicht->addSeparator();
    menAnsicht->addActions({mAnsVollbild, mAnsAutoShow});
    menAnsicht->addSeparator();
    menAnsicht->addActions({mAnsBildWeiter, mAnsBildZurueck});
    menAnsicht->addSeparator();
    menAnsicht->addActions({mAnsSeiteVor, mAnsSeiteZurueck, mAnsAnimieren});

    menFarbe = leiste->addMenu(QStringLiteral("&Farbe"));
    menFarbe->setObjectName(QStringLiteral("menFarbe"));
    menFarbe->addActions(
        {mFarKorrektur, mFarToenen, mFarEinfaerben, mFarKolorieren, mFarGraustufen, mFar1Schwellwert, mFarInvertieren});
    menFarbe->addSeparator();
    FarbreduktionAuf1Bit = menFarbe->addMenu(QStringLiteral("Far&breduktion auf 1 Bit"));
    FarbreduktionAuf1Bit->setObjectName(QStringLiteral("FarbreduktionAuf1Bit"));
    FarbreduktionAuf1Bit->addActions(
        {mFar1FehlerVerteilungsDithering, mFar1HalbtonMonoDithering, mFar1BayerMonoDithering});
    FarbreduktionAuf4Bit = menFarbe->addMenu(QStringLiteral("Farbr&eduktion auf 4 Bit"));
    FarbreduktionAuf4Bit->setObjectName(QStringLiteral("FarbreduktionAuf4Bit"));
    FarbreduktionAuf4Bit->addActions({mFar4Octree, mFar4FehlerVerteilungsDithering, mFar4BayerFarbDithering});
    FarbreduktionAuf8Bit = menFarbe->addMenu(QStringLiteral("Farbre&duktion auf 8 Bit"));
    FarbreduktionAuf8Bit->setObjectName(QStringLiteral("FarbreduktionAuf8Bit"));
    FarbreduktionAuf8Bit->addActions({mFar8Oct, mFar8FehlerVerteilungsDithering, mFar8PalettenOptimierung});
    menFarbe->addSeparator();
    menFarbe->addActions({mFarFarbexpansion4, mFarFarbexpansion8, mFarFarbexpansion24});

    menFilter = leiste->addMenu(QStringLiteral("F&ilter"));
    menFilter->setObjectName(QStringLiteral("menFilter"));
    menIsolationsmethoden = menFilter->addMenu(QStringLiteral("&Isolationsmethoden"));
    menIsolationsmethoden->setObjectName(QStringLiteral("menIsolationsmethoden"));
    menIsolationsmethoden->addActions({mFilterIsoPrewitt, mFilterIsoRoberts, mFilterIsoSobel, mFilterIsoLaplacian,
                                       mFilterIsoHorizontal, mFilterIsoVertikal, mFilterIsoPositivSchraeg,
                                       mFilterIsoNegativSchraeg});
    menFilter->addSeparator();
    menFilter->addActions({mFilterPraegen, mFilterZerstreuen, mFilterVerwischen, mFilterRelief, mFilterPoster,
                           mFilterTwist, mFilterStrukturglas, mFilterSchleier});

    menHilfe = leiste->addMenu(QStringLiteral("&Hilfe"));
    menHilfe->setObjectName(QStringLiteral("menHilfe"));
    menHilfe->addActions({mHilfeInhalt, mHilfeInfo});

    // ---- Pop-up menus ----
    popFarbbearbeitung = new QAction(QStringLiteral("Farbbearbeitung..."), this);
    popFarbbearbeitung->setObjectName(QStringLiteral("popFarbbearbeitung"));
    popFarbbearbeitung->setEnabled(mFarKorrektur->isEnabled());
    connect(mFarKorrektur, &QAction::changed, popFarbbearbeitung,
            [this] { popFarbbearbeitung->setEnabled(mFarKorrektur->isEnabled()); });
    connect(popFarbbearbeitung, &QAction::triggered, mFarKorrektur, &QAction::trigger);

    PopupMain = new QMenu(this);
    PopupMain->setObjectName(QStringLiteral("PopupMain"));
    PopupMain->addAction(mAnsGehezu);
    PopupMain->addSeparator();
    PopupMain->addActions({mBeaKopieren, mBeaEinfuegen, mBeaLoeschen});
    PopupMain->addSeparator();
    PopupMain->addAction(mDatSpeichernals);
    PopupMain->addSeparator();
    PopupMain->addAction(mDatDrucken);
    PopupMain->addSeparator();
    PopupMain->addActions({popFarbbearbeitung, mBeaBildattribute, mBeaAusschneiden, mBeaSkalieren});
    PopupMain->addSeparator();
    PopupMain->addAction(mDatInfo);
    // The display's pop-up; none while the cut mode or a crop frame owns the mouse.
    auto popupZeigen = [this](QWidget* quelle, const QPoint& ort) {
        if (!Ausschneiden && !Fotoschnitt && !Festschnitt)
            PopupMain->popup(quelle->mapToGlobal(ort));
    };
    for (QWidget* quelle : {static_cast<QWidget*>(AnzeigeBox), static_cast<QWidget*>(AnzeigeBild)}) {
        quelle->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(quelle, &QWidget::customContextMenuRequested, this,
                [quelle, popupZeigen](const QPoint& ort) { popupZeigen(quelle, ort); });
    }

    PopupZoom = new QMenu(this);
    PopupZoom->setObjectName(QStringLiteral("PopupZoom"));
    PopupZoom->addAction(mAnsZoomEinpassen);
    PopupZoom->addSeparator();
    PopupZoom->addActions({mAnsZoom10, mAnsZoom25, mAnsZoom50});
    PopupZoom->addSeparator();
    PopupZoom->addAction(mAnsZoom100);
    PopupZoom->addSeparator();
    PopupZoom->addActions({mAnsZoom150, mAnsZoom200, mAnsZoom400, mAnsZoom1000});

    // ---- Tool bars ----
    auto knopf = [](QToolBar* bar, QAction* aktion) { return qobject_cast<QToolButton*>(bar->widgetForAction(aktion)); };
    ToolBar1->addActions({mDatBeenden, mDatOeffnen, mDatVorschau, mDatSpeichernals, mDatSuchen});
    ToolBar1->addSeparator();
    ToolBar1->addActions({mDatKonvertieren, mDatDrucken, mDatArchivdruck, mDatScannen});
    ToolBar1->addSeparator();
    ToolBar1->addActions({mDatInfo, mDatEinstellungen, mHilfeInhalt});
    ToolBar1->addSeparator();
    tbtZoom = new QToolButton(ToolBar1);
    tbtZoom->setObjectName(QStringLiteral("tbtZoom"));
    tbtZoom->setToolTip(QStringLiteral(" Zoom..."));
    if (const TPngImageList* liste = ButtonBilderListe())
        tbtZoom->setIcon(liste->Icon(symZoom));
    tbtZoom->setMenu(PopupZoom);
    tbtZoom->setPopupMode(QToolButton::InstantPopup);
    ToolBar1->addWidget(tbtZoom);
    ToolBar1->addActions({mAnsGehezu, mAnsVollbild, mAnsAutoShow});
    tbtVollbild = knopf(ToolBar1, mAnsVollbild);
    ToolBar1->addSeparator();
    ToolBar1->addActions({mAnsBildZurueck, mAnsBildWeiter, mAnsSeiteVor, mAnsSeiteZurueck});

    ToolBar2->addAction(mBeaRueckgaengig);
    ToolBar2->addSeparator();
    ToolBar2->addActions({mBeaKopieren, mBeaEinfuegen, mBeaLoeschen});
    ToolBar2->addSeparator();
    ToolBar2->addActions({mBeaBildattribute, mFarKorrektur});
    tbFarbe = knopf(ToolBar2, mFarKorrektur);
    ToolBar2->addSeparator();
    ToolBar2->addActions({mBeaAusschneiden, mBeaFotoschnitt, mBeaSkalieren});
    tbtAusschneiden = knopf(ToolBar2, mBeaAusschneiden);
    tbtFotoschnitt = knopf(ToolBar2, mBeaFotoschnitt);
    ToolBar2->addSeparator();
    ToolBar2->addActions(
        {mBeaDrehen, mBeaMinus90Grad, mBeaPlus90Grad, mBea180Grad, mBeaHorizontal, mBeaVertikal, mBeaJpgDrehen});
    tbFarbe->setObjectName(QStringLiteral("tbFarbe"));
    tbtVollbild->setObjectName(QStringLiteral("tbtVollbild"));
    tbtAusschneiden->setObjectName(QStringLiteral("tbtAusschneiden"));
    tbtFotoschnitt->setObjectName(QStringLiteral("tbtFotoschnitt"));

    TastenVorschauAnlegen();
}

// The toolkit would offer its own pop-up to hide the bars on a right click on
// the menu or a tool bar, unstored and behind the settings' back; the settings
// dialog shows and hides them.
QMenu* TfrmZelvanoMain::createPopupMenu()
{
    return nullptr;
}
