#include "Numedit.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>
#include "pixelops/Runden.h"

std::function<void()> TNumedit::Piepser = [] { QApplication::beep(); };

namespace {

// The characters a key may type: Ctrl+C, Backspace, Enter, Ctrl+V, Ctrl+X,
// the decimal separator, the minus and the digits. Rebuilt by every new
// field, so it follows the locale in force when the field was made.
QString ErlaubteZeichen;

QString Trennzeichen() { return QLocale().decimalPoint(); }

bool IstZiffer(QChar c) { return c >= u'0' && c <= u'9'; }

// Reads a number the way the locale's conversion does: blanks around it, an
// optional sign, digits with the locale separator (digits may be missing on
// one side of it, so "1," and ",5" read), an optional exponent. No group
// separators, which would let "1.000" read as a thousand.
bool ZahlLesen(const QString& t, const QString& sep, long double& wert)
{
    const int n = int(t.size());
    int i = 0;
    while (i < n && t[i] == u' ')
        ++i;
    bool negativ = false;
    if (i < n && (t[i] == u'-' || t[i] == u'+'))
        negativ = t[i++] == u'-';
    std::string ganz, bruch, exponent;
    while (i < n && IstZiffer(t[i]))
        ganz += char(t[i++].unicode());
    bool mitTrenner = false;
    if (!sep.isEmpty() && t.mid(i, sep.size()) == sep) {
        mitTrenner = true;
        i += int(sep.size());
        while (i < n && IstZiffer(t[i]))
            bruch += char(t[i++].unicode());
    }
    if (ganz.empty() && bruch.empty())
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'-' || t[i] == u'+'))
            exponent += char(t[i++].unicode());
        const int ziffernAb = i;
        while (i < n && IstZiffer(t[i]))
            exponent += char(t[i++].unicode());
        if (i == ziffernAb)
            return false;
    }
    while (i < n && t[i] == u' ')
        ++i;
    if (i != n)
        return false;

    std::string s = ganz.empty() ? "0" : ganz;
    if (mitTrenner && !bruch.empty())
        s += "." + bruch;
    if (!exponent.empty())
        s += "e" + exponent;
    long double v = 0;
    const auto [ende, fehler] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (fehler != std::errc() || ende != s.data() + s.size() || !std::isfinite(v))
        return false;
    wert = negativ ? -v : v;
    return true;
}

// Formats with a pattern "0.00...": at least one digit before the separator,
// as many decimals as the pattern has zeros behind its ".", no grouping.
// The value is first taken to 18 significant digits, then rounded half away
// from zero, as a desktop number formatter does; a result of zero carries no
// sign.
QString MitMusterFormatieren(long double wert, const QString& muster, const QString& sep)
{
    const int punkt = int(muster.indexOf(u'.'));
    const int stellen = punkt < 0 ? 0 : int(muster.size()) - punkt - 1;
    if (!std::isfinite(wert))
        return QStringLiteral("?");

    char puffer[64];
    const auto erg = std::to_chars(puffer, puffer + sizeof puffer, std::fabs(wert),
                                   std::chars_format::scientific, 17);
    const std::string s(puffer, erg.ptr);
    const std::size_t e = s.find('e');
    std::string ziffern = s.substr(0, 1) + s.substr(2, e - 2);  // 18 digits
    const int exponent = std::stoi(s.substr(e + 1));

    // Digits that stay: those before the separator plus the decimals.
    const int behalten = exponent + 1 + stellen;
    std::string zahl;  // the value times 10^stellen, as digits
    if (behalten >= int(ziffern.size())) {
        zahl = ziffern + std::string(behalten - ziffern.size(), '0');
    } else if (behalten >= 0) {
        zahl = ziffern.substr(0, behalten);
        if (ziffern[behalten] >= '5') {
            int k = int(zahl.size()) - 1;
            while (k >= 0 && zahl[k] == '9')
                zahl[k--] = '0';
            if (k >= 0)
                ++zahl[k];
            else
                zahl.insert(zahl.begin(), '1');
        }
    }
    if (zahl.size() < std::size_t(stellen) + 1)
        zahl.insert(0, std::size_t(stellen) + 1 - zahl.size(), '0');

    const bool null = zahl.find_first_not_of('0') == std::string::npos;
    QString text = (wert < 0 && !null) ? QStringLiteral("-") : QString();
    text += QString::fromLatin1(zahl.substr(0, zahl.size() - stellen));
    if (stellen > 0)
        text += sep + QString::fromLatin1(zahl.substr(zahl.size() - stellen));
    return text;
}

