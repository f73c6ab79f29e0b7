#pragma once
#include <QDialog>

class QLabel;
class QMovie;
class QPushButton;
class QScrollArea;
class QWidget;

// Plays the animated GIF file of the current list entry in its own window.
class TfrmAnimation : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnimation(QWidget* parent = nullptr);
    // Clears the global when the window goes with its parent.
    ~TfrmAnimation() override;

    void FormCreate();
    void FormShow();
    void FormResize();
    void btnBeendenClick();

    // The picture area in place of a browser: the movie runs in imgAnimation.
    QScrollArea* WebBrowser1 = nullptr;
    QLabel* imgAnimation = nullptr;
    QMovie* Film = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* btnBeenden = nullptr;

protected:
    void showEvent(QShowEvent* ereignis) override;
    void hideEvent(QHideEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;
};

extern TfrmAnimation* frmAnimation;
