// The animation window: QMovie plays the file the list points at.
#include "Animation.h"
#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>
#include "Global.h"
#include "ZelvanoMain.h"

TfrmAnimation* frmAnimation = nullptr;

TfrmAnimation::~TfrmAnimation()
{
    if (frmAnimation == this)
        frmAnimation = nullptr;
}

TfrmAnimation::TfrmAnimation(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAnimation"));
    setWindowTitle(QStringLiteral("Animation"));
    setSizeGripEnabled(true);

    WebBrowser1 = new QScrollArea(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setFocusPolicy(Qt::NoFocus);
    WebBrowser1->setAlignment(Qt::AlignCenter);
    WebBrowser1->setFrameShape(QFrame::NoFrame);
    imgAnimation = new QLabel;
    imgAnimation->setObjectName(QStringLiteral("imgAnimation"));
    imgAnimation->setAlignment(Qt::AlignCenter);
    WebBrowser1->setWidget(imgAnimation);
    WebBrowser1->setWidgetResizable(true);
    Film = new QMovie(this);
    Film->setCacheMode(QMovie::CacheNone);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    btnBeenden = new QPushButton(QStringLiteral("Beenden"), Panel1);
    btnBeenden->setObjectName(QStringLiteral("btnBeenden"));
    btnBeenden->setAutoDefault(false);
    btnBeenden->setGeometry(0, 8, 75, 25);

    auto* ganz = new QVBoxLayout(this);
    ganz->setContentsMargins(0, 0, 0, 0);
    ganz->setSpacing(0);
    ganz->addWidget(WebBrowser1, 1);
    ganz->addWidget(Panel1);

    connect(btnBeenden, &QPushButton::clicked, this, &TfrmAnimation::btnBeendenClick);
    FormCreate();
    resize(500, 400);
}

void TfrmAnimation::FormCreate()
{
    setFont(QApplication::font("QMenu"));
}

void TfrmAnimation::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    if (!ereignis->spontaneous())
        FormShow();
}

void TfrmAnimation::FormShow()
{
    // Every showing loads again: the list may point at another file now.
    Film->stop();
    imgAnimation->setMovie(nullptr);
    const QString pfad = BildIndex >= 0 && BildIndex < BildListe.size() ? BildListe.at(BildIndex) : QString();
    Film->setFileName(pfad);
    // A file that only looks like a GIF fails on its first frame.
    if (pfad.isEmpty() || !Film->isValid() || !Film->jumpToFrame(0) || Film->currentImage().isNull()) {
        // A file that cannot be played shows the error picture.
        imgAnimation->setPixmap(QPixmap::fromImage(FehlerBild()));
        return;
    }
    imgAnimation->setMovie(Film);
    Film->start();
}

void TfrmAnimation::hideEvent(QHideEvent* ereignis)
{
    // A hidden window must not keep decoding frames.
    Film->stop();
    QDialog::hideEvent(ereignis);
}

void TfrmAnimation::resizeEvent(QResizeEvent* ereignis)
{
    QDialog::resizeEvent(ereignis);
    FormResize();
}

void TfrmAnimation::FormResize()
{
    btnBeenden->move(width() - btnBeenden->width() - 8, btnBeenden->y());
}

void TfrmAnimation::btnBeendenClick()
{
    reject();
}