// The character a key types into the field, as the key filter judges it;
// empty for keys that type none (arrows, Delete, Home, End, Tab) and are left
// to the edit.
QString GetippteZeichen(const QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy))
        return QString(QChar(3));
    if (e->matches(QKeySequence::Paste))
        return QString(QChar(22));
    if (e->matches(QKeySequence::Cut))
        return QString(QChar(24));
    const bool strg = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(QChar(strg ? 10 : 13));
    case Qt::Key_Backspace:
        return QString(QChar(strg ? 127 : 8));
    case Qt::Key_Escape:
        return QString(QChar(27));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {};
    default:
        break;
    }
    // Ctrl with a letter types its control character (Ctrl+A 1 ... Ctrl+Z 26),
    // so select-all and undo are refused like any other control character.
    if (strg && !(e->modifiers() & Qt::AltModifier)) {
        if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
            return QString(QChar(1 + e->key() - Qt::Key_A));
        return {};
    }
    const QString t = e->text();
    if (t.isEmpty() || t[0].unicode() < 32 || t[0].unicode() == 127)
        return {};
    return t;
}

bool IstTeilform(const QString& t, const QString& sep)
{
    return t == u"-" || t == sep || t == QStringLiteral("-") + sep;
}

}  // namespace

TNumedit::TNumedit(QWidget* parent)
    : QLineEdit(parent)
{
    const QString sep = Trennzeichen();
    FEntertaste = true;
    FWarnton = true;
    FMatrix = QStringLiteral("999999") + sep + QStringLiteral("99");
    SetAusrichtung(taRightJustify);
    ErlaubteZeichen = QString(QChar(3)) + QChar(8) + QChar(13) + QChar(22) + QChar(24) + sep
                      + QStringLiteral("-0123456789");
    connect(this, &QLineEdit::textChanged, this, &TNumedit::TextAenderung);
}

void TNumedit::SetAusrichtung(TAlignment a)
{
    FAusrichtung = a;
    const Qt::Alignment h = a == taRightJustify ? Qt::AlignRight
                            : a == taCenter     ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
}

void TNumedit::SetMatrix(const QString& maske)
{
    const QString sep = Trennzeichen();
    QString m = maske;
    m.replace(u'.', sep);
    m.replace(u',', sep);
    long double probe;
    if (!ZahlLesen(m, sep, probe))
        return;  // every check reads the mask as a number; keep a usable one
    FMatrix = m;

    // A text shown under the old mask may break the new one (a value written
    // before the mask shows the default two decimals); bring it into the new
    // form so that the field never holds a text it would refuse.
    const QString t = text();
    if (t.isEmpty())
        return;
    const QString neu = IstTeilform(t, sep) ? t : WertText();
    FLetzterText.clear();
    FLetztePosition = 0;
    if (neu != t) {
        setText(neu);  // judged by the change check
        return;
    }
    long double wert = 0;
    int position = 0;
    switch (Beurteilen(t, wert, position)) {
    case TUrteil::Gueltig:
        FWert = wert;
        FLetzterText = t;
        break;
    case TUrteil::Teil:
        FLetzterText = t;
        FLetztePosition = position;
        break;
    default:
        Piep();
        setText(QString());
        break;
    }
}

void TNumedit::SetWert(long double wert)
{
    if (wert == FWert)
        return;
    FWert = wert;
    const QString t = WertText();
    if (t != text()) {
        setText(t);
        return;
    }
    // Same text, so no change check runs: keep the value to what is shown
    // (1.234 under two decimals is 1.23).
    long double gezeigt = 0;
    int position = 0;
    if (Beurteilen(t, gezeigt, position) == TUrteil::Gueltig)
        FWert = gezeigt;
}

int TNumedit::Nachkommastellen() const
{
    const QString sep = Trennzeichen();
    const int stelle = int(FMatrix.indexOf(sep));
    return stelle < 0 ? 0 : int(FMatrix.size()) - stelle - int(sep.size());
}

QString TNumedit::FormatMaske() const
{
    return QStringLiteral("0.") + QString(Nachkommastellen(), u'0');
}

QString TNumedit::WertText() const
{
    if (Nachkommastellen() > 0)
        return MitMusterFormatieren(FWert, FormatMaske(), Trennzeichen());
    // Whole numbers round half to even.
    const long double ganz = Gerundet(FWert);
    if (!std::isfinite(ganz))
        return QStringLiteral("?");
    if (ganz == 0)
        return QStringLiteral("0");
    char puffer[64];
    const auto erg = std::to_chars(puffer, puffer + sizeof puffer, ganz, std::chars_format::fixed, 0);
    return QString::fromLatin1(puffer, int(erg.ptr - puffer));
}

