#pragma once
#include <QObject>

class TfrmZelvanoMain;
class QEvent;

// While a load or a command computed by Gear1 runs, its progress event pumps
// messages. The user's input to the main window must not start anything on
// the half-finished image then: keys, clicks, wheel, drops and closing are
// held back. Installed last, so it sees the events before the window's
// other filters.
class TBeschaeftigtSperre : public QObject {
public:
    explicit TBeschaeftigtSperre(TfrmZelvanoMain* fenster);
    ~TBeschaeftigtSperre() override;

protected:
    bool eventFilter(QObject* ziel, QEvent* ereignis) override;

private:
    TfrmZelvanoMain* m_fenster;
};

// Keeps a busy flag exact whichever way a command leaves. A flag that is
// already set stays set: the outer owner clears it.
class TBeschaeftigt {
public:
    explicit TBeschaeftigt(bool& flag) : m_flag(flag), m_vorher(flag) { m_flag = true; }
    ~TBeschaeftigt() { m_flag = m_vorher; }
    TBeschaeftigt(const TBeschaeftigt&) = delete;
    TBeschaeftigt& operator=(const TBeschaeftigt&) = delete;

private:
    bool& m_flag;
    bool m_vorher;
};
