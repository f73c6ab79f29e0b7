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
    using K = QKeySequence;
    const K ohne;

    // File
    mDatOeffnen = AktionAnlegen("mDatOeffnen", QStringLiteral("Ö&ffnen..."), K(QStringLiteral("Ctrl+O")),
                                symOeffnen);
    mDatVorschau = AktionAnlegen("mDatVorschau", QStringLiteral("&Vorschau..."), K(Qt::Key_V),
                                 symVorschau);
    mDatSpeichernals = AktionAnlegen("mDatSpeichernals", QStringLiteral("Speichern unter..."),
                                     K(QStringLiteral("Ctrl+S")), symSpeichern);
    mDatSuchen = AktionAnlegen("mDatSuchen", QStringLiteral("S&uchen..."), ohne, symSuchen);
    mDatKonvertieren = AktionAnlegen("mDatKonvertieren", QStringLiteral("&Konvertieren..."),
                                     K(QStringLiteral("Ctrl+K")), symKonvertieren);
    mDatDrucken = AktionAnlegen("mDatDrucken", QStringLiteral("&Drucken..."), K(QStringLiteral("Ctrl+D")),
                                symDrucken);
    mDatArchivdruck = AktionAnlegen("mDatArchivdruck", QStringLiteral("&Archivdruck..."), ohne,
                                    symArchivdruck);
    mDatInfo = AktionAnlegen("mDatInfo", QStringLiteral("Bildinfo..."), K(QStringLiteral("Ctrl+I")),
                             symInfo);
    mDatScannerauswaehlen = AktionAnlegen("mDatScannerauswaehlen", QStringLiteral("S&canner auswählen..."), ohne,
                                          symScannerAuswaehlen);
    mDatScannen = AktionAnlegen("mDatScannen", QStringLiteral("Sca&nnen..."), ohne,
                                symScannen);
    mDatEinstellungen = AktionAnlegen("mDatEinstellungen", QStringLiteral("&Einstellungen..."), ohne,
                                      symEinstellungen);
    mDatBeenden = AktionAnlegen("mDatBeenden", QStringLiteral("&Beenden"), ohne,
                                symBeenden);

    // Edit
    mBeaRueckgaengig = AktionAnlegen("mBeaRueckgaengig", QStringLiteral("&Rückgängig"), K(QStringLiteral("Ctrl+Z")),
                                     symRueckgaengig);
    mBeaKopieren = AktionAnlegen("mBeaKopieren", QStringLiteral("&Kopieren"), K(QStringLiteral("Ctrl+C")),
                                 symKopieren);
    mBeaEinfuegen = AktionAnlegen("mBeaEinfuegen", QStringLiteral("&Einfügen"), K(QStringLiteral("Ctrl+V")),
                                  symEinfuegen);
    mBeaLoeschen = AktionAnlegen("mBeaLoeschen", QStringLiteral("&Löschen..."), K(Qt::Key_Delete),
                                 symLoeschen);
    mBeaBildattribute = AktionAnlegen("mBeaBildattribute", QStringLiteral("&Bildattribute..."), ohne,
                                      symBildattribute);
    mBeaAusschneiden = AktionAnlegen("mBeaAusschneiden", QStringLiteral("&Ausschneiden"), ohne,
                                     symAusschneiden);
    mBeaAusschneiden->setCheckable(true);
    mBeaFotoschnitt = AktionAnlegen("mBeaFotoschnitt", QStringLiteral("&Fotoschnitt..."), ohne,
                                    symFotoschnitt);
    mBeaFotoschnitt->setCheckable(true);
    mBeaSkalieren = AktionAnlegen("mBeaSkalieren", QStringLiteral("&Skalieren..."), ohne,
                                  symSkalieren);
    mBeaDrehen = AktionAnlegen("mBeaDrehen", QStringLiteral("Drehen..."), ohne, symDrehen);
    mBeaHorizontal = AktionAnlegen("mBeaHorizontal", QStringLiteral("&Horizontal spiegeln"), ohne,
                                   symHorizontal);
    mBeaVertikal = AktionAnlegen("mBeaVertikal", QStringLiteral("&Vertikal spiegeln"), ohne,
                                 symVertikal);
    mBeaPlus90Grad = AktionAnlegen("mBeaPlus90Grad", QStringLiteral("&Um +90 Grad drehen"), ohne,
                                   symDrehenPlus90);
    mBeaMinus90Grad = AktionAnlegen("mBeaMinus90Grad", QStringLiteral("U&m -90 Grad drehen"), ohne,
                                    symDrehenMinus90);
    mBea180Grad = AktionAnlegen("mBea180Grad", QStringLiteral("Um &180 Grad drehen"), ohne,
                                symDrehen180);
    mBeaJpgDrehen = AktionAnlegen("mBeaJpgDrehen", QStringLiteral("&JPG-Bilder verlustfrei drehen..."), ohne,
                                  symJpgDrehen);

    // View
    mAnsGehezu = AktionAnlegen("mAnsGehezu", QStringLiteral("&Gehe zu..."), ohne, symGehezu);
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
    mAnsVollbild = AktionAnlegen("mAnsVollbild", QStringLiteral("&Vollbild  (Leertaste)"), ohne,
                                 symVollbild);
    mAnsAutoShow = AktionAnlegen("mAnsAutoShow", QStringLiteral("Auto-Show starten"), ohne,
                                 symAutoShow);
    mAnsBildWeiter = AktionAnlegen("mAnsBildWeiter", QStringLiteral("Ein Bild weiter  (Pfeiltaste rechts)"), ohne,
                                   symBildWeiter);
    mAnsBildZurueck = AktionAnlegen("mAnsBildZurueck", QStringLiteral("Ein Bild zurück  (Pfeiltaste links)"), ohne,
                                    symBildZurueck);
    mAnsSeiteVor = AktionAnlegen("mAnsSeiteVor", QStringLiteral("&Seite vor"), ohne, symSeiteVor);
    mAnsSeiteZurueck = AktionAnlegen("mAnsSeiteZurueck", QStringLiteral("S&eite zurück"), ohne,
                                     symSeiteZurueck);
    mAnsAnimieren = AktionAnlegen("mAnsAnimieren", QStringLiteral("&Animieren"), ohne,
                                  symAutoShow);
    // No image at start, so no pages and nothing to animate.
    mAnsSeiteVor->setVisible(false);
    mAnsSeiteZurueck->setVisible(false);
    mAnsAnimieren->setVisible(false);

    // Colour
    auto ohneSymbol = [this](const char* name, const char* text) {
        return AktionAnlegen(name, QString::fromUtf8(text), QKeySequence(), symKeins);
    };
    mFarKorrektur = AktionAnlegen("mFarKorrektur", QStringLiteral("Farb&korrektur..."), ohne,
                                  symFarbkorrektur);
    mFarToenen = ohneSymbol("mFarToenen", "&Tönen...");
    mFarEinfaerben = ohneSymbol("mFarEinfaerben", "Ei&nfärben...");
    mFarKolorieren = ohneSymbol("mFarKolorieren", "K&olorieren...");
    mFarGraustufen = ohneSymbol("mFarGraustufen", "&Graustufen...");
    mFar1Schwellwert = ohneSymbol("mFar1Schwellwert", "&Schwellwert...");
    mFarInvertieren = ohneSymbol("mFarInvertieren", "&Invertieren");
    mFar1FehlerVerteilungsDithering = ohneSymbol("mFar1FehlerVerteilungsDithering", "Fehler-Verteilungs-Dithering");
    mFar1HalbtonMonoDithering = ohneSymbol("mFar1HalbtonMonoDithering", "Halbton-Mono-Dithering");
    mFar1BayerMonoDithering = ohneSymbol("mFar1BayerMonoDithering", "Bayer-Mono-Dithering");
    mFar4Octree = ohneSymbol("mFar4Octree", "Octree-Methode");
    mFar4FehlerVerteilungsDithering = ohneSymbol("mFar4FehlerVerteilungsDithering", "Dithering (Standardpalette)");
    mFar4BayerFarbDithering = ohneSymbol("mFar4BayerFarbDithering", "Bayer-Farb-Dithering");
    mFar8Oct = ohneSymbol("mFar8Oct", "Octree-Methode");
    mFar8FehlerVerteilungsDithering = ohneSymbol("mFar8FehlerVerteilungsDithering", "Fehler-Verteilungs-Dithering");
    mFar8PalettenOptimierung = ohneSymbol("mFar8PalettenOptimierung", "Paletten-Optimierung");
    mFarFarbexpansion4 = ohneSymbol("mFarFarbexpansion4", "&Farbexpansion auf 4 Bit");
    mFarFarbexpansion8 = ohneSymbol("mFarFarbexpansion8", "F&arbexpansion auf 8 Bit");
    mFarFarbexpansion24 = ohneSymbol("mFarFarbexpansion24", "Fa&rbexpansion auf 24 Bit");

    // Filter
    mFilterIsoPrewitt = ohneSymbol("mFilterIsoPrewitt", "Prewitt");
    mFilterIsoRoberts = ohneSymbol("mFilterIsoRoberts", "Roberts");
    mFilterIsoSobel = ohneSymbol("mFilterIsoSobel", "Sobel");
    mFilterIsoLaplacian = ohneSymbol("mFilterIsoLaplacian", "Laplacian");
    mFilterIsoHorizontal = ohneSymbol("mFilterIsoHorizontal", "Horizontal");
    mFilterIsoVertikal = ohneSymbol("mFilterIsoVertikal", "Vertikal");
    mFilterIsoPositivSchraeg = ohneSymbol("mFilterIsoPositivSchraeg", "Positiv schräg");
    mFilterIsoNegativSchraeg = ohneSymbol("mFilterIsoNegativSchraeg", "Negativ schräg");
    mFilterPraegen = ohneSymbol("mFilterPraegen", "Prägen");
    mFilterZerstreuen = ohneSymbol("mFilterZerstreuen", "Zerstreuen");
    mFilterVerwischen = ohneSymbol("mFilterVerwischen", "Verwischen");
    mFilterRelief = ohneSymbol("mFilterRelief", "Relief");
    mFilterPoster = ohneSymbol("mFilterPoster", "Poster");
    mFilterTwist = ohneSymbol("mFilterTwist", "Twist");
    mFilterStrukturglas = ohneSymbol("mFilterStrukturglas", "Strukturglas");
    mFilterSchleier = ohneSymbol("mFilterSchleier", "Schleier");

    // Help
    mHilfeInhalt = AktionAnlegen("mHilfeInhalt", QStringLiteral("&Hilfe..."), K(Qt::Key_F1),
                                 symHilfe);
    mHilfeInfo = AktionAnlegen("mHilfeInfo", QStringLiteral(" Programminfo..."), ohne, symKeins);

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