TNumedit::TUrteil TNumedit::Beurteilen(const QString& t, long double& wert, int& teilPosition) const
{
    if (t.isEmpty())
        return TUrteil::Leer;
    const QString sep = Trennzeichen();
    const bool negativErlaubt = FMatrix.startsWith(u'-');
    const int stellen = Nachkommastellen();
    if (t == u"-" && negativErlaubt) {
        teilPosition = 1;
        return TUrteil::Teil;
    }
    if (t == sep && stellen > 0) {
        teilPosition = int(sep.size());
        return TUrteil::Teil;
    }
    if (t == QStringLiteral("-") + sep && negativErlaubt && stellen > 0) {
        teilPosition = 1 + int(sep.size());
        return TUrteil::Teil;
    }
    const int trenner = int(t.indexOf(sep));
    if (trenner >= 0 && (stellen == 0 || int(t.size()) - trenner - int(sep.size()) > stellen))
        return TUrteil::Ungueltig;
    if (!negativErlaubt && t.contains(u'-'))
        return TUrteil::Ungueltig;
    long double zahl = 0, grenze = 0;
    if (!ZahlLesen(t, sep, zahl) || !ZahlLesen(FMatrix, sep, grenze))
        return TUrteil::Ungueltig;
    if (std::fabs(zahl) > std::fabs(grenze))
        return TUrteil::Ungueltig;
    wert = zahl;
    return TUrteil::Gueltig;
}

// Runs after every change of the text, typed, pasted or written by the
// program.
void TNumedit::TextAenderung()
{
    const QString t = text();
    long double wert = 0;
    int position = 0;
    switch (Beurteilen(t, wert, position)) {
    case TUrteil::Leer:
        FWert = 0;
        FLetzterText.clear();
        return;
    case TUrteil::Teil:
        FWert = 0;
        FLetzterText = t;
        FLetztePosition = position;
        return;
    case TUrteil::Gueltig:
        FWert = wert;
        FLetzterText = t;
        emit Change();
        return;
    case TUrteil::Ungueltig:
        break;
    }
    Piep();
    // Should the last valid text itself no longer pass, fall back to empty
    // rather than leave a refused text standing.
    if (t == FLetzterText) {
        FLetzterText.clear();
        FLetztePosition = 0;
    }
    setText(FLetzterText);  // checked again, which sets the value from it
    setCursorPosition(FLetztePosition);
}

void TNumedit::keyPressEvent(QKeyEvent* e)
{
    const QString z = GetippteZeichen(e);
    if (z.isEmpty()) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    FLetztePosition = Caret();

    for (const QChar c : z) {
        if (!ErlaubteZeichen.contains(c)) {
            Piep();
            // Escape stays the window's: a dialog still closes on it.
            if (c.unicode() == 27)
                e->ignore();
            else
                e->accept();
            return;
        }
    }

    if (z == u"0" && !hasSelectedText()) {
        const QString t = text();
        const int position = cursorPosition();
        if ((t.startsWith(u"-0") && position < 3) || (t.startsWith(u"0") && position < 2)) {
            Piep();
            e->accept();
            return;
        }
    }

    if (z[0].unicode() == 13 && FEntertaste) {
        e->accept();
        // Queued, as the key is still being handled; from the window's focus
        // on to the next tab stop.
        QMetaObject::invokeMethod(this, [this] { focusNextChild(); }, Qt::QueuedConnection);
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TNumedit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        FLetztePosition = Caret();
    QLineEdit::mouseReleaseEvent(e);
}

void TNumedit::focusInEvent(QFocusEvent* e)
{
    FLetzterText = text();
    FLetztePosition = Caret();
    QLineEdit::focusInEvent(e);
}

void TNumedit::focusOutEvent(QFocusEvent* e)
{
    // A pop-up menu or another window taking the focus does not leave the
    // field; only a move to another control does.
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason) {
        const QString t = text();
        if (t.isEmpty() || IstTeilform(t, Trennzeichen())) {
            setText(QString());
            FWert = 0;
        } else {
            setText(WertText());
        }
    }
    QLineEdit::focusOutEvent(e);
}

void TNumedit::Piep()
{
    if (FWarnton && Piepser)
        Piepser();
}

int TNumedit::Caret() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}
